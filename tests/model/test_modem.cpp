// The communicator's address table and record-memory layout.
#include "stav/AdresyPameti.h"
#include "telegram/telegramy.h"

#include <gtest/gtest.h>

namespace {

TEST(MDM_ADRESY, EntriesByName) {
    struct {
        std::uint8_t Index;
        std::uint16_t Adresa, Delka;
    } const radky[] = {
        {MDM_Z_Heslo, 0x0000, 8},
        {MDM_Z_System, 0x0000, 1},
        {MDM_E_Ukazatele, 0x004A, 5},
        {MDM_R_CtiZaznamy, 0x001C, 3},
        {MDM_E_PoslPozice, 0x004D, 2},
        {MDM_E_Preteceni, 0x004C, 1},
        {MDM_E_Heslo, 0x0000, 8},
        {MDM_E_PocetZarizeni, 0x004F, 1},
        {MDM_E_ModCommand11, 0x0008, 16},
        {MDM_E_ModCommand12, 0x0018, 16},
        {MDM_E_ModCommand21, 0x0028, 16},
        {MDM_E_ModCommand22, 0x0038, 16},
        {MDM_E_Software, 0x0000, 16},
        {MDM_E_Hardware, 0x0011, 16},
        {MDM_E_PocetZvoneni, 0x0060, 1},
        {NORLINK_Z_SeznamCisel, 0x0000, 16},
        {NORLINK_Z_PoruchaExp1, 0x0100, 16},
        {NORLINK_Z_Vstup1Exp1, 0x1100, 16},
        {NORLINK_Z_HWTYP, 0x0C00, 16},
        {NORLINK_Z_VERSW, 0x0C10, 16},
        {NORLINK_Z_VERHW, 0x0C20, 16},
    };
    ASSERT_EQ(std::size(radky), MDM_MaxPocetAdres);
    for (std::size_t i = 0; i < std::size(radky); ++i) {
        EXPECT_EQ(radky[i].Index, i);
        const auto polozka = NajdiPolozkuAdres(MDM, radky[i].Index);
        ASSERT_TRUE(polozka.has_value()) << i;
        EXPECT_EQ(polozka->Adresa, radky[i].Adresa) << i;
        EXPECT_EQ(polozka->Delka, radky[i].Delka) << i;
    }
}

TEST(MDM_ADRESY, OnlyTheCommunicatorHasATable) {
    EXPECT_EQ(AdresovaTabulka(MDM).data(), MDM_ADRESY.data());
    EXPECT_EQ(AdresovaTabulka(NORLINK).size(), 2u * MDM_MaxPocetAdres);
    for (unsigned adresat = 0; adresat < 256; ++adresat) {
        if (adresat != MDM) {
            EXPECT_TRUE(AdresovaTabulka(static_cast<std::uint8_t>(adresat)).empty()) << adresat;
            EXPECT_FALSE(NajdiPolozkuAdres(static_cast<std::uint8_t>(adresat), 0)) << adresat;
        }
    }
    EXPECT_FALSE(NajdiPolozkuAdres(MDM, MDM_MaxPocetAdres));
    EXPECT_FALSE(NajdiPolozkuAdres(MDM, 255));
}

TEST(ZaznamovaPamet, Windows) {
    EXPECT_EQ(k_OknoTelCisel.Zacatek, 0x0000);
    EXPECT_EQ(k_OknoTelCisel.Konec, 0x0100);
    EXPECT_EQ(k_OknoExpanderu.Zacatek, 0x0100);
    EXPECT_EQ(k_OknoExpanderu.Konec, 0x1100);
    EXPECT_EQ(k_OknoVstupu.Zacatek, 0x1100);
    EXPECT_EQ(k_OknoVstupu.Konec, 0x8F00);
}

TEST(ZaznamovaPamet, BlockAddresses) {
    EXPECT_EQ(AdresaTelCisla(0), 0x0000);
    EXPECT_EQ(AdresaTelCisla(1), 0x0010);
    EXPECT_EQ(AdresaTelCisla(15), 0x00F0);
    EXPECT_EQ(AdresaExpanderu(0, 0), 0x0100);
    EXPECT_EQ(AdresaExpanderu(0, 1), 0x0110);
    EXPECT_EQ(AdresaExpanderu(0, 16), 0x0200);
    EXPECT_EQ(AdresaExpanderu(1, 0), 0x0300);
    EXPECT_EQ(AdresaExpanderu(7, 31), 0x10F0);
    EXPECT_EQ(AdresaVstupu(0, 0, 0), 0x1100);
    EXPECT_EQ(AdresaVstupu(0, 1, 1), 0x1310);
    EXPECT_EQ(AdresaVstupu(0, 1, 16), 0x1400);
    EXPECT_EQ(AdresaVstupu(1, 0, 0), 0x2100);
    EXPECT_EQ(AdresaVstupu(6, 7, 0), 0x7F00);
    EXPECT_EQ(AdresaVstupu(7, 6, 0), 0x8D00);
    EXPECT_EQ(AdresaVstupu(7, 7, 0), 0x8F00);
}

TEST(ZaznamovaPamet, EveryPhoneAddressMapsBackToItsNumber) {
    for (unsigned a = k_OknoTelCisel.Zacatek; a < k_OknoTelCisel.Konec; ++a) {
        const auto misto = UrciMistoZaznamu(static_cast<std::uint16_t>(a));
        ASSERT_EQ(misto.Oblast, TOblastZaznamu::TelCisla) << a;
        EXPECT_EQ(misto.IndexTelCisla, a / 16) << a;
    }
    for (std::uint8_t k = 0; k < k_NORLINKMaxPocetCisel; ++k) {
        EXPECT_EQ(UrciMistoZaznamu(AdresaTelCisla(k)).IndexTelCisla, k);
    }
}

TEST(ZaznamovaPamet, EveryExpanderTelegramMapsBack) {
    for (std::uint8_t e = 0; e < 8; ++e) {
        for (std::uint8_t j = 0; j < 32; ++j) {
            const auto misto = UrciMistoZaznamu(AdresaExpanderu(e, j));
            ASSERT_EQ(misto.Oblast, TOblastZaznamu::Expander) << int(e) << "/" << int(j);
            EXPECT_EQ(misto.IndexExpanderu, e) << int(j);
            EXPECT_EQ(misto.Prijemci, j % 16 == 0) << int(e) << "/" << int(j);
            EXPECT_EQ(misto.PrvniPolovina, j < 16) << int(e) << "/" << int(j);
        }
    }
}

TEST(ZaznamovaPamet, EveryInputTelegramInsideTheWindowMapsBack) {
    int uvnitr = 0;
    for (std::uint8_t e = 0; e < 8; ++e) {
        for (std::uint8_t i = 0; i < 8; ++i) {
            for (std::uint8_t j = 0; j < 32; ++j) {
                const std::uint16_t a = AdresaVstupu(e, i, j);
                const auto misto = UrciMistoZaznamu(a);
                if (a >= 0x8F00) {
                    EXPECT_EQ(misto.Oblast, TOblastZaznamu::Zadna) << a;
                    continue;
                }
                ++uvnitr;
                ASSERT_EQ(misto.Oblast, TOblastZaznamu::Vstup) << a;
                EXPECT_EQ(misto.IndexExpanderu, e) << a;
                EXPECT_EQ(misto.IndexVstupu, i) << a;
                EXPECT_EQ(misto.Prijemci, j % 16 == 0) << a;
                EXPECT_EQ(misto.PrvniPolovina, j < 16) << a;
            }
        }
    }
    // All but the last input of the last expander.
    EXPECT_EQ(uvnitr, (64 - 1) * 32);
}

TEST(ZaznamovaPamet, WindowEnds) {
    // Input 7 of expander 8 (counted from 1) is the last block inside.
    const auto posledni = UrciMistoZaznamu(0x8D00);
    EXPECT_EQ(posledni.Oblast, TOblastZaznamu::Vstup);
    EXPECT_EQ(posledni.IndexExpanderu, 7);
    EXPECT_EQ(posledni.IndexVstupu, 6);
    EXPECT_EQ(UrciMistoZaznamu(0x8EFF).Oblast, TOblastZaznamu::Vstup);
    EXPECT_EQ(UrciMistoZaznamu(0x8F00).Oblast, TOblastZaznamu::Zadna);
    EXPECT_EQ(UrciMistoZaznamu(0xFFFF).Oblast, TOblastZaznamu::Zadna);
    EXPECT_EQ(UrciMistoZaznamu(0x00FF).Oblast, TOblastZaznamu::TelCisla);
    EXPECT_EQ(UrciMistoZaznamu(0x10FF).Oblast, TOblastZaznamu::Expander);
    EXPECT_EQ(UrciMistoZaznamu(0x1100).Oblast, TOblastZaznamu::Vstup);
}

TEST(ZaznamovaPamet, IdentificationAddressInRecordMemoryIsAnExpanderBlock) {
    // 0x0C00 is the hardware type only in HWSW; in record memory it holds the restoration
    // recipients of expander 6 (block at 0x0B00).
    const auto misto = UrciMistoZaznamu(MDM_Adresa(NORLINK_Z_HWTYP));
    EXPECT_EQ(misto.Oblast, TOblastZaznamu::Expander);
    EXPECT_EQ(misto.IndexExpanderu, 5);
    EXPECT_TRUE(misto.Prijemci);
    EXPECT_FALSE(misto.PrvniPolovina);
}

TEST(ZaznamovaPamet, UnalignedTextAddressesTakeTheirHalf) {
    // Text halves are told apart by the block's own offset, not by the window's.
    const auto druha = UrciMistoZaznamu(0x1408); // expander 1, input 2, second half
    EXPECT_FALSE(druha.Prijemci);
    EXPECT_FALSE(druha.PrvniPolovina);
    const auto prvni = UrciMistoZaznamu(0x13FF); // last byte of the first half
    EXPECT_FALSE(prvni.Prijemci);
    EXPECT_TRUE(prvni.PrvniPolovina);
    EXPECT_EQ(prvni.IndexVstupu, 1);
}

} // namespace
