// The window's driver timer over a real pseudo-terminal: bytes are taken when they arrive, not
// on the periodic tick, so an answer and the next poll that follow each other closely are both
// handled.

#include "../link/PrijemFixture.h"
#include "PtyPair.h"
#include "QtTimer.h"
#include "telegram/modem.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;
using prijem_test::Poll;
using prijem_test::Response;
using prijem_test::Sixteen;

class PrijemNotifier : public testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(fPty.Ok()) << fPty.Error();
        fKom.NastavObsluhuPrijetiDat(fPrijem.Obsluha());
        fKom.Initialize();
        // A tick far apart: what is read in time was read on arrival.
        fKom.Com().SetPollingDelay(1000);
        fKom.Com().SetPortName(fPty.SlavePath());
        fKom.NastavAdresoveLimity(0, 0xFFFF);
        ASSERT_TRUE(fKom.NavazSpojeni(4800)) << fKom.Com().LastError();
        fKom.VytvorTLG(PC, MDM, Cteni, HWSW, NORLINK_Z_HWTYP);
    }
    // Runs the event loop until the program has sent count bytes, for at most the limit.
    std::vector<std::uint8_t> Odeslano(std::size_t count, std::chrono::milliseconds limit) {
        std::vector<std::uint8_t> out;
        const auto konec = std::chrono::steady_clock::now() + limit;
        while (out.size() < count && std::chrono::steady_clock::now() < konec) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            std::uint8_t buf[256];
            const ssize_t n = ::read(fPty.Master(), buf, sizeof buf);
            if (n > 0) {
                out.insert(out.end(), buf, buf + n);
            }
        }
        return out;
    }

    PtyPair fPty;
    prijem_test::TRecordingDecoder fDekoder;
    TComLog fLog{[] { return std::chrono::system_clock::time_point{}; }, "C"};
    TKomunikace fKom{std::make_unique<TQtTimer>()};
    TPrijemTLG fPrijem{fKom, fDekoder, fLog};
};

TEST_P(PrijemNotifier, AnAnswerAndThePollRightAfterItAreBothHandled) {
    const auto request = prijem_test::Bytes("FF A5 14 3F 02 06 70 00 0C 84");
    ASSERT_TRUE(fPty.Write(Poll()));
    ASSERT_EQ(Odeslano(request.size(), 300ms), request);

    ASSERT_TRUE(fPty.Write(Response(HWSW, 0x0C00, Sixteen(0x30))));
    std::this_thread::sleep_for(std::chrono::milliseconds(GetParam()));
    ASSERT_TRUE(fPty.Write(Poll()));
    // The line time of the first transmission and the guard, then the answer: well within a tick.
    EXPECT_EQ(Odeslano(request.size(), 300ms), request);
    ASSERT_EQ(fDekoder.Calls.size(), 1u);
    EXPECT_EQ(fDekoder.Led.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(OdstupMs, PrijemNotifier, testing::Values(0, 2, 5));

} // namespace
