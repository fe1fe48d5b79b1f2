#include "Konzole.h"

#include <algorithm>
#include <cerrno>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr std::string_view k_Predpona = "norlink-cli: ";
constexpr auto k_KresliNejdrive = std::chrono::milliseconds(100);

// The first `sloupcu` characters of a UTF-8 text, so that the line never wraps.
std::string Zkrat(const std::string& text, std::size_t sloupcu) {
    std::size_t znaku = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80 && znaku++ == sloupcu) {
            return text.substr(0, i);
        }
    }
    return text;
}

std::size_t SirkaTerminalu() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 1) {
        return size.ws_col - 1u;
    }
    return 79;
}

} // namespace

TChybovyVystup::TChybovyVystup() : fTerminal(::isatty(STDERR_FILENO) == 1) {}

void TChybovyVystup::Zapis(const std::string& bytes) const {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const ssize_t n = ::write(STDERR_FILENO, bytes.data() + at, bytes.size() - at);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return; // nowhere to say it
        }
        at += static_cast<std::size_t>(n);
    }
}

void TChybovyVystup::Prubeh(const std::string& text) {
    if (!fTerminal) {
        return;
    }
    const std::string radek = Zkrat(text, SirkaTerminalu());
    if (radek == fPrubeh) {
        return;
    }
    fPrubeh = radek;
    Zapis("\r\033[K" + radek);
}

void TChybovyVystup::SmazPrubeh() {
    if (fTerminal && !fPrubeh.empty()) {
        Zapis("\r\033[K");
    }
    fPrubeh.clear();
}

void TChybovyVystup::Zprava(const std::string& text) {
    const std::string prubeh = fPrubeh;
    SmazPrubeh();
    std::string radky;
    // Every line of a longer message under the same prefix, so that scripts can grep it.
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        radky += std::string(k_Predpona) + text.substr(at, end - at) + "\n";
        at = end + 1;
    }
    Zapis(radky);
    if (!prubeh.empty()) {
        Prubeh(prubeh);
    }
}

void TKonzoleInfo::SetText(const std::string& text) {
    const bool zmena = text != fText;
    fText = text;
    Prekresli(zmena);
}

void TKonzoleInfo::SetDolniVisible(bool visible) {
    fDolni = visible;
    Prekresli(true);
}

void TKonzoleInfo::SetDolniMax(int maximum) {
    fMax = std::max(maximum, 0);
    fPozice = std::min(fPozice, fMax);
    Prekresli(true);
}

void TKonzoleInfo::SetDolniPosition(int position) {
    // As a progress bar does: the position stays within its range.
    fPozice = std::clamp(position, 0, fMax);
    Prekresli(fPozice == fMax);
}

void TKonzoleInfo::ShowModeless() {
    fShown = true;
    Prekresli(true);
}

void TKonzoleInfo::Hide() {
    fShown = false;
    fVystup.SmazPrubeh();
}

void TKonzoleInfo::Close() {
    fShown = false;
    fDolni = false;
    fVystup.SmazPrubeh();
}

void TKonzoleInfo::Prekresli(bool hned) {
    if (!fShown || !fVystup.Terminal()) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!hned && now - fKresleno < k_KresliNejdrive) {
        return;
    }
    fKresleno = now;
    std::string radek = fText;
    if (fDolni && fMax > 0) {
        radek += "  [" + std::to_string(fPozice) + "/" + std::to_string(fMax) + ", " +
                 std::to_string(100 * fPozice / fMax) + " %]";
    }
    fVystup.Prubeh(radek);
}

void TKonzoleOkno::Varovani(const std::string& text, const std::string& detail) {
    fVystup.Zprava("Varování: " + text + (detail.empty() ? "" : "\n" + detail));
}

bool TKonzoleOkno::OtazkaAnoNe(const std::string& text, TVychoziOdpoved) {
    fVystup.Zprava("Varování: " + text + " (bez odpovědi: Ne)");
    return false;
}

void TKonzoleOkno::Chyba(const std::string& text) {
    fVystup.Zprava("Chyba: " + text);
}

void TKonzoleOkno::Zprava(const std::string& text, const std::string& detail) {
    fVystup.Zprava(text + (detail.empty() ? "" : "\n" + detail));
}

std::optional<std::string> TKonzoleOkno::InputQuery(const std::string& caption, const std::string&,
                                                    const std::string&) {
    fVystup.Zprava(caption + ": nelze zadat (bez odpovědi)");
    return std::nullopt;
}

void TKonzoleOkno::SpustNaplanovane() {
    while (!fNaplanovano.empty()) {
        auto krok = std::move(fNaplanovano.front());
        fNaplanovano.pop_front();
        krok();
    }
}
