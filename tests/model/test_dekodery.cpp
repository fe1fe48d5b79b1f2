// The response decoders on their own: where each answer lands, which request carries the chain on,
// and what a decoder refuses. A link on a fake port and a fake window; the image is the test's.

#include "FakeLink.h"
#include "FakeOkno.h"
#include "okno/Prekresleni.h"
#include "operace/Dekodery.h"
#include "text/Cp1250.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using TBajty = std::vector<std::uint8_t>;

TBajty Bajty(std::string_view text) {
    return {text.begin(), text.end()};
}
// A block written as text, then fill up to 16 bytes; '|' stands for a 0 byte and '^' for 255.
TBajty Blok(std::string_view text, std::uint8_t fill = 0) {
    TBajty data = Bajty(text);
    for (std::uint8_t& b : data) {
        b = b == '|' ? 0 : b == '^' ? 255 : b;
    }
    data.resize(16, fill);
    return data;
}
TPrijemci Prijemci(const TBajty& data) {
    TPrijemci slots{};
    std::copy_n(data.begin(), slots.size(), slots.begin());
    return slots;
}
// Bytes as they come, padded with 0.
TBajty Surove(std::string_view text) {
    TBajty data = Bajty(text);
    data.resize(16, 0);
    return data;
}
std::string_view Znaky(const TBajty& data) {
    return {reinterpret_cast<const char*>(data.data()), data.size()};
}

const TBajty k_Data = Bajty("ABCDEFGHIJKLMNOP");

class Dekodery : public ::testing::Test {
protected:
    Dekodery() {
        InicializujNORLINKRec(fRec);
        // Texts that are not empty show that a decoder appends and never empties.
        for (std::size_t e = 0; e < 8; ++e) {
            fRec.ZpravaPorucha[e] = "~";
            fRec.ZpravaObnova[e] = "~";
            for (std::size_t i = 0; i < 8; ++i) {
                fRec.ZpravaSepnuti[e][i] = "~";
                fRec.ZpravaRozpojeni[e][i] = "~";
            }
        }
        fOkno.Info.Max = 10000;
        fOkno.Info.Position = 0;
    }
    ~Dekodery() override { HWTYP = VERSW = VERHW = TIdentText(); }

    // A request of the test at the head: the queue then shows what the decoder removed and added.
    void Hlava(std::uint8_t druh, std::uint16_t adresa) {
        fKom.VyprazdniFrontu();
        fKom.VytvorTLGNew(PC, MDM, Cteni, druh, adresa, 16, 0, 0);
    }
    TVysledekDekodovani Dekoduj(std::uint8_t druh, std::uint16_t adresa, const TBajty& data) {
        using TDekoder =
            TVysledekDekodovani (TDekodery::*)(std::uint16_t, std::span<const std::uint8_t>);
        static constexpr TDekoder k_PodleDruhu[] = {
            &TDekodery::DekodTLGRam, &TDekodery::DekodTLGEeprom, &TDekodery::DekodTLGZaznam,
            &TDekodery::DekodTLGHWSW};
        return (fDek.*k_PodleDruhu[druh])(adresa, data);
    }
    // The queue holds exactly one 16-byte read of druh at adresa, from this program to the device.
    void OcekavejCteni(std::uint8_t druh, std::uint16_t adresa) const {
        ASSERT_EQ(fKom.PocetZaznamuFronty(), 1U);
        const TZaznamFronty z = fKom.ZaznamFronty(0).value();
        EXPECT_EQ(std::tuple(z.Akce, z.Zdroj, z.Adresat, z.TypPameti, z.Adresa, z.PocetDat),
                  std::tuple(Cteni, PC, MDM, druh, adresa, std::uint8_t{16}));
    }

    TFakeLink fLink;
    TKomunikace& fKom = *fLink.Kom;
    TFakeOkno fOkno;
    TNORLINK fRec{};
    TMezeCteni fMeze = MezeCteniExpanderu(8);
    TDekodery fDek{fRec, fKom, fOkno.Info, fMeze};
    // The decoders fill the images; the window is drawn from them.
    TPrekresleni fKresli{fOkno, fOkno, fOkno};
};

using V = TVysledekDekodovani;
using TZmena = std::function<void(TNORLINK&)>;

// What an answer of k_Data does to its destination.
void Uloz(TTelCislo& cislo) {
    cislo = Znaky(k_Data);
}
void Uloz(TPrijemci& slots) {
    slots = Prijemci(k_Data);
}
void Uloz(TZprava& text) {
    text.Append(Znaky(k_Data));
}
template <typename TPole>
TZmena Do(TPole pole, std::size_t e) {
    return [=](TNORLINK& r) { Uloz((r.*pole)[e]); };
}
template <typename TPole>
TZmena Do(TPole pole, std::size_t e, std::size_t i) {
    return [=](TNORLINK& r) { Uloz((r.*pole)[e][i]); };
}

struct TPristani {
    const char* Nazev;
    std::uint8_t Druh;
    std::uint16_t Adresa;
    V Vysledek;
    TZmena Zmena;                         // what the answer changes in the image
    std::optional<std::uint16_t> Dalsi{}; // the block read queued next
    std::uint8_t DruhDalsiho = ZAZNAM;
    TMezeCteni Meze = MezeCteniExpanderu(8);
    TIdentText* Ident = nullptr; // the identification text the answer fills, shown in Panel
    int Panel = 0;
};

TEST_F(Dekodery, AnswerLandsWhereItsAddressSaysAndQueuesTheNextRequest) {
    const auto n1 = MezeCteniExpanderu(1);
    const auto e2v3 = MezeCteniVstupu(1, 2);
    using R = TNORLINK;
    // clang-format off
    const std::vector<TPristani> rows{
        {"phone 1", ZAZNAM, 0x0000, V::Pokracuje, Do(&R::TelCisla, 0), 0x0010},
        {"phone 16 ends", ZAZNAM, 0x00F0, V::TelCislaHotova, Do(&R::TelCisla, 15)},
        {"exp 1 fault slots", ZAZNAM, 0x0100, V::Pokracuje, Do(&R::TelCislaPoruchaKom, 0), 0x0110},
        {"exp 1 fault text", ZAZNAM, 0x0110, V::Pokracuje, Do(&R::ZpravaPorucha, 0), 0x0120},
        {"exp 1 fault text end", ZAZNAM, 0x01F0, V::Pokracuje, Do(&R::ZpravaPorucha, 0), 0x0200},
        {"exp 1 restore slots", ZAZNAM, 0x0200, V::Pokracuje, Do(&R::TelCislaObnovaKom, 0), 0x0210},
        {"exp 1 restore text", ZAZNAM, 0x0210, V::Pokracuje, Do(&R::ZpravaObnova, 0), 0x0220},
        {"exp 2 fault slots", ZAZNAM, 0x0300, V::Pokracuje, Do(&R::TelCislaPoruchaKom, 1), 0x0310},
        {"record 0x0C00: exp 6", ZAZNAM, 0x0C00, V::Pokracuje, Do(&R::TelCislaObnovaKom, 5), 0x0C10},
        {"exp 8 last, N=8", ZAZNAM, 0x10F0, V::Pokracuje, Do(&R::ZpravaObnova, 7), 0x1100},
        {"exp 1 last, N=1", ZAZNAM, 0x02F0, V::Pokracuje, Do(&R::ZpravaObnova, 0), 0x1100, ZAZNAM, n1},
        {"exp 2 last, E2V3", ZAZNAM, 0x04F0, V::Pokracuje, Do(&R::ZpravaObnova, 1), 0x2500, ZAZNAM, e2v3},
        {"in 1.1 on slots", ZAZNAM, 0x1100, V::Pokracuje, Do(&R::TelCislaSepnuti, 0, 0), 0x1110},
        {"in 1.2 on text", ZAZNAM, 0x1310, V::Pokracuje, Do(&R::ZpravaSepnuti, 0, 1), 0x1320},
        {"in 1.2 off slots", ZAZNAM, 0x1400, V::Pokracuje, Do(&R::TelCislaRozpojeni, 0, 1), 0x1410},
        {"in 1.2 off text end", ZAZNAM, 0x14F0, V::Pokracuje, Do(&R::ZpravaRozpojeni, 0, 1), 0x1500},
        {"in 2.1 on slots", ZAZNAM, 0x2100, V::Pokracuje, Do(&R::TelCislaSepnuti, 1, 0), 0x2110},
        {"in 1.8 last, N=1", ZAZNAM, 0x20F0, V::NastaveniHotovo, Do(&R::ZpravaRozpojeni, 0, 7), {}, ZAZNAM, n1},
        {"in 2.3 last, E2V3", ZAZNAM, 0x26F0, V::NastaveniHotovo, Do(&R::ZpravaRozpojeni, 1, 2), {}, ZAZNAM, e2v3},
        {"below the cap", ZAZNAM, 0x7EF0, V::Pokracuje, Do(&R::ZpravaRozpojeni, 6, 6), 0x7F00},
        {"in 7.8 on slots ends", ZAZNAM, 0x7F00, V::NastaveniHotovo, Do(&R::TelCislaSepnuti, 6, 7)},
        {"in 8.7 off text ends", ZAZNAM, 0x8EF0, V::NastaveniHotovo, Do(&R::ZpravaRozpojeni, 7, 6)},
        {"0x8F00 outside", ZAZNAM, 0x8F00, V::Ignorovano, {}},
        {"0xFFF0 outside", ZAZNAM, 0xFFF0, V::Ignorovano, {}},
        {"HWTYP", HWSW, 0x0C00, V::Pokracuje, {}, 0x0C10, HWSW, {}, &HWTYP, 1},
        {"VERSW", HWSW, 0x0C10, V::Pokracuje, {}, 0x0C20, HWSW, {}, &VERSW, 2},
        {"VERHW, then phone 1", HWSW, 0x0C20, V::Pokracuje, {}, 0x0000, ZAZNAM, {}, &VERHW, 3},
        {"HWSW 0x0C30", HWSW, 0x0C30, V::Ignorovano, {}},
        {"HWSW 0x0100", HWSW, 0x0100, V::Ignorovano, {}},
        {"RAM", RAM, 0x0100, V::Ignorovano, {}},
        {"EEPROM", EEPROM, 0x0C00, V::Ignorovano, {}},
    };
    // clang-format on
    const TNORLINK pred = fRec;
    for (const TPristani& row : rows) {
        SCOPED_TRACE(row.Nazev);
        fRec = pred;
        fMeze = row.Meze;
        HWTYP = VERSW = VERHW = TIdentText("old");
        fOkno.Panels.clear();
        fOkno.Info.Position = 0;
        Hlava(EEPROM, 0x4321); // another request: what stays is visible

        EXPECT_EQ(Dekoduj(row.Druh, row.Adresa, k_Data), row.Vysledek);
        fKresli.Ident();

        TNORLINK ocekavany = pred;
        if (row.Zmena) {
            row.Zmena(ocekavany);
        }
        EXPECT_TRUE(fRec == ocekavany);
        for (TIdentText* ident : {&HWTYP, &VERSW, &VERHW}) {
            EXPECT_EQ(ident->Str(), ident == row.Ident ? "ABCDEFGHIJKLMNOP" : "old");
        }
        EXPECT_EQ(fOkno.PanelText(row.Panel), row.Ident ? "ABCDEFGHIJKLMNOP" : "");
        const bool ulozeno = row.Vysledek != V::Ignorovano;
        EXPECT_EQ(fOkno.Info.Position, ulozeno ? 1 : 0);
        if (!ulozeno) {
            OcekavejCteni(EEPROM, 0x4321); // the head stays
        } else if (row.Dalsi) {
            OcekavejCteni(row.DruhDalsiho, *row.Dalsi);
        } else {
            EXPECT_EQ(fKom.PocetZaznamuFronty(), 0U);
        }
    }
}

TEST_F(Dekodery, PhoneBlockEndsAtTheFirstZeroOr255AndHoldsSixteenDigitsAtMost) {
    const struct {
        const char* Nazev;
        TBajty Data;
        std::string Cislo;
    } rows[] = {
        {"end 0", Blok("604123456|777", '9'), "604123456"},
        {"end 255", Blok("+420777", 0xFF), "+420777"},
        {"16 digits", Bajty("1234567890123456"), "1234567890123456"},
        {"first 0", Blok("|123", '5'), ""},
        {"first 255", Blok("^123", '5'), ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Nazev);
        fRec.TelCisla[2] = "old";
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, 3, "old");
        Hlava(ZAZNAM, 0x0020);
        EXPECT_EQ(fDek.DekodTLGZaznam(0x0020, row.Data), V::Pokracuje);
        EXPECT_EQ(fRec.TelCisla[2].Str(), row.Cislo);
        fKresli.TelCisla(fRec);
        EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, 3), row.Cislo);
        EXPECT_EQ(fOkno.Info.Label, "Načítání telefonních čísel 3/16");
        OcekavejCteni(ZAZNAM, 0x0030);
    }
}

TEST_F(Dekodery, TextSkipsFillBytesAndStopsAt240Characters) {
    fRec.ZpravaPorucha[0].Clear();
    EXPECT_EQ(fDek.DekodTLGZaznam(0x0110, Blok("A|B^C")), V::Pokracuje);
    EXPECT_EQ(fRec.ZpravaPorucha[0].Str(), "ABC");
    EXPECT_EQ(fDek.DekodTLGZaznam(0x0120, TBajty(16, 0)), V::Pokracuje);
    EXPECT_EQ(fDek.DekodTLGZaznam(0x0130, TBajty(16, 0xFF)), V::Pokracuje);
    EXPECT_EQ(fRec.ZpravaPorucha[0].Str(), "ABC") << "fill bytes add nothing";
    EXPECT_EQ(fOkno.Info.Position, 3) << "they still count";

    // Sixteen telegrams of 16 characters: the text keeps the first 240.
    std::string ocekavany;
    fRec.ZpravaSepnuti[2][3].Clear();
    for (int n = 0; n < 16; ++n) {
        const TBajty data = Blok(std::string(16, static_cast<char>('a' + n)));
        const auto adresa = static_cast<std::uint16_t>(0x3710 + 16 * (n % 15));
        EXPECT_EQ(fDek.DekodTLGZaznam(adresa, data), V::Pokracuje) << n;
        ocekavany += Znaky(data);
    }
    EXPECT_EQ(fRec.ZpravaSepnuti[2][3].size(), 240U);
    EXPECT_EQ(fRec.ZpravaSepnuti[2][3].Str(), ocekavany.substr(0, 240));
}

TEST_F(Dekodery, AnswersInAWritePhaseOnlyStepTheBar) {
    // A pair at the head: the write phase.
    fKom.VyprazdniFrontu();
    auto zapis = fKom.VytvorTLGNewDoBuffru(PC, MDM, Zapis, ZAZNAM, 0x0110, 16, 0, 0);
    auto cteni = fKom.VytvorTLGNewDoBuffru(PC, MDM, Cteni, ZAZNAM, 0x0110, 16, 0, 0);
    ASSERT_TRUE(zapis && cteni);
    fKom.ZaradParZapisu(std::move(*zapis), std::move(*cteni));
    const TNORLINK pred = fRec;
    int krok = 0;
    for (const std::uint16_t adresa : {0x0000, 0x00F0, 0x0110, 0x1100, 0x7F00, 0x8EF0}) {
        EXPECT_EQ(fDek.DekodTLGZaznam(adresa, k_Data), V::Zapis) << adresa;
        EXPECT_EQ(fOkno.Info.Position, ++krok) << adresa;
    }
    EXPECT_EQ(fDek.DekodTLGZaznam(0x8F00, k_Data), V::Ignorovano);
    EXPECT_EQ(fOkno.Info.Position, krok) << "outside every window nothing counts";
    EXPECT_TRUE(fRec == pred);
    // The pair stays: its write decides when it is done.
    ASSERT_EQ(fKom.PocetZaznamuFronty(), 1U);
    ASSERT_TRUE(fKom.Zapisuju());
    EXPECT_EQ(fKom.CteniParu()->Adresa, 0x0110);
}

TEST_F(Dekodery, ShortAnswersStoreNothingAndKeepTheHead) {
    const struct {
        std::uint8_t Druh;
        std::uint16_t Adresa;
        std::size_t Delka;
    } rows[] = {{ZAZNAM, 0x0000, 15}, {ZAZNAM, 0x0100, 0},  {ZAZNAM, 0x0110, 15},
                {ZAZNAM, 0x1100, 1},  {ZAZNAM, 0x20F0, 15}, {HWSW, 0x0C00, 15},
                {HWSW, 0x0C20, 0}};
    fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, 1, "old");
    VERHW = HWTYP = TIdentText("old");
    const TNORLINK pred = fRec;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Adresa);
        Hlava(row.Druh, row.Adresa);
        // Exactly the bytes received: a read beyond them is caught by the sanitizer.
        const TBajty data(k_Data.begin(), k_Data.begin() + static_cast<long>(row.Delka));
        EXPECT_EQ(Dekoduj(row.Druh, row.Adresa, data), V::Ignorovano);
        OcekavejCteni(row.Druh, row.Adresa);
    }
    EXPECT_TRUE(fRec == pred);
    EXPECT_EQ(HWTYP.Str(), "old");
    EXPECT_EQ(VERHW.Str(), "old");
    EXPECT_TRUE(fOkno.Panels.empty());
    EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, 1), "old");
    EXPECT_EQ(fOkno.Info.Position, 0);
}

// What a status panel shows of an identification text: no fill, no control codes (the five bytes
// the code page leaves undefined come out as C1 controls), no trailing blanks.
TEST(CitelnyText, ShowsOnlyTheReadableCharacters) {
    const struct {
        std::string_view Bajty;
        std::string Panel;
    } rows[] = {
        {{"NORLINK GSM\0\0\0\0\xFF", 16}, "NORLINK GSM"},
        {"V1.07  \xFF\xFF   ", "V1.07"},
        {{"\xFF\0HW\x01 \xC8\x8A\xE8\x7F\x1F", 11}, "HW ČŠč"},
        {"A\x81\x83\x88\x90\x98Z", "AZ"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CitelnyText(row.Bajty), row.Panel) << row.Panel;
    }
}

TEST_F(Dekodery, EveryByteFromOneTo254ReachesImageAndWindowUnchanged) {
    std::string vse;
    for (int b = 1; b <= 254; ++b) {
        vse += static_cast<char>(b);
    }
    for (std::uint8_t k = 0; k < 16; ++k) {
        const std::string cislo = vse.substr(16U * k, 16);
        fDek.DekodTLGZaznam(static_cast<std::uint16_t>(16 * k), Surove(cislo));
        EXPECT_EQ(fRec.TelCisla[k].Str(), cislo);
        fKresli.TelCisla(fRec);
        const std::string bunka = fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, k + 1);
        EXPECT_EQ(bunka, Cp1250DoUtf8(cislo));
        EXPECT_EQ(Utf8DoCp1250(bunka), cislo) << "the cell gives the bytes back";
    }
    fRec.ZpravaPorucha[0].Clear();
    fRec.ZpravaObnova[0].Clear();
    for (std::uint16_t j = 1; j < 16; ++j) {
        fDek.DekodTLGZaznam(static_cast<std::uint16_t>(0x0100 + 16 * j),
                            Surove(vse.substr(16U * (j - 1), 16)));
    }
    fDek.DekodTLGZaznam(0x0210, Surove(vse.substr(240)));
    EXPECT_EQ(fRec.ZpravaPorucha[0].Str() + fRec.ZpravaObnova[0].Str(), vse);
}

TEST(MezeCteni, BoundsOfEachReadWithTheInputBoundCapped) {
    const struct {
        int N;
        TMezeCteni Meze;
    } vse[] = {{1, {0x02F0, 0x1100, 0x20F0}}, {2, {0x04F0, 0x1100, 0x30F0}},
               {3, {0x06F0, 0x1100, 0x40F0}}, {4, {0x08F0, 0x1100, 0x50F0}},
               {5, {0x0AF0, 0x1100, 0x60F0}}, {6, {0x0CF0, 0x1100, 0x70F0}},
               {7, {0x0EF0, 0x1100, 0x7EFF}}, {8, {0x10F0, 0x1100, 0x7EFF}}};
    for (const auto& row : vse) {
        EXPECT_EQ(MezeCteniExpanderu(row.N), row.Meze) << "N=" << row.N;
    }
    const struct {
        int E, V;
        TMezeCteni Meze;
    } vstup[] = {{0, 0, {0x02F0, 0x1100, 0x12F0}}, {1, 2, {0x04F0, 0x2500, 0x26F0}},
                 {6, 6, {0x0EF0, 0x7D00, 0x7EF0}}, {6, 7, {0x0EF0, 0x7F00, 0x7EFF}},
                 {7, 0, {0x10F0, 0x8100, 0x7EFF}}, {7, 7, {0x10F0, 0x8F00, 0x7EFF}}};
    for (const auto& row : vstup) {
        EXPECT_EQ(MezeCteniVstupu(row.E, row.V), row.Meze) << row.E << "," << row.V;
    }
}

} // namespace
