#pragma once
// Whole-file reads and writes with the system's reason on failure; never throws.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim {

// error: "<path>: cannot read: <reason>" / "<path>: cannot write: <reason>".
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);
bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                    std::string& error);

} // namespace sim
