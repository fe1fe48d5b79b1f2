// The adapters on Linux: /dev/serial/by-id for a device's stable name, /sys for its USB ids, and
// brltty's rules in the udev folders (a rule in /etc overrides the same name below /lib, and one
// linked to /dev/null or empty masks it).

#include "port/Prevodniky.h"
#include "port/PrvniRadek_posix.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// More than any rules file holds; a bigger one is not read past this.
constexpr std::size_t k_MaxPravidel = 1U << 20U;
constexpr std::string_view k_ById = "/dev/serial/by-id/";

// /sys writes ids as four hex digits.
std::optional<std::uint16_t> Hex16(const std::string& text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || text.size() > 4 || ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(value);
}

// The ids of a USB device folder in /sys, when it is one.
std::optional<TUsbId> UsbIdSlozky(const fs::path& slozka) {
    std::error_code ec;
    if (!fs::exists(slozka / "idVendor", ec) || !fs::exists(slozka / "idProduct", ec)) {
        return std::nullopt;
    }
    const auto vendor = Hex16(PrvniRadek(slozka / "idVendor"));
    const auto product = Hex16(PrvniRadek(slozka / "idProduct"));
    if (!vendor || !product) {
        return std::nullopt;
    }
    return TUsbId{*vendor, *product};
}

std::string Obsah(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    char buffer[4096];
    while (in && text.size() < k_MaxPravidel) {
        in.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return text;
}

class TPosixPrevodniky final : public IPrevodniky {
public:
    explicit TPosixPrevodniky(std::string koren) : fKoren(std::move(koren)) {
        std::error_code ec;
        fKorenKanon = fs::weakly_canonical(fKoren, ec);
        if (ec) {
            fKorenKanon = fKoren;
        }
    }

    TOtiskPrevodniku Rozpoznej(const std::string& cesta) const override {
        TOtiskPrevodniku otisk;
        otisk.Cesta = cesta;
        std::error_code ec;
        const fs::path zarizeni = fs::canonical(VKorenu(cesta), ec);
        if (ec) {
            return otisk;
        }
        if (cesta.starts_with(k_ById)) {
            otisk.ById = cesta;
        } else {
            otisk.ById = ById(zarizeni);
        }
        otisk.Usb = UsbId(zarizeni.filename().string());
        return otisk;
    }

    std::string Najdi(const TOtiskPrevodniku& otisk) const override {
        std::error_code ec;
        if (otisk.ById.empty()) {
            return !otisk.Cesta.empty() && fs::exists(VKorenu(otisk.Cesta), ec) ? otisk.Cesta
                                                                                : std::string();
        }
        const fs::path zarizeni = fs::canonical(VKorenu(otisk.ById), ec);
        if (ec) {
            return {};
        }
        // The path opened before, while it still leads to the device, else the device itself.
        std::error_code e2;
        const fs::path driv = fs::canonical(VKorenu(otisk.Cesta), e2);
        if (!otisk.Cesta.empty() && !e2 && driv == zarizeni) {
            return otisk.Cesta;
        }
        return "/" + zarizeni.lexically_relative(fKorenKanon).string();
    }

    bool BrlttyBere(const std::optional<TUsbId>& ztraceny) const override {
        const std::vector<TUsbId> pravidla = PravidlaBrltty();
        if (pravidla.empty()) {
            return false;
        }
        const auto bere = [&](const TUsbId& id) {
            return std::find(pravidla.begin(), pravidla.end(), id) != pravidla.end();
        };
        if (ztraceny && bere(*ztraceny)) {
            return true;
        }
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(fKoren / "sys/bus/usb/devices", ec)) {
            const auto id = UsbIdSlozky(entry.path());
            if (id && bere(*id)) {
                return true;
            }
        }
        return false;
    }

private:
    fs::path VKorenu(const std::string& cesta) const {
        return fKoren / fs::path(cesta).relative_path();
    }

    // The first by-id name, in sorted order, that leads to the device.
    std::string ById(const fs::path& zarizeni) const {
        std::error_code ec;
        std::vector<std::string> jmena;
        for (const auto& entry : fs::directory_iterator(fKoren / "dev/serial/by-id", ec)) {
            std::error_code e2;
            const fs::path cil = fs::canonical(entry.path(), e2);
            if (!e2 && cil == zarizeni) {
                jmena.push_back(entry.path().filename().string());
            }
        }
        if (jmena.empty()) {
            return {};
        }
        return std::string(k_ById) + *std::min_element(jmena.begin(), jmena.end());
    }

    // tty -> usb-serial port -> interface -> the USB device with its ids.
    std::optional<TUsbId> UsbId(const std::string& tty) const {
        std::error_code ec;
        fs::path at = fs::canonical(fKoren / "sys/class/tty" / tty / "device", ec);
        if (ec) {
            return std::nullopt;
        }
        for (int up = 0; up < 5 && at.has_relative_path(); ++up, at = at.parent_path()) {
            if (auto id = UsbIdSlozky(at)) {
                return id;
            }
        }
        return std::nullopt;
    }

    // The ids of every brltty rules file in force.
    std::vector<TUsbId> PravidlaBrltty() const {
        std::map<std::string, fs::path> soubory;
        for (const char* slozka :
             {"etc/udev/rules.d", "usr/lib/udev/rules.d", "lib/udev/rules.d"}) {
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(fKoren / slozka, ec)) {
                const std::string jmeno = entry.path().filename().string();
                if (jmeno.find("brltty") != std::string::npos && jmeno.ends_with(".rules")) {
                    soubory.emplace(jmeno, entry.path());
                }
            }
        }
        std::vector<TUsbId> ids;
        for (const auto& [jmeno, path] : soubory) {
            std::error_code ec;
            if (fs::is_symlink(path, ec) && fs::read_symlink(path, ec) == "/dev/null") {
                continue;
            }
            if (!fs::is_regular_file(path, ec)) {
                continue;
            }
            const std::vector<TUsbId> tyto = UsbIdVPravidlech(Obsah(path));
            ids.insert(ids.end(), tyto.begin(), tyto.end());
        }
        return ids;
    }

    fs::path fKoren;
    fs::path fKorenKanon;
};

} // namespace

std::unique_ptr<IPrevodniky> MakePosixPrevodniky(std::string koren) {
    return std::make_unique<TPosixPrevodniky>(std::move(koren));
}
