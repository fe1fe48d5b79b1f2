#pragma once
// A fresh folder (mode 0700) under the temporary directory, removed with everything in it when the
// object goes; only by the process that made it, so a forked child leaves its parent's folder
// alone.

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

class TScratchDir {
public:
    // prefix: the start of the folder's name, so a left-over folder tells who made it.
    explicit TScratchDir(std::string_view prefix = "norlink-test") {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        }
        fPath = pattern;
    }
    ~TScratchDir() {
        if (::getpid() == fOwner) {
            std::error_code ignored;
            std::filesystem::remove_all(fPath, ignored);
        }
    }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    const std::filesystem::path& path() const { return fPath; }
    std::filesystem::path operator/(const std::filesystem::path& name) const {
        return fPath / name;
    }

private:
    std::filesystem::path fPath;
    pid_t fOwner = ::getpid();
};
