#pragma once
// The program's readable settings export, as the simulator's starting configuration and as what
// it writes when it ends: telephone numbers, recipient lists and texts of every expander and
// input, in the export's sections and keys.

#include "SimMemory.h"

#include <string>
#include <string_view>

namespace sim {

// Key of one slot of an input's recipient list ("Expander 01 vstup 02 pozice 03"); the reader
// accepts any key holding the three numbers (expander, input, slot) in that order.
std::string InputSlotKey(unsigned expander, unsigned input, unsigned slot);

struct TExportError {
    int Line = 0; // 0: not tied to a line
    std::string Message;
};

// Applies the entries of an export text to record memory, as the program would write them:
// numbers and texts padded with 0, recipient bytes as given. Places that the text does not
// mention stay as they are. On error the memory may hold the entries before the bad one.
bool ApplyExport(std::string_view text, TSimMemory& memory, TExportError& error);

// The whole configuration held in record memory, in the export's order, read the way the
// program reads it (a number ends at 0 or 255; bytes 0 and 255 are not text characters).
std::string FormatExport(const TSimMemory& memory);

// File forms; error texts name the file, and the line where there is one ("file:line: ...").
bool LoadExportFile(const std::string& path, TSimMemory& memory, std::string& error);
bool SaveExportFile(const std::string& path, const TSimMemory& memory, std::string& error);

} // namespace sim
