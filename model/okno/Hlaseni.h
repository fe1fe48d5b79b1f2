#pragma once
// The boxes the logic asks, and the step it leaves for the message loop. Every text is UTF-8.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class TVychoziOdpoved : std::uint8_t { Ano, Ne };

class IHlaseni {
public:
    virtual ~IHlaseni() = default;

    // Caption "Varování", one button "OK"; detail is a second, smaller line (may be empty).
    virtual void Varovani(const std::string& text, const std::string& detail) = 0;
    // Caption "Varování", buttons "&Ano" and "&Ne", vychozi the one Enter takes; true for "&Ano".
    // A question whose "&Ano" would lose data has "&Ne" as its default.
    virtual bool OtazkaAnoNe(const std::string& text, TVychoziOdpoved vychozi) = 0;
    // Caption "Chyba", one button "OK".
    virtual void Chyba(const std::string& text) = 0;
    // A plain message, one button "OK"; detail is a second, smaller line (may be empty).
    virtual void Zprava(const std::string& text, const std::string& detail) = 0;
    // A file dialog for opening a file in folder, files matching filter first; no value when
    // the user cancels.
    virtual std::optional<std::string> OtevriSoubor(const std::string& caption,
                                                    const std::string& folder,
                                                    const std::string& filter) = 0;
    // The write preview "Kontrola zápisu": the changes one per line, the warnings, the number of
    // telegrams and the time; buttons "&Zapsat" and "&Zpět", "&Zpět" the default. True for
    // "&Zapsat".
    virtual bool KontrolaZapisu(const std::vector<std::string>& zmeny,
                                const std::vector<std::string>& varovani,
                                const std::string& souhrn) = 0;
    // A list to choose one item from, with "OK" and "Zrušit"; no value when the user cancels.
    virtual std::optional<int> VyberZeSeznamu(const std::string& caption, const std::string& prompt,
                                              const std::vector<std::string>& polozky) = 0;
    // Text-input dialog with "OK" and "Zrušit"; no value for "Zrušit".
    virtual std::optional<std::string> InputQuery(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& initial) = 0;

    // Runs a step later from the message loop, outside whatever handler is running now (a box
    // must not open inside the serial driver's tick).
    virtual void Naplanuj(std::function<void()> krok) = 0;
};
