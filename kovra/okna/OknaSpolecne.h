#ifndef KOVRA_OKNA_OKNASPOLECNE_H
#define KOVRA_OKNA_OKNASPOLECNE_H
// What the sending routines of libkovra.so and the receiver of kovra_okna agree on: where a window
// class's socket lies and what one message looks like on it.

#include <cstdint>
#include <optional>
#include <string>
#include <unistd.h>

namespace kovra_okna {

enum class TDruh : uint32_t { Posli = 1, PosliSNavratem = 2 };

// One message per packet of a SOCK_SEQPACKET connection; the answer is one int32_t packet.
struct TZpravaOkna {
    uint32_t druh;
    uint32_t zprava;
    int32_t wParam;
    int32_t lParam;
};

// Owns a file descriptor.
class TFd {
public:
    TFd() = default;
    explicit TFd(int fd) : fFd(fd) {}
    TFd(TFd&& o) noexcept : fFd(o.Uvolni()) {}
    TFd& operator=(TFd&& o) noexcept {
        if (this != &o) {
            Zavri();
            fFd = o.Uvolni();
        }
        return *this;
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    ~TFd() { Zavri(); }

    int Get() const { return fFd; }
    bool Platny() const { return fFd >= 0; }
    int Uvolni() {
        const int fd = fFd;
        fFd = -1;
        return fd;
    }

private:
    void Zavri() {
        if (fFd >= 0) {
            ::close(fFd);
            fFd = -1;
        }
    }
    int fFd = -1;
};

// Path of the class's socket, or nothing when the name is not usable (null, empty, containing '/',
// too long for a socket address) or the user's folder is missing or not safe. vytvor: create the
// folder (mode 0700) when it is missing, as a receiver does.
std::optional<std::string> CestaSoketu(const char* trida, bool vytvor);
// Path of the lock file that a live receiver of the class holds.
std::optional<std::string> CestaZamku(const char* trida, bool vytvor);

} // namespace kovra_okna

#endif
