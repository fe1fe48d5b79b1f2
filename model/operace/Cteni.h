#pragma once
// The three reads: the identification texts and phone numbers, the settings of the first N
// expanders, and the settings of one expander and one of its inputs. Each carries its chain
// through the decoders, changes only the images (whoever runs it redraws the window from them),
// takes only answers that fit the request at the head of the queue (a late answer to a cancelled
// read must not steer the next one), and on a cancel or a lost link puts back what it had emptied,
// so nothing half-read is shown or later written.

#include "operace/Dekodery.h"
#include "operace/Operace.h"

#include <array>
#include <string>

class TCteni : public IOperace {
public:
    explicit TCteni(const TKontextOperace& kontext);
    // The decoders hold the bounds by reference.
    TCteni(const TCteni&) = delete;
    TCteni& operator=(const TCteni&) = delete;

    TKrok Odpoved(std::uint8_t typPameti, const THlavickaTLG& hlavicka,
                  std::span<const std::uint8_t> data) override;
    void Zrus() override;
    void SpojeniZtraceno() override { Zrus(); }
    TStavOperace Stav() const override { return fStav; }

protected:
    // An answer has been stored.
    virtual void Ulozeno() {}
    // The chain's last answer has been stored.
    virtual void Dokonci(TVysledekDekodovani vysledek) = 0;
    // Puts back what Start emptied.
    virtual void Obnov() = 0;

    TKontextOperace fKontext;
    TMezeCteni fMeze;
    TDekodery fDekodery;
    TStavOperace fStav = TStavOperace::Bezi;
};

class TCteniTelCisel final : public TCteni {
public:
    using TCteni::TCteni;
    bool Start() override;
    TVysledekOperace Vysledek() const override { return TPrectenaCisla{}; }

private:
    void Ulozeno() override;
    void Dokonci(TVysledekDekodovani vysledek) override;
    void Obnov() override;

    decltype(TNORLINK::TelCisla) fTelCisla{};
    decltype(TNORLINK::TelCisla) fTelCislaNew{};
    std::array<TIdentText, 3> fIdent{};
};

class TCteniNastaveni final : public TCteni {
public:
    TCteniNastaveni(const TKontextOperace& kontext, TRozsahCteni rozsah);
    bool Start() override;
    TVysledekOperace Vysledek() const override { return TPrectenoNastaveni{fRozsah}; }

private:
    void Dokonci(TVysledekDekodovani vysledek) override;
    void Obnov() override;

    TRozsahCteni fRozsah;
    TNORLINK fPuvodni{};
    bool fExpanderPovolen = true;
    bool fVstupPovolen = true;
};

inline constexpr std::string_view R_VstupMimoPamet =
    "Vstup 8 expanderu 8 nelze z komunikátoru načíst: leží mimo oblast paměti, kterou program "
    "čte. Vyberte jiný vstup.";
