#pragma once
// Where norlink.ini and the exports live. A copy run from a folder of its own that the user may
// write keeps both beside the executable. Installed system-wide (the program's folder is not
// writable, or lies under /usr, which root could write but nobody should), norlink.ini lives in
// $XDG_CONFIG_HOME/norlink/ and the exports in NORLINK/ of the user's documents folder.

#include <functional>
#include <optional>
#include <string>

// What the choice reads from the system; tests give a fake.
struct TProstrediSlozek {
    // An environment variable; std::nullopt when it is not set.
    std::function<std::optional<std::string>(const std::string&)> Promenna;
    // The home folder from the user database, for when HOME is not set.
    std::function<std::string()> DomovUzivatele;
    std::function<bool(const std::string&)> SlozkaExistuje;
    // access(W_OK): the user may create files in the folder.
    std::function<bool(const std::string&)> LzeZapisovat;
    // A file's whole text; std::nullopt when it cannot be read.
    std::function<std::optional<std::string>(const std::string&)> CtiSoubor;
};

TProstrediSlozek SystemoveProstredi();

struct TSlozky {
    bool Instalovany = false;
    std::string Nastaveni; // folder of norlink.ini, ending with '/'
    std::string Exporty;   // folder of the exports, ending with '/'
};

inline constexpr const char* k_SlozkaNastaveniUzivatele = "norlink";
inline constexpr const char* k_SlozkaExportuUzivatele = "NORLINK";

// instDir: the program's folder. Installed: the configuration folder is $XDG_CONFIG_HOME when it is
// an absolute path, else $HOME/.config; the documents folder is XDG_DOCUMENTS_DIR from
// user-dirs.dirs in the configuration folder, else from the environment, else $HOME/Documents when
// it exists, else $HOME. Without any home folder both stay in instDir.
TSlozky UrciSlozky(const std::string& instDir, const TProstrediSlozek& prostredi);

// For the running program: the folder of norlink.ini and the folder for a new export; installed,
// each is created when missing (a failure shows later as the file's write error).
std::string SlozkaNastaveni(const std::string& instDir);
std::string SlozkaExportu(const std::string& instDir);

// The folder of the running executable with a trailing '/', or "./" when it cannot be found.
std::string SlozkaSpustitelnehoSouboru();
