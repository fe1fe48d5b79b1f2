#include "SimMemory.h"

#include "SimFileIo.h"

namespace sim {

TSimMemory::TSimMemory() : fRecord(kMemorySize, kErased), fHwsw(kMemorySize, kErased) {}

std::vector<std::uint8_t> TSimMemory::Read(TMemoryKind kind, std::uint16_t address,
                                           std::size_t count) const {
    std::vector<std::uint8_t> out(count, kErased);
    if (!Holds(kind)) {
        return out;
    }
    const auto& area = kind == TMemoryKind::ZAZNAM ? fRecord : fHwsw;
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = area[(address + i) % kMemorySize];
    }
    return out;
}

void TSimMemory::Write(TMemoryKind kind, std::uint16_t address,
                       std::span<const std::uint8_t> data) {
    if (!Holds(kind)) {
        return;
    }
    auto& area = kind == TMemoryKind::ZAZNAM ? fRecord : fHwsw;
    for (std::size_t i = 0; i < data.size(); ++i) {
        area[(address + i) % kMemorySize] = data[i];
    }
}

void TSimMemory::SetIdentification(std::uint16_t address, std::string_view text) {
    std::vector<std::uint8_t> bytes(kIdentificationSize, 0);
    for (std::size_t i = 0; i < text.size() && i < kIdentificationSize; ++i) {
        bytes[i] = static_cast<std::uint8_t>(text[i]);
    }
    Write(TMemoryKind::HWSW, address, bytes);
}

bool TSimMemory::LoadImage(const std::string& path, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, 16 * kMemorySize, bytes, error)) {
        return false;
    }
    if (bytes.size() != kMemorySize) {
        error = path + ": a memory image must hold " + std::to_string(kMemorySize) +
                " bytes, this one holds " + std::to_string(bytes.size());
        return false;
    }
    fRecord = std::move(bytes);
    return true;
}

bool TSimMemory::SaveImage(const std::string& path, std::string& error) const {
    return WriteWholeFile(path, fRecord, error);
}

} // namespace sim
