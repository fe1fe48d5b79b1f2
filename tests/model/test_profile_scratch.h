#pragma once
// A fresh folder per test (ScratchDir.h) and whole-file helpers.

#include "ScratchDir.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

// The folder, ending with '/', like InstDir.
inline std::string AsInstDir(const TScratchDir& dir) {
    return dir.path().string() + "/";
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
