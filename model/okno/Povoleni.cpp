#include "okno/Povoleni.h"

bool TPovoleni::SpoustiOperaci(TOvladac control) {
    switch (control) {
    case TOvladac::Btn_NactiTelCisla:
    case TOvladac::Btn_ZapisTelCisla:
    case TOvladac::Btn_NactiExpandery:
    case TOvladac::Btn_NactiAktualni:
    case TOvladac::Btn_reset:
    case TOvladac::Btn_ZapisNastaveni:
        return true;
    default:
        return false;
    }
}

void TPovoleni::Nastav(TOvladac control, bool enabled) {
    fStav[Index(control)] = enabled;
    Zobraz(control);
}

void TPovoleni::ZahajOperaci() {
    fOperace = true;
    for (std::size_t i = 0; i < fStav.size(); ++i) {
        Zobraz(static_cast<TOvladac>(i));
    }
}

void TPovoleni::UkonciOperaci() {
    fOperace = false;
    for (std::size_t i = 0; i < fStav.size(); ++i) {
        Zobraz(static_cast<TOvladac>(i));
    }
}

void TPovoleni::Zobraz(TOvladac control) {
    if (fOkno != nullptr) {
        fOkno->SetEnabled(control, fStav[Index(control)] && !(fOperace && SpoustiOperaci(control)));
    }
}
