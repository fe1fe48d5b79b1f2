// The program's real window, created as the program's main() creates it (Qt timers, the termios
// port, norlink.ini in its folder), against the simulator preloaded with a raw memory
// image. The buttons are clicked as a user would; afterwards both images must hold exactly the
// simulator's memory for the blocks the read covers, and the window must show it. The expected
// image is built here from byte ranges of the memory, not by the decoders' address arithmetic.

#include "ProgramRig.h"

namespace {

using namespace program_rig;

constexpr unsigned k_KonecCteniVstupu = 0x7F10; // a read of the input area ends with block 0x7F00

// A text region as the image holds it once read: its bytes inside [lo, hi) without 0 and 255.
template <std::size_t N>
void Text(TText<N>& text, const TObraz& m, unsigned a, unsigned lo, unsigned hi) {
    std::string t;
    for (unsigned x = std::max(a, lo); x < std::min(a + 240, hi); ++x) {
        if (m[x] != 0 && m[x] != 255) {
            t += static_cast<char>(m[x]);
        }
    }
    text = t;
}

// What a settings read fetches: [lo, hi) of the expander area and of the input area.
using TRozsah = std::array<unsigned, 4>;

// The image after a settings read that fetched [lo, hi) of the expander and of the input area:
// every text emptied and refilled from what was fetched, recipients fetched whole replaced.
TNORLINK PoCteni(TNORLINK o, const TObraz& m, TRozsah rozsah) {
    const auto [elo, ehi, vlo, vhi] = rozsah;
    const auto polovina = [&](TPrijemci& prijemci, TZprava& text, unsigned a, unsigned lo,
                              unsigned hi) {
        if (a >= lo && a + 16 <= hi) {
            const std::string b = Bajty(m, a, 16);
            std::copy(b.begin(), b.end(), prijemci.begin());
        }
        Text(text, m, a + 16, lo, hi);
    };
    for (unsigned e = 0; e < 8; ++e) {
        const unsigned x = BlokExpanderu(e);
        polovina(o.TelCislaPoruchaKom[e], o.ZpravaPorucha[e], x, elo, ehi);
        polovina(o.TelCislaObnovaKom[e], o.ZpravaObnova[e], x + 256, elo, ehi);
        for (unsigned v = 0; v < 8; ++v) {
            const unsigned y = BlokVstupu(e, v);
            polovina(o.TelCislaSepnuti[e][v], o.ZpravaSepnuti[e][v], y, vlo, vhi);
            polovina(o.TelCislaRozpojeni[e][v], o.ZpravaRozpojeni[e][v], y + 256, vlo, vhi);
        }
    }
    return o;
}

// What a settings read fetches.
TRozsah RozsahVse(int n) {
    const auto un = static_cast<unsigned>(n);
    return {k_Exp, BlokExpanderu(un), k_Vstupy, std::min(BlokVstupu(un, 0), k_KonecCteniVstupu)};
}
TRozsah RozsahVstupu(int e, int v) {
    const auto ue = static_cast<unsigned>(e);
    const unsigned vstup = BlokVstupu(ue, static_cast<unsigned>(v));
    return {BlokExpanderu(ue), BlokExpanderu(ue) + 512, vstup,
            std::min(vstup + 512, k_KonecCteniVstupu)};
}

// Where a memo's text departs from the device's bytes shown through Windows-1250 (empty: nowhere).
std::string Rozdil(const std::string& zobrazeno, std::string_view bajty) {
    std::size_t kde = 0;
    for (std::size_t i = 0; i < bajty.size(); ++i) {
        const std::string znak = Cp1250DoUtf8(bajty.substr(i, 1));
        if (zobrazeno.compare(kde, znak.size(), znak) != 0) {
            std::string t =
                "device byte " + std::to_string(i) + " of " + std::to_string(bajty.size()) + " (" +
                std::to_string(static_cast<unsigned char>(bajty[i])) + ") is shown as UTF-8";
            for (std::size_t j = kde; j < std::min(kde + 3, zobrazeno.size()); ++j) {
                t += " " + std::to_string(static_cast<unsigned char>(zobrazeno[j]));
            }
            return t;
        }
        kde += znak.size();
    }
    return kde == zobrazeno.size() ? std::string() : "the memo shows more than the device holds";
}

std::string Odkaz(std::uint8_t b) {
    return b <= 15 ? std::to_string(b) : std::string();
}

enum class TCteni : std::uint8_t { TelCisla, Vse, Vstup };

struct TPripad {
    const char* Nazev;
    TCteni Cteni;
    int N;    // expanders (Vse); the spin edit for the others
    int E, V; // the selected expander and input, 0-based
    std::vector<std::string> Poruchy;
};

void PrintTo(const TPripad& p, std::ostream* os) {
    *os << p.Nazev;
}

class ProgramReadRig : public TProgramRig {
protected:
    void KontrolujTelCisla() {
        for (unsigned k = 0; k < 16; ++k) {
            SCOPED_TRACE("phone " + std::to_string(k));
            EXPECT_EQ(NORLINKRec.TelCisla[k], Cislo(fObraz, k));
            EXPECT_EQ(fOkno->CellText(TMrizka::Hg_PhoneNumbers, 1, static_cast<int>(k) + 1),
                      Cp1250DoUtf8(Cislo(fObraz, k)));
        }
        const std::array<const TIdentText*, 3> ident{&HWTYP, &VERSW, &VERHW};
        for (std::size_t i = 0; i < 3; ++i) {
            std::string bajty = k_Ident[i].first;
            bajty.resize(16, '\0');
            EXPECT_EQ(ident[i]->View(), bajty);
            EXPECT_EQ(fOkno->Stb_Panels[i + 1]->text().toStdString(), k_Ident[i].second);
        }
        EXPECT_FALSE(fOkno->Info()->isVisible());
        EXPECT_TRUE(fOkno->Btn_NactiExpandery->isEnabled());
    }

    // The window shows expander e and input v of the working image.
    void KontrolujObrazovku(const TNORLINK& o, int e, int v) {
        SCOPED_TRACE("shown: expander " + std::to_string(e + 1) + ", input " +
                     std::to_string(v + 1));
        const auto ue = static_cast<std::size_t>(e);
        const auto uv = static_cast<std::size_t>(v);
        for (std::size_t s = 0; s < 16; ++s) {
            const int r = static_cast<int>(s) + 1;
            EXPECT_EQ(fOkno->CellText(TMrizka::Hg_Komunikace, 1, r),
                      Odkaz(o.TelCislaPoruchaKom[ue][s]));
            EXPECT_EQ(fOkno->CellText(TMrizka::Hg_Komunikace, 2, r),
                      Odkaz(o.TelCislaObnovaKom[ue][s]));
            EXPECT_EQ(fOkno->CellText(TMrizka::Hg_Vstupy, 1, r),
                      Odkaz(o.TelCislaSepnuti[ue][uv][s]));
            EXPECT_EQ(fOkno->CellText(TMrizka::Hg_Vstupy, 2, r),
                      Odkaz(o.TelCislaRozpojeni[ue][uv][s]));
        }
        EXPECT_EQ(Rozdil(fOkno->Mem_Porucha->Text(), o.ZpravaPorucha[ue].View()), "") << "Porucha";
        EXPECT_EQ(Rozdil(fOkno->Mem_Obnova->Text(), o.ZpravaObnova[ue].View()), "") << "Obnova";
        EXPECT_EQ(Rozdil(fOkno->Mem_Sepnuti->Text(), o.ZpravaSepnuti[ue][uv].View()), "")
            << "Sepnuti";
        EXPECT_EQ(Rozdil(fOkno->Mem_Rozpojeni->Text(), o.ZpravaRozpojeni[ue][uv].View()), "")
            << "Rozpojeni";
    }
};

class ProgramRead : public ProgramReadRig, public ::testing::WithParamInterface<TPripad> {};

TEST_P(ProgramRead, GivesTheSimulatorsMemoryInBothImagesAndOnScreen) {
    const TPripad& p = GetParam();
    ASSERT_TRUE(Spust(p.Poruchy, p.N)) << Sim();
    const TNORLINK puvodniNew = NORLINKRecNew;
    ASSERT_TRUE(Precti(fOkno->Btn_NactiTelCisla, 120s)) << Sim();
    KontrolujTelCisla();
    // The phone read gives the working image its numbers, and nothing else.
    TNORLINK cekano = puvodniNew;
    cekano.TelCisla = NORLINKRec.TelCisla;
    EXPECT_EQ(Rozdily(NORLINKRecNew, cekano), "") << "the phone read copies its numbers only";
    EXPECT_TRUE(fOkno->Boxy.empty());
    if (p.Cteni == TCteni::TelCisla) {
        return;
    }

    const bool vse = p.Cteni == TCteni::Vse;
    const auto rozsah = vse ? RozsahVse(p.N) : RozsahVstupu(p.E, p.V);
    const TNORLINK ocekavany = PoCteni(NORLINKRec, fObraz, rozsah);
    if (!vse) {
        Vyber(p.E, p.V);
    }
    ASSERT_TRUE(Precti(vse ? fOkno->Btn_NactiExpandery : fOkno->Btn_NactiAktualni, 400s)) << Sim();
    EXPECT_EQ(Rozdily(NORLINKRec, ocekavany), "");
    EXPECT_EQ(Rozdily(NORLINKRecNew, ocekavany), "");
    EXPECT_FALSE(fOkno->Info()->isVisible());
    EXPECT_TRUE(fOkno->Btn_ZapisNastaveni->isEnabled());
    EXPECT_EQ(fOkno->Cmb_Expander->isEnabled(), vse);
    KontrolujObrazovku(ocekavany, vse ? 0 : p.E, vse ? 0 : p.V);
    for (int x = 1; vse && x < p.N; ++x) {
        Vyber(x, (x * 3) % 8);
        KontrolujObrazovku(ocekavany, x, (x * 3) % 8);
    }
    EXPECT_TRUE(fOkno->Boxy.empty());
    if (!p.Poruchy.empty()) {
        EXPECT_GT(fSim->Stats().Faults[static_cast<std::size_t>(sim::TFault::CorruptData)], 0U)
            << "nothing was corrupted: " << Sim();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cteni, ProgramRead,
    ::testing::Values(
        TPripad{"TelCisla", TCteni::TelCisla, 1, 0, 0, {}},
        TPripad{"TelCisla_Poruchy", TCteni::TelCisla, 1, 0, 0, {"--corrupt-data", "0.1"}},
        TPripad{"Vse8", TCteni::Vse, 8, 0, 0, {}},
        TPripad{"Vse1_Poruchy", TCteni::Vse, 1, 0, 0, {"--corrupt-data", "0.1"}},
        TPripad{"Vstup3_6", TCteni::Vstup, 8, 2, 5, {}},
        TPripad{"Vstup7_8_Poruchy", TCteni::Vstup, 8, 6, 7, {"--corrupt-data", "0.1"}}),
    [](const auto& info) { return std::string(info.param.Nazev); });

TEST_F(ProgramReadRig, CancelMidReadStopsTheRequestsAndKeepsBothImages) {
    ASSERT_TRUE(Spust({}, 1)) << Sim();
    ASSERT_TRUE(Precti(fOkno->Btn_NactiTelCisla, 120s));
    const TNORLINK rec = NORLINKRec;
    const TNORLINK recNew = NORLINKRecNew;
    QTest::mouseClick(fOkno->Btn_NactiExpandery, Qt::LeftButton);
    ASSERT_TRUE(Cekej([&] { return fOkno->Info()->DolniPosition() >= 20; }, 60s));
    ASSERT_TRUE(fOkno->Info()->Btn_Prerusit->isVisible());
    QTest::mouseClick(fOkno->Info()->Btn_Prerusit, Qt::LeftButton);
    EXPECT_FALSE(fOkno->Logika().BeziOperace());
    EXPECT_FALSE(fOkno->Info()->isVisible());
    EXPECT_EQ(Rozdily(NORLINKRec, rec), "") << "a cancelled read keeps what was read before";
    EXPECT_EQ(Rozdily(NORLINKRecNew, recNew), "");
    EXPECT_FALSE(fOkno->Btn_ZapisNastaveni->isEnabled());

    // The request on the line at the click may still be taken; after that nothing more.
    QTest::qWait(500);
    const auto [polls, requests] = Statistika();
    QTest::qWait(2000);
    const auto [pollsPotom, requestsPotom] = Statistika();
    EXPECT_GE(pollsPotom, polls + 3) << "the device went on polling";
    EXPECT_EQ(requestsPotom, requests);
    EXPECT_LT(requests, 19U + 288U) << "the read was cancelled after its end";

    // A later read is not steered by the cancelled one.
    Vyber(0, 2);
    ASSERT_TRUE(Precti(fOkno->Btn_NactiAktualni, 120s));
    EXPECT_EQ(Rozdily(NORLINKRec, PoCteni(rec, fObraz, RozsahVstupu(0, 2))), "");
    EXPECT_TRUE(fOkno->Boxy.empty());
}

TEST_F(ProgramReadRig, UnpluggedMidReadWarnsOnceEndsTheReadAndThePortReopensByItself) {
    ASSERT_TRUE(Spust({"--unplug-after", "80", "--unplug-for", "300"}, 1)) << Sim();
    ASSERT_TRUE(Precti(fOkno->Btn_NactiTelCisla, 120s));
    const TNORLINK rec = NORLINKRec;
    const TNORLINK recNew = NORLINKRecNew;
    QTest::mouseClick(fOkno->Btn_NactiExpandery, Qt::LeftButton);
    ASSERT_TRUE(Cekej([&] { return !fOkno->Boxy.empty(); }, 60s));
    EXPECT_EQ(fOkno->Boxy[0], R_SpojeniZtraceno);
    EXPECT_GT(fOkno->PoziceUVarovani, 0) << "unplugged before the read began";
    EXPECT_LT(fOkno->PoziceUVarovani, 288) << "unplugged after the read ended";
    EXPECT_FALSE(fOkno->Logika().BeziOperace());
    EXPECT_FALSE(fOkno->Info()->isVisible());
    EXPECT_EQ(Rozdily(NORLINKRec, rec), "");
    EXPECT_EQ(Rozdily(NORLINKRecNew, recNew), "");
    for (const QAction* polozka : fOkno->cmCOM) {
        EXPECT_FALSE(polozka->isChecked()) << polozka->objectName().toStdString();
    }
    EXPECT_EQ(fOkno->Stb_Panels[0]->text(),
              QString::fromUtf8("COM2 – nepřipojeno (čeká se na převodník)"));
    QTest::qWait(1000);
    EXPECT_EQ(fOkno->Boxy.size(), 1U);

    // The device comes back on a new pseudo-terminal behind the same link: the window's watch
    // opens it again within 2 s, and the status bar says so.
    ASSERT_TRUE(Cekej([&] { return fSim->Sim.Generation() >= 2; }, 20s));
    ASSERT_TRUE(Cekej([&] { return fOkno->cmCOM[1]->isChecked(); }, 2s));
    const QString opet = QString::fromStdString(std::string(R_OpetPripojen) + "COM2 – ");
    EXPECT_TRUE(fOkno->Stb_Panels[0]->text().startsWith(opet));
    const TComLog& log = *fOkno->Logika().Log();
    std::size_t zaznamy = 0;
    for (std::size_t i = 0; i < log.Count(); ++i) {
        zaznamy += log[i].Message().find(R_OpetPripojen) != std::string_view::npos ? 1U : 0U;
    }
    EXPECT_EQ(zaznamy, 1U) << "the log says so";
    ASSERT_TRUE(Precti(fOkno->Btn_NactiTelCisla, 120s)) << Sim();
    KontrolujTelCisla();
    EXPECT_EQ(fOkno->Boxy.size(), 1U);
}

} // namespace
