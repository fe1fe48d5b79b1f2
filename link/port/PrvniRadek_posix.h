#pragma once
// The first line of a small text file in /sys (a USB id, a maker's name), without the trailing
// blanks the kernel leaves; empty when it cannot be read.

#include <filesystem>
#include <fstream>
#include <string>

inline std::string PrvniRadek(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) {
        line.pop_back();
    }
    return line;
}
