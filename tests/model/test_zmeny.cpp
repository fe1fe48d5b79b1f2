// Loading an export into the window, the marks of what differs from the device, the write
// buttons' tooltips and the question at close, through the window's logic with a fake window and a
// small device that answers the queue from its memory.

#include "LogikaRig.h"
#include "soubory/Export.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

namespace {

using ::testing::HasSubstr;

class Zmeny : public TLogikaRig {
protected:
    Zmeny() {
        Spust();
        std::ranges::fill(fHwsw, 'x');
        fPamet[0x0100] = 3; // expander 1's first failure slot
    }
    std::string Soubor(const TNORLINK& image) {
        const std::string path = (fScratch.path() / "nastaveni1.log").string();
        UlozNastaveni(path, image);
        return path;
    }
};

TEST_F(Zmeny, LoadingNeedsACompleteReadAndAFileThatIsAnExport) {
    fLogika->cmNactiNastaveniClick();
    ASSERT_EQ(fOkno.Warnings.size(), 1U);
    EXPECT_THAT(fOkno.Warnings[0].Text, HasSubstr("Nejdřív načtěte nastavení"));
    EXPECT_TRUE(fOkno.Queries.empty()) << "no file dialog before a complete read";

    fLogika->Btn_NactiAktualniClick();
    DoKonce();
    fLogika->cmNactiNastaveniClick();
    EXPECT_EQ(fOkno.Warnings.size(), 2U) << "one input read is not a complete read";

    fLogika->Btn_NactiExpanderyClick();
    DoKonce();
    const TNORLINK pred = NORLINKRecNew;
    std::ofstream((fScratch.path() / "spatny.log").string()) << "[Tel. cisla]\nCislo 00=1\n";
    fOkno.Files = {(fScratch.path() / "spatny.log").string(), std::nullopt};
    fLogika->cmNactiNastaveniClick();
    ASSERT_EQ(fOkno.Errors.size(), 1U);
    EXPECT_THAT(fOkno.Errors[0], HasSubstr("chybí"));
    EXPECT_TRUE(NORLINKRecNew == pred) << "a refused file changes nothing";
    fLogika->cmNactiNastaveniClick(); // cancelled
    EXPECT_TRUE(NORLINKRecNew == pred);
}

TEST_F(Zmeny, MarksTooltipsAndTheCloseQuestionFollowLoadsExportsAndWrites) {
    fLogika->Btn_NactiTelCislaClick();
    DoKonce();
    fLogika->Btn_NactiExpanderyClick();
    DoKonce();
    EXPECT_FALSE(fLogika->NeulozeneZmeny());
    EXPECT_FALSE(fOkno.CellBold(TMrizka::Hg_Komunikace, 1, 1));
    EXPECT_EQ(fOkno.ToolTips[TOvladac::Btn_ZapisNastaveni], "Zápis teď pošle 0 bloků");

    TNORLINK file = NORLINKRec;
    file.TelCisla[2] = "123456789";
    file.TelCislaPoruchaKom[0][0] = 5;
    file.ZpravaObnova[0] = "obnoveno";
    fOkno.Files = {Soubor(file)};
    fLogika->cmNactiNastaveniClick();
    ASSERT_EQ(fOkno.Messages.size(), 1U);
    EXPECT_TRUE(NORLINKRecNew == file);
    EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, 3), "123456789");
    EXPECT_TRUE(fOkno.CellBold(TMrizka::Hg_PhoneNumbers, 1, 3));
    EXPECT_FALSE(fOkno.CellBold(TMrizka::Hg_PhoneNumbers, 1, 4));
    EXPECT_TRUE(fOkno.CellBold(TMrizka::Hg_Komunikace, 1, 1));
    EXPECT_FALSE(fOkno.CellBold(TMrizka::Hg_Komunikace, 2, 1));
    EXPECT_TRUE(fOkno.MemoBold[TMemo::Mem_Obnova]);
    EXPECT_FALSE(fOkno.MemoBold[TMemo::Mem_Porucha]);
    EXPECT_EQ(fOkno.ToolTips[TOvladac::Btn_ZapisTelCisla], "Zápis teď pošle 1 blok");
    EXPECT_EQ(fOkno.ToolTips[TOvladac::Btn_ZapisNastaveni], "Zápis teď pošle 16 bloků");
    EXPECT_TRUE(fLogika->NeulozeneZmeny());

    fLogika->cmUlozNastaveniClick();
    EXPECT_FALSE(fLogika->NeulozeneZmeny()) << "exported, the loaded numbers with it";
    fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, 5, "555666777");
    fLogika->Hg_PhoneNumbersCellEdited(1, 5);
    EXPECT_TRUE(fLogika->NeulozeneZmeny()) << "a typed number is not in the export";
    fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, 5, "");
    fLogika->Hg_PhoneNumbersCellEdited(1, 5);
    fOkno.SetMemoText(TMemo::Mem_Porucha, "jinak");
    fLogika->MemoExit(TMemo::Mem_Porucha);
    EXPECT_TRUE(fLogika->NeulozeneZmeny()) << "changed again after the export";

    fLogika->Btn_ZapisTelCislaClick();
    DoKonce();
    fLogika->Btn_ZapisNastaveniClick();
    DoKonce();
    EXPECT_TRUE(fOkno.Errors.empty());
    EXPECT_EQ(fPamet[0x0100], 5);
    EXPECT_FALSE(fOkno.CellBold(TMrizka::Hg_PhoneNumbers, 1, 3)) << "written and verified";
    EXPECT_FALSE(fOkno.CellBold(TMrizka::Hg_Komunikace, 1, 1));
    EXPECT_FALSE(fOkno.MemoBold[TMemo::Mem_Obnova]);
    EXPECT_FALSE(fLogika->NeulozeneZmeny());
    // What was read back is the device's: nothing is left to send.
    EXPECT_TRUE(NORLINKRec == NORLINKRecNew);
    EXPECT_EQ(fOkno.ToolTips[TOvladac::Btn_ZapisNastaveni], "Zápis teď pošle 0 bloků");
    fLogika->Btn_ZapisTelCislaClick();
    fLogika->Btn_ZapisNastaveniClick();
    EXPECT_EQ(fOkno.Previews.size(), 2U) << "nothing to write shows nothing";
    EXPECT_FALSE(fLogika->BeziOperace());
}

} // namespace
