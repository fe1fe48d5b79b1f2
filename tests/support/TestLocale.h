#pragma once
// Locales for the tests. A locale the machine lacks is compiled with localedef into one scratch
// folder per test program; LOCPATH points there from then on, and the folder goes at exit.
//
// Look-ups here use setlocale and put the previous locale back at once: newlocale leaks its copy of
// the search path under LOCPATH, setlocale does not. Callers choose their own way to use the
// locale.
//
// With LOCPATH set the C library no longer reads the system's locale archive, and it remembers a
// failed look-up per folder. So once the folder exists every locale asked for is compiled into it
// before its first look-up there, system locales included.

#include "ScratchDir.h"

#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

// What a locale the machine lacks is compiled from.
struct TLocaleSource {
    // A source the system ships (localedef -i cs_CZ), e.g. "cs_CZ".
    static TLocaleSource System(std::string input) { return {false, std::move(input)}; }
    // The text of a locale definition file.
    static TLocaleSource Definition(std::string text) { return {true, std::move(text)}; }

    bool IsDefinition = false;
    std::string Text;

    bool operator==(const TLocaleSource&) const = default;
};

// The locales one process has compiled, in one folder named by LOCPATH.
class TTestLocales {
public:
    static TTestLocales& Process() {
        static TTestLocales locales;
        return locales;
    }

    TTestLocales() = default;
    TTestLocales(const TTestLocales&) = delete;
    TTestLocales& operator=(const TTestLocales&) = delete;

    // Makes `name` loadable: the system's locale when it has one (and no folder of ours hides the
    // system's archive yet), otherwise compiled from `source`. A definition is always compiled.
    ::testing::AssertionResult Ensure(const std::string& name, const TLocaleSource& source) {
        if (const auto made = fMade.find(name); made != fMade.end()) {
            if (!(made->second == source)) {
                return ::testing::AssertionFailure()
                       << "locale " << name << " was already made from another source";
            }
            return Loads(name) ? ::testing::AssertionSuccess()
                               : ::testing::AssertionFailure()
                                     << "locale " << name << " made earlier no longer loads";
        }
        if (!source.IsDefinition && !fFolder && Loads(name)) {
            return ::testing::AssertionSuccess();
        }
        if (!fFolder) {
            fFolder.emplace("norlink-locales");
            const char* old = std::getenv("LOCPATH");
            std::string path = fFolder->path().string();
            if (old != nullptr && *old != '\0') {
                path += std::string(":") + old;
            }
            ::setenv("LOCPATH", path.c_str(), 1);
        }
        std::string input = source.Text;
        if (source.IsDefinition) {
            input = (fFolder->path() / (".source-" + name)).string();
            std::ofstream(input, std::ios::trunc) << source.Text;
        }
        const int status = Localedef(input, (fFolder->path() / name).string());
        if (source.IsDefinition) {
            std::error_code ignored;
            std::filesystem::remove(input, ignored);
        }
        fMade.emplace(name, source);
        // Exit status 1 only reports warnings (categories copied from POSIX lack some fields).
        if (status < 0 || !WIFEXITED(status) || WEXITSTATUS(status) > 1) {
            return ::testing::AssertionFailure()
                   << "localedef could not compile locale " << name << " (status " << status << ")";
        }
        return Loads(name) ? ::testing::AssertionSuccess()
                           : ::testing::AssertionFailure()
                                 << "locale " << name << " compiled but does not load";
    }

    // The folder LOCPATH names, when a locale had to be compiled.
    std::optional<std::filesystem::path> Folder() const {
        return fFolder ? std::optional(fFolder->path()) : std::nullopt;
    }

private:
    static bool Loads(const std::string& name) {
        const char* current = std::setlocale(LC_ALL, nullptr);
        const std::string saved = current != nullptr ? current : "C";
        const bool loads = std::setlocale(LC_ALL, name.c_str()) != nullptr;
        std::setlocale(LC_ALL, saved.c_str());
        return loads;
    }

    // localedef -c -i input -f UTF-8 output, quiet; the wait status, or -1.
    static int Localedef(const std::string& input, const std::string& output) {
        std::vector<std::string> args = {"localedef", "-c", "-i", input, "-f", "UTF-8", output};
        std::vector<char*> argv;
        for (auto& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        pid_t child = -1;
        const int spawned =
            posix_spawnp(&child, "localedef", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            return -1;
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0) {
            if (errno != EINTR) {
                return -1;
            }
        }
        return status;
    }

    std::optional<TScratchDir> fFolder;
    std::map<std::string, TLocaleSource> fMade;
};

// `name` from the system, else compiled from the system's source of the same language and
// territory ("cs_CZ.UTF-8" from "cs_CZ").
inline ::testing::AssertionResult EnsureTestLocale(const std::string& name) {
    std::string input = name.substr(0, name.find_first_of(".@"));
    if (const auto at = name.find('@'); at != std::string::npos) {
        input += name.substr(at);
    }
    return TTestLocales::Process().Ensure(name, TLocaleSource::System(input));
}

inline ::testing::AssertionResult EnsureTestLocale(const std::string& name,
                                                   const TLocaleSource& source) {
    return TTestLocales::Process().Ensure(name, source);
}
