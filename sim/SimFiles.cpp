#include "SimFiles.h"

#include "SimExport.h"

namespace sim {

bool LoadStartingMemory(const TSimOptions& options, TSimMemory& memory, std::string& error) {
    memory = TSimMemory{};
    if (!options.ImageIn.empty() && !memory.LoadImage(options.ImageIn, error)) {
        return false;
    }
    if (!options.ConfigIn.empty() && !LoadExportFile(options.ConfigIn, memory, error)) {
        return false;
    }
    memory.SetIdentification(kAddressHwTyp, options.HwTyp);
    memory.SetIdentification(kAddressVerSw, options.VerSw);
    memory.SetIdentification(kAddressVerHw, options.VerHw);
    return true;
}

bool SaveFinalMemory(const TSimOptions& options, const TSimMemory& memory, std::string& error) {
    bool ok = true;
    std::string why;
    if (!options.ImageOut.empty() && !memory.SaveImage(options.ImageOut, why)) {
        error = why;
        ok = false;
    }
    if (!options.ConfigOut.empty() && !SaveExportFile(options.ConfigOut, memory, why)) {
        if (ok) {
            error = why;
        }
        ok = false;
    }
    return ok;
}

} // namespace sim
