// The program's own settings in norlink.ini: section "ComPort" and the port map of section "Porty".

#include "soubory/NastaveniProgramu.h"
#include "soubory/ProfileFile.h"
#include "test_nastaveni_locale.h"
#include "test_profile_scratch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TNastaveniProgramu Nacti(const std::string& ini) {
    return NactiNastaveniProgramu(TProfileFile::Load(ini));
}

} // namespace

TEST(NastaveniProgramu, MissingFileGivesTheDefaults) {
    TScratchDir dir;
    const auto nastaveni = Nacti(CestaNastaveni(AsInstDir(dir)));
    EXPECT_EQ(nastaveni.ComPortNo, 2);
    EXPECT_EQ(nastaveni.ComBaudRate, 4800);
    EXPECT_EQ(nastaveni.PocetExpanderu, 1);
    EXPECT_TRUE(
        NactiMapuPortu(TProfileFile::Load(CestaNastaveni(AsInstDir(dir))), AsInstDir(dir)).empty());
}

TEST(NastaveniProgramu, ReadsEachKeyAndDefaultsOnlyWhatIsMissingOrNoInteger) {
    TScratchDir dir;
    const std::string ini = CestaNastaveni(AsInstDir(dir));
    EXPECT_EQ(ini, AsInstDir(dir) + "norlink.ini");
    WriteFileBytes(ini, "[comport]\r\nCISLO=0x0C\r\nRychlost=9600\r\nProgram=tri\r\n");
    auto nastaveni = Nacti(ini);
    EXPECT_EQ(nastaveni.ComPortNo, 12);
    EXPECT_EQ(nastaveni.ComBaudRate, 9600);
    EXPECT_EQ(nastaveni.PocetExpanderu, 1);

    // The stored number is handed on as it is; the expander-count control clamps it.
    WriteFileBytes(ini, "[ComPort]\nProgram=9\nCislo=-1\nRychlost=4800.0\n");
    nastaveni = Nacti(ini);
    EXPECT_EQ(nastaveni.PocetExpanderu, 9);
    EXPECT_EQ(nastaveni.ComPortNo, -1);
    EXPECT_EQ(nastaveni.ComBaudRate, 4800);
}

TEST(NastaveniProgramu, IntegersDoNotDependOnTheNumericLocale) {
    TScratchDir dir;
    const std::string ini = CestaNastaveni(AsInstDir(dir));
    WriteFileBytes(ini, "[ComPort]\nCislo=1,5\nRychlost=19200\nProgram=0x3\n");
    const TCommaLocale comma;
    ASSERT_TRUE(comma.Active()) << "no comma-decimal locale";
    const auto nastaveni = Nacti(ini);
    EXPECT_EQ(nastaveni.ComPortNo, 2);
    EXPECT_EQ(nastaveni.ComBaudRate, 19200);
    EXPECT_EQ(nastaveni.PocetExpanderu, 3);
    // Written integers carry no grouping or other locale marks either.
    UlozCisloPortu(ini, 1234567);
    EXPECT_EQ(ReadFileBytes(ini), "[ComPort]\nCislo=1234567\nRychlost=19200\nProgram=0x3\n");
}

TEST(NastaveniProgramu, WritesThePortAndTheExpanderCountAsDecimal) {
    TScratchDir dir;
    const std::string ini = CestaNastaveni(AsInstDir(dir));
    // At close without a settings file, the file is created holding only "Program".
    UlozPocetExpanderu(ini, 1);
    EXPECT_EQ(ReadFileBytes(ini), "[ComPort]\nProgram=1\n");
    UlozCisloPortu(ini, 12);
    UlozPocetExpanderu(ini, 3);
    EXPECT_EQ(ReadFileBytes(ini), "[ComPort]\nProgram=3\nCislo=12\n");
    const auto nastaveni = Nacti(ini);
    EXPECT_EQ(nastaveni.ComPortNo, 12);
    EXPECT_EQ(nastaveni.PocetExpanderu, 3);
}

TEST(NastaveniProgramu, WritingKeepsTheRestOfTheFile) {
    TScratchDir dir;
    const std::string ini = CestaNastaveni(AsInstDir(dir));
    const std::string before = "; nastaveni\r\n[ComPort]\r\nRychlost=9600\r\nCislo = 4\r\n\r\n"
                               "[Porty]\r\nCOM4=/dev/ttyUSB0\r\n";
    WriteFileBytes(ini, before);
    UlozCisloPortu(ini, 5);
    UlozPocetExpanderu(ini, 2);
    EXPECT_EQ(ReadFileBytes(ini), "; nastaveni\r\n[ComPort]\r\nRychlost=9600\r\nCislo =5\r\n"
                                  "Program=2\r\n\r\n[Porty]\r\nCOM4=/dev/ttyUSB0\r\n");
}

TEST(NastaveniProgramu, PortMapTakesComKeysWithTheirDevicePaths) {
    TScratchDir dir;
    const std::string ini = CestaNastaveni(AsInstDir(dir));
    WriteFileBytes(ini, "[Porty]\n"
                        "COM5=/dev/ttyUSB0\n"
                        "com12 = \"/tmp/pty s mezerou\"\n"
                        "Com05=/dev/duplicate\n"
                        "COM0=/dev/pts/7\n"
                        "COM=/dev/none\n"
                        "COMx=/dev/none\n"
                        "COM-1=/dev/none\n"
                        "COM 3=/dev/none\n"
                        "COM99999999999=/dev/none\n"
                        "COM9=\n"
                        "COM10=\"\"\n"
                        "COM2=simport\n"
                        "COM3=./sim/pty\n"
                        "LPT1=/dev/lp0\n"
                        "[ComPort]\n"
                        "COM7=/dev/other-section\n");
    // Relative paths from the program's folder; empty ones kept, so that they are reported.
    const auto porty = NactiMapuPortu(TProfileFile::Load(ini), "/opt/norlink/");
    const std::map<unsigned, std::string> expected = {{0, "/dev/pts/7"},
                                                      {2, "/opt/norlink/simport"},
                                                      {3, "/opt/norlink/./sim/pty"},
                                                      {5, "/dev/ttyUSB0"},
                                                      {9, ""},
                                                      {10, ""},
                                                      {12, "/tmp/pty s mezerou"}};
    EXPECT_EQ(porty, expected);
}

TEST(NastaveniProgramu, DirectionModeIsReadInAnyCaseStoredByNameAndDefaultsToDtr) {
    TScratchDir dir;
    const std::string ini = CestaNastaveni(AsInstDir(dir));
    EXPECT_EQ(Nacti(ini).Smer, TSmer::DTR);
    for (const auto& [text, smer] : {std::pair{"rts", TSmer::RTS}, std::pair{"RS485", TSmer::RS485},
                                     std::pair{"ZADNY", TSmer::Zadny},
                                     std::pair{"RS-485", TSmer::DTR}, std::pair{"", TSmer::DTR}}) {
        WriteFileBytes(ini, std::string("[ComPort]\nSmer=") + text + "\n");
        EXPECT_EQ(Nacti(ini).Smer, smer) << text;
    }
    UlozSmer(ini, TSmer::Zadny);
    EXPECT_EQ(ReadFileBytes(ini), "[ComPort]\nSmer=Zadny\n");
    EXPECT_EQ(Nacti(ini).Smer, TSmer::Zadny);
}
