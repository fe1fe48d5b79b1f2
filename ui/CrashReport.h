#pragma once
// Crash reporting. An uncaught exception that reaches the event loop is written to the report file
// and shown, and the program runs on; a fatal signal (SIGSEGV, SIGABRT, SIGFPE, SIGBUS) writes a
// report with async-signal-safe calls only and then ends the program with the signal's default
// action. Reports are appended to one file in the program's folder. No Qt here.

#include <string>
#include <string_view>

inline constexpr std::string_view k_SouborHlaseni = "norlink-chyby.log";

// Where reports go and what version they name; then the fatal-signal handlers (on an alternate
// stack, so a stack overflow is reported too) and a terminate handler. Call once, early.
void InstalujHlaseniChyb(const std::string& folder, const std::string& version);
// Only where reports go (the first part of InstalujHlaseniChyb).
void NastavSouborHlaseni(const std::string& folder, const std::string& version);
// The report file in use; empty before InstalujHlaseniChyb.
const std::string& SouborHlaseniChyb();

// A report of an exception caught at the event loop: time, version, its type and text, and the
// stack where it was caught. Appends it to the report file; returns false when the file cannot be
// written.
bool ZapisHlaseniVyjimky(std::string_view typ, std::string_view text);
// The text of such a report; stack: one frame per line.
std::string FormatujHlaseniVyjimky(std::string_view cas, std::string_view verze,
                                   std::string_view typ, std::string_view text,
                                   std::string_view stack);
// The current exception (inside a catch block) as its demangled type and its what() text.
struct TPopisVyjimky {
    std::string Typ;
    std::string Text;
};
TPopisVyjimky PopisAktualniVyjimky();
