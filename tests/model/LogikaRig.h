#pragma once
// The window's logic over the fake window, port and timers of OperaceRig.h, a manual watch timer
// and a scratch folder, with the same small device answering its session.

#include "FakePrevodniky.h"
#include "OperaceRig.h"
#include "ScratchDir.h"
#include "okno/MainLogika.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

inline std::string Soubor(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class TLogikaRig : public TZarizeniRig {
protected:
    ~TLogikaRig() override { fLogika.reset(); }

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
    TRelace& Relace() override { return *fLogika->Relace(); }

    TScratchDir fScratch{"norlink-logika"};
    const std::filesystem::path fDir = fScratch.path();
    const std::string fInstDir = fDir.string() + "/";
    TManualTimer* fHlidac = nullptr;
    std::shared_ptr<TFakeStroj> fStroj = std::make_shared<TFakeStroj>();
    std::unique_ptr<TMainLogika> fLogika;
};
