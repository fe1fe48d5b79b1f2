// norlink-cli: the communicator's configuration from scripts: read it into an export, write an
// export to it with the window's verification, compare two exports. The window's model and link,
// run by a small console loop; no Qt.

#include "Prikazy.h"

#include <csignal>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // A closed pipe is a write error to report, not a death.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const TRozborParametru rozbor = RozeberParametry(args);
    if (!rozbor.Ok) {
        std::cerr << "norlink-cli: " << rozbor.Chyba << "\nNápověda: norlink-cli --help\n";
        return k_KodParametry;
    }
    const TParametry& p = rozbor.Parametry;
    if (p.Prikaz == TPrikaz::Napoveda) {
        std::cout << Napoveda();
        return k_KodHotovo;
    }
    TKonzoleOkno okno;
    if (p.Prikaz == TPrikaz::Rozdil) {
        return Rozdil(p, okno);
    }
    if (p.Prikaz == TPrikaz::Protokol) {
        return Protokol(p, okno);
    }
    return PrikazZarizeni(p, okno);
}
