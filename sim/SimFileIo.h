#pragma once
// Whole-file reads and writes with the system's reason on failure; never throws.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim {

// error: "<path>: cannot read: <reason>" / "<path>: cannot write: <reason>". A file longer than
// limit is refused (a device or a fifo that never ends must not eat the memory).
bool ReadWholeFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes,
                   std::string& error);
bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                    std::string& error);

} // namespace sim
