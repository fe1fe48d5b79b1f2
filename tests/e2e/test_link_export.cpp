// The program's settings export read back by the simulator's own export reader, written apart from
// the program's profile code: a fully populated image (every slot value, every text byte 1..254,
// line breaks inside texts) comes back as the device memory it describes.

#include "ScratchDir.h"
#include "SimExport.h"
#include "SimMemory.h"
#include "soubory/Export.h"
#include "stav/promenne.h"

#include <gtest/gtest.h>

namespace {

// Bytes 1..254 in a text of up to 240, starting at `from`; line breaks only as CR LF inside a
// line, so no line starts like a section or a key.
std::string Text(int from, std::size_t length) {
    std::string text;
    for (int b = from; text.size() < length; ++b) {
        const int value = 1 + (b % 254);
        if (value == '\n' || value == '\r' || value == '[' || value == ';' || value == '#') {
            continue;
        }
        text += static_cast<char>(value);
        if (text.size() % 60 == 30 && text.size() + 3 < length) {
            text += "\r\nx";
        }
    }
    return text.substr(0, length);
}

TEST(ExportRoundTrip, EveryEntryComesBackAsTheDeviceMemoryItDescribes) {
    TNORLINK image{};
    int seed = 0;
    for (std::size_t k = 0; k < 16; ++k) {
        image.TelCisla[k] = std::string(k, static_cast<char>('0' + k % 10)) + "#";
    }
    for (std::size_t e = 0; e < 8; ++e) {
        for (std::size_t s = 0; s < 16; ++s) {
            image.TelCislaPoruchaKom[e][s] = static_cast<std::uint8_t>(seed++);
            image.TelCislaObnovaKom[e][s] = static_cast<std::uint8_t>(seed++);
        }
        image.ZpravaPorucha[e] = Text(static_cast<int>(e * 37), 240 - e);
        image.ZpravaObnova[e] = Text(static_cast<int>(e * 53), 160);
        for (std::size_t v = 0; v < 8; ++v) {
            for (std::size_t s = 0; s < 16; ++s) {
                image.TelCislaSepnuti[e][v][s] = static_cast<std::uint8_t>(seed++);
                image.TelCislaRozpojeni[e][v][s] = static_cast<std::uint8_t>(seed++);
            }
            image.ZpravaSepnuti[e][v] = Text(static_cast<int>(e * 8 + v), 240);
            image.ZpravaRozpojeni[e][v] = Text(static_cast<int>(e * 8 + v + 100), 17 * v);
        }
    }
    TScratchDir dir("norlink-export-e2e");
    const std::string path = NazevExportu(dir.path().string() + "/", "20261209120000123");
    UlozNastaveni(path, image);

    sim::TSimMemory memory;
    std::string error;
    ASSERT_TRUE(sim::LoadExportFile(path, memory, error)) << error;
    const auto record = memory.Record();
    const auto bytes = [&](std::size_t at, std::size_t n) {
        return std::string(reinterpret_cast<const char*>(record.data()) + at, n);
    };
    const auto padded = [](std::string_view text, std::size_t n) {
        std::string out(text);
        out.resize(n, '\0');
        return out;
    };
    for (std::size_t k = 0; k < 16; ++k) {
        EXPECT_EQ(bytes(16 * k, 16), padded(image.TelCisla[k].View(), 16)) << "number " << k;
    }
    for (std::size_t e = 0; e < 8; ++e) {
        const std::size_t b = sim::ExpanderBlock(e);
        EXPECT_EQ(bytes(b, 16), std::string(image.TelCislaPoruchaKom[e].begin(),
                                            image.TelCislaPoruchaKom[e].end()));
        EXPECT_EQ(bytes(b + 256, 16), std::string(image.TelCislaObnovaKom[e].begin(),
                                                  image.TelCislaObnovaKom[e].end()));
        EXPECT_EQ(bytes(b + 16, 240), padded(image.ZpravaPorucha[e].View(), 240)) << e;
        EXPECT_EQ(bytes(b + 272, 240), padded(image.ZpravaObnova[e].View(), 240)) << e;
        for (std::size_t v = 0; v < 8; ++v) {
            const std::size_t i = sim::InputBlock(e, v);
            EXPECT_EQ(bytes(i, 16), std::string(image.TelCislaSepnuti[e][v].begin(),
                                                image.TelCislaSepnuti[e][v].end()));
            EXPECT_EQ(bytes(i + 256, 16), std::string(image.TelCislaRozpojeni[e][v].begin(),
                                                      image.TelCislaRozpojeni[e][v].end()));
            EXPECT_EQ(bytes(i + 16, 240), padded(image.ZpravaSepnuti[e][v].View(), 240));
            EXPECT_EQ(bytes(i + 272, 240), padded(image.ZpravaRozpojeni[e][v].View(), 240));
        }
    }
}

} // namespace
