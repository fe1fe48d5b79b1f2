#ifndef KOVRA_OKNA_H
#define KOVRA_OKNA_H
// The receiving side of the window messages that NajdiAPosliZpravu and NajdiAPosliZpravuSNavratem
// of libkovra.so send (static library kovra_okna; not part of the shared library's exports).
//
// A program registers a window class name and attaches Fd() to its event loop (poll, epoll,
// QSocketNotifier); when it becomes readable, HandlePending() runs the handler for every message
// that has arrived. Only processes of the same user reach a receiver: the sockets lie in a folder
// of mode 0700, $XDG_RUNTIME_DIR/kovra or, without a usable $XDG_RUNTIME_DIR (absolute, a directory
// of this user that others cannot write), /tmp/kovra-<uid>. In it, class C has the socket "s.C" and
// the lock file "l.C" that a live receiver holds. One packet per connection carries one message.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TPrijemceZprav {
public:
    // Answers one message; the answer goes back to NajdiAPosliZpravuSNavratem and is dropped for a
    // posted message. It must not destroy the receiver or call HandlePending.
    using THandler = std::function<int32_t(uint32_t message, int32_t wParam, int32_t lParam)>;

    // Registers className; nullptr with errno set when the name is not usable (EINVAL), a live
    // receiver already holds it (EADDRINUSE), or the folder or socket cannot be made. A socket left
    // behind by a receiver that died is taken over.
    static std::unique_ptr<TPrijemceZprav> Register(const char* className, THandler handler);
    // Withdraws the registration: from now on the class is not found.
    ~TPrijemceZprav();
    TPrijemceZprav(const TPrijemceZprav&) = delete;
    TPrijemceZprav& operator=(const TPrijemceZprav&) = delete;

    // Readable while messages are waiting.
    int Fd() const;
    // Handles every message that is complete now, in the order they were posted or sent, without
    // blocking; returns how many were handled.
    int HandlePending();

private:
    struct TStav;
    explicit TPrijemceZprav(std::unique_ptr<TStav> stav);
    std::unique_ptr<TStav> fStav;
};

#endif
