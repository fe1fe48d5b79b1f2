#include "port/PrvniRadek_posix.h"
#include "port/SerioveZarizeni.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A built-in 8250 port whose type is 0 has no UART behind it.
bool BezUartu(const fs::path& tty) {
    std::error_code ec;
    if (!tty.filename().string().starts_with("ttyS") || !fs::exists(tty / "type", ec)) {
        return false;
    }
    return PrvniRadek(tty / "type") == "0";
}

// Maker and model from the USB device above the tty's device, where there is one.
void UsbUdaje(const fs::path& device, TSerioveZarizeni& zarizeni) {
    std::error_code ec;
    fs::path at = fs::canonical(device, ec);
    if (ec) {
        return;
    }
    for (int up = 0; up < 4 && !at.empty() && at != at.root_path(); ++up, at = at.parent_path()) {
        if (fs::exists(at / "idVendor", ec)) {
            zarizeni.Vyrobce = PrvniRadek(at / "manufacturer");
            zarizeni.Model = PrvniRadek(at / "product");
            return;
        }
    }
}

} // namespace

std::string TSerioveZarizeni::Popis() const {
    std::string popis = Vyrobce;
    if (!Model.empty()) {
        popis += (popis.empty() ? "" : " ") + Model;
    }
    return popis.empty() ? Jadro : popis + " (" + Jadro + ")";
}

std::vector<TSerioveZarizeni> NajdiSerioveZarizeni(const std::string& koren) {
    const fs::path root(koren);
    std::error_code ec;
    // Stable names: /dev/serial/by-id/<name> -> ../../ttyUSB0.
    std::map<std::string, std::string> byId;
    for (const auto& entry : fs::directory_iterator(root / "dev/serial/by-id", ec)) {
        std::error_code e2;
        const fs::path target = fs::read_symlink(entry.path(), e2);
        if (!e2) {
            const std::string name = target.filename().string();
            const std::string stable = "/dev/serial/by-id/" + entry.path().filename().string();
            // Two names for one device: keep the first in sorted order, so the choice is stable.
            auto [it, added] = byId.emplace(name, stable);
            if (!added && stable < it->second) {
                it->second = stable;
            }
        }
    }
    std::vector<TSerioveZarizeni> out;
    for (const auto& entry : fs::directory_iterator(root / "sys/class/tty", ec)) {
        const fs::path tty = entry.path();
        std::error_code e2;
        if (!fs::exists(tty / "device", e2) || BezUartu(tty)) {
            continue;
        }
        const std::string name = tty.filename().string();
        if (!fs::exists(root / "dev" / name, e2)) {
            continue;
        }
        TSerioveZarizeni zarizeni;
        zarizeni.Jadro = "/dev/" + name;
        const auto stable = byId.find(name);
        zarizeni.Cesta = stable != byId.end() ? stable->second : zarizeni.Jadro;
        UsbUdaje(tty / "device", zarizeni);
        out.push_back(std::move(zarizeni));
    }
    std::sort(out.begin(), out.end(),
              [](const auto& a, const auto& b) { return a.Jadro < b.Jadro; });
    return out;
}
