#pragma once
// Locales for the tests. Locales the machine lacks are generated from the system's locale sources
// into a scratch folder that LOCPATH then points to, so no test depends on what is installed.

#include <cstdlib>
#include <filesystem>
#include <locale.h>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

inline bool LocaleLoads(const std::string& name) {
    locale_t l = newlocale(LC_TIME_MASK, name.c_str(), static_cast<locale_t>(0));
    if (l == static_cast<locale_t>(0)) {
        return false;
    }
    freelocale(l);
    return true;
}

// The test locales cs_CZ.UTF-8 and en_US.UTF-8. The C library remembers a failed look-up per
// folder, so every missing locale is generated before the first look-up under LOCPATH.
inline void EnsureTestLocales() {
    static const std::vector<std::pair<std::string, std::string>> wanted = {
        {"cs_CZ.UTF-8", "cs_CZ"}, {"en_US.UTF-8", "en_US"}};
    std::vector<std::pair<std::string, std::string>> missing;
    for (const auto& w : wanted) {
        if (!LocaleLoads(w.first)) {
            missing.push_back(w);
        }
    }
    if (!missing.empty()) {
        // Removed when the test program ends; the C library keeps what it loaded mapped.
        struct TScratch {
            std::string Path;
            ~TScratch() {
                std::error_code ec;
                std::filesystem::remove_all(Path, ec);
            }
        };
        static TScratch scratch;
        std::string tmpl = (std::filesystem::temp_directory_path() / "norlink-locXXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr) << "no scratch folder for locales";
        scratch.Path = tmpl;
        for (const auto& m : missing) {
            const std::string cmd = "localedef -c -i " + m.second + " -f UTF-8 '" + tmpl + "/" +
                                    m.first + "' >/dev/null 2>&1";
            // localedef reports mere warnings through its exit code; the look-up below decides.
            const int rc = std::system(cmd.c_str());
            (void)rc;
        }
        setenv("LOCPATH", tmpl.c_str(), 1);
    }
    for (const auto& w : wanted) {
        ASSERT_TRUE(LocaleLoads(w.first)) << "cannot load or generate locale " << w.first;
    }
}

// Local time is UTC while a test runs, so expected texts do not depend on the machine.
class TimeZoneUtc {
public:
    TimeZoneUtc() {
        if (const char* old = std::getenv("TZ")) {
            fOld = old;
            fHadOld = true;
        }
        setenv("TZ", "UTC0", 1);
        tzset();
    }
    ~TimeZoneUtc() {
        if (fHadOld) {
            setenv("TZ", fOld.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    TimeZoneUtc(const TimeZoneUtc&) = delete;
    TimeZoneUtc& operator=(const TimeZoneUtc&) = delete;

private:
    std::string fOld;
    bool fHadOld = false;
};
