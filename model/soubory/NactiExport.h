#pragma once
// Reads a settings export back into an image: the program's own format, every section and key
// required, texts over several lines and any byte kept as written. All or nothing: a file that is
// refused changes nothing, and the message names the line.

#include "soubory/ProfileFile.h"
#include "stav/ZnameData.h"
#include "stav/promenne.h"

#include <string>
#include <string_view>
#include <vector>

// The section of a backup that says when it was made and of which device.
inline constexpr std::string_view R_Log_Zaloha = "Zaloha";

struct TNacteniExportu {
    bool Ok = false;
    TNORLINK Image{};
    std::string Chyba; // Czech, with the line where there is one
    // Every block the technician's, but those the file names as unknown.
    TZnameData Znama;
    // The entries of the backup section, in file order.
    std::vector<TProfileEntry> Zaloha;
};

TNacteniExportu NactiExport(std::string_view text);
// A value of the backup section (letter case ignored, as in profile files); empty when absent.
std::string HodnotaZalohy(const std::vector<TProfileEntry>& zaloha, std::string_view klic);
// The file's bytes; a file that cannot be read, or one far larger than any export, is refused.
TNacteniExportu NactiExportZeSouboru(const std::string& path);
