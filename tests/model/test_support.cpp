// The shared test helpers: scratch folders and compiled locales.

#include "ScratchDir.h"
#include "TestLocale.h"

#include <gtest/gtest.h>

#include <array>
#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// A locale that differs from POSIX only in its numbers.
std::string NumbersOnly(const char* decimalPoint) {
    std::string d = "comment_char %\nescape_char /\n";
    for (const char* kat : {"LC_CTYPE", "LC_COLLATE", "LC_TIME", "LC_MONETARY", "LC_MESSAGES"}) {
        d += std::string(kat) + "\ncopy \"POSIX\"\nEND " + kat + "\n";
    }
    return d + "LC_NUMERIC\ndecimal_point \"" + decimalPoint +
           "\"\nthousands_sep \"\"\ngrouping -1\nEND LC_NUMERIC\n";
}

// The decimal point of `name` as LC_NUMERIC, or "" when it does not load; back to "C" afterwards.
std::string DecimalPointOf(const std::string& name) {
    if (std::setlocale(LC_NUMERIC, name.c_str()) == nullptr) {
        return "";
    }
    const std::string point = std::localeconv()->decimal_point;
    std::setlocale(LC_NUMERIC, "C");
    return point;
}

TEST(ScratchDir, IsAPrivateFolderRemovedWithItsContents) {
    fs::path kept;
    {
        const TScratchDir dir("norlink-support");
        kept = dir.path();
        ASSERT_TRUE(fs::is_directory(kept));
        EXPECT_EQ(kept.parent_path(), fs::temp_directory_path());
        EXPECT_EQ(kept.filename().string().rfind("norlink-support-", 0), 0u) << kept;
        struct stat st {};
        ASSERT_EQ(::stat(kept.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0700u);
        EXPECT_EQ(dir / "a", kept / "a");
        fs::create_directories(dir / "a/b");
        std::ofstream(dir / "a/b/c") << "x";
        const TScratchDir other("norlink-support");
        EXPECT_NE(other.path(), kept);
    }
    EXPECT_FALSE(fs::exists(kept));
}

TEST(ScratchDir, AForkedChildLeavesItsParentsFolderAlone) {
    std::optional<TScratchDir> dir(std::in_place, "norlink-support");
    const fs::path path = dir->path();
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        dir.reset();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(fs::is_directory(path));
    dir.reset();
    EXPECT_FALSE(fs::exists(path));
}

TEST(TestLocale, ALocaleTheSystemLacksIsCompiledFromASystemSource) {
    ASSERT_TRUE(EnsureTestLocale("norlink_test_comma", TLocaleSource::System("cs_CZ")));
    const auto folder = TTestLocales::Process().Folder();
    ASSERT_TRUE(folder.has_value());
    EXPECT_TRUE(fs::is_directory(*folder / "norlink_test_comma"));
    const char* locpath = std::getenv("LOCPATH");
    ASSERT_NE(locpath, nullptr);
    EXPECT_EQ(std::string(locpath).rfind(folder->string(), 0), 0u) << locpath;
    EXPECT_EQ(DecimalPointOf("norlink_test_comma"), ",");
    // The look-up left the process locale as it was.
    EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
}

TEST(TestLocale, SystemLocalesStillLoadOnceTheFolderHidesTheArchive) {
    ASSERT_TRUE(
        EnsureTestLocale("norlink_test_arab", TLocaleSource::Definition(NumbersOnly("<U066B>"))));
    ASSERT_TRUE(TTestLocales::Process().Folder().has_value());
    EXPECT_EQ(DecimalPointOf("norlink_test_arab"), "\xD9\xAB");
    for (const char* name : {"cs_CZ.UTF-8", "en_US.UTF-8"}) {
        ASSERT_TRUE(EnsureTestLocale(name));
        ASSERT_NE(std::setlocale(LC_TIME, name), nullptr) << name;
        std::setlocale(LC_TIME, "C");
    }
    EXPECT_EQ(DecimalPointOf("cs_CZ.UTF-8"), ",");
    EXPECT_EQ(DecimalPointOf("en_US.UTF-8"), ".");
}

TEST(TestLocale, ANameIsMadeFromOneSourceOnly) {
    const auto semicolon = TLocaleSource::Definition(NumbersOnly("<U003B>"));
    ASSERT_TRUE(EnsureTestLocale("norlink_test_semicolon", semicolon));
    EXPECT_TRUE(EnsureTestLocale("norlink_test_semicolon", semicolon));
    EXPECT_FALSE(EnsureTestLocale("norlink_test_semicolon",
                                  TLocaleSource::Definition(NumbersOnly("<U002C>"))));
    EXPECT_FALSE(EnsureTestLocale("norlink_test_semicolon", TLocaleSource::System("cs_CZ")));
    EXPECT_EQ(DecimalPointOf("norlink_test_semicolon"), ";");
}

TEST(TestLocale, ASourceThatDoesNotCompileIsReported) {
    EXPECT_FALSE(EnsureTestLocale("norlink_test_nosource", TLocaleSource::System("xx_NOWHERE")));
    EXPECT_FALSE(EnsureTestLocale("xx_NOWHERE.UTF-8"));
    EXPECT_EQ(DecimalPointOf("norlink_test_nosource"), "");
}

TEST(TestLocale, TheFolderGoesWithItsOwner) {
    // A fresh owner in a child process, whose LOCPATH does not matter to this one.
    std::array<int, 2> pipe{};
    ASSERT_EQ(::pipe(pipe.data()), 0);
    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        ::close(pipe[0]);
        {
            TTestLocales own;
            if (own.Ensure("norlink_test_child",
                           TLocaleSource::Definition(NumbersOnly("<U002C>"))) &&
                own.Folder() && DecimalPointOf("norlink_test_child") == ",") {
                const std::string path = own.Folder()->string();
                [[maybe_unused]] const auto written = ::write(pipe[1], path.data(), path.size());
            }
        }
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string path;
    std::array<char, 256> chunk{};
    for (ssize_t n; (n = ::read(pipe[0], chunk.data(), chunk.size())) > 0;) {
        path.append(chunk.data(), static_cast<std::size_t>(n));
    }
    ::close(pipe[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_FALSE(path.empty()) << "the child could not compile its locale";
    EXPECT_FALSE(fs::exists(path)) << path;
}

} // namespace
