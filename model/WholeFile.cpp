#include "WholeFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor on every path.
class TFd {
public:
    explicit TFd(int fd) : fFd(fd) {}
    ~TFd() {
        if (fFd >= 0) {
            ::close(fFd);
        }
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return fFd; }
    // Closes now and reports the result; close can report a delayed write error.
    bool Close() {
        const int fd = fFd;
        fFd = -1;
        return ::close(fd) == 0;
    }

private:
    int fFd;
};

bool Fail(std::string* why, const std::string& what, int error) {
    if (why != nullptr) {
        *why = what + ": " + std::strerror(error);
    }
    return false;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Where the data goes: a symbolic link is resolved so that the link itself stays in place.
std::string TargetOf(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return path;
}

std::string TemporaryName(const std::string& target) {
    static unsigned counter = 0;
    static std::mt19937 random{std::random_device{}()};
    const std::string folder = FolderOf(target);
    return (folder == "/" ? std::string() : folder) + "/." + NameOf(target) + ".tmp" +
           std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(random() % 1000000);
}

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        const ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
    // Non-blocking, so that a FIFO in place of the file cannot hang the program.
    TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        return std::nullopt;
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    std::string contents;
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (got == 0) {
            return contents;
        }
        contents.append(chunk, static_cast<std::size_t>(got));
    }
}

bool ReplaceWholeFile(const std::string& path, std::string_view contents, std::string* why) {
    if (path.empty()) {
        return Fail(why, "empty file name", ENOENT);
    }
    const std::string target = TargetOf(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        if (why != nullptr) {
            *why = target + ": not a regular file";
        }
        return false;
    }

    std::string temporary;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temporary = TemporaryName(target);
        raw = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) {
            return Fail(why, temporary, errno);
        }
    }
    if (raw < 0) {
        return Fail(why, temporary, EEXIST);
    }
    TFd fd(raw);
    auto discard = [&](const std::string& what) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Fail(why, what, error);
    };
    if (exists) {
        // Keep who may read the settings; the owner is kept where the process may set it.
        if (::fchmod(fd.Get(), old.st_mode & 07777) != 0) {
            return discard(temporary);
        }
        [[maybe_unused]] const int ignored = ::fchown(fd.Get(), old.st_uid, old.st_gid);
    }
    if (!WriteAll(fd.Get(), contents) || ::fsync(fd.Get()) != 0 || !fd.Close()) {
        return discard(temporary);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return discard(target);
    }
    // Make the rename itself durable; a failure here no longer endangers the data.
    TFd folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0) {
        ::fsync(folder.Get());
    }
    return true;
}
