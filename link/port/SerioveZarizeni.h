#pragma once
// The serial devices present on the machine, as a user recognises them: USB adapters and built-in
// ports that really have a UART (a ttyS placeholder without one is left out), each with its stable
// name from /dev/serial/by-id where the system gives one and the adapter's maker and model. Read
// fresh from /sys and /dev every time; the root can be another folder for tests.

#include <string>
#include <vector>

struct TSerioveZarizeni {
    std::string Cesta;   // what to open: the /dev/serial/by-id name, else /dev/<name>
    std::string Jadro;   // /dev/<name>
    std::string Vyrobce; // the adapter's maker, where the system knows it
    std::string Model;   // and its model
    // For the menu: "FTDI FT232R USB UART (/dev/ttyUSB0)", or the device's name alone.
    std::string Popis() const;

    friend bool operator==(const TSerioveZarizeni&, const TSerioveZarizeni&) = default;
};

// Sorted by kernel name (ttyACM0, ttyS0, ttyUSB0 ...).
std::vector<TSerioveZarizeni> NajdiSerioveZarizeni(const std::string& koren = "/");
