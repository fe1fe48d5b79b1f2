#pragma once
// Running the real program in tests: a private folder for it (the program, its library and
// norlink.ini lie side by side), a pseudo-terminal for its port, and a child process with a
// time limit on every wait.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace program_run {

namespace fs = std::filesystem;

class TTempDir {
public:
    TTempDir() {
        std::string pattern = (fs::temp_directory_path() / "norlink-ui-XXXXXX").string();
        fPath = ::mkdtemp(pattern.data());
    }
    ~TTempDir() {
        std::error_code ignored;
        fs::remove_all(fPath, ignored);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const fs::path& Path() const { return fPath; }

private:
    fs::path fPath;
};

inline std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// The master side of a pseudo-terminal; the program opens the slave as its serial port.
class TPty {
public:
    TPty() {
        fMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fMaster >= 0 && ::grantpt(fMaster) == 0 && ::unlockpt(fMaster) == 0) {
            fSlave = ::ptsname(fMaster);
            ::fcntl(fMaster, F_SETFL, O_NONBLOCK);
        }
    }
    ~TPty() {
        if (fMaster >= 0) {
            ::close(fMaster);
        }
    }
    TPty(const TPty&) = delete;
    TPty& operator=(const TPty&) = delete;
    int Master() const { return fMaster; }
    const std::string& Slave() const { return fSlave; }

private:
    int fMaster = -1;
    std::string fSlave;
};

inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

// Whether process pid has path open.
inline bool HasOpen(pid_t pid, const std::string& path) {
    std::error_code error;
    for (const auto& entry :
         fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        std::error_code ignored;
        if (fs::read_symlink(entry.path(), ignored) == path) {
            return true;
        }
    }
    return false;
}

// A child process, its output in a file; killed when the test ends early.
class TChild {
public:
    TChild(const fs::path& exe, const std::vector<std::string>& args, const fs::path& output,
           const std::vector<std::string>& extraEnv = {}) {
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string entry = *e;
            // The program must find its library through its own RPATH only.
            if (!entry.starts_with("LD_LIBRARY_PATH=") && !entry.starts_with("ASAN_OPTIONS=") &&
                !entry.starts_with("QT_QPA_PLATFORM=")) {
                env.push_back(entry);
            }
        }
        env.emplace_back("QT_QPA_PLATFORM=offscreen");
        // The sanitizer build: leaks of the system libraries are not these tests' business.
        env.emplace_back("ASAN_OPTIONS=detect_leaks=0");
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        std::vector<std::string> argv{exe.string()};
        argv.insert(argv.end(), args.begin(), args.end());

        std::vector<char*> cargv;
        for (auto& a : argv) {
            cargv.push_back(a.data());
        }
        cargv.push_back(nullptr);
        std::vector<char*> cenv;
        for (auto& e : env) {
            cenv.push_back(e.data());
        }
        cenv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                           O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        ::posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        if (::posix_spawn(&fPid, exe.c_str(), &actions, nullptr, cargv.data(), cenv.data()) != 0) {
            fPid = -1;
        }
        ::posix_spawn_file_actions_destroy(&actions);
    }
    ~TChild() {
        if (fPid > 0 && !fStatus) {
            ::kill(fPid, SIGKILL);
            ::waitpid(fPid, nullptr, 0);
        }
    }
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    pid_t Pid() const { return fPid; }
    // The wait status once the child has ended within the limit.
    std::optional<int> Wait(std::chrono::milliseconds limit) {
        if (fStatus || fPid <= 0) {
            return fStatus;
        }
        WaitUntil(
            [this] {
                int status = 0;
                if (::waitpid(fPid, &status, WNOHANG) == fPid) {
                    fStatus = status;
                }
                return fStatus.has_value();
            },
            limit);
        return fStatus;
    }
    bool Running() {
        if (fStatus) {
            return false;
        }
        int status = 0;
        if (::waitpid(fPid, &status, WNOHANG) == fPid) {
            fStatus = status;
            return false;
        }
        return true;
    }

private:
    pid_t fPid = -1;
    std::optional<int> fStatus;
};

// The program and its library copied into dir, so that its folder (InstDir) is the test's own.
inline fs::path InstallProgram(const fs::path& dir, const fs::path& library) {
    const fs::path exe = dir / "norlink";
    fs::copy_file(NORLINK_BIN, exe, fs::copy_options::overwrite_existing);
    if (!library.empty()) {
        fs::copy_file(library, dir / "libkovra.so", fs::copy_options::overwrite_existing);
    }
    return exe;
}

} // namespace program_run
