#pragma once
// The memory files of a run: what is loaded at the start and written at the end.

#include "SimMemory.h"
#include "SimOptions.h"

#include <string>

namespace sim {

// Erased memory, then the raw image, then the export file, then the identification texts.
bool LoadStartingMemory(const TSimOptions& options, TSimMemory& memory, std::string& error);
// Writes the raw image and the export file that the options name; tries both, reports the first
// failure.
bool SaveFinalMemory(const TSimOptions& options, const TSimMemory& memory, std::string& error);

} // namespace sim
