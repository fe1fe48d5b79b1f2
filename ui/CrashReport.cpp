#include "CrashReport.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cxxabi.h>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <memory>
#include <span>
#include <typeinfo>
#include <unistd.h>

namespace {

constexpr std::size_t k_MaxRamcu = 64;
constexpr std::array<int, 4> k_FatalniSignaly{SIGSEGV, SIGABRT, SIGFPE, SIGBUS};

// Everything the signal handler needs, prepared beforehand: it may not allocate.
std::array<char, 4096> gCesta{};
std::array<char, 64> gVerze{};
std::string gCestaText;
volatile std::sig_atomic_t gVeZpracovani = 0;
std::array<std::uint8_t, 64 * 1024> gAltStack{};

void ZapisText(int fd, const char* text) {
    std::size_t length = std::strlen(text);
    while (length > 0) {
        const ssize_t written = ::write(fd, text, length);
        if (written <= 0) {
            return;
        }
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}

void ZapisCislo(int fd, unsigned long value, int minDigits) {
    std::array<char, 24> digits{};
    int count = 0;
    do {
        digits.at(static_cast<std::size_t>(count++)) = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0 || count < minDigits);
    std::array<char, 24> text{};
    for (int i = 0; i < count; ++i) {
        text.at(static_cast<std::size_t>(i)) = digits.at(static_cast<std::size_t>(count - 1 - i));
    }
    ZapisText(fd, text.data());
}

// UTC date and time from seconds since the epoch, without the (not signal-safe) C library.
void ZapisCasUtc(int fd, std::time_t now) {
    const long long seconds = now;
    long long days = seconds / 86400;
    const long long rest = seconds % 86400;
    // Civil date from days since 1970-01-01 (H. Hinnant's algorithm).
    days += 719468;
    const long long era = days / 146097;
    const long long doe = days - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long day = doy - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    ZapisCislo(fd, static_cast<unsigned long>(year), 4);
    ZapisText(fd, "-");
    ZapisCislo(fd, static_cast<unsigned long>(month), 2);
    ZapisText(fd, "-");
    ZapisCislo(fd, static_cast<unsigned long>(day), 2);
    ZapisText(fd, " ");
    ZapisCislo(fd, static_cast<unsigned long>(rest / 3600), 2);
    ZapisText(fd, ":");
    ZapisCislo(fd, static_cast<unsigned long>(rest / 60 % 60), 2);
    ZapisText(fd, ":");
    ZapisCislo(fd, static_cast<unsigned long>(rest % 60), 2);
    ZapisText(fd, " UTC");
}

const char* JmenoSignalu(int sig) {
    switch (sig) {
    case SIGSEGV:
        return "SIGSEGV (neplatný přístup do paměti)";
    case SIGABRT:
        return "SIGABRT (program byl přerušen)";
    case SIGFPE:
        return "SIGFPE (chyba aritmetiky)";
    case SIGBUS:
        return "SIGBUS (chyba sběrnice)";
    default:
        return "signál";
    }
}

void ObsluhaSignalu(int sig) {
    if (gVeZpracovani == 0) {
        gVeZpracovani = 1;
        const int fd = ::open(gCesta.data(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ZapisText(fd, "==== NORLINK: fatální chyba ====\nČas: ");
            ZapisCasUtc(fd, std::time(nullptr));
            ZapisText(fd, "\nVerze programu: ");
            ZapisText(fd, gVerze.data());
            ZapisText(fd, "\nSignál: ");
            ZapisCislo(fd, static_cast<unsigned long>(sig), 1);
            ZapisText(fd, " ");
            ZapisText(fd, JmenoSignalu(sig));
            ZapisText(fd, "\nZásobník:\n");
            std::array<void*, k_MaxRamcu> frames{};
            const int count = ::backtrace(frames.data(), static_cast<int>(frames.size()));
            ::backtrace_symbols_fd(frames.data(), count, fd);
            ZapisText(fd, "\n");
            ::close(fd);
        }
        ZapisText(STDERR_FILENO, "NORLINK: fatální chyba, zpráva v ");
        ZapisText(STDERR_FILENO, gCesta.data());
        ZapisText(STDERR_FILENO, "\n");
    }
    // The handler was reset to the default on entry: this ends the program as the signal would.
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

void ObsluhaTerminate() {
    // An exception that escaped everything: report it with its text before the abort reports the
    // signal.
    if (std::current_exception()) {
        try {
            std::rethrow_exception(std::current_exception());
        } catch (...) {
            const TPopisVyjimky popis = PopisAktualniVyjimky();
            ZapisHlaseniVyjimky(popis.Typ, popis.Text);
        }
    }
    std::abort();
}

std::string CasNyni() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::array<char, 64> text{};
    const std::size_t length =
        std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S %z", &local);
    return {text.data(), length};
}

void Kopiruj(std::span<char> target, const std::string& text) {
    const std::size_t count = std::min(text.size(), target.size() - 1);
    std::memcpy(target.data(), text.data(), count);
    target[count] = '\0';
}

} // namespace

void NastavSouborHlaseni(const std::string& folder, const std::string& version) {
    gCestaText = folder;
    if (!gCestaText.empty() && gCestaText.back() != '/') {
        gCestaText += '/';
    }
    gCestaText += std::string(k_SouborHlaseni);
    Kopiruj(gCesta, gCestaText);
    Kopiruj(gVerze, version);
}

void InstalujHlaseniChyb(const std::string& folder, const std::string& version) {
    NastavSouborHlaseni(folder, version);

    // backtrace() loads its unwinder on first use, which may allocate: do it now, not in a
    // handler.
    std::array<void*, 4> warmUp{};
    ::backtrace(warmUp.data(), static_cast<int>(warmUp.size()));

    stack_t alt{};
    alt.ss_sp = gAltStack.data();
    alt.ss_size = gAltStack.size();
    ::sigaltstack(&alt, nullptr);

    struct sigaction action {};
    action.sa_handler = ObsluhaSignalu;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_NODEFER | SA_ONSTACK;
    for (const int sig : k_FatalniSignaly) {
        ::sigaction(sig, &action, nullptr);
    }
    std::set_terminate(ObsluhaTerminate);
}

const std::string& SouborHlaseniChyb() {
    return gCestaText;
}

std::string FormatujHlaseniVyjimky(std::string_view cas, std::string_view verze,
                                   std::string_view typ, std::string_view text,
                                   std::string_view stack) {
    std::string report = "==== NORLINK: neošetřená výjimka ====\n";
    report += "Čas: " + std::string(cas) + "\n";
    report += "Verze programu: " + std::string(verze) + "\n";
    report += "Výjimka: " + std::string(typ) + "\n";
    report += "Text: " + std::string(text) + "\n";
    report += "Zásobník (kde byla zachycena):\n" + std::string(stack) + "\n";
    return report;
}

bool ZapisHlaseniVyjimky(std::string_view typ, std::string_view text) {
    if (gCestaText.empty()) {
        return false;
    }
    std::array<void*, k_MaxRamcu> frames{};
    const int count = ::backtrace(frames.data(), static_cast<int>(frames.size()));
    std::string stack;
    const std::unique_ptr<char*, decltype(&std::free)> symbols(
        ::backtrace_symbols(frames.data(), count), &std::free);
    for (int i = 0; symbols && i < count; ++i) {
        stack += symbols.get()[i];
        stack += '\n';
    }
    const std::string report = FormatujHlaseniVyjimky(CasNyni(), gVerze.data(), typ, text, stack);
    std::FILE* file = std::fopen(gCestaText.c_str(), "a");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(report.data(), 1, report.size(), file) == report.size();
    return std::fclose(file) == 0 && written;
}

TPopisVyjimky PopisAktualniVyjimky() {
    TPopisVyjimky popis;
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (type != nullptr) {
        int status = 0;
        const std::unique_ptr<char, decltype(&std::free)> demangled(
            abi::__cxa_demangle(type->name(), nullptr, nullptr, &status), &std::free);
        popis.Typ = status == 0 && demangled ? demangled.get() : type->name();
    }
    try {
        throw;
    } catch (const std::exception& error) {
        popis.Text = error.what();
    } catch (...) {
        popis.Text = "neznámá výjimka";
    }
    return popis;
}
