#pragma once
// Switches LC_NUMERIC to a comma-decimal locale for one test. cs_CZ.UTF-8 is generated from the
// system's locale sources into a scratch folder (LOCPATH) when the machine does not have it.

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

class TCommaLocale {
public:
    TCommaLocale() {
        // setlocale rather than newlocale for the look-ups: newlocale leaks under LOCPATH.
        if (std::setlocale(LC_NUMERIC, "cs_CZ.UTF-8") == nullptr) {
            std::string folder =
                (std::filesystem::temp_directory_path() / "norlink-locale-XXXXXX").string();
            if (::mkdtemp(folder.data()) != nullptr) {
                const std::string command =
                    "localedef -c -i cs_CZ -f UTF-8 '" + folder + "/cs_CZ.UTF-8' >/dev/null 2>&1";
                [[maybe_unused]] const int status = std::system(command.c_str());
                ::setenv("LOCPATH", folder.c_str(), 1);
                fFolder = folder;
            }
        }
        fActive = std::setlocale(LC_NUMERIC, "cs_CZ.UTF-8") != nullptr;
    }
    ~TCommaLocale() {
        std::setlocale(LC_NUMERIC, "C");
        if (!fFolder.empty()) {
            ::unsetenv("LOCPATH");
            std::error_code ignored;
            std::filesystem::remove_all(fFolder, ignored);
        }
    }
    TCommaLocale(const TCommaLocale&) = delete;
    TCommaLocale& operator=(const TCommaLocale&) = delete;

    // True when LC_NUMERIC now uses a decimal comma.
    bool Active() const { return fActive && std::string(std::localeconv()->decimal_point) == ","; }

private:
    bool fActive = false;
    std::string fFolder; // generated locale, removed again
};
