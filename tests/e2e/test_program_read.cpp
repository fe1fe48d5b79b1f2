// The program's real window, created as the program's main() creates it (Qt timers, the termios
// port, norlink.ini in its folder), against the norlink-sim command preloaded with a raw memory
// image. The buttons are clicked as a user would; afterwards both images must hold exactly the
// simulator's memory for the blocks the read covers, and the window must show it. The expected
// image is built here from byte ranges of the memory, not by the decoders' address arithmetic.

#include "Cp1250.h"
#include "Main.h"
#include "NorlinkApplication.h"
#include "QtTimer.h"
#include "promenne.h"

// InstallProgram (which needs the program's path) is not used here.
#define NORLINK_BIN ""
#include "../ui/ProgramRun.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <regex>

namespace {

using namespace program_run;
using namespace std::chrono_literals;
using TObraz = std::vector<std::uint8_t>; // the device's record memory, 64 KiB

constexpr unsigned k_Exp = 0x0100;              // expander blocks
constexpr unsigned k_Vstupy = 0x1100;           // input blocks
constexpr unsigned k_KonecCteniVstupu = 0x7F10; // a read of the input area ends with block 0x7F00

unsigned BlokExpanderu(unsigned e) {
    return k_Exp + 512 * e;
}
unsigned BlokVstupu(unsigned e, unsigned v) {
    return k_Vstupy + 4096 * e + 512 * v;
}

std::uint8_t Nahoda(std::uint64_t& s) { // splitmix64
    std::uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return static_cast<std::uint8_t>((z ^ (z >> 31)) >> 56);
}

// Every phone number form, and for each half of every expander and input block recipients
// (0..15, 255 and values that show as empty) and a text: 240 bytes of 1..254, the same with 0 and
// 255 holes, a short text padded with 0, or erased memory. Over all halves every byte 1..254.
TObraz VytvorObraz() {
    TObraz m(0x10000);
    std::uint64_t s = 0x4E4F524CULL;
    for (auto& b : m) {
        b = Nahoda(s);
    }
    const std::array<std::string, 8> cisla{
        std::string("604123456\0\0\0\0\0\0\0", 16),
        "1234567890123456",
        std::string(16, '\0'),
        std::string(16, '\xFF'),
        std::string("+420 \xE8\x9A\xF8\xA0#*\xFF", 12) + "9999",
        std::string("\x01\x7F\x81\x83\x88\x90\x98\xFE", 8) + std::string(8, '\0'),
        "777 888 999\xFF\xFF\xFF\xFF\xFF",
        std::string("x\0"
                    "12345678901234",
                    16),
    };
    for (unsigned k = 0; k < 16; ++k) {
        const std::string& c = cisla[k % cisla.size()];
        std::copy(c.begin(), c.end(), m.begin() + 16 * k);
    }
    unsigned polovina = 0;
    const auto vypln = [&](unsigned blok) {
        for (unsigned h = 0; h < 2; ++h, ++polovina) {
            const unsigned a = blok + 256 * h;
            for (unsigned slot = 0; slot < 16; ++slot) {
                m[a + slot] = slot == 15 ? 255 : static_cast<std::uint8_t>((polovina + slot) % 20);
            }
            for (unsigned j = 0; j < 240; ++j) {
                auto& b = m[a + 16 + j];
                b = static_cast<std::uint8_t>(1 + (polovina * 240 + j) % 254);
                switch (polovina % 4) {
                case 1:
                    b = j % 17 == 3 ? 0 : (j % 23 == 5 ? 255 : b);
                    break;
                case 2:
                    b = j < 37 ? b : 0;
                    break;
                case 3:
                    b = 255;
                    break;
                default:
                    break;
                }
            }
        }
    };
    for (unsigned e = 0; e < 8; ++e) {
        vypln(BlokExpanderu(e));
        for (unsigned v = 0; v < 8; ++v) {
            vypln(BlokVstupu(e, v));
        }
    }
    return m;
}

std::string Bajty(const TObraz& m, unsigned a, unsigned n) {
    return {m.begin() + a, m.begin() + a + n};
}

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

// The fields in which two images differ (empty: none), for the assertion message.
std::string Rozdily(const TNORLINK& a, const TNORLINK& b) {
    std::string d;
    const auto pole = [&](const char* nazev, const auto& x, const auto& y) {
        for (std::size_t e = 0; e < x.size(); ++e) {
            if (!(x[e] == y[e])) {
                d += std::string(d.empty() ? "" : ", ") + nazev + "[" + std::to_string(e) + "]";
            }
        }
    };
    pole("TelCisla", a.TelCisla, b.TelCisla);
    pole("TelCislaPoruchaKom", a.TelCislaPoruchaKom, b.TelCislaPoruchaKom);
    pole("TelCislaObnovaKom", a.TelCislaObnovaKom, b.TelCislaObnovaKom);
    pole("ZpravaPorucha", a.ZpravaPorucha, b.ZpravaPorucha);
    pole("ZpravaObnova", a.ZpravaObnova, b.ZpravaObnova);
    pole("TelCislaSepnuti (by expander)", a.TelCislaSepnuti, b.TelCislaSepnuti);
    pole("TelCislaRozpojeni (by expander)", a.TelCislaRozpojeni, b.TelCislaRozpojeni);
    pole("ZpravaSepnuti (by expander)", a.ZpravaSepnuti, b.ZpravaSepnuti);
    pole("ZpravaRozpojeni (by expander)", a.ZpravaRozpojeni, b.ZpravaRozpojeni);
    return d;
}

std::string Cislo(const TObraz& m, unsigned k) {
    std::string c;
    for (unsigned j = 0; j < 16 && m[16 * k + j] != 0 && m[16 * k + j] != 255; ++j) {
        c += static_cast<char>(m[16 * k + j]);
    }
    return c;
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

// Identification texts as given to the simulator (Windows-1250 bytes) and as the panels show them.
const std::array<std::pair<std::string, std::string>, 3> k_Ident{{
    {"NORLINK \xD8-7", "NORLINK Ř-7"},
    {"SW 3.\x9A\x01", "SW 3.š"},
    {"HW \x8A\x9E", "HW Šž"},
}};

// The window with its boxes recorded instead of shown.
class TOkno : public TFrm_Main {
public:
    using TFrm_Main::TFrm_Main;
    void Varovani(const std::string& text, const std::string&) override {
        Boxy.push_back(text);
        PoziceUVarovani = Info()->DolniPosition();
    }
    bool OtazkaAnoNe(const std::string& text) override {
        Boxy.push_back(text);
        return false;
    }
    void Chyba(const std::string& text) override { Boxy.push_back(text); }
    std::vector<std::string> Boxy;
    int PoziceUVarovani = -1;
};

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

class ProgramReadRig : public ::testing::Test {
protected:
    ProgramReadRig() : fObraz(VytvorObraz()) {}
    ~ProgramReadRig() override {
        if (fOkno) {
            fOkno->close();
        }
    }

    bool Spust(std::vector<std::string> poruchy, int n) {
        WriteFile(fDir.Path() / "obraz.bin", Bajty(fObraz, 0, 0x10000));
        std::vector<std::string> args{"--link",
                                      fLink.string(),
                                      "--image",
                                      (fDir.Path() / "obraz.bin").string(),
                                      "--fast",
                                      "--gap",
                                      "50",
                                      "--hw-type",
                                      k_Ident[0].first,
                                      "--sw-version",
                                      k_Ident[1].first,
                                      "--hw-version",
                                      k_Ident[2].first};
        args.insert(args.end(), poruchy.begin(), poruchy.end());
        fSim = std::make_unique<TChild>(NORLINK_SIM_BINARY, args, fDir.Path() / "sim.txt");
        if (!WaitUntil([&] { return fs::exists(fLink); }, 20s)) {
            return false;
        }
        WriteFile(fDir.Path() / "norlink.ini", "[Porty]\nCOM2=" + fLink.string() +
                                                   "\n[ComPort]\nProgram=" + std::to_string(n) +
                                                   "\n");
        TMainZavislosti z; // as the program's main() wires the window
        z.SlozkaProgramu = [d = fDir.Path().string() + "/"] { return d; };
        z.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
        z.VytvorHlidac = [] { return std::make_unique<TQtTimer>(); };
        fOkno = std::make_unique<TOkno>(std::move(z));
        fOkno->FormCreate();
        fOkno->VytvorInfoForm();
        fOkno->UmistiNaObrazovku();
        fOkno->show();
        return Cekej([&] { return fOkno->LedOn(); }, 20s);
    }

    bool Cekej(const std::function<bool()>& hotovo, std::chrono::seconds limit) {
        const auto konec = std::chrono::steady_clock::now() + limit;
        while (!hotovo()) {
            if (std::chrono::steady_clock::now() > konec) {
                return false;
            }
            QTest::qWait(5);
        }
        return true;
    }

    // Clicks a read button and waits until the read has ended.
    bool Precti(QPushButton* tlacitko, std::chrono::seconds limit) {
        EXPECT_TRUE(tlacitko->isEnabled()) << tlacitko->objectName().toStdString();
        QTest::mouseClick(tlacitko, Qt::LeftButton);
        EXPECT_TRUE(fOkno->Logika().BeziOperace());
        EXPECT_TRUE(fOkno->Info()->isVisible());
        return Cekej([&] { return !fOkno->Logika().BeziOperace(); }, limit);
    }

    void Vyber(int e, int v) {
        fOkno->Cmb_Expander->setCurrentIndex(e);
        emit fOkno->Cmb_Expander->activated(e);
        fOkno->Cmb_Vstup->setCurrentIndex(v);
        emit fOkno->Cmb_Vstup->activated(v);
    }

    // The simulator's statistics line, asked for now: polls and requests taken.
    std::pair<unsigned long, unsigned long> Statistika() {
        const std::regex r("polls ([0-9]+), requests ([0-9]+)");
        const auto pocet = [&] {
            const std::string t = ReadFile(fDir.Path() / "sim.txt");
            return std::distance(std::sregex_iterator(t.begin(), t.end(), r),
                                 std::sregex_iterator());
        };
        const auto pred = pocet();
        ::kill(fSim->Pid(), SIGUSR1);
        EXPECT_TRUE(Cekej([&] { return pocet() > pred; }, 10s));
        const std::string t = ReadFile(fDir.Path() / "sim.txt");
        std::smatch posledni;
        for (auto it = std::sregex_iterator(t.begin(), t.end(), r); it != std::sregex_iterator();
             ++it) {
            posledni = *it;
        }
        return {std::stoul(posledni[1]), std::stoul(posledni[2])};
    }

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

    TTempDir fDir;
    fs::path fLink = fDir.Path() / "ttyNORLINK";
    TObraz fObraz;
    std::unique_ptr<TChild> fSim;
    std::unique_ptr<TOkno> fOkno;
};

class ProgramRead : public ProgramReadRig, public ::testing::WithParamInterface<TPripad> {};

TEST_P(ProgramRead, GivesTheSimulatorsMemoryInBothImagesAndOnScreen) {
    const TPripad& p = GetParam();
    ASSERT_TRUE(Spust(p.Poruchy, p.N)) << ReadFile(fDir.Path() / "sim.txt");
    const TNORLINK puvodniNew = NORLINKRecNew;
    ASSERT_TRUE(Precti(fOkno->Btn_NactiTelCisla, 120s)) << ReadFile(fDir.Path() / "sim.txt");
    KontrolujTelCisla();
    EXPECT_EQ(Rozdily(NORLINKRecNew, puvodniNew), "") << "the phone read copies nothing";
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
    ASSERT_TRUE(Precti(vse ? fOkno->Btn_NactiExpandery : fOkno->Btn_NactiAktualni, 400s))
        << ReadFile(fDir.Path() / "sim.txt");
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
        (void)Statistika();
        const std::string sim = ReadFile(fDir.Path() / "sim.txt");
        EXPECT_NE(sim.find("(data checksum "), std::string::npos)
            << "nothing was corrupted: " << sim;
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
    ASSERT_TRUE(Spust({}, 1)) << ReadFile(fDir.Path() / "sim.txt");
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

TEST_F(ProgramReadRig, UnpluggedMidReadWarnsOnceEndsTheReadAndTheSamePortReconnects) {
    ASSERT_TRUE(Spust({"--unplug-after", "80", "--unplug-for", "300"}, 1))
        << ReadFile(fDir.Path() / "sim.txt");
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
    QTest::qWait(1000);
    EXPECT_EQ(fOkno->Boxy.size(), 1U);

    // The device comes back on a new pseudo-terminal behind the same link (the simulator prints
    // each one); choosing the port again opens it without asking.
    ASSERT_TRUE(Cekej(
        [&] {
            const std::string t = ReadFile(fDir.Path() / "sim.txt");
            return std::count(t.begin(), t.end(), '\n') >= 2 &&
                   t.find("/dev/pts/") != t.rfind("/dev/pts/");
        },
        20s));
    fOkno->cmCOM[1]->trigger();
    EXPECT_TRUE(fOkno->cmCOM[1]->isChecked());
    ASSERT_TRUE(Precti(fOkno->Btn_NactiTelCisla, 120s)) << ReadFile(fDir.Path() / "sim.txt");
    KontrolujTelCisla();
    EXPECT_EQ(fOkno->Boxy.size(), 1U);
}

} // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TNorlinkApplication app(argc, argv);
    app.SetZobrazeniChyby([](const std::string& text, const std::string&) {
        ADD_FAILURE() << "exception at the event loop: " << text;
    });
    return RUN_ALL_TESTS();
}
