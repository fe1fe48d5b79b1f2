#include "Parametry.h"

#include <charconv>

namespace {

std::optional<int> Cislo(const std::string& text, int low, int high) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc{} || p != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

TRozborParametru Chyba(std::string text) {
    TRozborParametru r;
    r.Chyba = std::move(text);
    return r;
}

} // namespace

TRozborParametru RozeberParametry(std::span<const std::string> args) {
    TParametry p;
    std::optional<std::string> prikaz;
    std::vector<std::string> slova;
    std::optional<std::string> timeout;
    bool protokolove = false; // --objekt or --technik given
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            TRozborParametru r;
            r.Ok = true;
            return r;
        }
        if (arg == "--dry-run") {
            p.NaZkousku = true;
            continue;
        }
        if (!arg.starts_with("--")) {
            if (prikaz) {
                slova.push_back(arg);
            } else {
                prikaz = arg;
            }
            continue;
        }
        const std::size_t rovno = arg.find('=');
        const std::string nazev = arg.substr(0, rovno);
        if (nazev != "--port" && nazev != "--expanders" && nazev != "--out" &&
            nazev != "--timeout" && nazev != "--html" && nazev != "--objekt" &&
            nazev != "--technik") {
            return Chyba("neznámá volba \"" + nazev + "\"");
        }
        std::string hodnota;
        if (rovno != std::string::npos) {
            hodnota = arg.substr(rovno + 1);
        } else if (i + 1 < args.size()) {
            hodnota = args[++i];
        } else {
            return Chyba(nazev + " potřebuje hodnotu");
        }
        if (nazev == "--port") {
            if (hodnota.empty()) {
                return Chyba("--port potřebuje cestu k zařízení nebo COMn");
            }
            p.Port = hodnota;
        } else if (nazev == "--expanders") {
            p.Expandery = Cislo(hodnota, 1, 8);
            if (!p.Expandery) {
                return Chyba("--expanders čeká počet expanderů 1 až 8, ne \"" + hodnota + "\"");
            }
        } else if (nazev == "--out") {
            if (hodnota.empty()) {
                return Chyba("--out potřebuje název souboru");
            }
            p.Vystup = hodnota;
        } else if (nazev == "--html") {
            if (hodnota.empty()) {
                return Chyba("--html potřebuje název souboru");
            }
            p.Html = hodnota;
        } else if (nazev == "--objekt") {
            p.Objekt = hodnota;
            protokolove = true;
        } else if (nazev == "--technik") {
            p.Technik = hodnota;
            protokolove = true;
        } else {
            const auto s = Cislo(hodnota, 1, 3600);
            if (!s) {
                return Chyba("--timeout čeká sekundy 1 až 3600, ne \"" + hodnota + "\"");
            }
            p.LimitOdpovedi = std::chrono::seconds(*s);
            timeout = hodnota;
        }
    }
    if (!prikaz) {
        return Chyba("chybí příkaz (read-phones, read-settings, write, diff nebo report)");
    }
    std::size_t souboru = 0;
    if (*prikaz == "read-phones") {
        p.Prikaz = TPrikaz::CtiCisla;
    } else if (*prikaz == "read-settings") {
        p.Prikaz = TPrikaz::CtiNastaveni;
    } else if (*prikaz == "write") {
        p.Prikaz = TPrikaz::Zapis;
        souboru = 1;
    } else if (*prikaz == "diff") {
        p.Prikaz = TPrikaz::Rozdil;
        souboru = 2;
    } else if (*prikaz == "report") {
        p.Prikaz = TPrikaz::Protokol;
        souboru = 1;
    } else {
        return Chyba("neznámý příkaz \"" + *prikaz + "\"");
    }
    if (slova.size() != souboru) {
        return Chyba(*prikaz + (souboru == 0 ? " nebere žádný soubor"
                                : souboru == 1 ? " čeká jeden soubor (export nastavení nebo zálohu)"
                                               : " čeká dva soubory (exporty nastavení)"));
    }
    p.Soubory = slova;
    const bool protokol = p.Prikaz == TPrikaz::Protokol;
    if ((p.Html || protokolove) && !protokol) {
        return Chyba("--html, --objekt a --technik patří jen k report");
    }
    if (protokol && (!p.Port.empty() || timeout)) {
        return Chyba("report čte jen soubor: --port ani --timeout nebere");
    }
    const bool zarizeni = p.Prikaz != TPrikaz::Rozdil && !protokol;
    if (zarizeni && p.Port.empty()) {
        return Chyba(*prikaz + " potřebuje --port");
    }
    if (p.Prikaz == TPrikaz::Rozdil && (!p.Port.empty() || p.Expandery || timeout)) {
        return Chyba("diff porovnává jen soubory: --port, --expanders ani --timeout nebere");
    }
    if (p.Vystup && p.Prikaz != TPrikaz::CtiCisla && p.Prikaz != TPrikaz::CtiNastaveni) {
        return Chyba("--out patří jen k read-phones a read-settings");
    }
    if (p.NaZkousku && p.Prikaz != TPrikaz::Zapis) {
        return Chyba("--dry-run patří jen k write");
    }
    if (p.Expandery && p.Prikaz == TPrikaz::CtiCisla) {
        return Chyba("read-phones čte jen telefonní čísla: --expanders nebere");
    }
    TRozborParametru r;
    r.Ok = true;
    r.Parametry = std::move(p);
    return r;
}

std::string Napoveda() {
    return R"(Použití:
  norlink-cli --port PORT read-phones [--out SOUBOR]
  norlink-cli --port PORT read-settings [--expanders N] [--out SOUBOR]
  norlink-cli --port PORT write SOUBOR [--expanders N] [--dry-run]
  norlink-cli diff A B
  norlink-cli report SOUBOR [--html VÝSTUP] [--objekt TEXT] [--technik TEXT] [--expanders N]

Čte a zapisuje konfiguraci komunikátoru NORLINK GSM ze skriptů, stejně jako okno programu
norlink: stejné čtení, stejný zápis s ověřením, stejný formát exportu ("Ulož nastavení").

Příkazy:
  read-phones     načte identifikaci komunikátoru (na standardní chybový výstup) a 16
                  telefonních čísel; vypíše sekci [Tel. cisla] exportu
  read-settings   načte telefonní čísla a potom nastavení expanderů 1 až N, jako technik
                  v okně, a vypíše celý export nastavení
  write SOUBOR    načte komunikátor (čísla i nastavení), zapíše do něj rozdíly proti exportu
                  SOUBOR a každý zapsaný blok ověří zpětným čtením; co se zapsat nepodařilo,
                  vyjmenuje. Před prvním telegramem uloží zálohu toho, co komunikátor obsahuje,
                  do složky zalohy/ (zaloha<čas>.log); zápis zálohy vrátí komunikátor do stavu
                  před zápisem. Části, které nelze načíst ani nejsou v souboru, nezapíše.
  diff A B        rozdíly dvou exportů, jeden řádek na změnu (telefonní číslo, seznam čísel,
                  text), jak je ukazuje kontrola zápisu v okně; česky nebo anglicky podle
                  LC_ALL, LC_MESSAGES a LANG
  report SOUBOR   protokol nastavení pro zákazníka z exportu nebo zálohy: jeden dokument HTML
                  (UTF-8, pro tisk na A4) s telefonními čísly místo pořadí, kdo dostává které
                  SMS, a kontrolním součtem nastavení; co soubor označuje jako nenačtené, je
                  v protokolu pojmenováno jako neznámé

Volby:
  --port PORT     sériový port: cesta k zařízení (/dev/ttyUSB0) nebo COMn, což je
                  /dev/ttyS(n-1), pokud norlink.ini vedle programu v sekci [Porty] neurčí jiné
                  zařízení (COM3=/dev/ttyUSB0)
  --expanders N   počet expanderů 1 až 8. Čtení: výchozí 1. Zápis: výchozí tolik, kolik jich
                  soubor nastavuje; menší N, než soubor potřebuje, se odmítne. Expandery za N
                  se nečtou ani nezapisují. Report: výchozí tolik, kolik jich soubor nastavuje.
  --out SOUBOR    kam uložit export (výchozí: standardní výstup); soubor vznikne celý, nebo
                  vůbec
  --timeout S     po kolika sekundách bez odpovědi komunikátoru operaci vzdát (výchozí 30)
  --dry-run       write jen načte komunikátor a vypíše, co by zapsal; nic neodešle
  --html VÝSTUP   report: kam uložit protokol (výchozí: standardní výstup); soubor vznikne
                  celý, nebo vůbec
  --objekt TEXT   report: název objektu (místa instalace) v záhlaví protokolu
  --technik TEXT  report: jméno technika v záhlaví protokolu
  --help          tato nápověda

Na terminálu ukazuje průběh na standardním chybovém výstupu (do roury ne). Ctrl+C (SIGINT)
nebo SIGTERM operaci přeruší: nic dalšího se neodešle a čtení nic nevypíše. Přerušený zápis
vypíše, co nebylo ověřeno.

Návratové kódy:
  0    hotovo; diff: exporty jsou shodné
  1    diff: exporty se liší
  2    chybné parametry
  3    soubor nelze přečíst nebo to není export nastavení, nelze uložit výstup nebo zálohu,
       nebo by zápis poslal data, která nikdo nenačetl (report: nelze uložit protokol)
  4    port nelze otevřít, nebo spojení s ním bylo ztraceno
  5    komunikátor neodpovídá
  6    zápis se nepodařil celý: co se nezapsalo, je vypsáno
  130  přerušeno (Ctrl+C, SIGINT nebo SIGTERM)
)";
}
