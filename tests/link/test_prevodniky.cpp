// The machine's adapters against a fake tree: brltty's rule forms and what is no rule, its rules
// in force or masked against plugged and lost adapters, and a pulled adapter found again.

#include "ScratchDir.h"
#include "port/Prevodniky.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr TUsbId k_Ch340{0x1a86, 0x7523};
constexpr TUsbId k_Ftdi{0x0403, 0x6001};

void Soubor(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(UsbIdVPravidlech, BothRuleFormsAndNothingElse) {
    const std::vector<std::pair<std::string, std::vector<TUsbId>>> rows{
        {"ENV{PRODUCT}==\"1a86/7523/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\"", {k_Ch340}},
        {"# Device\nENV{PRODUCT}==\"403/6001/*\"\r\nENV{PRODUCT}==\"1a86/7523/*\"",
         {k_Ftdi, k_Ch340}},
        {"SUBSYSTEM==\"usb\", ATTRS{idVendor}==\"1A86\", ATTRS{idProduct}==\"7523\"", {k_Ch340}},
        {"ATTR{idProduct} == \"6001\" , ATTR{idVendor} == \"0403\"", {k_Ftdi}},
        {"ATTRS{idVendor}==\"1a86\", \\\n  ATTRS{idProduct}==\"7523\"", {k_Ch340}},
        {"# a \\\nENV{PRODUCT}==\"1a86/7523/*\"", {}},
        {"ENV{PRODUCT}!=\"1a86/7523/*\"", {}},
        {"ENV{PRODUCT}==\"11a86/7523/*\"", {}},
        {"ATTRS{idVendor}==\"1a8?\", ATTRS{idProduct}==\"7523\"", {}},
        {std::string("\x01\xff}{==\"\"\" ENV{PRODUCT}==\n==\"\0/\\", 27), {}},
    };
    for (const auto& [text, ids] : rows) {
        EXPECT_EQ(UsbIdVPravidlech(text), ids) << text;
    }
}

TEST(Brltty, TakesAPluggedOrLostAdapterOnlyWhenItsRulesAreInForceAndMatch) {
    const std::string produkt = "ENV{PRODUCT}==\"1a86/7523/*\", GOTO=\"brltty_usb_run\"\n";
    using TRow = std::tuple<std::string, std::string, std::string, std::vector<TUsbId>,
                            std::optional<TUsbId>, bool>;
    // Where brltty's rules lie, what /etc holds under their name ("null": a link to /dev/null),
    // the adapters plugged in, the lost one, and whether brltty takes it.
    for (const auto& [slozka, text, etc, zasunute, ztraceny, bere] : std::vector<TRow>{
             {"", "", "", {k_Ch340}, k_Ch340, false},
             {"usr/lib", produkt, "", {k_Ch340}, {}, true},
             {"lib",
              "ATTRS{idVendor}==\"1a86\", ATTRS{idProduct}==\"7523\"",
              "",
              {k_Ftdi, k_Ch340},
              {},
              true},
             {"usr/lib", produkt, "null", {k_Ch340}, k_Ch340, false},
             {"lib", produkt, "empty", {k_Ch340}, {}, false},
             {"usr/lib", produkt, "ENV{PRODUCT}==\"403/6001/*\"", {k_Ch340}, {}, false},
             {"usr/lib", produkt, "", {k_Ftdi}, {}, false},
             {"usr/lib", produkt, "", {}, k_Ch340, true},
             {"usr/lib", "\x01{{==\"\n\"1a86/7523\"\nATTRS{", "", {k_Ch340}, k_Ch340, false}}) {
        TScratchDir koren("norlink-brltty");
        const fs::path maska = koren / "etc/udev/rules.d/85-brltty.rules";
        Soubor(koren / "usr/lib/udev/rules.d/60-serial.rules", produkt); // another program's
        if (!slozka.empty()) {
            Soubor(koren / slozka / "udev/rules.d/85-brltty.rules", text);
        }
        if (etc == "null") {
            fs::create_directories(maska.parent_path());
            fs::create_symlink("/dev/null", maska);
        } else if (!etc.empty()) {
            Soubor(maska, etc == "empty" ? "" : etc);
        }
        for (std::size_t k = 0; k < zasunute.size(); ++k) {
            const fs::path usb = koren / "sys/bus/usb/devices" / ("1-" + std::to_string(k));
            Soubor(usb / "idVendor", zasunute[k].Text().substr(0, 4) + "\n");
            Soubor(usb / "idProduct", zasunute[k].Text().substr(5) + "\n");
        }
        EXPECT_EQ(MakePosixPrevodniky(koren.path())->BrlttyBere(ztraceny), bere) << slozka << etc;
    }
}

// A CH340 opened, pulled out and plugged in again as the row says; another adapter may take its
// old name meanwhile. Its by-id name leads to it.
TEST(Prevodniky, ByIdNameFollowsTheAdapter) {
    const std::string id = "usb-1a86_USB_Serial-if00-port0";
    const std::string byId = "/dev/serial/by-id/" + id;
    for (const auto& [otevreno, zpet, najde] :
         {std::tuple{"/dev/ttyUSB0", "ttyUSB0", "/dev/ttyUSB0"},
          std::tuple{"/dev/ttyUSB0", "ttyUSB1", "/dev/ttyUSB1"},
          std::tuple{byId.c_str(), "ttyUSB1", byId.c_str()}}) {
        SCOPED_TRACE(std::string(otevreno) + " back as " + zpet);
        TScratchDir koren("norlink-prevodniky");
        const auto zasun = [&](const std::string& tty, const std::string& jmeno, TUsbId usb) {
            const fs::path zarizeni = koren / "sys/devices/usb1/1-1/1-1:1.0" / tty;
            Soubor(koren / "sys/devices/usb1/1-1/idVendor", usb.Text().substr(0, 4));
            Soubor(koren / "sys/devices/usb1/1-1/idProduct", usb.Text().substr(5));
            fs::create_directories(zarizeni);
            fs::create_directories(koren / "sys/class/tty" / tty);
            fs::create_directory_symlink(zarizeni, koren / "sys/class/tty" / tty / "device");
            Soubor(koren / "dev" / tty, "");
            fs::create_directories(koren / "dev/serial/by-id");
            fs::create_symlink("../../" + tty, koren / "dev/serial/by-id" / jmeno);
        };
        zasun("ttyUSB0", id, k_Ch340);
        const auto prevodniky = MakePosixPrevodniky(koren.path());
        const TOtiskPrevodniku otisk = prevodniky->Rozpoznej(otevreno);
        EXPECT_EQ(otisk, (TOtiskPrevodniku{otevreno, byId, k_Ch340}));

        fs::remove(koren / "dev/ttyUSB0"); // udev drops the by-id name a moment later
        EXPECT_EQ(prevodniky->Najdi(otisk), "");
        fs::remove_all(koren / "dev/serial/by-id");
        fs::remove_all(koren / "sys");
        if (std::string(zpet) != "ttyUSB0") {
            zasun("ttyUSB0", "usb-FTDI_FT232R-if00-port0", k_Ftdi);
        }
        zasun(zpet, id, k_Ch340);
        EXPECT_EQ(prevodniky->Najdi(otisk), najde);
    }
}

} // namespace
