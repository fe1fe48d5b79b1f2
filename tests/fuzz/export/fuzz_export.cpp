// Arbitrary bytes as an export file: the reader never fails or reads out of bounds, and whatever
// it accepts is an image that the export writes back to a file the reader gives the same image
// from, and that file's text is what the export writes for it (so nothing accepted is altered).

#include "soubory/Export.h"
#include "soubory/NactiExport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_export: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TNacteniExportu nacteno = NactiExport(text);
    if (!nacteno.Ok) {
        Check(!nacteno.Chyba.empty(), "a refusal without a message");
        return 0;
    }
    const std::string zapsano = TextExportu(ExportniZaznamy(nacteno.Image));
    const TNacteniExportu znovu = NactiExport(zapsano);
    Check(znovu.Ok, "the export of an accepted image is refused");
    Check(znovu.Image == nacteno.Image, "an accepted image does not come back from its export");
    return 0;
}
