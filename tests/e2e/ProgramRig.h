#pragma once
// The program's real window in-process, as its main() creates it (Qt timers, the termios port,
// norlink.ini in a scratch folder), on the one rig's simulator (E2eRig.h) preloaded with a raw
// 64 KiB image. Boxes are recorded instead of shown; every wait has a deadline.

#include "E2eData.h"
#include "E2eRig.h"
#include "Main.h"
#include "NorlinkApplication.h"
#include "QtTimer.h"
#include "port/SerialPort.h"
#include "stav/promenne.h"
#include "text/Cp1250.h"

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

namespace program_rig {

using namespace program_run;
using namespace std::chrono_literals;
using TObraz = std::vector<std::uint8_t>; // the device's record memory, 64 KiB

constexpr unsigned k_Exp = 0x0100;    // expander blocks
constexpr unsigned k_Vstupy = 0x1100; // input blocks

// The device's layout as the simulator has it.
inline unsigned BlokExpanderu(unsigned e) {
    return sim::ExpanderBlock(e);
}
inline unsigned BlokVstupu(unsigned e, unsigned v) {
    return sim::InputBlock(e, v);
}

// Every phone number form, and for each half of every expander and input block recipients
// (0..15, 255 and values that show as empty) and a text: 240 bytes of 1..254, the same with 0 and
// 255 holes, a short text padded with 0, or erased memory. Over all halves every byte 1..254.
inline TObraz VytvorObraz() {
    TObraz m(0x10000);
    e2e::TPattern s(0x4E4F524CULL);
    for (auto& b : m) {
        b = s.Next();
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

inline std::string Bajty(const TObraz& m, unsigned a, unsigned n) {
    return {m.begin() + a, m.begin() + a + n};
}

// The fields in which two images differ (empty: none), for the assertion message.
inline std::string Rozdily(const TNORLINK& a, const TNORLINK& b) {
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

inline std::string Cislo(const TObraz& m, unsigned k) {
    std::string c;
    for (unsigned j = 0; j < 16 && m[16 * k + j] != 0 && m[16 * k + j] != 255; ++j) {
        c += static_cast<char>(m[16 * k + j]);
    }
    return c;
}

// Identification texts as given to the simulator (Windows-1250 bytes) and as the panels show them.
inline const std::array<std::pair<std::string, std::string>, 3> k_Ident{{
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
    bool OtazkaAnoNe(const std::string& text, TVychoziOdpoved) override {
        Boxy.push_back(text);
        return false;
    }
    void Chyba(const std::string& text) override { Boxy.push_back(text); }
    // The box after a verified write goes apart: the tests count the boxes that report trouble.
    void Zprava(const std::string& text, const std::string& detail) override {
        (text.starts_with("Zapsáno a ověřeno") ? Overeno : Boxy).push_back(text);
        DetailZpravy = detail;
    }
    bool KontrolaZapisu(const std::vector<std::string>& zmeny, const std::vector<std::string>&,
                        const std::string&) override {
        Nahledy.push_back(zmeny);
        return Zapsat;
    }
    std::optional<int> VyberZeSeznamu(const std::string&, const std::string&,
                                      const std::vector<std::string>& polozky) override {
        Vyber = polozky;
        return polozky.empty() ? std::nullopt : std::optional<int>(0);
    }
    std::vector<std::string> Boxy;
    std::vector<std::string> Overeno;
    std::vector<std::vector<std::string>> Nahledy;
    std::vector<std::string> Vyber;
    bool Zapsat = true;
    int PoziceUVarovani = -1;
    std::string DetailZpravy;
};

class TProgramRig : public ::testing::Test {
protected:
    TProgramRig() : fObraz(VytvorObraz()) {}
    // The window closes before the simulator.
    ~TProgramRig() override {
        if (fOkno) {
            fOkno->close();
        }
        fOkno.reset();
    }

    // The simulator with norlink-sim's arguments `poruchy`, behind a link that follows it to a new
    // pseudo-terminal, and the window on it through norlink.ini with n expanders.
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
        fSim = std::make_unique<e2e::TE2eRig>(args);
        std::string chyba;
        if (!fSim->Start(chyba)) {
            ADD_FAILURE() << chyba;
            return false;
        }
        WriteFile(fDir.Path() / "norlink.ini", "[Porty]\nCOM2=" + fLink.string() +
                                                   "\n[ComPort]\nProgram=" + std::to_string(n) +
                                                   "\n");
        TMainZavislosti z; // as the program's main() wires the window
        z.SlozkaProgramu = [d = fDir.Path().string() + "/"] { return d; };
        z.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
        z.VytvorHlidac = [] { return std::make_unique<TQtTimer>(); };
        if (fVytvorPort) {
            z.VytvorPort = fVytvorPort;
        }
        fOkno = std::make_unique<TOkno>(std::move(z));
        fOkno->FormCreate();
        fOkno->VytvorInfoForm();
        fOkno->UmistiNaObrazovku();
        fOkno->show();
        return Cekej([&] { return fOkno->LedOn(); }, 20s);
    }

    // Qt's events processed until hotovo() or the limit.
    bool Cekej(const std::function<bool()>& hotovo, std::chrono::seconds limit) {
        return fSim->RunUntil(hotovo, limit, 0ms, [] { QTest::qWait(5); });
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

    // The simulator's polls and requests taken so far.
    std::pair<std::uint64_t, std::uint64_t> Statistika() const {
        const sim::TSimStats s = fSim->Stats();
        return {s.Polls, s.RequestsRead + s.RequestsWrite + s.RequestsIgnored};
    }
    // The simulator's statistics, for assertion messages.
    std::string Sim() const { return fSim ? fSim->DescribeSim() : std::string(); }
    // The simulator stopped, and its record memory at the end.
    TObraz Zarizeni() {
        fOkno->close();
        fOkno.reset();
        fSim->Sim.Stop();
        const sim::TSimMemory m = fSim->Sim.Memory();
        return TObraz(m.Record().begin(), m.Record().end());
    }

    TTempDir fDir;
    fs::path fLink = fDir.Path() / "ttyNORLINK";
    TObraz fObraz;
    std::unique_ptr<e2e::TE2eRig> fSim;
    std::unique_ptr<TOkno> fOkno;
    // The window's port layer when set (default: the termios one as it is).
    std::function<std::unique_ptr<ISerialPort>()> fVytvorPort;
};

} // namespace program_rig
