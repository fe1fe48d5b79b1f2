#pragma once
// A fake window and port with manual timers, and a small device answering the session's queue as
// the link would: reads from its memory images, a write pair's write into memory unless the test
// loses it or the device never takes that block, the read-back from memory. TOperaceRig runs one
// real operation in a session on it and keeps what the operation hands back at its end.

#include "../link/PrijemFixture.h"
#include "FakeOkno.h"
#include "FakePrevodniky.h"
#include "FakeSerialPort.h"
#include "relace/Relace.h"
#include "stav/promenne.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <thread>
#include <utility>
#include <variant>
#include <vector>

using TBajty = std::vector<std::uint8_t>;

// A request as the device sees it: the memory kind and the address.
struct TPozadavek {
    std::uint8_t Druh = ZAZNAM;
    std::uint16_t Adresa = 0;
};

// Both images as the program starts them; the device's memory erased.
class TZarizeniRig : public ::testing::Test {
protected:
    TZarizeniRig() {
        InicializujNORLINKRec(NORLINKRec);
        NORLINKRecNew = NORLINKRec;
    }
    ~TZarizeniRig() override {
        InicializujNORLINKRec(NORLINKRec);
        NORLINKRecNew = NORLINKRec;
        HWTYP = VERSW = VERHW = TIdentText();
    }

    // The session the device answers.
    virtual TRelace& Relace() = 0;
    static std::unique_ptr<TManualTimer> Casovac(TManualTimer*& kde) {
        auto timer = std::make_unique<TManualTimer>();
        kde = timer.get();
        return timer;
    }

    TKomunikace& Kom() { return Relace().Link(); }
    std::optional<TPozadavek> Hlava() {
        const auto h = Kom().ZaznamFronty(0);
        return h ? std::optional(TPozadavek{h->TypPameti, h->Adresa}) : std::nullopt;
    }
    TBajty Data(TPozadavek p) const {
        const auto& pamet = p.Druh == HWSW ? fHwsw : fPamet;
        return {pamet.begin() + p.Adresa, pamet.begin() + p.Adresa + 16};
    }
    // The device's answer to p, handed to the session as the receive path does.
    void Odpovez(TPozadavek p, const TBajty& data) {
        THlavickaTLG h;
        h.Adresa = p.Adresa;
        h.Odesilatel = MDM;
        h.DelkaDat = static_cast<std::uint8_t>(data.size());
        h.Zarizeni = p.Druh;
        p.Druh == HWSW ? Relace().DekodTLGHWSW(h, data) : Relace().DekodTLGZaznam(h, data);
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
    // Bytes from the device, taken in by one tick of the driver; then the ticks that send the
    // answer once the line has settled and let the line go.
    void Prijmi(const TBajty& bytes) {
        fLine->Feed(bytes);
        fTimer->Pump();
        for (int i = 0; i < 100 && (Kom().Com().Vysila() || Kom().CekaNaLinku()); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            fTimer->Pump();
        }
    }
    // The device polls; what the program sent in reply, as a request.
    std::optional<TPozadavek> Vyzva() {
        fLine->ClearEvents();
        Prijmi(prijem_test::Poll());
        const TBajty sent = fLine->Written();
        if (sent.size() < 9) {
            return std::nullopt;
        }
        return TPozadavek{static_cast<std::uint8_t>((sent[6] >> 5) & 3),
                          static_cast<std::uint16_t>(sent[7] | sent[8] << 8)};
    }
    void OdpovezPoLince(TPozadavek p) { Prijmi(prijem_test::Response(p.Druh, p.Adresa, Data(p))); }
    // Answers to the end, then the boxes the end has planned.
    void DoKonce() {
        Odpovidej();
        fOkno.RunPlanned();
    }

    TFakeOkno fOkno;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    TManualTimer* fTimer = nullptr;
    TCasRelace fCas{};
    TBajty fPamet = TBajty(0x10000, 0xFF); // the record memory
    TBajty fHwsw = TBajty(0x10000, 0xFF);  // the identification memory
    bool fJenPary = false;                 // a settings write: pairs only
    int fZtratZapisu = 0;
    std::set<std::uint16_t> fZaseknute;       // blocks the device never takes
    std::vector<std::uint16_t> fAdresyZapisu; // the writes sent
};

// The session alone, on the port as COM2 unless the test opens it itself.
class TOperaceRig : public TZarizeniRig {
protected:
    explicit TOperaceRig(bool otevri = true) {
        VytvorRelaci(true);
        if (otevri) {
            EXPECT_TRUE(fRelace->Otevri(2, {}, 4800));
        }
    }
    // navrat: the owner wants a lost port's device opened again when it returns (the window).
    void VytvorRelaci(bool navrat) {
        fRelace.reset();
        TZavislostiRelace z;
        z.VytvorCasovac = [this] { return Casovac(fTimer); };
        z.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        z.Hodiny = [this] { return fCas; };
        z.Naplanuj = [this](std::function<void()> krok) { fOkno.Naplanuj(std::move(krok)); };
        z.Led = [this](bool zapnuto) { fOkno.SetLed(zapnuto); };
        z.PoZtrate = [this] { ++fZtraty; };
        if (navrat) {
            z.PoNavratu = [this] { ++fNavraty; };
        }
        z.VytvorPrevodniky = [this] { return std::make_unique<TFakePrevodniky>(fStroj); };
        fRelace = std::make_unique<TRelace>(fOkno.InfoForm(), fPovoleni, std::move(z));
    }

    TRelace& Relace() override { return *fRelace; }
    TKontextOperace Kontext() {
        return {NORLINKRec, NORLINKRecNew, fRelace->Link(), fOkno, fOkno.InfoForm(), fPovoleni};
    }
    // Starts the operation in the session; how it ends and its result land in fKonec, fVysledek.
    TSpusteni Spust(std::unique_ptr<IOperace> operace) {
        fKonec.reset();
        fVysledek.reset();
        return fRelace->Spust(std::move(operace),
                              [this](TStavOperace stav, const TVysledekOperace& vysledek) {
                                  fKonec = stav;
                                  fVysledek = vysledek;
                              });
    }
    template <class TOperace, class... TArgs>
    TSpusteni Spust(TArgs... args) {
        return Spust(std::make_unique<TOperace>(Kontext(), args...));
    }
    const TZapsaneBloky& Zapsano() const { return std::get<TZapsaneBloky>(fVysledek.value()); }

    TPovoleni fPovoleni{&fOkno};
    int fZtraty = 0;
    int fNavraty = 0;
    std::shared_ptr<TFakeStroj> fStroj = std::make_shared<TFakeStroj>();
    std::optional<TStavOperace> fKonec;
    std::optional<TVysledekOperace> fVysledek;
    std::unique_ptr<TRelace> fRelace;
};
