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
    void Odpoj() {
        fLine->HangUp();
        fTimer->Pump();
        fOkno.RunPlanned();
    }
    // The window's watch timer until the port is open; how long it took.
    std::chrono::milliseconds HlidejDoOtevreni(std::chrono::milliseconds limit = 5s) {
        std::chrono::milliseconds uplynulo{0};
        for (; !fRelace->PortOtevren() && uplynulo < limit; uplynulo += 250ms) {
            fCas += 250ms;
            fRelace->Hlidej();
        }
        return uplynulo;
    }
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

TEST_F(Relace, LostDeviceIsOpenedAgainWithinOneLookOfItsReturnAndNothingResumes) {
    fStroj->Usb = TUsbId{0x1a86, 0x7523};
    ASSERT_TRUE(fRelace->Otevri(3, {{3, "/dev/ttyUSB0"}}, 4800));
    ASSERT_EQ(Spust<TCteniTelCisel>(), TSpusteni::Zahajena);
    Odpoj();
    ASSERT_TRUE(fRelace->CekaNaNavrat());
    // Away for two seconds: looked for every half second; back, opened at the next look.
    EXPECT_EQ(HlidejDoOtevreni(2s), 2s);
    EXPECT_EQ(fStroj->Hledani, std::vector(4, TOtiskPrevodniku{"/dev/ttyUSB0", "", fStroj->Usb}));
    EXPECT_EQ(fNavraty, 0);
    fStroj->Vraceny = "/dev/ttyUSB1";
    EXPECT_LE(HlidejDoOtevreni(), k_PohledNaNavrat);
    EXPECT_EQ(fRelace->Link().Com().LastDevicePath(), "/dev/ttyUSB1");
    EXPECT_EQ(fNavraty, 1);
    // The cancelled operation stays cancelled; a poll finds nothing to send.
    EXPECT_FALSE(fRelace->BeziOperace());
    Prijmi(prijem_test::Poll());
    EXPECT_TRUE(fLine->Written().empty());

    // Lost again, it is looked for, and opened, where it was last.
    Odpoj();
    EXPECT_LE(HlidejDoOtevreni(), k_PohledNaNavrat);
    EXPECT_EQ(fStroj->Hledani.back().Cesta, "/dev/ttyUSB1");
    EXPECT_EQ(fLine->OpenedPath, "/dev/ttyUSB1");
    EXPECT_EQ(fNavraty, 2);
}

TEST_F(Relace, AnotherPortEndsTheWaitAFailedOpenOfTheSameDeviceDoesNotAndTheCliNeverWaits) {
    // The owner wants the port back (the window, not norlink-cli); the port opened next (none);
    // whether it opens; whether the session looks on.
    for (const auto& [navrat, path, opens, waits] :
         {std::tuple{true, "/dev/ttyUSB0", false, true},
          std::tuple{true, "/dev/ttyS0", false, false}, std::tuple{true, "/dev/ttyS0", true, false},
          std::tuple{false, "", false, false}}) {
        SCOPED_TRACE(path);
        VytvorRelaci(navrat);
        fLine->FailOpen = false;
        ASSERT_TRUE(fRelace->Otevri("/dev/ttyUSB0", {}, 4800));
        Odpoj();
        fLine->FailOpen = !opens;
        if (*path != '\0') {
            EXPECT_EQ(fRelace->Otevri(path, {}, 4800), opens);
        }
        EXPECT_EQ(fRelace->CekaNaNavrat(), waits);
        const std::size_t pohledy = fStroj->Hledani.size();
        fCas += 1s;
        fRelace->Hlidej();
        EXPECT_EQ(fStroj->Hledani.size(), pohledy + (waits ? 1U : 0U));
    }
}

TEST_F(Relace, BrlttyIsNamedWhenAMissingOrLostPortMayBeItsDoing) {
    fStroj->Brltty = true;
    fLine->FailOpen = true;
    fLine->FailKind = TChybaPortu::Obsazen;
    ASSERT_FALSE(fRelace->Otevri("/dev/ttyUSB0", {}, 4800));
    EXPECT_THAT(fRelace->PopisChyby(), Not(HasSubstr(R_BrlttyBere))) << "held, not missing";
    // Lost, the adapter is asked about by its USB id.
    fStroj->Usb = TUsbId{0x1a86, 0x7523};
    fLine->FailOpen = false;
    ASSERT_TRUE(fRelace->Otevri("/dev/ttyUSB0", {}, 4800));
    Odpoj();
    EXPECT_THAT(fRelace->PopisChyby(), HasSubstr(R_BrlttyBere));
    EXPECT_EQ(fStroj->DotazBrltty, fStroj->Usb);
    fStroj->Brltty = false;
    EXPECT_THAT(fRelace->PopisChyby(), Not(HasSubstr(R_BrlttyBere)));
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
        EXPECT_THAT(detail, Not(HasSubstr("brltty")));
        EXPECT_EQ(PopisChybyPortu("/dev/ttyUSB0", "důvod", row.Kind, true),
                  detail + "\n" + std::string(R_BrlttyBere));
    }
    EXPECT_THAT(std::string(R_BrlttyBere),
                AllOf(HasSubstr("sudo apt remove brltty"),
                      HasSubstr("sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules")));
}

} // namespace
