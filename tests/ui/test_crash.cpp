// Crash reporting: an exception that escapes a handler is reported at the event loop and the
// program runs on; a fatal signal leaves a report and ends the process with that signal.

#include "CrashReport.h"
#include "NorlinkApplication.h"
#include "ProgramRun.h"

#include <QEvent>
#include <QObject>
#include <QTest>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace program_run;
using ::testing::HasSubstr;

class TThrowingObject : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) {
            throw std::invalid_argument("chybný vstup");
        }
        return QObject::event(event);
    }
};

class CrashReport : public ::testing::Test {
protected:
    CrashReport() {
        NastavSouborHlaseni(fDir.Path().string(), "0.9");
        App().SetZobrazeniChyby([this](const std::string& text, const std::string& soubor) {
            fShown.emplace_back(text, soubor);
        });
    }
    ~CrashReport() override {
        App().SetZobrazeniChyby([](const std::string& text, const std::string&) {
            ADD_FAILURE() << "unexpected exception at the event loop: " << text;
        });
    }
    static TNorlinkApplication& App() { return *static_cast<TNorlinkApplication*>(qApp); }
    std::string Report() const { return ReadFile(fDir.Path() / "norlink-chyby.log"); }

    TTempDir fDir;
    std::vector<std::pair<std::string, std::string>> fShown;
};

TEST_F(CrashReport, ExceptionFromAHandlerIsReportedAndShown) {
    TThrowingObject object;
    QEvent event(QEvent::User);
    const int before = App().PocetChyb();
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
    EXPECT_EQ(App().PocetChyb(), before + 1);

    ASSERT_EQ(fShown.size(), 1U);
    EXPECT_EQ(fShown[0].first, "chybný vstup");
    EXPECT_EQ(fShown[0].second, (fDir.Path() / "norlink-chyby.log").string());
    const std::string report = Report();
    EXPECT_THAT(report, HasSubstr("neošetřená výjimka"));
    EXPECT_THAT(report, HasSubstr("Verze programu: 0.9"));
    EXPECT_THAT(report, HasSubstr("Výjimka: std::invalid_argument"));
    EXPECT_THAT(report, HasSubstr("Text: chybný vstup"));
    EXPECT_THAT(report, ::testing::ContainsRegex("Čas: [0-9]{4}-[0-9]{2}-[0-9]{2} "));
    EXPECT_THAT(report, HasSubstr("ui_tests(")) << "frames of the program, for addr2line";
}

TEST_F(CrashReport, EventLoopRunsOnAfterAnException) {
    bool later = false;
    QTimer::singleShot(0, qApp, [] { throw std::runtime_error("z časovače"); });
    QTimer::singleShot(20, qApp, [&later] { later = true; });
    QTRY_VERIFY_WITH_TIMEOUT(later, 5000);
    ASSERT_EQ(fShown.size(), 1U);
    EXPECT_EQ(fShown[0].first, "z časovače");
    // Reports are appended.
    QTimer::singleShot(0, qApp, [] { throw 42; });
    QTRY_VERIFY_WITH_TIMEOUT(fShown.size() == 2, 5000);
    EXPECT_EQ(fShown[1].first, "neznámá výjimka");
    const std::string report = Report();
    EXPECT_THAT(report, HasSubstr("Text: z časovače"));
    EXPECT_THAT(report, HasSubstr("Výjimka: int"));
}

TEST_F(CrashReport, UnwritableReportIsSaidInTheBox) {
    NastavSouborHlaseni((fDir.Path() / "missing" / "folder").string(), "0.9");
    TThrowingObject object;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&object, &event);
    ASSERT_EQ(fShown.size(), 1U);
    EXPECT_EQ(fShown[0].second, "");
    EXPECT_THAT(TextHlaseniVyjimky("x", ""), HasSubstr("nepodařilo uložit"));
    EXPECT_THAT(TextHlaseniVyjimky("x", "/a/b.log"), HasSubstr("/a/b.log"));
}

TEST(CrashReportFormat, HoldsTimeVersionTypeTextAndStack) {
    const std::string report = FormatujHlaseniVyjimky(
        "2024-01-02 03:04:05 +0100", "0.9", "std::bad_alloc", "std::bad_alloc", "frame1\nframe2\n");
    EXPECT_EQ(report, "==== NORLINK: neošetřená výjimka ====\n"
                      "Čas: 2024-01-02 03:04:05 +0100\n"
                      "Verze programu: 0.9\n"
                      "Výjimka: std::bad_alloc\n"
                      "Text: std::bad_alloc\n"
                      "Zásobník (kde byla zachycena):\nframe1\nframe2\n\n");
}

struct TSignalCase {
    const char* Kind;
    int Signal;
    const char* Line;
    friend void PrintTo(const TSignalCase& c, std::ostream* out) { *out << c.Kind; }
};

class FatalSignal : public ::testing::TestWithParam<TSignalCase> {};

TEST_P(FatalSignal, WritesAReportAndEndsWithTheSignal) {
    const TSignalCase& c = GetParam();
    TTempDir dir;
    TChild child(CRASH_HELPER, {dir.Path().string(), c.Kind}, dir.Path() / "output.txt");
    const auto status = child.Wait(std::chrono::seconds(30));
    ASSERT_TRUE(status.has_value());
    ASSERT_TRUE(WIFSIGNALED(*status)) << ReadFile(dir.Path() / "output.txt");
    EXPECT_EQ(WTERMSIG(*status), c.Signal);
    const std::string report = ReadFile(dir.Path() / "norlink-chyby.log");
    EXPECT_THAT(report, HasSubstr("==== NORLINK: fatální chyba ===="));
    EXPECT_THAT(report, HasSubstr(c.Line));
    EXPECT_THAT(report, HasSubstr("Verze programu: 0.9"));
    EXPECT_THAT(report, ::testing::ContainsRegex("Čas: 2[0-9]{3}-[01][0-9]-[0-3][0-9] "
                                                 "[0-2][0-9]:[0-5][0-9]:[0-5][0-9] UTC"));
    EXPECT_THAT(report, HasSubstr("ui_crash_helper")) << "backtrace frames of the program";
    EXPECT_THAT(ReadFile(dir.Path() / "output.txt"), HasSubstr("norlink-chyby.log"));
}

INSTANTIATE_TEST_SUITE_P(Signals, FatalSignal,
                         ::testing::Values(TSignalCase{"segv", SIGSEGV, "Signál: 11 SIGSEGV"},
                                           TSignalCase{"abort", SIGABRT, "Signál: 6 SIGABRT"},
                                           TSignalCase{"fpe", SIGFPE, "Signál: 8 SIGFPE"},
                                           TSignalCase{"bus", SIGBUS, "Signál: 7 SIGBUS"}),
                         [](const auto& info) { return std::string(info.param.Kind); });

TEST(FatalException, UncaughtExceptionIsReportedWithItsTextBeforeTheAbort) {
    TTempDir dir;
    TChild child(CRASH_HELPER, {dir.Path().string(), "throw"}, dir.Path() / "output.txt");
    const auto status = child.Wait(std::chrono::seconds(30));
    ASSERT_TRUE(status.has_value());
    ASSERT_TRUE(WIFSIGNALED(*status));
    EXPECT_EQ(WTERMSIG(*status), SIGABRT);
    const std::string report = ReadFile(dir.Path() / "norlink-chyby.log");
    const auto exception = report.find("Text: nikdo ji nechytil");
    const auto signal = report.find("Signál: 6 SIGABRT");
    ASSERT_NE(exception, std::string::npos) << report;
    ASSERT_NE(signal, std::string::npos) << report;
    EXPECT_LT(exception, signal);
    EXPECT_THAT(report, HasSubstr("Výjimka: std::runtime_error"));
}

} // namespace
