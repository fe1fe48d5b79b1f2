// Windows-style port names ("\\.\COM5") to device paths. The driver keeps the names the rest of
// the program uses; only here do they meet the machine's devices.

#include "port/SerialDrv.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <string_view>
#include <utility>

namespace {

constexpr std::string_view k_DevicePrefix = "\\\\.\\";

bool StartsWithCom(std::string_view name) {
    return name.size() >= 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
           std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
           std::toupper(static_cast<unsigned char>(name[2])) == 'M';
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

std::string NoDevice(std::string* why, std::string reason) {
    if (why != nullptr) {
        *why = std::move(reason);
    }
    return {};
}

} // namespace

std::string ResolvePortName(const std::string& portName, const TPortMap& overrides,
                            std::string* why) {
    if (why != nullptr) {
        why->clear();
    }
    std::string_view name = portName;
    if (name.empty()) {
        return NoDevice(why, "Není zadán název portu");
    }
    const bool windowsDevice = name.starts_with(k_DevicePrefix);
    if (windowsDevice) {
        name.remove_prefix(k_DevicePrefix.size());
    }
    const bool comName = StartsWithCom(name) && AllDigits(name.substr(3));
    if (!comName) {
        if (windowsDevice) {
            return NoDevice(why, "\"" + portName + "\" není název portu COM (\\\\.\\COMn)");
        }
        return portName; // a device path such as /dev/ttyUSB0 or a pseudo-terminal
    }
    const std::string_view digits = name.substr(3);
    unsigned number = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc{} || end != digits.data() + digits.size()) {
        return NoDevice(why, "\"" + portName + "\": číslo portu je mimo rozsah");
    }
    const auto mapped = overrides.find(number);
    if (mapped != overrides.end()) {
        if (mapped->second.empty()) {
            const std::string key = "COM" + std::to_string(number) + "=";
            return NoDevice(why, "prázdná položka " + key + " v norlink.ini, sekce [Porty]");
        }
        return mapped->second;
    }
    if (number == 0) {
        return NoDevice(why, "COM0 nemá zařízení; zadejte je v norlink.ini, sekce \"Porty\", "
                             "klíč \"COM0\"");
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}
