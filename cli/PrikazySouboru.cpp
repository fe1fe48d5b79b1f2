// The commands on files only: compare two exports, the handover report of one.

#include "Prikazy.h"

#include "operace/Dekodery.h"
#include "operace/SeznamZmen.h"
#include "soubory/NactiExport.h"
#include "soubory/Protokol.h"
#include "soubory/WholeFile.h"
#include "soubory/Zalohy.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

bool ZapisVse(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

int Rozdil(const TParametry& p, TKonzoleOkno& okno) {
    std::vector<TNORLINK> obrazy;
    for (const std::string& path : p.Soubory) {
        const TNacteniExportu nacteni = NactiExportZeSouboru(path);
        if (!nacteni.Ok) {
            okno.Vystup().Zprava(nacteni.Chyba);
            return k_KodSoubor;
        }
        obrazy.push_back(nacteni.Image);
    }
    const TJazyk jazyk =
        JazykProstredi(std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"), std::getenv("LANG"));
    std::string text;
    const std::vector<std::string> radky = SeznamZmen(obrazy[0], obrazy[1], {true, true, 8}, jazyk);
    for (const std::string& radek : radky) {
        text += radek + "\n";
    }
    if (!ZapisVse(STDOUT_FILENO, text)) {
        okno.Vystup().Zprava(std::string("Standardní výstup nelze zapsat: ") +
                             std::strerror(errno));
        return k_KodSoubor;
    }
    return radky.empty() ? k_KodHotovo : k_KodRozdilne;
}

// The handover report of an export or a backup: what the file names as unknown stays unknown, a
// backup's identification and time are used when it has them.
int Protokol(const TParametry& p, TKonzoleOkno& okno) {
    const std::string& path = p.Soubory.at(0);
    const TNacteniExportu nacteni = NactiExportZeSouboru(path);
    if (!nacteni.Ok) {
        okno.Vystup().Zprava(nacteni.Chyba);
        return k_KodSoubor;
    }
    const auto zaloha = [&](std::string_view klic) { return HodnotaZalohy(nacteni.Zaloha, klic); };
    const std::string nazev =
        path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    std::string stav;
    if (nacteni.Zaloha.empty()) {
        stav = "Podle souboru " + nazev + "; shoda s komunikátorem nebyla ověřena";
    } else {
        const std::string cas = CitelnyText(zaloha(k_ZalohaCas));
        stav = "Záloha stavu komunikátoru" + (cas.empty() ? std::string() : " z " + cas) +
               " (soubor " + nazev + ")";
    }
    const TVstupProtokolu vstup = VstupProtokolu(
        nacteni.Image, nacteni.Znama, zaloha(k_ZalohaTyp), zaloha(k_ZalohaVerzeSW),
        zaloha(k_ZalohaVerzeHW),
        p.Expandery.value_or(ExpanderyProtokolu(nacteni.Image, nacteni.Znama)), p.Objekt, p.Technik,
        CasProtokolu(LocalDateTimeParts(std::chrono::system_clock::now())), stav);
    const std::string html = ProtokolHtml(vstup);
    if (p.Html) {
        std::string why;
        if (!ReplaceWholeFile(*p.Html, html, &why)) {
            okno.Vystup().Zprava("Soubor " + *p.Html + " nelze uložit: " + why);
            return k_KodSoubor;
        }
        return k_KodHotovo;
    }
    if (!ZapisVse(STDOUT_FILENO, html)) {
        okno.Vystup().Zprava(std::string("Standardní výstup nelze zapsat: ") +
                             std::strerror(errno));
        return k_KodSoubor;
    }
    return k_KodHotovo;
}
