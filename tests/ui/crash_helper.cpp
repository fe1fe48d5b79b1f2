// Installs crash reporting (reports into argv[1]) and then fails as argv[2] says: segv (a write to
// a page without access), abort, fpe, bus (the signals), throw (an exception nothing catches).

#include "CrashReport.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <sys/mman.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: ui_crash_helper FOLDER segv|abort|fpe|bus|throw\n", stderr);
        return 2;
    }
    InstalujHlaseniChyb(argv[1], "0.9");
    const std::string kind = argv[2];
    if (kind == "segv") {
        void* page = ::mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        *static_cast<volatile int*>(page) = 1;
    } else if (kind == "abort") {
        std::abort();
    } else if (kind == "fpe") {
        std::raise(SIGFPE);
    } else if (kind == "bus") {
        std::raise(SIGBUS);
    } else if (kind == "throw") {
        throw std::runtime_error("nikdo ji nechytil");
    }
    return 3;
}
