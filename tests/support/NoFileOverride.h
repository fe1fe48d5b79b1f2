#pragma once
// Makes file permissions bind the test process even when it runs as root (as CI does): while the
// object lives, the process has no CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH in its effective set,
// so a file of mode 0000 cannot be opened. Only the effective set changes, so the destructor can
// raise them again. For an ordinary user the capabilities are not there in the first place.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <array>

class TNoFileOverride {
public:
    TNoFileOverride() {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        fOk = ::syscall(SYS_capget, &header, fSaved.data()) == 0;
        if (!fOk) {
            return;
        }
        std::array<__user_cap_data_struct, 2> lowered = fSaved;
        lowered[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        fOk = ::syscall(SYS_capset, &header, lowered.data()) == 0;
    }
    ~TNoFileOverride() {
        if (fOk) {
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            ::syscall(SYS_capset, &header, fSaved.data());
        }
    }
    TNoFileOverride(const TNoFileOverride&) = delete;
    TNoFileOverride& operator=(const TNoFileOverride&) = delete;

    // False when the capabilities could not be lowered; a test must then fail, not pass.
    bool Active() const { return fOk; }

private:
    std::array<__user_cap_data_struct, 2> fSaved{};
    bool fOk = false;
};
