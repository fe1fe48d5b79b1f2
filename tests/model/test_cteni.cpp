// The three reads through the window's logic: a fake window, a fake port, and a device that answers
// from a memory image. Whole chains are answered straight into the logic's decoders; the phone read
// and the device watch go over the line as telegrams.

#include "../link/PrijemFixture.h"
#include "LogikaRig.h"
#include "operace/Cteni.h"
#include "text/Cp1250.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

using prijem_test::Poll;
using prijem_test::Response;

constexpr std::array k_Tlacitka{TOvladac::Btn_NactiTelCisla,  TOvladac::Btn_ZapisTelCisla,
                                TOvladac::Btn_NactiExpandery, TOvladac::Btn_NactiAktualni,
                                TOvladac::Btn_reset,          TOvladac::Btn_ZapisNastaveni};

bool Vypln(std::uint8_t b) {
    return b == 0 || b == 255;
}

class Cteni : public TLogikaRig {
protected:
    Cteni() {
        ClearImage(NORLINKRec);
        ClearImage(NORLINKRecNew);
        HWTYP = VERSW = VERHW = TIdentText();
        NaplnPamet();
        Spust();
        fLine->ClearEvents();
    }

    // A communicator's memory: numbers of 9 to 16 digits, recipient slots 0..15 or empty, and texts
    // of every length up to 240 with the erased fill behind them.
    void NaplnPamet() {
        std::uint32_t x = 2024;
        const auto nahodne = [&x] { return (x = x * 1103515245U + 12345U) >> 16; };
        for (auto& b : fPamet) {
            b = static_cast<std::uint8_t>(1 + nahodne() % 254);
        }
        for (unsigned k = 0; k < 16; ++k) {
            for (unsigned j = 0; j < 16; ++j) {
                fPamet[16 * k + j] = static_cast<std::uint8_t>(
                    j < 9 + k % 8 ? '0' + (k + j) % 10 : (k % 2 == 0 ? 0 : 255));
            }
        }
        for (unsigned pul = 0x100; pul < fPamet.size(); pul += 256) {
            for (unsigned j = 0; j < 16; ++j) {
                const unsigned slot = (pul / 256 + j) % 17;
                fPamet[pul + j] = static_cast<std::uint8_t>(slot == 16 ? 255 : slot);
            }
            for (unsigned o = nahodne() % 241; o < 240; ++o) {
                fPamet[pul + 16 + o] = o % 2 == 0 ? 255 : 0;
            }
        }
        const auto ident = [this](std::uint16_t adresa, std::string_view text) {
            std::copy(text.begin(), text.end(), fHwsw.begin() + adresa);
        };
        ident(0x0C00, std::string_view("NORLINK GSM\0\0\0\0\xFF", 16));
        ident(0x0C10, "SW 1.07 \x01\xC8\x8A     ");
        ident(0x0C20, std::string_view("HW C\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 16));
    }

    // One tick of the watch, its period later.
    void Hlidej() {
        fCas += std::chrono::milliseconds(k_HlidaniMs);
        fHlidac->Pump();
    }
    // The device polls; what the program sent in reply, as a request.
    std::optional<TPozadavek> Vyzva() {
        fLine->ClearEvents();
        fLine->Feed(Poll());
        fTimer->Pump();
        const TBajty sent = fLine->Written();
        if (sent.size() < 9) {
            return std::nullopt;
        }
        return TPozadavek{static_cast<std::uint8_t>((sent[6] >> 5) & 3),
                          static_cast<std::uint16_t>(sent[7] | sent[8] << 8)};
    }
    void OdpovezPoLince(TPozadavek p) {
        fLine->Feed(Response(p.Druh, p.Adresa, Data(p)));
        fTimer->Pump();
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
    // What reading the blocks od..po (inclusive) leaves in rec.
    void Precti(TNORLINK& rec, unsigned od, unsigned po) const {
        for (unsigned a = od; a <= po; a += 16) {
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

std::vector<std::uint16_t> Bloky(unsigned od, unsigned po) {
    std::vector<std::uint16_t> adresy;
    for (unsigned a = od; a <= po; a += 16) {
        adresy.push_back(static_cast<std::uint16_t>(a));
    }
    return adresy;
}

TEST_F(Cteni, PhoneReadOverTheLineFillsNumbersAndIdentificationAndEnablesTheEditors) {
    fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, 1, "stale");
    fLogika->Btn_NactiTelCislaClick();
    OcekavejDialogCteni(19, "Načítání telefonních čísel");
    EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, 1), "");

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
    EXPECT_EQ(HWTYP.View(), std::string_view("NORLINK GSM\0\0\0\0\xFF", 16));
    EXPECT_EQ(VERHW.size(), 16U);
    EXPECT_EQ(fOkno.PanelText(1), "NORLINK GSM");
    EXPECT_EQ(fOkno.PanelText(2), "SW 1.07 ČŠ");
    EXPECT_EQ(fOkno.PanelText(3), "HW C");
    for (std::size_t k = 0; k < 16; ++k) {
        std::string cislo;
        for (std::size_t j = 0; j < 16 && !Vypln(fPamet[16 * k + j]); ++j) {
            cislo += static_cast<char>(fPamet[16 * k + j]);
        }
        EXPECT_EQ(NORLINKRec.TelCisla[k].Str(), cislo) << k;
        EXPECT_EQ(fOkno.CellText(TMrizka::Hg_PhoneNumbers, 1, static_cast<int>(k) + 1), cislo);
    }
    EXPECT_EQ(NORLINKRec.TelCisla[15].size(), 16U);
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_EQ(fOkno.Info.Position, 19);
    EXPECT_FALSE(fLogika->BeziOperace());
    for (const TOvladac c : k_Tlacitka) {
        EXPECT_EQ(fOkno.Enabled(c), c != TOvladac::Btn_ZapisNastaveni) << static_cast<int>(c);
    }
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Hg_PhoneNumbers));
}

struct TRozsah {
    const char* Nazev;
    bool Vse;
    int N, E, V; // N for a full read; E, V the selection (0-based)
    unsigned OdExp, PoExp, OdVst, PoVst;
    std::size_t Odpovedi;
    int Maximum;
};

TEST_F(Cteni, SettingsReadAsksBlockByBlockAndBothImagesHoldTheDevicesMemory) {
    const TRozsah rows[] = {
        {"N=1", true, 1, 0, 3, 0x0100, 0x02F0, 0x1100, 0x20F0, 288, 288},
        {"N=7", true, 7, 4, 6, 0x0100, 0x0EF0, 0x1100, 0x7F00, 1985, 2016},
        {"N=8", true, 8, 7, 7, 0x0100, 0x10F0, 0x1100, 0x7F00, 2017, 2304},
        {"E1 V1", false, 0, 0, 0, 0x0100, 0x02F0, 0x1100, 0x12F0, 64, 64},
        // Texts of every other expander and input go, their recipients stay.
        {"E2 V3", false, 0, 1, 2, 0x0300, 0x04F0, 0x2500, 0x26F0, 64, 64},
        {"E7 V8", false, 0, 6, 7, 0x0D00, 0x0EF0, 0x7F00, 0x7F00, 33, 64},
        {"E8 V7", false, 0, 7, 6, 0x0F00, 0x10F0, 0x8D00, 0x8D00, 33, 64},
    };
    for (const TRozsah& row : rows) {
        SCOPED_TRACE(row.Nazev);
        TNORLINK ocekavany = NORLINKRec;
        BezTextu(ocekavany);
        Precti(ocekavany, row.OdExp, row.PoExp);
        Precti(ocekavany, row.OdVst, row.PoVst);
        fOkno.Info.Caption = "x";
        if (row.Vse) {
            CtiVse(row.N);
            Vyber(row.E, row.V);
        } else {
            CtiVstup(row.E, row.V);
        }
        OcekavejDialogCteni(row.Maximum, "Načítání nastavení");
        EXPECT_EQ(fOkno.Enabled(TOvladac::Cmb_Expander), row.Vse);

        std::vector<std::uint16_t> ocekavane = Bloky(row.OdExp, row.PoExp);
        for (const std::uint16_t a : Bloky(row.OdVst, row.PoVst)) {
            ocekavane.push_back(a);
        }
        EXPECT_EQ(Odpovidej(), ocekavane);
        EXPECT_EQ(ocekavane.size(), row.Odpovedi);
        EXPECT_EQ(fOkno.Info.Position, static_cast<int>(row.Odpovedi));
        EXPECT_FALSE(fOkno.Info.Shown);
        EXPECT_FALSE(fLogika->BeziOperace());
        EXPECT_TRUE(NORLINKRec == ocekavany);
        EXPECT_TRUE(NORLINKRecNew == NORLINKRec);

        const auto e = static_cast<std::size_t>(row.E);
        const auto v = static_cast<std::size_t>(row.V);
        EXPECT_EQ(fOkno.MemoText(TMemo::Mem_Obnova),
                  Cp1250DoUtf8(ocekavany.ZpravaObnova[e].View()));
        EXPECT_EQ(fOkno.MemoText(TMemo::Mem_Sepnuti),
                  Cp1250DoUtf8(ocekavany.ZpravaSepnuti[e][v].View()));
        for (int r = 1; r <= 16; ++r) {
            const auto s = static_cast<std::size_t>(r - 1);
            EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Komunikace, 1, r),
                      ZobrazOdkaz(ocekavany.TelCislaPoruchaKom[e][s]));
            EXPECT_EQ(fOkno.CellText(TMrizka::Hg_Vstupy, 2, r),
                      ZobrazOdkaz(ocekavany.TelCislaRozpojeni[e][v][s]));
        }
        EXPECT_TRUE(fOkno.Enabled(TOvladac::Btn_ZapisNastaveni));
        EXPECT_EQ(fOkno.Enabled(TOvladac::Cmb_Expander), row.Vse) << "a single input stays locked";
        EXPECT_EQ(fOkno.Enabled(TOvladac::Cmb_Vstup), row.Vse);
    }
}

TEST_F(Cteni, ReadingTwiceGivesTheSameImage) {
    CtiVse(2);
    Odpovidej();
    const TNORLINK prvni = NORLINKRec;
    CtiVse(2);
    EXPECT_EQ(Odpovidej().size(), 576U);
    EXPECT_TRUE(NORLINKRec == prvni);
    EXPECT_TRUE(NORLINKRecNew == prvni);
}

// The settings are unknown after a reset: their cells show empty, not "0".
TEST_F(Cteni, ResetZeroesBothImagesAndUnlocksTheSelection) {
    CtiVse(1);
    Odpovidej();
    CtiVstup(0, 1);
    Odpovidej();
    ASSERT_FALSE(fOkno.Enabled(TOvladac::Cmb_Vstup));
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

TEST_F(Cteni, InputEightOfExpanderEightIsRefusedAndNothingIsQueued) {
    const TNORLINK pred = NORLINKRec;
    CtiVstup(7, 7);
    ASSERT_EQ(fOkno.Errors.size(), 1U);
    EXPECT_EQ(fOkno.Errors[0], R_VstupMimoPamet);
    EXPECT_EQ(Kom().PocetZaznamuFronty(), 0U);
    EXPECT_FALSE(fLogika->BeziOperace());
    EXPECT_FALSE(fOkno.Info.Shown);
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Cmb_Expander));
    EXPECT_TRUE(fOkno.Enabled(TOvladac::Btn_NactiTelCisla));
    EXPECT_TRUE(NORLINKRec == pred);
}

TEST_F(Cteni, OneOperationAtATimeWithTheButtonsDisabledWhileItRuns) {
    fLogika->Btn_NactiTelCislaClick();
    Odpovidej();
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

TEST_F(Cteni, AnswerThatDoesNotFitTheHeadIsIgnored) {
    // 0x0C00 is an identification text and an expander block: only the kind tells them apart.
    const TNORLINK pred = NORLINKRec;
    fLogika->Btn_NactiTelCislaClick();
    Odpovez({ZAZNAM, 0x0C00}, Data({HWSW, 0x0C00}));
    Odpovez({HWSW, 0x0C10}, Data({HWSW, 0x0C10}));
    Odpovez({HWSW, 0x0C00}, TBajty(15, 'x'));
    EXPECT_TRUE(HWTYP.empty() && VERSW.empty());
    EXPECT_EQ(fOkno.Panels.size(), 1U) << "only the port's panel";
    EXPECT_TRUE(NORLINKRec == pred);
    EXPECT_EQ(Hlava()->Druh, HWSW);
    fLogika->Btn_PrerusitClick();
    CtiVse(1);
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

struct TKonec {
    const char* Nazev;
    int Cteni; // 0 phones, 1 all of 2 expanders, 2 expander 2 input 3
    std::size_t Odpovedi;
    bool Odpojeni; // the port goes, else the user cancels
};

TEST_F(Cteni, CancelOrLostPortMidReadPutsEverythingBackAndSendsNothingMore) {
    fLogika->Btn_NactiTelCislaClick();
    Odpovidej();
    CtiVse(2);
    Odpovidej();
    const TKonec rows[] = {
        {"phones, cancel", 0, 8, false},     {"phones, port lost", 0, 2, true},
        {"all, cancel", 1, 300, false},      {"all, port lost", 1, 40, true},
        {"one input, cancel", 2, 50, false}, {"one input, port lost", 2, 5, true}};
    for (const TKonec& row : rows) {
        SCOPED_TRACE(row.Nazev);
        // Another device now: what the read got so far differs from what must come back.
        for (auto* pamet : {&fPamet, &fHwsw}) {
            for (auto& b : *pamet) {
                b = static_cast<std::uint8_t>(Vypln(b) ? b : 1 + b % 254);
            }
        }
        NORLINKRecNew.ZpravaPorucha[0] = "upraveno"; // an edit of the user's
        const TNORLINK pred = NORLINKRec;
        const TNORLINK predNew = NORLINKRecNew;
        const std::array<TIdentText, 3> ident{HWTYP, VERSW, VERHW};
        Vyber(1, 2);
        const auto bunky = fOkno.Cells;
        const auto panely = fOkno.Panels;
        const auto povoleni = fOkno.EnabledMap;
        if (row.Cteni != 0) {
            fOkno.Answers.push_back(true); // the edit may be replaced
        }
        if (row.Cteni == 0) {
            fLogika->Btn_NactiTelCislaClick();
        } else if (row.Cteni == 1) {
            CtiVse(2);
        } else {
            fLogika->Btn_NactiAktualniClick();
        }
        EXPECT_EQ(fOkno.Questions.size(), row.Cteni != 0 ? 1U : 0U) << "asked before replacing";
        fOkno.Questions.clear();
        EXPECT_EQ(Odpovidej(row.Odpovedi).size(), row.Odpovedi);
        const auto cekajici = Hlava();
        ASSERT_TRUE(cekajici && fLogika->BeziOperace());
        // A write pair left queued behind the read must go as well.
        Kom().ZaradParZapisu(TTelegram(), TTelegram());
        if (row.Odpojeni) {
            fLine->HangUp();
            fTimer->Pump();
            fOkno.RunPlanned();
        } else {
            fOkno.Info.ClickPrerusit();
        }
        EXPECT_FALSE(fLogika->BeziOperace());
        EXPECT_EQ(Kom().PocetZaznamuFronty(), 0U);
        EXPECT_FALSE(Kom().Zapisuju());
        EXPECT_FALSE(fOkno.Info.Shown);
        EXPECT_TRUE(NORLINKRec == pred);
        EXPECT_TRUE(NORLINKRecNew == predNew) << "nothing half-read reaches the working image";
        EXPECT_TRUE((std::array<TIdentText, 3>{HWTYP, VERSW, VERHW}) == ident);
        // The port's panel says when the port went away; the device's panels stay.
        auto stav = panely;
        if (row.Odpojeni) {
            stav[0] = "COM2 – nepřipojeno (čeká se na převodník)";
        }
        EXPECT_EQ(fOkno.Panels, stav);
        EXPECT_EQ(fOkno.Cells, bunky);
        EXPECT_EQ(fOkno.EnabledMap, povoleni);
        Odpovez(*cekajici, Data(*cekajici)); // late
        EXPECT_TRUE(NORLINKRec == pred);
        if (row.Odpojeni) {
            ASSERT_EQ(fOkno.Warnings.size(), 1U);
            EXPECT_EQ(fOkno.Warnings[0].Text, R_SpojeniZtraceno);
            EXPECT_EQ(fOkno.Ticks(), "00000000000");
            fOkno.Warnings.clear();
            fLogika->cmCOM1Click(2);
            EXPECT_TRUE(fOkno.Questions.empty()) << "the same port again is no change";
            EXPECT_TRUE(fLine->IsOpen);
            EXPECT_EQ(fOkno.Ticks(), "01000000000");
        } else {
            EXPECT_TRUE(fOkno.Warnings.empty());
        }
        EXPECT_FALSE(Vyzva()) << "nothing more is sent";
    }
}

TEST_F(Cteni, QuietDeviceIsShownAndTheReadGoesOnWhenPollsReturn) {
    constexpr int k_TikuTicha = k_TichoPoVyzve / std::chrono::milliseconds(k_HlidaniMs);
    fLogika->Btn_NactiTelCislaClick();
    for (int n = 0; n < 5; ++n) {
        OdpovezPoLince(Vyzva().value());
        for (int tik = 1; tik < k_TikuTicha; ++tik) {
            Hlidej(); // every poll starts the count again
        }
        ASSERT_NE(fOkno.Info.Label, R_KomunikatorNeodpovida);
    }
    const std::string stitek = fOkno.Info.Label;
    ASSERT_EQ(stitek, "Načítání telefonních čísel 2/16");
    Hlidej();
    EXPECT_EQ(fOkno.Info.Label, R_KomunikatorNeodpovida);
    EXPECT_TRUE(fOkno.Info.Shown);
    EXPECT_TRUE(fOkno.Info.PrerusitShown);
    Hlidej();
    EXPECT_EQ(fOkno.Info.Label, R_KomunikatorNeodpovida);

    const auto p = Vyzva();
    EXPECT_EQ(fOkno.Info.Label, stitek);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Adresa, 0x0020);
    OdpovezPoLince(*p);
    while (const auto dalsi = Vyzva()) {
        OdpovezPoLince(*dalsi);
    }
    EXPECT_FALSE(fLogika->BeziOperace());
    EXPECT_EQ(fOkno.Info.Position, 19);
    for (int tik = 0; tik < 2 * k_TikuTicha; ++tik) {
        Hlidej();
    }
    EXPECT_EQ(fOkno.Info.Label, "Načítání telefonních čísel 16/16") << "no watch without a read";
}

} // namespace
