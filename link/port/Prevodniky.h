#pragma once
// The machine's serial adapters as the session needs them after a port went away: recognising the
// same adapter when it is plugged in again (it may come back as another ttyUSBn, its
// /dev/serial/by-id name follows it), and whether brltty has taken an adapter (it claims CH340 and
// other USB serial chips that Braille displays use, so the port vanishes seconds after plugging).
// On Linux the facts come from /dev, /sys and the udev rule folders under a root that tests
// replace with a fake tree (Prevodniky_posix.cpp).

#include <compare>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TUsbId {
    std::uint16_t Vendor = 0;
    std::uint16_t Product = 0;
    // "1a86:7523", as lsusb shows it.
    std::string Text() const;
    friend auto operator<=>(const TUsbId&, const TUsbId&) = default;
};

// What identifies the device a port was opened on.
struct TOtiskPrevodniku {
    std::string Cesta; // the path opened (as configured: /dev/ttyUSB0, a by-id name, a link)
    std::string ById;  // the /dev/serial/by-id name that led to the same device then; empty if none
    std::optional<TUsbId> Usb; // the USB device above the tty, if any
    friend bool operator==(const TOtiskPrevodniku&, const TOtiskPrevodniku&) = default;
};

class IPrevodniky {
public:
    virtual ~IPrevodniky() = default;
    // Taken right after the port at path opened.
    virtual TOtiskPrevodniku Rozpoznej(const std::string& cesta) const = 0;
    // The path to open when that device is present again, else empty. With a by-id name the
    // device is where that name points now (the path opened before when it still leads there);
    // without one, the same path once it exists.
    virtual std::string Najdi(const TOtiskPrevodniku& otisk) const = 0;
    // brltty's udev rules are in force and match an adapter plugged in now or the one given.
    virtual bool BrlttyBere(const std::optional<TUsbId>& ztraceny) const = 0;
};

// koren: the root of /dev, /sys, /etc, /lib and /usr/lib.
std::unique_ptr<IPrevodniky> MakePosixPrevodniky(std::string koren = "/");

// The USB ids a udev rules text matches: ENV{PRODUCT}=="1a86/7523/*" (hex without leading
// zeros) and ATTRS{idVendor}=="1a86" with ATTRS{idProduct}=="7523" in one rule. Lines joined by
// a trailing backslash are one rule; comments, patterns and anything malformed are skipped.
std::vector<TUsbId> UsbIdVPravidlech(std::string_view pravidla);
