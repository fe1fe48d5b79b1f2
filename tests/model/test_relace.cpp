// The session with the communicator on a fake port, a manual driver timer and a clock the test
// sets: answers reach the one running operation, its end reaches its starter, the watch on a
// quiet device, the lost port, and the wording of port errors.

#include "OperaceRig.h"
#include "operace/Cteni.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

// The operations are the program's own, on the small device; the port opens in each test.
class Relace : public TOperaceRig {
protected:
    Relace() : TOperaceRig(false) {}
};

TEST_F(Relace, AnswersGoToTheRunningOperationAndItsResultToWhoStartedIt) {
    EXPECT_EQ(Komunikace, &fRelace->Link());
    EXPECT_EQ(ComLog, &fRelace->Log());
    EXPECT_EQ(Spust<TCteniTelCisel>(), TSpusteni::Nezahajena) << "no port open";
    ASSERT_TRUE(fRelace->Otevri("/dev/ttyUSB4", {}, 4800));
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyUSB4");

    std::ranges::copy(std::string_view("NORLINK"), fHwsw.begin() + 0x0C00);
    Prijmi(prijem_test::Response(HWSW, 0x0C00, Data({HWSW, 0x0C00}))); // none runs: dropped
    EXPECT_EQ(Spust<TCteniNastaveni>(TRozsahCteni{false, 1, 7, 7}), TSpusteni::Nezahajena)
        << "refused by its Start";
    ASSERT_EQ(Spust<TCteniTelCisel>(), TSpusteni::Zahajena);
    EXPECT_TRUE(fPovoleni.BeziOperace());
    EXPECT_EQ(Spust<TCteniTelCisel>(), TSpusteni::Nezahajena) << "one at a time";
    EXPECT_TRUE(HWTYP.empty());
    fCas += 5s;
    Prijmi(prijem_test::Response(HWSW, 0x0C00, Data({HWSW, 0x0C00})));
    EXPECT_EQ(fRelace->PosledniOdpoved(), fCas);
    EXPECT_EQ(HWTYP.View().substr(0, 7), "NORLINK");
    EXPECT_FALSE(fKonec);
    Odpovidej();

    EXPECT_EQ(fKonec, TStavOperace::Hotovo);
    EXPECT_TRUE(std::holds_alternative<TPrectenaCisla>(fVysledek.value()));
    EXPECT_FALSE(fRelace->BeziOperace());
    EXPECT_FALSE(fPovoleni.BeziOperace());

    fRelace.reset();
    EXPECT_EQ(Komunikace, nullptr);
    EXPECT_EQ(ComLog, nullptr);
    EXPECT_FALSE(fLine->IsOpen);
}

TEST_F(Relace, QuietDeviceIsShownAfterThreeSecondsAndPollsBringTheLabelBack) {
    ASSERT_TRUE(fRelace->Otevri(2, {}, 4800));
    ASSERT_EQ(Spust<TCteniTelCisel>(), TSpusteni::Zahajena);
    const std::string stitek = fOkno.Info.Label;
    fCas += k_TichoPoVyzve - 1ms;
    fRelace->Hlidej();
    EXPECT_EQ(fOkno.Info.Label, stitek);
    fCas += 1ms;
    fRelace->Hlidej();
    EXPECT_EQ(fOkno.Info.Label, R_KomunikatorNeodpovida);

    Prijmi(prijem_test::Poll());
    EXPECT_TRUE(fOkno.Led);
    EXPECT_EQ(fOkno.Info.Label, stitek);
    fCas += k_TichoPoVyzve - 1ms;
    fRelace->Hlidej();
    EXPECT_EQ(fOkno.Info.Label, stitek) << "the poll started the count again";

    fRelace->Zrus();
    EXPECT_EQ(fKonec, TStavOperace::Zrusena);
    fCas += 1h;
    fRelace->Hlidej();
    EXPECT_EQ(fOkno.Info.Label, stitek) << "no watch without an operation";
}

TEST_F(Relace, LostPortEndsTheOperationOutsideTheDriversTickAndTellsTheOwnerOnce) {
    fLine->FailReason = "Vstupně-výstupní chyba";
    ASSERT_TRUE(fRelace->Otevri(3, {{3, "/dev/ttyACM0"}}, 4800));
    ASSERT_EQ(Spust<TCteniTelCisel>(), TSpusteni::Zahajena);
    fLine->HangUp();
    fTimer->Pump();
    EXPECT_TRUE(fRelace->BeziOperace()) << "not inside the tick";
    fOkno.RunPlanned();
    fTimer->Pump();
    fOkno.RunPlanned();

    EXPECT_EQ(fKonec, TStavOperace::Zrusena);
    EXPECT_FALSE(fRelace->BeziOperace());
    EXPECT_EQ(fZtraty, 1);
    EXPECT_TRUE(fRelace->PortZtracen());
    EXPECT_THAT(fRelace->PopisChyby(), HasSubstr("/dev/ttyACM0"));
    EXPECT_EQ(Spust<TCteniTelCisel>(), TSpusteni::Nezahajena);

    // A loss posted just before the session ends finds nothing to call.
    fLine->HungUp = false;
    ASSERT_TRUE(fRelace->Otevri(3, {{3, "/dev/ttyACM0"}}, 4800));
    EXPECT_FALSE(fRelace->PortZtracen());
    fLine->HangUp();
    fTimer->Pump();
    ASSERT_FALSE(fOkno.Planned.empty());
    fRelace.reset();
    fOkno.RunPlanned();
    EXPECT_EQ(fZtraty, 1);
}

TEST(PopisChybyPortu, SaysWhatToDoForEachCategory) {
    struct TRow {
        TChybaPortu Kind;
        const char* Hint; // what to do, or nullptr
    };
    for (const TRow& row :
         {TRow{TChybaPortu::BezOpravneni, "dialout"}, TRow{TChybaPortu::Neexistuje, "[Porty]"},
          TRow{TChybaPortu::Obsazen, "ModemManager"}, TRow{TChybaPortu::Jina, nullptr}}) {
        const std::string detail = PopisChybyPortu("/dev/ttyUSB0", "důvod", row.Kind);
        EXPECT_THAT(detail, AllOf(HasSubstr("/dev/ttyUSB0"), HasSubstr("důvod")));
        for (const char* other : {"dialout", "ModemManager"}) {
            if (row.Hint == nullptr || std::string(row.Hint) != other) {
                EXPECT_THAT(detail, Not(HasSubstr(other))) << static_cast<int>(row.Kind);
            }
        }
        if (row.Hint != nullptr) {
            EXPECT_THAT(detail, HasSubstr(row.Hint)) << static_cast<int>(row.Kind);
        }
    }
}

} // namespace
