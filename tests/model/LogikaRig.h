#pragma once
// The window's logic over a fake window, a fake port, manual timers and a scratch folder, with a
// small device answering the queue as the link would: reads from its memory images, a write pair's
// write into memory unless the test loses it or the device never takes that block, the read-back
// from memory. TZapisRig adds what the phone and settings writes are prepared with.

#include "FakeOkno.h"
#include "FakePrevodniky.h"
#include "FakeSerialPort.h"
#include "ScratchDir.h"
#include "okno/MainLogika.h"
#include "stav/promenne.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using TBajty = std::vector<std::uint8_t>;

inline std::string Soubor(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A request as the device sees it: the memory kind and the address.
struct TPozadavek {
    std::uint8_t Druh = ZAZNAM;
    std::uint16_t Adresa = 0;
};

class TLogikaRig : public ::testing::Test {
protected:
    ~TLogikaRig() override {
        fLogika.reset();
        InicializujNORLINKRec(NORLINKRec);
        NORLINKRecNew = NORLINKRec;
        HWTYP = VERSW = VERHW = TIdentText();
    }

    // The logic as the window creates it, with the program's folder at slozka (default: scratch).
    TMainLogika& Vytvor(std::string slozka = {}, std::string vypisKomunikace = {}) {
        fLogika.reset();
        TMainZavislosti deps;
        deps.SlozkaProgramu = [this, slozka] { return slozka.empty() ? fInstDir : slozka; };
        deps.VytvorCasovac = [this] { return Casovac(fTimer); };
        deps.VytvorHlidac = [this] { return Casovac(fHlidac); };
        deps.Hodiny = [this] { return fCas; };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        deps.VytvorPrevodniky = [this] { return std::make_unique<TFakePrevodniky>(fStroj); };
        deps.VypisKomunikace = std::move(vypisKomunikace);
        fLogika = std::make_unique<TMainLogika>(fOkno, std::move(deps));
        return *fLogika;
    }
    TMainLogika& Spust(std::string slozka = {}) {
        Vytvor(std::move(slozka)).FormCreate();
        return *fLogika;
    }
    static std::unique_ptr<TManualTimer> Casovac(TManualTimer*& kde) {
        auto timer = std::make_unique<TManualTimer>();
        kde = timer.get();
        return timer;
    }

    TKomunikace& Kom() { return *fLogika->Link(); }
    std::optional<TPozadavek> Hlava() {
        const auto h = Kom().ZaznamFronty(0);
        return h ? std::optional(TPozadavek{h->TypPameti, h->Adresa}) : std::nullopt;
    }
    TBajty Data(TPozadavek p) const {
        const auto& pamet = p.Druh == HWSW ? fHwsw : fPamet;
        return {pamet.begin() + p.Adresa, pamet.begin() + p.Adresa + 16};
    }
    std::array<std::uint8_t, 16> Blok(std::uint16_t adresa) const {
        std::array<std::uint8_t, 16> blok{};
        std::copy_n(fPamet.begin() + adresa, 16, blok.begin());
        return blok;
    }
    // The device's answer to p, handed to the logic as the receive path does.
    void Odpovez(TPozadavek p, const TBajty& data) {
        THlavickaTLG h;
        h.Adresa = p.Adresa;
        h.Odesilatel = MDM;
        h.DelkaDat = static_cast<std::uint8_t>(data.size());
        h.Zarizeni = p.Druh;
        p.Druh == HWSW ? fLogika->Relace()->DekodTLGHWSW(h, data)
                       : fLogika->Relace()->DekodTLGZaznam(h, data);
    }
    void Odpovez(TPozadavek p) { Odpovez(p, Data(p)); }
    // Answers the head of the queue up to limit times; the addresses answered, in order.
    std::vector<std::uint16_t> Odpovidej(std::size_t limit = 5000) {
        std::vector<std::uint16_t> adresy;
        for (auto p = Hlava(); p && adresy.size() < limit && Krok(); p = Hlava()) {
            adresy.push_back(p->Adresa);
        }
        return adresy;
    }
    // One polling cycle: during a write phase the pair's write, then its read-back; else the head.
    bool Krok() {
        const auto hlava = Hlava();
        if (!hlava) {
            return false;
        }
        if (!Kom().Zapisuju()) {
            EXPECT_FALSE(fJenPary) << "a settings write sends pairs only";
            Odpovez(*hlava);
            return true;
        }
        const auto zapis = Kom().ZaznamFronty(0);
        const auto cteni = Kom().CteniParu();
        EXPECT_TRUE(zapis && cteni);
        EXPECT_EQ(zapis->Akce, Zapis);
        EXPECT_EQ(cteni->Akce, Cteni);
        if (zapis->Adresa >= 0x0100) {
            EXPECT_EQ(cteni->Adresa, zapis->Adresa) << "a settings block reads itself back";
            EXPECT_EQ(cteni->Data, zapis->Data) << "both from the same staged bytes";
        } else {
            EXPECT_EQ(cteni->Adresa, 0x0000) << "a number reads the table entry of number 0";
        }
        fAdresyZapisu.push_back(zapis->Adresa);
        if (fZtratZapisu > 0) {
            --fZtratZapisu;
        } else if (!fZaseknute.contains(zapis->Adresa)) {
            std::ranges::copy(zapis->Data, fPamet.begin() + zapis->Adresa);
        }
        Odpovez({ZAZNAM, cteni->Adresa});
        return true;
    }
    void DoKonce() {
        for (int i = 0; i < 5000 && Krok(); ++i) {
        }
        fOkno.RunPlanned();
    }

    TScratchDir fScratch{"norlink-logika"};
    const std::filesystem::path fDir = fScratch.path();
    const std::string fInstDir = fDir.string() + "/";
    TFakeOkno fOkno;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    std::shared_ptr<TFakeStroj> fStroj = std::make_shared<TFakeStroj>();
    TManualTimer* fTimer = nullptr;
    TManualTimer* fHlidac = nullptr;
    TCasRelace fCas{};
    std::unique_ptr<TMainLogika> fLogika;
    TBajty fPamet = TBajty(0x10000); // the record memory
    TBajty fHwsw = TBajty(0x10000);  // the identification memory
    bool fJenPary = false;           // a settings write: pairs only
    int fZtratZapisu = 0;
    std::set<std::uint16_t> fZaseknute;       // blocks the device never takes
    std::vector<std::uint16_t> fAdresyZapisu; // the writes sent
};

enum class TDruhZapisu : std::uint8_t { Cisla, Nastaveni };
inline void PrintTo(TDruhZapisu druh, std::ostream* os) {
    *os << (druh == TDruhZapisu::Cisla ? "Cisla" : "Nastaveni");
}

// A block a test changed and the first byte the write should put there.
struct TZmena {
    std::uint16_t Adresa = 0;
    std::uint8_t Prvni = 0;
};

// A device of erased memory, and the writes' preparation.
class TZapisRig : public TLogikaRig {
protected:
    TZapisRig() {
        Spust();
        std::ranges::fill(fPamet, 0xFF);
        std::ranges::fill(fHwsw, 0xFF);
    }

    // What the write will send is read first, as the window requires: a write sends only known
    // data. The phone write gets a device with number 0 set, the settings write one expander.
    void Priprav(TDruhZapisu druh) {
        if (druh == TDruhZapisu::Cisla) {
            std::ranges::copy(std::string_view("123456789"), fPamet.begin());
            fLogika->Btn_NactiTelCislaClick();
            DoKonce();
            return;
        }
        fOkno.SetPocetExpanderu(8);
        fLogika->Btn_NactiExpanderyClick();
        DoKonce();
        fOkno.SetPocetExpanderu(1);
        fLogika->SEdt_PocetExpanderuChange();
        fJenPary = true;
    }
    // Two blocks differ from a device that holds neither.
    std::array<TZmena, 2> ZmenDva(TDruhZapisu druh) {
        if (druh == TDruhZapisu::Cisla) {
            NORLINKRec.TelCisla[2].Clear();
            NORLINKRec.TelCisla[7].Clear();
            Napis(2, "111222333");
            Napis(7, "444555666");
            return {TZmena{0x0020, '1'}, TZmena{0x0070, '4'}};
        }
        // The failure list and the switch-on list of input 2 of expander 1.
        NORLINKRec.TelCislaPoruchaKom[0][0] = 255;
        NORLINKRec.TelCislaSepnuti[0][1][0] = 255;
        NORLINKRecNew.TelCislaPoruchaKom[0][0] = 1;
        NORLINKRecNew.TelCislaSepnuti[0][1][0] = 1;
        return {TZmena{0x0100, 1}, TZmena{0x1300, 1}};
    }
    void Zapisuj(TDruhZapisu druh) {
        druh == TDruhZapisu::Cisla ? fLogika->Btn_ZapisTelCislaClick()
                                   : fLogika->Btn_ZapisNastaveniClick();
    }
    // The technician types a number into the grid (index k).
    void Napis(int k, const std::string& text) {
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, k + 1, text);
        fLogika->Hg_PhoneNumbersCellEdited(1, k + 1);
    }
};
