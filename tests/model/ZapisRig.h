#pragma once
// The window's logic with a fake window and a small device answering the queue as the link would:
// a write pair's write goes into its memory unless the test loses it or the device never takes
// that block; the read-back and every read answer from memory.

#include "FakeOkno.h"
#include "FakeSerialPort.h"
#include "ScratchDir.h"
#include "okno/MainLogika.h"
#include "stav/promenne.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

enum class TDruhZapisu : std::uint8_t { Cisla, Nastaveni };
inline void PrintTo(TDruhZapisu druh, std::ostream* os) {
    *os << (druh == TDruhZapisu::Cisla ? "Cisla" : "Nastaveni");
}

// A block a test changed and the first byte the write should put there.
struct TZmena {
    std::uint16_t Adresa = 0;
    std::uint8_t Prvni = 0;
};

class TZapisRig : public ::testing::Test {
protected:
    TZapisRig() {
        TMainZavislosti deps;
        const std::string dir = fScratch.path().string() + "/";
        deps.SlozkaProgramu = [dir] { return dir; };
        deps.VytvorCasovac = [] { return std::make_unique<TManualTimer>(); };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        fLogika = std::make_unique<TMainLogika>(fOkno, std::move(deps));
        fLogika->FormCreate();
        std::fill(fPamet.begin(), fPamet.end(), 0xFF);
    }
    ~TZapisRig() override {
        fLogika.reset();
        InicializujNORLINKRec(NORLINKRec);
        NORLINKRecNew = NORLINKRec;
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
        fPary = true;
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
        if (druh == TDruhZapisu::Cisla) {
            fLogika->Btn_ZapisTelCislaClick();
        } else {
            fLogika->Btn_ZapisNastaveniClick();
        }
    }

    TKomunikace& Kom() { return *fLogika->Link(); }
    std::array<std::uint8_t, 16> Blok(std::uint16_t adresa) const {
        std::array<std::uint8_t, 16> blok{};
        std::copy_n(fPamet.begin() + adresa, 16, blok.begin());
        return blok;
    }
    // The device's answer to a read of memory kind `typ` at `adresa`.
    void Odpovez(std::uint16_t adresa, std::uint8_t typ = ZAZNAM) {
        THlavickaTLG hlavicka;
        hlavicka.Adresa = adresa;
        hlavicka.DelkaDat = 16;
        const auto blok = Blok(adresa);
        if (typ == HWSW) {
            fLogika->Relace()->DekodTLGHWSW(hlavicka, blok);
        } else {
            fLogika->Relace()->DekodTLGZaznam(hlavicka, blok);
        }
    }
    // The technician types a number into the grid (index k).
    void Napis(int k, const std::string& text) {
        fOkno.SetCellText(TMrizka::Hg_PhoneNumbers, 1, k + 1, text);
        fLogika->Hg_PhoneNumbersCellEdited(1, k + 1);
    }
    // One polling cycle: during a write phase the pair's write, then its read-back; else the head.
    bool Krok() {
        if (Kom().PocetZaznamuFronty() == 0) {
            return false;
        }
        if (!Kom().Zapisuju()) {
            EXPECT_FALSE(fPary) << "a settings write sends pairs only";
            const auto dotaz = Kom().ZaznamFronty(0);
            Odpovez(dotaz->Adresa, dotaz->TypPameti);
            return true;
        }
        const auto zapis = Kom().ZaznamFronty(0);
        const auto cteni = Kom().CteniParu();
        EXPECT_TRUE(zapis && cteni);
        EXPECT_EQ(zapis->Akce, Zapis);
        EXPECT_EQ(cteni->Akce, Cteni);
        if (fPary) {
            EXPECT_EQ(cteni->Adresa, zapis->Adresa);
            EXPECT_EQ(cteni->Data, zapis->Data) << "both from the same staged bytes";
        } else {
            EXPECT_EQ(cteni->Adresa, 0x0000) << "the table entry of number 0";
        }
        fAdresyZapisu.push_back(zapis->Adresa);
        if (fZtratZapisu > 0) {
            --fZtratZapisu;
        } else if (!fZaseknute.contains(zapis->Adresa)) {
            std::copy(zapis->Data.begin(), zapis->Data.end(), fPamet.begin() + zapis->Adresa);
        }
        Odpovez(cteni->Adresa);
        return true;
    }
    void DoKonce() {
        for (int i = 0; i < 5000 && Krok(); ++i) {
        }
        fOkno.RunPlanned();
    }

    TScratchDir fScratch{"norlink-zapis"};
    TFakeOkno fOkno;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    std::unique_ptr<TMainLogika> fLogika;
    std::vector<std::uint8_t> fPamet = std::vector<std::uint8_t>(0x10000);
    bool fPary = false; // a settings write: pairs only, each reading its own block back
    int fZtratZapisu = 0;
    std::set<std::uint16_t> fZaseknute;       // blocks the device never takes
    std::vector<std::uint16_t> fAdresyZapisu; // the writes sent
};
