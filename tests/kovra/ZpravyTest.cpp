// Window messages: posting and sending to a receiver of kovra_okna started by the test, in a thread
// or a child process, and everything that must not be found or must not block.
#include "ScratchDir.h"
#include "kovra.h"
#include "okna.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <tuple>
#include <unistd.h>
#include <vector>

namespace {

using ::testing::ElementsAre;
using Zprava = std::tuple<uint32_t, int32_t, int32_t>;
using Hodiny = std::chrono::steady_clock;

// Each test gets its own $XDG_RUNTIME_DIR, so receivers of other runs cannot interfere.
class KovraZpravy : public ::testing::Test {
protected:
    void SetUp() override {
        const char* puvodni = std::getenv("XDG_RUNTIME_DIR");
        fPuvodni = puvodni != nullptr ? std::optional<std::string>(puvodni) : std::nullopt;
        setenv("XDG_RUNTIME_DIR", fXdg.c_str(), 1);
    }
    void TearDown() override {
        if (fPuvodni) {
            setenv("XDG_RUNTIME_DIR", fPuvodni->c_str(), 1);
        } else {
            unsetenv("XDG_RUNTIME_DIR");
        }
    }

    // A handler that records what it gets and answers wParam * 1000 + lParam (modulo 2^32).
    TPrijemceZprav::THandler Zapisovac() {
        return [this](uint32_t m, int32_t w, int32_t l) {
            const std::lock_guard<std::mutex> zamek(fMutex);
            fPrijate.emplace_back(m, w, l);
            return static_cast<int32_t>(static_cast<uint32_t>(w) * 1000U +
                                        static_cast<uint32_t>(l));
        };
    }
    std::vector<Zprava> Prijate() {
        const std::lock_guard<std::mutex> zamek(fMutex);
        return fPrijate;
    }

    TScratchDir fSlozka{"kovra-xdg"}; // mode 0700
    const std::filesystem::path fXdg = fSlozka.path();
    std::optional<std::string> fPuvodni;
    std::mutex fMutex;
    std::vector<Zprava> fPrijate;
};

// Runs a receiver's event loop in a thread: waits on Fd() and handles what is pending.
class TPumpa {
public:
    explicit TPumpa(TPrijemceZprav& prijemce)
        : fVlakno([this, &prijemce] {
              while (!fKonec) {
                  pollfd p{prijemce.Fd(), POLLIN, 0};
                  if (poll(&p, 1, 20) > 0) {
                      prijemce.HandlePending();
                  }
              }
          }) {}
    ~TPumpa() {
        fKonec = true;
        fVlakno.join();
    }
    TPumpa(const TPumpa&) = delete;
    TPumpa& operator=(const TPumpa&) = delete;

private:
    std::atomic<bool> fKonec{false};
    std::thread fVlakno;
};

int SpocitejVse(TPrijemceZprav& prijemce) {
    int celkem = 0;
    for (;;) {
        pollfd p{prijemce.Fd(), POLLIN, 0};
        if (poll(&p, 1, 200) <= 0) {
            return celkem;
        }
        celkem += prijemce.HandlePending();
    }
}

// Raw connection to a class's socket, for sending what the library never sends.
int PripojSurove(const std::filesystem::path& cesta) {
    const int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un a{};
    a.sun_family = AF_UNIX;
    std::strncpy(a.sun_path, cesta.c_str(), sizeof a.sun_path - 1);
    if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

double Sekund(Hodiny::time_point od) {
    return std::chrono::duration<double>(Hodiny::now() - od).count();
}

TEST_F(KovraZpravy, PostQueuesAndReturnsBeforeTheReceiverRuns) {
    auto prijemce = TPrijemceZprav::Register("NorlinkOkno", Zapisovac());
    ASSERT_NE(prijemce, nullptr);
    // Nobody handles messages yet: posting must still succeed at once.
    EXPECT_NE(NajdiAPosliZpravu("NorlinkOkno", 0x0400, 1, 2), 0);
    EXPECT_NE(NajdiAPosliZpravu("NorlinkOkno", 0xFFFFFFFFU, -1, INT32_MIN), 0);
    EXPECT_NE(NajdiAPosliZpravu("NorlinkOkno", 0, INT32_MAX, 0), 0);
    EXPECT_TRUE(Prijate().empty());
    EXPECT_EQ(SpocitejVse(*prijemce), 3);
    EXPECT_THAT(Prijate(), ElementsAre(Zprava{0x0400, 1, 2}, Zprava{0xFFFFFFFFU, -1, INT32_MIN},
                                       Zprava{0, INT32_MAX, 0}));
    EXPECT_EQ(prijemce->HandlePending(), 0);
}

TEST_F(KovraZpravy, SendDeliversAndReturnsTheWindowsAnswer) {
    auto prijemce = TPrijemceZprav::Register("NorlinkOkno", Zapisovac());
    ASSERT_NE(prijemce, nullptr);
    TPumpa pumpa(*prijemce);
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("NorlinkOkno", 0x0401, 7, 9), 7009);
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("NorlinkOkno", 0x0402, -3, -5), -3005);
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("NorlinkOkno", 0x0403, 0, 0), 0);
    EXPECT_THAT(Prijate(),
                ElementsAre(Zprava{0x0401, 7, 9}, Zprava{0x0402, -3, -5}, Zprava{0x0403, 0, 0}));
}

TEST_F(KovraZpravy, SendWaitsWhileTheWindowHandlesTheMessage) {
    std::atomic<bool> obslouzeno{false};
    auto prijemce = TPrijemceZprav::Register("Pomale", [&](uint32_t, int32_t w, int32_t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        obslouzeno = true;
        return w + 1;
    });
    ASSERT_NE(prijemce, nullptr);
    TPumpa pumpa(*prijemce);
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("Pomale", 1, 41, 0), 42);
    EXPECT_TRUE(obslouzeno);
}

TEST_F(KovraZpravy, ClassesThatDoNotExistOrAreNotUsableGiveZeroAtOnce) {
    auto prijemce = TPrijemceZprav::Register("Existuje", Zapisovac());
    ASSERT_NE(prijemce, nullptr);
    const std::string dlouhe(200, 'x');
    const auto od = Hodiny::now();
    for (const char* trida : {"Neexistuje", "existuje", "", "a/b", "../Existuje", "/Existuje",
                              dlouhe.c_str(), static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(NajdiAPosliZpravu(trida, 1, 2, 3), 0) << (trida ? trida : "null");
        EXPECT_EQ(NajdiAPosliZpravuSNavratem(trida, 1, 2, 3), 0) << (trida ? trida : "null");
    }
    // None of them waited for the answer time limit.
    EXPECT_LT(Sekund(od), KOVRA_LIMIT_ODPOVEDI_MS / 2000.0);
    EXPECT_EQ(SpocitejVse(*prijemce), 0);
    EXPECT_TRUE(Prijate().empty());
}

TEST_F(KovraZpravy, UnusableNamesCannotBeRegistered) {
    const std::string dlouhe(200, 'x');
    for (const char* trida : {"", "a/b", dlouhe.c_str(), static_cast<const char*>(nullptr)}) {
        errno = 0;
        EXPECT_EQ(TPrijemceZprav::Register(trida, Zapisovac()), nullptr);
        EXPECT_EQ(errno, EINVAL);
    }
    EXPECT_EQ(TPrijemceZprav::Register("BezObsluhy", nullptr), nullptr);
    // The longest name that fits in a socket address works.
    const size_t volno =
        sizeof(sockaddr_un::sun_path) - 1 - (fXdg / "kovra" / "s.").string().size();
    const std::string nejdelsi(volno, 'n');
    auto prijemce = TPrijemceZprav::Register(nejdelsi.c_str(), Zapisovac());
    ASSERT_NE(prijemce, nullptr);
    EXPECT_NE(NajdiAPosliZpravu(nejdelsi.c_str(), 5, 6, 7), 0);
    EXPECT_EQ(TPrijemceZprav::Register((nejdelsi + "n").c_str(), Zapisovac()), nullptr);
    EXPECT_EQ(NajdiAPosliZpravu((nejdelsi + "n").c_str(), 5, 6, 7), 0);
}

TEST_F(KovraZpravy, OneLiveReceiverPerClassAndNoneAfterItIsGone) {
    auto prvni = TPrijemceZprav::Register("Okno", Zapisovac());
    ASSERT_NE(prvni, nullptr);
    errno = 0;
    EXPECT_EQ(TPrijemceZprav::Register("Okno", Zapisovac()), nullptr);
    EXPECT_EQ(errno, EADDRINUSE);
    EXPECT_NE(NajdiAPosliZpravu("Okno", 1, 1, 1), 0);
    prvni.reset();
    EXPECT_EQ(NajdiAPosliZpravu("Okno", 2, 2, 2), 0);
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("Okno", 2, 2, 2), 0);
    auto druhy = TPrijemceZprav::Register("Okno", Zapisovac());
    ASSERT_NE(druhy, nullptr);
    EXPECT_NE(NajdiAPosliZpravu("Okno", 3, 3, 3), 0);
    EXPECT_EQ(SpocitejVse(*druhy), 1);
    EXPECT_THAT(Prijate(), ElementsAre(Zprava{3, 3, 3}));
}

TEST_F(KovraZpravy, ReceiverInAChildProcessThatDiesLeavesNothingToFind) {
    int pipa[2];
    ASSERT_EQ(pipe(pipa), 0);
    const pid_t dite = fork();
    ASSERT_GE(dite, 0);
    if (dite == 0) {
        close(pipa[0]);
        // Answers 7 to message 1; dies without answering message 2.
        auto prijemce = TPrijemceZprav::Register("Dite", [](uint32_t m, int32_t, int32_t) {
            if (m == 2) {
                _exit(0);
            }
            return 7;
        });
        const char stav = prijemce != nullptr ? 'A' : 'N';
        if (write(pipa[1], &stav, 1) != 1 || prijemce == nullptr) {
            _exit(1);
        }
        for (;;) {
            pollfd p{prijemce->Fd(), POLLIN, 0};
            if (poll(&p, 1, -1) > 0) {
                prijemce->HandlePending();
            }
        }
    }
    close(pipa[1]);
    char stav = 0;
    ASSERT_EQ(read(pipa[0], &stav, 1), 1);
    close(pipa[0]);
    ASSERT_EQ(stav, 'A');
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("Dite", 1, 0, 0), 7);
    // The receiver dies while the sender waits: the sender learns at once, not by the time limit.
    const auto od = Hodiny::now();
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("Dite", 2, 0, 0), 0);
    EXPECT_LT(Sekund(od), KOVRA_LIMIT_ODPOVEDI_MS / 2000.0);
    int status = 0;
    ASSERT_EQ(waitpid(dite, &status, 0), dite);
    // Its socket file is still there but stale: not found, and the class can be taken over.
    EXPECT_TRUE(std::filesystem::exists(fXdg / "kovra" / "s.Dite"));
    EXPECT_EQ(NajdiAPosliZpravu("Dite", 3, 0, 0), 0);
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("Dite", 3, 0, 0), 0);
    auto novy = TPrijemceZprav::Register("Dite", Zapisovac());
    ASSERT_NE(novy, nullptr);
    EXPECT_NE(NajdiAPosliZpravu("Dite", 4, 0, 0), 0);
    EXPECT_EQ(SpocitejVse(*novy), 1);
}

TEST_F(KovraZpravy, KilledReceiverIsNotFound) {
    int pipa[2];
    ASSERT_EQ(pipe(pipa), 0);
    const pid_t dite = fork();
    ASSERT_GE(dite, 0);
    if (dite == 0) {
        close(pipa[0]);
        auto prijemce =
            TPrijemceZprav::Register("Zabite", [](uint32_t, int32_t, int32_t) { return 1; });
        const char stav = prijemce != nullptr ? 'A' : 'N';
        if (write(pipa[1], &stav, 1) != 1) {
            _exit(1);
        }
        for (;;) {
            pause();
        }
    }
    close(pipa[1]);
    char stav = 0;
    ASSERT_EQ(read(pipa[0], &stav, 1), 1);
    close(pipa[0]);
    ASSERT_EQ(stav, 'A');
    EXPECT_NE(NajdiAPosliZpravu("Zabite", 1, 0, 0), 0); // queued, though never handled
    kill(dite, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(dite, &status, 0), dite);
    EXPECT_EQ(NajdiAPosliZpravu("Zabite", 1, 0, 0), 0);
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("Zabite", 1, 0, 0), 0);
}

TEST_F(KovraZpravy, SendToAWindowThatNeverAnswersEndsByTheTimeLimit) {
    // Registered but its event loop never runs.
    auto prijemce = TPrijemceZprav::Register("Hluche", Zapisovac());
    ASSERT_NE(prijemce, nullptr);
    const auto od = Hodiny::now();
    EXPECT_EQ(NajdiAPosliZpravuSNavratem("Hluche", 1, 2, 3), 0);
    const double trvalo = Sekund(od);
    EXPECT_GE(trvalo, KOVRA_LIMIT_ODPOVEDI_MS / 1000.0 - 0.1);
    EXPECT_LT(trvalo, KOVRA_LIMIT_ODPOVEDI_MS / 1000.0 * 3);
    // Handling it late is harmless: the answer goes nowhere.
    EXPECT_EQ(SpocitejVse(*prijemce), 1);
}

TEST_F(KovraZpravy, PostingToAFullQueueFailsInsteadOfBlocking) {
    auto prijemce = TPrijemceZprav::Register("Plne", Zapisovac());
    ASSERT_NE(prijemce, nullptr);
    int zarazeno = 0;
    while (zarazeno < 100000 && NajdiAPosliZpravu("Plne", 9, zarazeno, 0) != 0) {
        ++zarazeno;
    }
    ASSERT_LT(zarazeno, 100000);
    ASSERT_GT(zarazeno, 0);
    // Exactly what was reported as queued arrives, in order.
    EXPECT_EQ(SpocitejVse(*prijemce), zarazeno);
    const auto prijate = Prijate();
    ASSERT_EQ(prijate.size(), static_cast<size_t>(zarazeno));
    for (int i = 0; i < zarazeno; ++i) {
        ASSERT_EQ(std::get<1>(prijate[static_cast<size_t>(i)]), i);
    }
    EXPECT_NE(NajdiAPosliZpravu("Plne", 9, -1, 0), 0); // room again
}

TEST_F(KovraZpravy, MalformedAndIdleConnectionsDoNotDisturbTheReceiver) {
    auto prijemce = TPrijemceZprav::Register("Odolne", Zapisovac());
    ASSERT_NE(prijemce, nullptr);
    const auto cesta = fXdg / "kovra" / "s.Odolne";
    const int necinne = PripojSurove(cesta); // connects and sends nothing
    ASSERT_GE(necinne, 0);
    for (size_t delka : {0UL, 1UL, 15UL, 17UL, 64UL}) {
        const int fd = PripojSurove(cesta);
        ASSERT_GE(fd, 0);
        std::vector<uint8_t> data(delka, 0x01);
        if (delka > 0) {
            ASSERT_EQ(send(fd, data.data(), data.size(), MSG_NOSIGNAL),
                      static_cast<ssize_t>(delka));
        }
        close(fd);
    }
    {
        const int fd = PripojSurove(cesta);
        ASSERT_GE(fd, 0);
        const uint32_t neznamyDruh[4] = {99, 1, 2, 3};
        ASSERT_EQ(send(fd, neznamyDruh, sizeof neznamyDruh, MSG_NOSIGNAL), 16);
        close(fd);
    }
    EXPECT_NE(NajdiAPosliZpravu("Odolne", 5, 6, 7), 0);
    EXPECT_EQ(SpocitejVse(*prijemce), 1);
    EXPECT_THAT(Prijate(), ElementsAre(Zprava{5, 6, 7}));
    {
        TPumpa pumpa(*prijemce);
        EXPECT_EQ(NajdiAPosliZpravuSNavratem("Odolne", 8, 2, 1), 2001);
    }
    close(necinne);
    EXPECT_EQ(SpocitejVse(*prijemce), 0);
}

TEST_F(KovraZpravy, FallsBackToAPrivateFolderInTmp) {
    const std::filesystem::path zaloha = "/tmp/kovra-" + std::to_string(geteuid());
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "relativni"}) {
        if (xdg == nullptr) {
            unsetenv("XDG_RUNTIME_DIR");
        } else {
            setenv("XDG_RUNTIME_DIR", xdg, 1);
        }
        auto prijemce = TPrijemceZprav::Register("KovraTestZaloha", Zapisovac());
        ASSERT_NE(prijemce, nullptr);
        EXPECT_TRUE(std::filesystem::exists(zaloha / "s.KovraTestZaloha"));
        struct stat st {};
        ASSERT_EQ(lstat(zaloha.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0700U);
        EXPECT_EQ(st.st_uid, geteuid());
        EXPECT_NE(NajdiAPosliZpravu("KovraTestZaloha", 1, 2, 3), 0);
        EXPECT_EQ(SpocitejVse(*prijemce), 1);
    }
    std::error_code chyba;
    std::filesystem::remove(zaloha / "l.KovraTestZaloha", chyba);
}

TEST_F(KovraZpravy, RuntimeFolderThatOthersCanWriteIsNotUsed) {
    ASSERT_EQ(chmod(fXdg.c_str(), 0777), 0);
    auto prijemce = TPrijemceZprav::Register("KovraTestCizi", Zapisovac());
    ASSERT_NE(prijemce, nullptr);
    EXPECT_FALSE(std::filesystem::exists(fXdg / "kovra"));
    EXPECT_NE(NajdiAPosliZpravu("KovraTestCizi", 1, 2, 3), 0);
    EXPECT_EQ(SpocitejVse(*prijemce), 1);
}

TEST_F(KovraZpravy, SocketFolderOpenToOthersIsRefused) {
    ASSERT_EQ(mkdir((fXdg / "kovra").c_str(), 0700), 0);
    ASSERT_EQ(chmod((fXdg / "kovra").c_str(), 0777), 0);
    EXPECT_EQ(TPrijemceZprav::Register("Okno", Zapisovac()), nullptr);
    // A folder replaced by a symbolic link is refused as well, even one to a safe folder.
    std::filesystem::remove(fXdg / "kovra");
    const auto jinam = fXdg / "jinam";
    ASSERT_EQ(mkdir(jinam.c_str(), 0700), 0);
    std::filesystem::create_directory_symlink(jinam, fXdg / "kovra");
    EXPECT_EQ(TPrijemceZprav::Register("Okno", Zapisovac()), nullptr);
    EXPECT_EQ(NajdiAPosliZpravu("Okno", 1, 2, 3), 0);
}

} // namespace
