#include "soubory/WholeFile.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

#include <fcntl.h>
#include <pthread.h>
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

// The one place where the reasons of a failed read become the user's words.
std::string ReasonOf(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return "chybí oprávnění ke čtení";
    case EISDIR:
        return "na jeho místě je složka";
    case ELOOP:
        return "příliš mnoho symbolických odkazů";
    case ENAMETOOLONG:
        return "cesta je příliš dlouhá";
    case EIO:
        return "chyba čtení z disku";
    case EMFILE:
    case ENFILE:
        return "příliš mnoho otevřených souborů";
    case ENOMEM:
        return "nedostatek paměti";
    case ENXIO:
        return "na jeho místě je zařízení nebo soket";
    default:
        break;
    }
    const char* name = ::strerrorname_np(error);
    return "chyba systému " + (name != nullptr ? std::string(name) : std::to_string(error));
}

std::string SizeText(std::size_t bytes) {
    constexpr std::size_t kMB = 1024 * 1024;
    if (bytes >= kMB && bytes % kMB == 0) {
        return std::to_string(bytes / kMB) + " MB";
    }
    return std::to_string(bytes) + " bajtů";
}

// Holds SIGXFSZ back while the temporary file is written: a write past the file size limit then
// fails with EFBIG instead of ending the process. A signal that the write raised is taken back
// before the mask is restored; one that was pending before stays for its owner.
class THoldFileSizeSignal {
public:
    THoldFileSizeSignal() {
        sigemptyset(&fSignal);
        sigaddset(&fSignal, SIGXFSZ);
        ::pthread_sigmask(SIG_BLOCK, &fSignal, &fPrevious);
        fWasPending = Pending();
    }
    ~THoldFileSizeSignal() {
        if (!fWasPending && Pending()) {
            const timespec now{};
            ::sigtimedwait(&fSignal, nullptr, &now);
        }
        ::pthread_sigmask(SIG_SETMASK, &fPrevious, nullptr);
    }
    THoldFileSizeSignal(const THoldFileSizeSignal&) = delete;
    THoldFileSizeSignal& operator=(const THoldFileSizeSignal&) = delete;

private:
    static bool Pending() {
        sigset_t pending;
        sigemptyset(&pending);
        return ::sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ) == 1;
    }

    sigset_t fSignal{};
    sigset_t fPrevious{};
    bool fWasPending = false;
};

} // namespace

TFileContents ReadFileUpTo(const std::string& path, std::size_t limit) {
    TFileContents result;
    const auto unreadable = [&](std::string reason) {
        result.State = TReadState::Unreadable;
        result.Bytes.clear();
        result.Reason = std::move(reason);
        return result;
    };
    // Non-blocking, so that a FIFO in place of the file cannot hang the program.
    TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.Get() < 0) {
        // ENOTDIR: a file where a folder of the path should be, so no such file either.
        if (errno == ENOENT || errno == ENOTDIR) {
            return result;
        }
        return unreadable(ReasonOf(errno));
    }
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        return unreadable(ReasonOf(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        return unreadable(S_ISDIR(st.st_mode)    ? "na jeho místě je složka"
                          : S_ISFIFO(st.st_mode) ? "na jeho místě je roura (FIFO)"
                                                 : "není to obyčejný soubor");
    }
    const auto tooLarge = [&] { return unreadable("soubor je větší než " + SizeText(limit)); };
    if (static_cast<std::uint64_t>(st.st_size) > limit) {
        return tooLarge();
    }
    result.Bytes.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return unreadable(ReasonOf(errno));
        }
        if (got == 0) {
            result.State = TReadState::Read;
            return result;
        }
        // A file that grows while it is read is held to the same limit.
        if (static_cast<std::size_t>(got) > limit - result.Bytes.size()) {
            return tooLarge();
        }
        result.Bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    TFileContents contents = ReadFileUpTo(path);
    if (contents.State != TReadState::Read) {
        return std::nullopt;
    }
    return std::move(contents.Bytes);
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
        // Keep who may read the settings. The owner is kept where the process may set it, else
        // at least the group; the mode comes last, as a change of owner can clear its set-id bits.
        if (::fchown(fd.Get(), old.st_uid, old.st_gid) != 0) {
            [[maybe_unused]] const int ignored =
                ::fchown(fd.Get(), static_cast<uid_t>(-1), old.st_gid);
        }
        if (::fchmod(fd.Get(), old.st_mode & 07777) != 0) {
            return discard(temporary);
        }
    }
    int error = 0;
    {
        const THoldFileSizeSignal hold;
        if (!WriteAll(fd.Get(), contents) || ::fsync(fd.Get()) != 0) {
            error = errno;
        }
    }
    if (error != 0) {
        errno = error;
        return discard(temporary);
    }
    if (!fd.Close()) {
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
