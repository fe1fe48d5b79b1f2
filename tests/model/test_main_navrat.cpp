// A pulled adapter seen by the window's logic: the status bar, the log, the menu and one warning
// say it went; the watch timer opens it again when it returns, and they say so, with nothing that
// ran starting again.

#include "LogikaRig.h"

#include <gmock/gmock.h>

namespace {

using ::testing::EndsWith;
using namespace std::chrono_literals;

class MainNavrat : public TLogikaRig {
protected:
    void Odpoj() {
        fLine->HangUp();
        fTimer->Pump();
        fOkno.RunPlanned();
    }
    // The window's watch timer for the time given.
    void Hlidej(std::chrono::milliseconds doba) {
        for (auto t = 0ms; t < doba; t += std::chrono::milliseconds(k_HlidaniMs)) {
            fCas += std::chrono::milliseconds(k_HlidaniMs);
            fHlidac->Pump();
        }
    }
    std::string Zaznam() { return std::string((*fLogika->Log())[0].Message()); }
};

TEST_F(MainNavrat, ReturnedAdapterIsOpenedAgainAndTheWindowSaysSo) {
    Spust();
    fLogika->Btn_NactiTelCislaClick();
    Odpoj();
    ASSERT_EQ(fOkno.Warnings.size(), 1U);
    EXPECT_EQ(fOkno.PanelText(0), "COM2 – nepřipojeno (čeká se na převodník)");
    EXPECT_THAT(Zaznam(), ::testing::HasSubstr("Převodník byl odpojen: COM2 – /dev/ttyS1 ("));

    fStroj->Vraceny = "/dev/ttyUSB3";
    Hlidej(k_PohledNaNavrat);
    ASSERT_TRUE(fLogika->PortOtevren());
    EXPECT_EQ(fOkno.PanelText(0), "Převodník je opět připojen: COM2 – /dev/ttyUSB3");
    EXPECT_THAT(Zaznam(), EndsWith("Převodník je opět připojen: COM2 – /dev/ttyUSB3"));
    EXPECT_EQ(fOkno.Ticks(), "01000000000");
    EXPECT_EQ(fOkno.Warnings.size(), 1U) << "no box for the good news";
    EXPECT_FALSE(fLogika->BeziOperace()) << "the cut read stays cancelled";
}

} // namespace
