// The three reads in a session with a device that answers from its memory images (OperaceRig.h),
// and what the window's logic shows and allows around them (LogikaRig.h). Whole chains are
// answered straight into the session's decoders; the phone read and the device watch go over the
// line as telegrams.

#include "LogikaRig.h"
#include "operace/Cteni.h"
#include "text/Cp1250.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

namespace {

constexpr std::array k_Tlacitka{TOvladac::Btn_NactiTelCisla,  TOvladac::Btn_ZapisTelCisla,
                                TOvladac::Btn_NactiExpandery, TOvladac::Btn_NactiAktualni,
                                TOvladac::Btn_reset,          TOvladac::Btn_ZapisNastaveni};

bool Vypln(std::uint8_t b) {
    return b == 0 || b == 255;
}

// A communicator's memory: numbers of 9 to 16 digits, recipient slots 0..15 or empty, and texts
// of every length up to 240 with the erased fill behind them.
void NaplnPamet(TBajty& pamet, TBajty& hwsw) {
    std::uint32_t x = 2024;
    const auto nahodne = [&x] { return (x = x * 1103515245U + 12345U) >> 16; };
    for (auto& b : pamet) {
        b = static_cast<std::uint8_t>(1 + nahodne() % 254);
    }
    for (unsigned k = 0; k < 16; ++k) {
        for (unsigned j = 0; j < 16; ++j) {
            pamet[16 * k + j] = static_cast<std::uint8_t>(j < 9 + k % 8 ? '0' + (k + j) % 10
                                                                        : (k % 2 == 0 ? 0 : 255));
        }
    }
    for (unsigned pul = 0x100; pul < pamet.size(); pul += 256) {
        for (unsigned j = 0; j < 16; ++j) {
            const unsigned slot = (pul / 256 + j) % 17;
            pamet[pul + j] = static_cast<std::uint8_t>(slot == 16 ? 255 : slot);
        }
        for (unsigned o = nahodne() % 241; o < 240; ++o) {
            pamet[pul + 16 + o] = o % 2 == 0 ? 255 : 0;
        }
    }
    const auto ident = [&hwsw](std::uint16_t adresa, std::string_view text) {
        std::copy(text.begin(), text.end(), hwsw.begin() + adresa);
    };
    ident(0x0C00, std::string_view("NORLINK GSM\0\0\0\0\xFF", 16));
    ident(0x0C10, "SW 1.07 \x01\xC8\x8A     ");
    ident(0x0C20, std::string_view("HW C\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 16));
}

class Cteni : public TOperaceRig {
protected:
    Cteni() { NaplnPamet(fPamet, fHwsw); }

    // What reading the blocks od..po (inclusive) leaves in rec; their addresses, in order.
    std::vector<std::uint16_t> Precti(TNORLINK& rec, unsigned od, unsigned po) const {
        std::vector<std::uint16_t> adresy;
        for (unsigned a = od; a <= po; a += 16) {
            adresy.push_back(static_cast<std::uint16_t>(a));
            const bool exp = a < 0x1100;
            const unsigned r = a - (exp ? 0x100 : 0x1100);
            const unsigned e = r / (exp ? 512 : 4096);
            const unsigned i = r / 512 % 8;
            const bool prvni = r % 512 < 256;
            if (r % 256 == 0) {
                TPrijemci& p =
                    exp ? (prvni ? rec.TelCislaPoruchaKom[e] : rec.TelCislaObnovaKom[e])
                        : (prvni ? rec.TelCislaSepnuti[e][i] : rec.TelCislaRozpojeni[e][i]);
                std::copy_n(fPamet.begin() + a, 16, p.begin());
                continue;
            }
            TZprava& t = exp ? (prvni ? rec.ZpravaPorucha[e] : rec.ZpravaObnova[e])
                             : (prvni ? rec.ZpravaSepnuti[e][i] : rec.ZpravaRozpojeni[e][i]);
            for (unsigned j = 0; j < 16; ++j) {
                if (!Vypln(fPamet[a + j])) {
                    t.Append(std::string(1, static_cast<char>(fPamet[a + j])));
                }
            }
        }
        return adresy;
    }
    static void BezTextu(TNORLINK& rec) {
        rec.ZpravaPorucha = {};
        rec.ZpravaObnova = {};
        rec.ZpravaSepnuti = {};
        rec.ZpravaRozpojeni = {};
    }
    // Shown without waiting, only the lower bar, empty caption, the cancel button offered.
    void OcekavejDialogCteni(int maximum, std::string_view text) const {
        const TFakeInfoForm& i = fOkno.Info;
        EXPECT_EQ(std::tuple(i.Shown, i.PrerusitShown, i.Dolni, i.Horni, i.Max, i.Position, i.Label,
                             i.Caption),
                  std::tuple(true, true, true, false, maximum, 0, std::string(text), ""));
    }
};

class CteniOkno : public TLogikaRig {
protected:
    CteniOkno() {
        NaplnPamet(fPamet, fHwsw);
        Spust();
    }

    // One tick of the watch, its period later.
    void Hlidej() {
        fCas += std::chrono::milliseconds(k_HlidaniMs);
        fHlidac->Pump();
    }
    void Vyber(int e, int v) {
        fOkno.Spin = 8;
        fLogika->SEdt_PocetExpanderuChange();
        fOkno.SetItemIndex(TSeznam::Cmb_Expander, e);
        fOkno.SetItemIndex(TSeznam::Cmb_Vstup, v);
    }
    void CtiVse(int n) {
        fOkno.Spin = n;
        fLogika->Btn_NactiExpanderyClick();
    }
    void CtiVstup(int e, int v) {
        Vyber(e, v);
        fLogika->Btn_NactiAktualniClick();
    }
};

TEST_F(Cteni, PhoneReadOverTheLineFillsNumbersAndIdentification) {
    ASSERT_EQ(Spust<TCteniTelCisel>(), TSpusteni::Zahajena);
    OcekavejDialogCteni(19, "Načítání telefonních čísel");

    std::vector<TPozadavek> poslano;
    while (const auto p = Vyzva()) {
        poslano.push_back(*p);
        OdpovezPoLince(*p);
        if (poslano.size() == 6) {
            EXPECT_EQ(fOkno.Info.Label, "Načítání telefonních čísel 3/16");
        }
    }
    ASSERT_EQ(poslano.size(), 19U);
    for (std::size_t n = 0; n < 19; ++n) {
        EXPECT_EQ(poslano[n].Druh, n < 3 ? HWSW : ZAZNAM) << n;
        EXPECT_EQ(std::size_t{poslano[n].Adresa}, n < 3 ? 0x0C00 + 16 * n : 16 * (n - 3)) << n;
    }
    EXPECT_EQ(fKonec, TStavOperace::Hotovo);
    EXPECT_TRUE(std::holds_alternative<TPrectenaCisla>(fVysledek.value()));
    EXPECT_EQ(HWTYP.View(), std::string_view("NORLINK GSM\0\0\0\0\xFF", 16));
    EXPECT_EQ(VERHW.size(), 16U);
    for (std::size_t k = 0; k < 16; ++k) {
        std::string cislo;
        for (std::size_t j = 0; j < 16 && !Vypln(fPamet[16 * k + j]); ++j) {
            cislo += static_cast<char>(fPamet[16 * k + j]);
        }
        EXPECT_EQ(NORLINKRec.TelCisla[k].Str(), cislo) << k;
        EXPECT_EQ(NORLINKRecNew.TelCisla[k].Str(), cislo) << k;
    }
    EXPECT_EQ(NORLINKRec.TelCisla[15].size(), 16U);
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_EQ(fOkno.Info.Position, 19);
    EXPECT_FALSE(fRelace->BeziOperace());
}

struct TRozsah {
    const char* Nazev;
    TRozsahCteni Rozsah;
    unsigned OdExp, PoExp, OdVst, PoVst;
    std::size_t Odpovedi;
    int Maximum;
};

TEST_F(Cteni, SettingsReadAsksBlockByBlockAndBothImagesHoldTheDevicesMemory) {
    const TRozsah rows[] = {
        {"N=1", {true, 1}, 0x0100, 0x02F0, 0x1100, 0x20F0, 288, 288},
        {"N=2", {true, 2}, 0x0100, 0x04F0, 0x1100, 0x30F0, 576, 576},
        {"N=2 again, the same image", {true, 2}, 0x0100, 0x04F0, 0x1100, 0x30F0, 576, 576},
        {"N=7", {true, 7}, 0x0100, 0x0EF0, 0x1100, 0x7F00, 1985, 2016},
        {"N=8", {true, 8}, 0x0100, 0x10F0, 0x1100, 0x7F00, 2017, 2304},
        {"E1 V1", {false, 1, 0, 0}, 0x0100, 0x02F0, 0x1100, 0x12F0, 64, 64},
        // Texts of every other expander and input go, their recipients stay.
        {"E2 V3", {false, 1, 1, 2}, 0x0300, 0x04F0, 0x2500, 0x26F0, 64, 64},
        {"E7 V8", {false, 1, 6, 7}, 0x0D00, 0x0EF0, 0x7F00, 0x7F00, 33, 64},
        {"E8 V7", {false, 1, 7, 6}, 0x0F00, 0x10F0, 0x8D00, 0x8D00, 33, 64},
    };
    for (const TRozsah& row : rows) {
        SCOPED_TRACE(row.Nazev);
        TNORLINK ocekavany = NORLINKRec;
        BezTextu(ocekavany);
        std::vector<std::uint16_t> ocekavane = Precti(ocekavany, row.OdExp, row.PoExp);
        std::ranges::copy(Precti(ocekavany, row.OdVst, row.PoVst), std::back_inserter(ocekavane));
        fOkno.Info.Caption = "x";
        ASSERT_EQ(Spust<TCteniNastaveni>(row.Rozsah), TSpusteni::Zahajena);
        OcekavejDialogCteni(row.Maximum, "Načítání nastavení");
        EXPECT_EQ(fOkno.Enabled(TOvladac::Cmb_Expander), row.Rozsah.Vse);

        EXPECT_EQ(Odpovidej(), ocekavane);
        EXPECT_EQ(ocekavane.size(), row.Odpovedi);
        EXPECT_EQ(fOkno.Info.Position, static_cast<int>(row.Odpovedi));
        EXPECT_FALSE(fOkno.Info.Shown);
        EXPECT_EQ(fKonec, TStavOperace::Hotovo);
        const TRozsahCteni& r = std::get<TPrectenoNastaveni>(fVysledek.value()).Rozsah;
        EXPECT_EQ(std::tuple(r.Vse, r.N, r.E, r.V),
                  std::tuple(row.Rozsah.Vse, row.Rozsah.N, row.Rozsah.E, row.Rozsah.V));
        EXPECT_TRUE(NORLINKRec == ocekavany);
        EXPECT_TRUE(NORLINKRecNew == NORLINKRec);
        EXPECT_EQ(fOkno.Enabled(TOvladac::Cmb_Expander), row.Rozsah.Vse) << "one input: locked";
        EXPECT_EQ(fOkno.Enabled(TOvladac::Cmb_Vstup), row.Rozsah.Vse);
    }
}

TEST_F(Cteni, InputEightOfExpanderEightIsRefusedAndNothingIsQueued) {
    const TNORLINK pred = NORLINKRec;
    EXPECT_EQ(Spust<TCteniNastaveni>(TRozsahCteni{false, 1, 7, 7}), TSpusteni::Nezahajena);
    ASSERT_EQ(fOkno.Errors.size(), 1U);
    EXPECT_EQ(fOkno.Errors[0], R_VstupMimoPamet);
    EXPECT_EQ(Kom().PocetZaznamuFronty(), 0U);
    EXPECT_FALSE(fRelace->BeziOperace());
    EXPECT_FALSE(fKonec);
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Cmb_Expander));
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Btn_NactiTelCisla));
    EXPECT_TRUE(NORLINKRec == pred);
}

TEST_F(Cteni, AnswerThatDoesNotFitTheHeadIsIgnored) {
    // 0x0C00 is an identification text and an expander block: only the kind tells them apart.
    TNORLINK pred = NORLINKRec;
    ASSERT_EQ(Spust<TCteniTelCisel>(), TSpusteni::Zahajena);
    Odpovez({ZAZNAM, 0x0C00}, Data({HWSW, 0x0C00}));
    Odpovez({HWSW, 0x0C10}, Data({HWSW, 0x0C10}));
    Odpovez({HWSW, 0x0C00}, TBajty(15, 'x'));
    EXPECT_TRUE(HWTYP.empty() && VERSW.empty());
    EXPECT_TRUE(NORLINKRec == pred);
    EXPECT_EQ(Hlava()->Druh, HWSW);
    fRelace->Zrus();
    ASSERT_EQ(Spust<TCteniNastaveni>(TRozsahCteni{}), TSpusteni::Zahajena);
    BezTextu(pred); // emptied by the read for what it will fill
    Odpovez({ZAZNAM, 0x0110}, Data({ZAZNAM, 0x0110}));
    Odpovez({ZAZNAM, 0x0100}, TBajty(15, 7));
    EXPECT_TRUE(NORLINKRec == pred);
    EXPECT_EQ(fOkno.Info.Position, 0);
    ASSERT_EQ(Kom().PocetZaznamuFronty(), 1U);
    EXPECT_EQ(Hlava()->Adresa, 0x0100);
    const auto znovu = Vyzva();
    ASSERT_TRUE(znovu) << "the request is asked again";
    EXPECT_EQ(znovu->Adresa, 0x0100);
    EXPECT_EQ(Odpovidej().size(), 288U);
}

// Another device now: what a read gets differs from what it must put back.
void JinaPamet(TBajty& pamet, TBajty& hwsw) {
    for (auto* p : {&pamet, &hwsw}) {
        for (auto& b : *p) {
            b = static_cast<std::uint8_t>(Vypln(b) ? b : 1 + b % 254);
        }
    }
}

struct TKonec {
    const char* Nazev;
    int Cteni; // 0 phones, 1 all of 2 expanders, 2 expander 2 input 3
    std::size_t Odpovedi;
    bool Odpojeni; // the port goes, else the user cancels
};

TEST_F(Cteni, CancelOrLostPortMidReadPutsEverythingBackAndSendsNothingMore) {
    Spust<TCteniTelCisel>();
    Odpovidej();
    Spust<TCteniNastaveni>(TRozsahCteni{true, 2});
    Odpovidej();
    const TKonec rows[] = {
        {"phones, cancel", 0, 8, false},     {"phones, port lost", 0, 2, true},
        {"all, cancel", 1, 300, false},      {"all, port lost", 1, 40, true},
        {"one input, cancel", 2, 50, false}, {"one input, port lost", 2, 5, true}};
    const TRozsahCteni rozsahy[] = {{}, {true, 2}, {false, 1, 1, 2}};
    for (const TKonec& row : rows) {
        SCOPED_TRACE(row.Nazev);
        JinaPamet(fPamet, fHwsw);
        NORLINKRecNew.ZpravaPorucha[0] = "upraveno"; // an edit of the user's
        const TNORLINK pred = NORLINKRec;
        const TNORLINK predNew = NORLINKRecNew;
        const std::array<TIdentText, 3> ident{HWTYP, VERSW, VERHW};
        const auto povoleni = fOkno.EnabledMap;
        ASSERT_EQ(row.Cteni == 0 ? Spust<TCteniTelCisel>()
                                 : Spust<TCteniNastaveni>(rozsahy[row.Cteni]),
                  TSpusteni::Zahajena);
        EXPECT_EQ(Odpovidej(row.Odpovedi).size(), row.Odpovedi);
        const auto cekajici = Hlava();
        ASSERT_TRUE(cekajici && fRelace->BeziOperace());
        // A write pair left queued behind the read must go as well.
        Kom().ZaradParZapisu(TTelegram(), TTelegram());
        if (row.Odpojeni) {
            fLine->HangUp();
            fTimer->Pump();
            fOkno.RunPlanned();
        } else {
            fRelace->Zrus();
        }
        EXPECT_EQ(fKonec, TStavOperace::Zrusena);
        EXPECT_FALSE(fRelace->BeziOperace());
        EXPECT_EQ(Kom().PocetZaznamuFronty(), 0U);
        EXPECT_FALSE(Kom().Zapisuju());
        EXPECT_FALSE(fOkno.Info.Shown);
        EXPECT_TRUE(NORLINKRec == pred);
        EXPECT_TRUE(NORLINKRecNew == predNew) << "nothing half-read reaches the working image";
        EXPECT_TRUE((std::array<TIdentText, 3>{HWTYP, VERSW, VERHW}) == ident);
        EXPECT_EQ(fOkno.EnabledMap, povoleni);
        Odpovez(*cekajici, Data(*cekajici)); // late
        EXPECT_TRUE(NORLINKRec == pred);
        EXPECT_EQ(fZtraty, row.Odpojeni ? 1 : 0);
        if (row.Odpojeni) {
            fZtraty = 0;
            fLine->HungUp = false;
            ASSERT_TRUE(fRelace->Otevri(2, {}, 4800));
        }
        EXPECT_FALSE(Vyzva()) << "nothing more is sent";
    }
}

TEST_F(CteniOkno, PhoneReadIsShownAndOneOperationRunsAtATimeWithTheButtonsDisabled) {
    fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, 1, "stale");
    fLogika->Btn_NactiTelCislaClick();
    EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, 1), "");
    Odpovidej();
    EXPECT_EQ(fOkno.PanelText(1), "NORLINK GSM");
    EXPECT_EQ(fOkno.PanelText(2), "SW 1.07 ČŠ");
    EXPECT_EQ(fOkno.PanelText(3), "HW C");
    for (std::size_t k = 0; k < 16; ++k) {
        EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, static_cast<int>(k) + 1),
                  NORLINKRec.TelCisla[k].Str());
    }
    for (const TOvladac c : k_Tlacitka) {
        EXPECT_EQ(fOkno.Enabled(c), c != TOvladac::Btn_ZapisNastaveni) << static_cast<int>(c);
    }
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Hg_PhoneNumbers));

    CtiVse(1);
    Odpovidej(3);
    for (const TOvladac c : k_Tlacitka) {
        EXPECT_FALSE(fOkno.Enabled(c)) << static_cast<int>(c);
    }
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Cmb_Expander));
    const TNORLINK behem = NORLINKRec;
    fLogika->Btn_NactiTelCislaClick();
    CtiVse(2);
    CtiVstup(0, 0);
    fLogika->Btn_resetClick();
    EXPECT_EQ(Kom().PocetZaznamuFronty(), 1U) << "no second chain";
    EXPECT_EQ(Hlava()->Adresa, 0x0130);
    EXPECT_EQ(fOkno.Info.Max, 288);
    EXPECT_TRUE(NORLINKRec == behem) << "no reset while a read runs";
    EXPECT_EQ(Odpovidej().size(), 285U);
    for (const TOvladac c : k_Tlacitka) {
        EXPECT_TRUE(fOkno.Enabled(c)) << static_cast<int>(c);
    }
}

// What was read is shown for the selection; the settings are unknown after a reset: their cells
// show empty, not "0".
TEST_F(CteniOkno, ReadIsShownForTheSelectionResetEmptiesItAndUnlocksTheSelection) {
    CtiVse(1);
    Odpovidej();
    CtiVstup(1, 2);
    Odpovidej();
    ASSERT_FALSE(fOkno.Enabled(TOvladac::Cmb_Vstup));
    EXPECT_EQ(fOkno.MemoText(TMemo::Mem_Sepnuti),
              Cp1250DoUtf8(NORLINKRec.ZpravaSepnuti[1][2].View()));
    for (int r = 1; r <= 16; ++r) {
        const auto s = static_cast<std::size_t>(r - 1);
        EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Komunikace, 1, r),
                  ZobrazOdkaz(NORLINKRec.TelCislaPoruchaKom[1][s]));
        EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Vstupy, 2, r),
                  ZobrazOdkaz(NORLINKRec.TelCislaRozpojeni[1][2][s]));
    }
    fLogika->Btn_resetClick();
    EXPECT_TRUE(NORLINKRec == TNORLINK{});
    EXPECT_TRUE(NORLINKRecNew == TNORLINK{});
    for (int r = 1; r <= 16; ++r) {
        for (int c = 1; c <= 2; ++c) {
            EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Komunikace, c, r), "");
            EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Vstupy, c, r), "");
        }
    }
    for (const TMemo m :
         {TMemo::Mem_Porucha, TMemo::Mem_Obnova, TMemo::Mem_Sepnuti, TMemo::Mem_Rozpojeni}) {
        EXPECT_EQ(fOkno.MemoText(m), "");
    }
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Cmb_Expander));
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Cmb_Vstup));
}

// A phone read is cancelled by the dialog's button; a settings read over the user's edit loses its
// port: the grids and the device's panels stay, the lost port is said and can be opened again.
TEST_F(CteniOkno, CancelOrLostPortMidReadKeepsTheWindowAsItWas) {
    fLogika->Btn_NactiTelCislaClick();
    Odpovidej();
    CtiVse(2);
    Odpovidej();
    JinaPamet(fPamet, fHwsw);
    for (const bool odpojeni : {false, true}) {
        SCOPED_TRACE(odpojeni);
        NORLINKRecNew.ZpravaPorucha[0] = "upraveno";
        Vyber(1, 2);
        const auto bunky = fOkno.Cells;
        auto panely = fOkno.Panels;
        const auto povoleni = fOkno.EnabledMap;
        if (odpojeni) {
            fOkno.Answers.push_back(true); // the edit may be replaced
            CtiVse(2);
            EXPECT_EQ(fOkno.Questions.size(), 1U) << "asked before replacing";
            fOkno.Questions.clear();
            Odpovidej(40);
            fLine->HangUp();
            fTimer->Pump();
            fOkno.RunPlanned();
        } else {
            fLogika->Btn_NactiTelCislaClick();
            Odpovidej(8);
            fOkno.Info.ClickPrerusit();
        }
        EXPECT_FALSE(fLogika->BeziOperace());
        EXPECT_FALSE(fOkno.Info.Shown);
        if (odpojeni) {
            panely[0] = "COM2 – nepřipojeno (čeká se na převodník)";
        }
        EXPECT_EQ(fOkno.Panels, panely);
        EXPECT_EQ(fOkno.Cells, bunky);
        EXPECT_EQ(fOkno.EnabledMap, povoleni);
    }
    ASSERT_EQ(fOkno.Warnings.size(), 1U);
    EXPECT_EQ(fOkno.Warnings[0].Text, R_SpojeniZtraceno);
    EXPECT_EQ(fOkno.Ticks(), "00000000000");
    fLogika->cmCOM1Click(2);
    EXPECT_TRUE(fOkno.Questions.empty()) << "the same port again is no change";
    EXPECT_TRUE(fLine->IsOpen);
    EXPECT_EQ(fOkno.Ticks(), "01000000000");
}

// The window's watch timer looks on the session's clock (the watch's rules: test_relace.cpp).
TEST_F(CteniOkno, QuietDeviceIsShownAndTheReadGoesOnWhenAPollReturns) {
    constexpr int k_TikuTicha = k_TichoPoVyzve / std::chrono::milliseconds(k_HlidaniMs);
    fLogika->Btn_NactiTelCislaClick();
    OdpovezPoLince(Vyzva().value());
    for (int tik = 1; tik < k_TikuTicha; ++tik) {
        Hlidej();
    }
    const std::string stitek = fOkno.Info.Label;
    ASSERT_EQ(stitek, "Načítání telefonních čísel");
    Hlidej();
    EXPECT_EQ(fOkno.Info.Label, R_KomunikatorNeodpovida);
    EXPECT_TRUE(fOkno.Info.Shown && fOkno.Info.PrerusitShown);

    const auto p = Vyzva();
    EXPECT_EQ(fOkno.Info.Label, stitek);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Adresa, 0x0C10);
    EXPECT_TRUE(fLogika->BeziOperace());
}

} // namespace
