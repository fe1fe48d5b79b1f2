#include "soubory/Slozky.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <pwd.h>
#include <sstream>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

std::string SLomitkem(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path == "/" ? path : path + "/";
}

bool Absolutni(const std::optional<std::string>& path) {
    return path && !path->empty() && path->front() == '/';
}

bool PodUsr(const std::string& folder) {
    return folder.rfind("/usr/", 0) == 0;
}

// A value of user-dirs.dirs: "$HOME/..." or "/...", in double quotes, with backslash escapes.
std::optional<std::string> HodnotaAdresare(std::string_view value, const std::string& home) {
    if (value.size() < 2 || value.front() != '"') {
        return std::nullopt;
    }
    std::string text;
    bool closed = false;
    for (std::size_t i = 1; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            text += value[++i];
        } else if (value[i] == '"') {
            closed = true;
            break;
        } else {
            text += value[i];
        }
    }
    if (!closed) {
        return std::nullopt;
    }
    constexpr std::string_view k_Home = "$HOME";
    if (text.rfind(k_Home, 0) == 0 &&
        (text.size() == k_Home.size() || text[k_Home.size()] == '/')) {
        return home + text.substr(k_Home.size());
    }
    if (!text.empty() && text.front() == '/') {
        return text;
    }
    return std::nullopt;
}

std::optional<std::string> DokumentyZUserDirs(const std::string& text, const std::string& home) {
    constexpr std::string_view k_Klic = "XDG_DOCUMENTS_DIR=";
    std::optional<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, k_Klic.size(), k_Klic) != 0) {
            continue;
        }
        // As the shell that sources the file: the last assignment counts.
        if (auto value =
                HodnotaAdresare(std::string_view(line).substr(start + k_Klic.size()), home)) {
            found = std::move(value);
        }
    }
    return found;
}

std::string Vytvorena(const std::string& folder) {
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

} // namespace

TProstrediSlozek SystemoveProstredi() {
    TProstrediSlozek prostredi;
    prostredi.Promenna = [](const std::string& name) -> std::optional<std::string> {
        const char* value = std::getenv(name.c_str());
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    prostredi.DomovUzivatele = [] {
        const passwd* user = ::getpwuid(::getuid());
        return user != nullptr && user->pw_dir != nullptr ? std::string(user->pw_dir)
                                                          : std::string();
    };
    prostredi.SlozkaExistuje = [](const std::string& folder) {
        std::error_code ignored;
        return std::filesystem::is_directory(folder, ignored);
    };
    prostredi.LzeZapisovat = [](const std::string& folder) {
        return ::access(folder.c_str(), W_OK) == 0;
    };
    prostredi.CtiSoubor = [](const std::string& path) -> std::optional<std::string> {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            return std::nullopt;
        }
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    };
    return prostredi;
}

TSlozky UrciSlozky(const std::string& instDir, const TProstrediSlozek& prostredi) {
    const std::string program = SLomitkem(instDir);
    TSlozky slozky{false, instDir, instDir};
    // A folder that does not exist is no installation: writing there fails and says so.
    const bool installed =
        PodUsr(program) || (prostredi.SlozkaExistuje(program) && !prostredi.LzeZapisovat(program));
    if (!installed) {
        return slozky;
    }
    std::optional<std::string> home = prostredi.Promenna("HOME");
    if (!Absolutni(home)) {
        home = prostredi.DomovUzivatele();
    }
    if (!Absolutni(home)) {
        return slozky;
    }
    const std::string domov = SLomitkem(*home);
    const std::optional<std::string> xdgConfig = prostredi.Promenna("XDG_CONFIG_HOME");
    const std::string config = Absolutni(xdgConfig) ? SLomitkem(*xdgConfig) : domov + ".config/";

    const std::string domovBezLomitka = domov.size() > 1 ? domov.substr(0, domov.size() - 1) : "";
    std::optional<std::string> dokumenty;
    if (const auto userDirs = prostredi.CtiSoubor(config + "user-dirs.dirs")) {
        dokumenty = DokumentyZUserDirs(*userDirs, domovBezLomitka);
    }
    if (!dokumenty) {
        if (auto fromEnv = prostredi.Promenna("XDG_DOCUMENTS_DIR"); Absolutni(fromEnv)) {
            dokumenty = std::move(fromEnv);
        }
    }
    if (!dokumenty) {
        dokumenty = prostredi.SlozkaExistuje(domov + "Documents") ? domov + "Documents" : domov;
    }

    slozky.Instalovany = true;
    slozky.Nastaveni = config + k_SlozkaNastaveniUzivatele + "/";
    slozky.Exporty = SLomitkem(*dokumenty) + k_SlozkaExportuUzivatele + "/";
    return slozky;
}

std::string SlozkaNastaveni(const std::string& instDir) {
    const TSlozky slozky = UrciSlozky(instDir, SystemoveProstredi());
    return slozky.Instalovany ? Vytvorena(slozky.Nastaveni) : slozky.Nastaveni;
}

std::string SlozkaExportu(const std::string& instDir) {
    const TSlozky slozky = UrciSlozky(instDir, SystemoveProstredi());
    return slozky.Instalovany ? Vytvorena(slozky.Exporty) : slozky.Exporty;
}

std::string SlozkaSpustitelnehoSouboru() {
    std::vector<char> buffer(4096);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) {
        return "./";
    }
    std::string path(buffer.data(), static_cast<std::size_t>(length));
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return "./";
    }
    return path.substr(0, slash + 1);
}
