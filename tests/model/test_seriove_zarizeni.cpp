// The list of serial devices against a fake /sys and /dev tree: real UARTs and USB adapters with
// their stable names, maker and model; placeholders and consoles left out.

#include "ScratchDir.h"
#include "port/SerioveZarizeni.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

void Soubor(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text << "\n";
}

TEST(SerioveZarizeni, RealPortsWithStableNamesMakerAndModel) {
    TScratchDir dir("norlink-serial");
    const fs::path r = dir.path();
    // A USB adapter: tty -> usb-serial port -> interface -> device with idVendor.
    const fs::path usb = r / "sys/devices/pci0/usb1/1-2";
    Soubor(usb / "idVendor", "0403");
    Soubor(usb / "manufacturer", "FTDI");
    Soubor(usb / "product", "FT232R USB UART");
    fs::create_directories(usb / "1-2:1.0/ttyUSB0");
    // A modem-class adapter without maker text, and a built-in UART.
    const fs::path acm = r / "sys/devices/pci0/usb1/1-3";
    Soubor(acm / "idVendor", "2341");
    Soubor(acm / "product", "Arduino Uno");
    fs::create_directories(acm / "1-3:1.0");
    fs::create_directories(r / "sys/devices/platform/serial8250/00:01");
    const fs::path cls = r / "sys/class/tty";
    struct TTty {
        const char* Name;
        fs::path Device; // empty: none (virtual consoles)
        const char* Type;
    };
    for (const TTty& t : {TTty{"ttyUSB0", usb / "1-2:1.0/ttyUSB0", nullptr},
                          TTty{"ttyACM0", acm / "1-3:1.0", nullptr},
                          TTty{"ttyS0", r / "sys/devices/platform/serial8250/00:01", "4"},
                          TTty{"ttyS1", r / "sys/devices/platform/serial8250/00:01", "0"},
                          TTty{"tty1", {}, nullptr}, TTty{"ttyUSB9", usb, nullptr}}) {
        fs::create_directories(cls / t.Name);
        if (!t.Device.empty()) {
            fs::create_directory_symlink(t.Device, cls / t.Name / "device");
        }
        if (t.Type != nullptr) {
            Soubor(cls / t.Name / "type", t.Type);
        }
        if (std::string(t.Name) != "ttyUSB9") { // gone from /dev: not offered
            Soubor(r / "dev" / t.Name, "");
        }
    }
    fs::create_directories(r / "dev/serial/by-id");
    fs::create_symlink("../../ttyUSB0", r / "dev/serial/by-id/usb-FTDI_FT232R_A5XK3RJT-if00-port0");

    const auto zarizeni = NajdiSerioveZarizeni(r.string());
    ASSERT_EQ(zarizeni.size(), 3U);
    EXPECT_EQ(zarizeni[0], (TSerioveZarizeni{"/dev/ttyACM0", "/dev/ttyACM0", "", "Arduino Uno"}));
    EXPECT_EQ(zarizeni[0].Popis(), "Arduino Uno (/dev/ttyACM0)");
    EXPECT_EQ(zarizeni[1].Jadro, "/dev/ttyS0");
    EXPECT_EQ(zarizeni[1].Popis(), "/dev/ttyS0");
    EXPECT_EQ(zarizeni[2],
              (TSerioveZarizeni{"/dev/serial/by-id/usb-FTDI_FT232R_A5XK3RJT-if00-port0",
                                "/dev/ttyUSB0", "FTDI", "FT232R USB UART"}));
    EXPECT_EQ(zarizeni[2].Popis(), "FTDI FT232R USB UART (/dev/ttyUSB0)");
    EXPECT_TRUE(NajdiSerioveZarizeni((r / "none").string()).empty());
}

} // namespace
