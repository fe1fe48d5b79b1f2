// Typed numbers: the text number syntax, limits and default, and the decimal separator of the
// user's locale. Locales the machine lacks are compiled for the test (TestLocale.h), so the tests
// do not depend on which locales the machine has installed.
#include "TestLocale.h"
#include "kovra.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>
#include <string>
#include <thread>
#include <utility>

namespace {

constexpr double k_NaN = std::numeric_limits<double>::quiet_NaN();

// The port number of the port dialog: limits 1 and 256, default 1.
double Port(const char* text) {
    return PrevedALimitujHodnotu(text, 1, 256, 1);
}
// A phone-number reference: limits 0 and 15, default 0.
double Cislo(const char* text) {
    return PrevedALimitujHodnotu(text, 0, 15, 0);
}

// A test locale made the process locale through the environment, as the program's
// setlocale(LC_ALL, "") would pick it up. Back to "C" when destroyed.
class TTestLokale {
public:
    // The system's locale `jmeno`, compiled from the system's source when the machine lacks it.
    explicit TTestLokale(const std::string& jmeno) : TTestLokale(jmeno, EnsureTestLocale(jmeno)) {}
    // A locale compiled from the text of a definition file.
    TTestLokale(const std::string& jmeno, const std::string& definice)
        : TTestLokale(jmeno, EnsureTestLocale(jmeno, TLocaleSource::Definition(definice))) {}
    ~TTestLokale() {
        std::setlocale(LC_ALL, "C");
        unsetenv("LC_ALL");
    }
    TTestLokale(const TTestLokale&) = delete;
    TTestLokale& operator=(const TTestLokale&) = delete;

    ::testing::AssertionResult Pripraveno() const {
        if (!fVytvoreno) {
            return fVytvoreno;
        }
        return fNastaveno ? ::testing::AssertionSuccess()
                          : ::testing::AssertionFailure() << "setlocale(LC_ALL, \"\") refused it";
    }

private:
    TTestLokale(const std::string& jmeno, ::testing::AssertionResult vytvoreno)
        : fVytvoreno(std::move(vytvoreno)) {
        setenv("LC_ALL", jmeno.c_str(), 1);
        fNastaveno = fVytvoreno && std::setlocale(LC_ALL, "") != nullptr;
    }
    ::testing::AssertionResult fVytvoreno;
    bool fNastaveno = false;
};

// A locale that differs from POSIX only in its numbers.
std::string Definice(const char* desetinna, const char* tisice) {
    std::string d = "comment_char %\nescape_char /\n";
    for (const char* kat : {"LC_CTYPE", "LC_COLLATE", "LC_TIME", "LC_MONETARY", "LC_MESSAGES"}) {
        d += std::string(kat) + "\ncopy \"POSIX\"\nEND " + kat + "\n";
    }
    d += std::string("LC_NUMERIC\ndecimal_point \"") + desetinna + "\"\nthousands_sep \"" + tisice +
         "\"\ngrouping 3;3\nEND LC_NUMERIC\n";
    return d;
}

TEST(KovraTextoveCislo, TextNumbersInTheCLocale) {
    ASSERT_STREQ(localeconv()->decimal_point, ".");
    EXPECT_EQ(Port(""), 1);
    EXPECT_EQ(Port("abc"), 1);
    EXPECT_EQ(Port("0"), 1);
    EXPECT_EQ(Port("17"), 17);
    EXPECT_EQ(Port("  17  "), 17);
    EXPECT_EQ(Port("\t17\t"), 17);
    EXPECT_EQ(Port("+17"), 17);
    EXPECT_EQ(Port("300"), 256);
    EXPECT_EQ(Port("-5"), 1);
    EXPECT_EQ(Port("1e2"), 100);
    EXPECT_EQ(Port("1E+2"), 100);
    EXPECT_EQ(Port("2.5e1"), 25);
    EXPECT_EQ(Port("2500e-2"), 25);
    EXPECT_EQ(Port("12.75"), 12.75);
    EXPECT_EQ(Cislo(".5"), 0.5);
    EXPECT_EQ(Cislo("5."), 5);
    EXPECT_EQ(Cislo("-0"), 0);
    EXPECT_EQ(Port(std::string(10000, '0').append("17").c_str()), 17);
}

TEST(KovraTextoveCislo, WhatIsNotATextNumberGivesTheDefault) {
    for (const char* text : {" ",
                             "+",
                             "-",
                             ".",
                             "e2",
                             "1e",
                             "1e+",
                             "17x",
                             "x17",
                             "1 7",
                             "1.2.3",
                             "+-1",
                             "--1",
                             "1e2.5",
                             "0x10",
                             "inf",
                             "-inf",
                             "infinity",
                             "nan",
                             "NAN(1)",
                             "1,000",
                             "1_000",
                             "\xC2\xA0"
                             "17",
                             "17\n",
                             "\n17",
                             "1\xD9\xAB"
                             "5",
                             "\xFF"}) {
        EXPECT_EQ(PrevedALimitujHodnotu(text, 0, 1000, 77), 77) << text;
    }
    EXPECT_EQ(PrevedALimitujHodnotu(nullptr, 0, 1000, 77), 77);
}

TEST(KovraTextoveCislo, TheDefaultIsLimitedTooAndHugeNumbersReachALimit) {
    EXPECT_EQ(PrevedALimitujHodnotu("x", 1, 256, 500), 256);
    EXPECT_EQ(PrevedALimitujHodnotu("x", 1, 256, -3), 1);
    EXPECT_EQ(PrevedALimitujHodnotu("x", 1, 256, k_NaN), 1);
    EXPECT_EQ(Port("1e999"), 256);
    EXPECT_EQ(Port("-1e999"), 1);
    EXPECT_EQ(Cislo("1e-999"), 0);
    EXPECT_EQ(Port("99999999999999999999999999999999999999"), 256);
}

TEST(KovraTextoveCislo, CommaLocaleTakesTheCommaAndRefusesThePoint) {
    TTestLokale lokale("xx_CARKA.UTF-8", Definice("<U002C>", "<U002E>"));
    ASSERT_TRUE(lokale.Pripraveno());
    ASSERT_STREQ(localeconv()->decimal_point, ",");
    EXPECT_EQ(Cislo("3,7"), 3.7);
    EXPECT_EQ(Cislo("3.7"), 0);  // the point is not this locale's separator
    EXPECT_EQ(Port("1.000"), 1); // nor is digit grouping accepted
    EXPECT_EQ(Port("-2,5e1"), 1);
    EXPECT_EQ(Cislo(" 12,5 "), 12.5);
    EXPECT_EQ(Port("2,5E1"), 25);
    EXPECT_EQ(Port("3,7,1"), 1);
    EXPECT_EQ(Port("17"), 17);
}

TEST(KovraTextoveCislo, PointLocaleWithCommaGroupingRefusesTheComma) {
    TTestLokale lokale("xx_TECKA.UTF-8", Definice("<U002E>", "<U002C>"));
    ASSERT_TRUE(lokale.Pripraveno());
    ASSERT_STREQ(localeconv()->thousands_sep, ",");
    EXPECT_EQ(Cislo("3.7"), 3.7);
    EXPECT_EQ(Cislo("3,7"), 0);
    EXPECT_EQ(Port("1,000"), 1);
}

TEST(KovraTextoveCislo, MultiByteSeparatorIsMatchedWhole) {
    // U+066B ARABIC DECIMAL SEPARATOR, two bytes in UTF-8.
    TTestLokale lokale("xx_ARAB.UTF-8", Definice("<U066B>", "<U066C>"));
    ASSERT_TRUE(lokale.Pripraveno());
    ASSERT_STREQ(localeconv()->decimal_point, "\xD9\xAB");
    EXPECT_EQ(Cislo("3\xD9\xAB"
                    "7"),
              3.7);
    EXPECT_EQ(Cislo("3\xD9"), 0); // half a separator
    EXPECT_EQ(Cislo("3\xD9"
                    "7"),
              0);
    EXPECT_EQ(Cislo("3.7"), 0);
    EXPECT_EQ(Cislo("3,7"), 0);
}

TEST(KovraTextoveCislo, ThreadLocaleIsHonouredToo) {
    // One thread keeps a copy of the comma locale with uselocale; the process goes back to "C".
    TTestLokale lokale("xx_CARKA.UTF-8", Definice("<U002C>", "<U002E>"));
    ASSERT_TRUE(lokale.Pripraveno());
    const locale_t carka = duplocale(LC_GLOBAL_LOCALE);
    ASSERT_NE(carka, static_cast<locale_t>(nullptr));
    std::setlocale(LC_ALL, "C");
    double vlakno = -1;
    std::thread t([&] {
        uselocale(carka);
        vlakno = Cislo("3,7");
        uselocale(LC_GLOBAL_LOCALE);
    });
    t.join();
    freelocale(carka);
    EXPECT_EQ(vlakno, 3.7);
    EXPECT_EQ(Cislo("3,7"), 0);
    EXPECT_EQ(Cislo("3.7"), 3.7);
}

TEST(KovraTextoveCislo, CzechLocaleFromTheSystemDefinition) {
    // The real Czech locale: the system's, or compiled from the system's locale sources.
    TTestLokale lokale("cs_CZ.UTF-8");
    ASSERT_TRUE(lokale.Pripraveno());
    ASSERT_STREQ(localeconv()->decimal_point, ",");
    EXPECT_EQ(Cislo("3,7"), 3.7);
    EXPECT_EQ(Cislo("3.7"), 0);
    EXPECT_EQ(Port(" 256 "), 256);
}

} // namespace
