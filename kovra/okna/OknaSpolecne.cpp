// The per-user folder of window sockets: $XDG_RUNTIME_DIR/kovra, else /tmp/kovra-<uid>.
#include "OknaSpolecne.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

namespace kovra_okna {
namespace {

// A folder only this user can change: its own, a real directory (no symbolic link), and no write
// access for others. Our own folders must also be unreadable to others.
bool BezpecnaSlozka(const std::string& cesta, mode_t zakazano) {
    struct stat st {};
    if (lstat(cesta.c_str(), &st) != 0) {
        return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & zakazano) == 0;
}

std::optional<std::string> Slozka(bool vytvor) {
    std::string slozka;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] == '/' && BezpecnaSlozka(runtime, S_IWGRP | S_IWOTH)) {
        slozka = std::string(runtime) + "/kovra";
    } else {
        slozka = "/tmp/kovra-" + std::to_string(geteuid());
    }
    if (vytvor && mkdir(slozka.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    if (!BezpecnaSlozka(slozka, S_IRWXG | S_IRWXO)) {
        return std::nullopt;
    }
    return slozka;
}

std::optional<std::string> Cesta(const char* trida, bool vytvor, const char* predpona) {
    if (trida == nullptr || trida[0] == '\0' || std::strchr(trida, '/') != nullptr) {
        return std::nullopt;
    }
    // Checked before the folder is touched, so that a long name costs nothing.
    const size_t delka = std::strlen(trida);
    if (delka >= sizeof(sockaddr_un::sun_path)) {
        return std::nullopt;
    }
    auto slozka = Slozka(vytvor);
    if (!slozka) {
        return std::nullopt;
    }
    std::string cesta = *slozka + "/" + predpona + trida;
    if (cesta.size() >= sizeof(sockaddr_un::sun_path)) {
        return std::nullopt;
    }
    return cesta;
}

} // namespace

std::optional<std::string> CestaSoketu(const char* trida, bool vytvor) {
    return Cesta(trida, vytvor, "s.");
}

std::optional<std::string> CestaZamku(const char* trida, bool vytvor) {
    return Cesta(trida, vytvor, "l.");
}

} // namespace kovra_okna
