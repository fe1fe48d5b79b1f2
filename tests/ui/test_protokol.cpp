// The handover report from the window: after a phone and a settings read (answered from a memory
// image at the decoders), "Protokol…" saves an A4 PDF into the exports' folder whose text holds
// the numbers, texts, identification, site and technician; printing renders the same; the site and
// technician are remembered; the dialog's buttons give their choice.

#include "Main.h"
#include "ProgramRun.h"
#include "ProtokolOkno.h"
#include "QtTimer.h"
#include "soubory/Protokol.h"
#include "stav/AdresyPameti.h"
#include "stav/promenne.h"

#include "FakeSerialPort.h"

#include <QAction>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <deque>
#include <regex>

namespace {

using namespace program_run;
using ::testing::HasSubstr;
using ::testing::Not;

// Standard output of a command (poppler's tools).
std::string Vystup(const std::string& prikaz) {
    std::string out;
    FILE* p = ::popen(prikaz.c_str(), "r");
    if (p == nullptr) {
        return out;
    }
    std::array<char, 4096> buffer{};
    for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), p)) > 0;) {
        out.append(buffer.data(), n);
    }
    ::pclose(p);
    return out;
}

// The PDF's text with every run of white space (line and page breaks of the layout) as one space.
std::string TextPdf(const fs::path& pdf) {
    return std::regex_replace(Vystup("pdftotext -enc UTF-8 '" + pdf.string() + "' -"),
                              std::regex("[ \\t\\n\\f\\r]+"), " ");
}

// The window with the report's dialogs and the boxes answered by the test.
class TProtokolFrm : public TFrm_Main {
public:
    using TFrm_Main::TFrm_Main;
    int DialogProtokolu(std::string& objekt, std::string& technik) override {
        Nabidnuto.emplace_back(objekt, technik);
        objekt = Objekt;
        technik = Technik;
        return Volba;
    }
    bool DialogTisku(QPrinter& printer) override {
        if (Tisk.empty()) {
            return false;
        }
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(Tisk));
        return true;
    }
    void Chyba(const std::string& text) override { Chyby.push_back(text); }
    void Zprava(const std::string& text, const std::string& detail) override {
        Zpravy.emplace_back(text, detail);
    }
    void Varovani(const std::string& text, const std::string&) override { Chyby.push_back(text); }

    int Volba = TProtokolDialog::UlozitPdf;
    std::string Objekt;
    std::string Technik;
    std::string Tisk;
    std::vector<std::pair<std::string, std::string>> Nabidnuto;
    std::vector<std::string> Chyby;
    std::vector<std::pair<std::string, std::string>> Zpravy;
};

void Zapis(std::vector<std::uint8_t>& pamet, std::uint16_t adresa, std::string_view bajty) {
    std::copy(bajty.begin(), bajty.end(), pamet.begin() + adresa);
}

class OknoProtokol : public ::testing::Test {
protected:
    OknoProtokol() {
        InicializujNORLINKRec(NORLINKRec);
        NORLINKRecNew = NORLINKRec;
        TMainZavislosti deps;
        const std::string dir = fDir.Path().string() + "/";
        deps.SlozkaProgramu = [dir] { return dir; };
        deps.VytvorCasovac = [] { return std::make_unique<TQtTimer>(); };
        deps.VytvorPort = [this] { return std::make_unique<FakeSerialPort>(fLine); };
        fFrm = std::make_unique<TProtokolFrm>(std::move(deps));
        fFrm->FormCreate();
        fFrm->VytvorInfoForm();

        // The device: numbers 1 and 3, expander 1 with both texts, its input 2 on switch-on.
        std::fill(fPamet.begin(), fPamet.end(), 0xFF);
        for (std::uint8_t k = 0; k < 16; ++k) {
            Zapis(fPamet, AdresaTelCisla(k), std::string(16, '\0'));
        }
        Zapis(fPamet, AdresaTelCisla(0), "603111222");
        Zapis(fPamet, AdresaTelCisla(2), "604555666");
        Zapis(fPamet, AdresaExpanderu(0, 0), std::string("\x00\x02", 2));
        Zapis(fPamet, AdresaExpanderu(0, 1), std::string("Porucha expanderu 1\0", 20));
        Zapis(fPamet, AdresaExpanderu(0, 16), std::string("\x02", 1));
        Zapis(fPamet, AdresaExpanderu(0, 17), std::string("Komunikace obnovena\0", 20));
        Zapis(fPamet, AdresaVstupu(0, 1, 0), std::string("\x00", 1));
        Zapis(fPamet, AdresaVstupu(0, 1, 1),
              std::string("Dve\xF8"
                          "e otev\xF8"
                          "eny\0",
                          15));
    }
    ~OknoProtokol() override {
        fFrm->close();
        fFrm.reset();
        InicializujNORLINKRec(NORLINKRec);
        NORLINKRecNew = NORLINKRec;
        HWTYP.Clear();
        VERSW.Clear();
        VERHW.Clear();
    }
    // Answers whatever is queued from the memory, the identification texts in their order.
    void Obsluhuj() {
        TKomunikace& kom = *fFrm->Logika().Link();
        static const std::array<std::string, 3> k_Ident{"NL TEST 7", "SW 2.01", "HW 1.3"};
        std::size_t ident = 0;
        for (int i = 0; i < 5000 && kom.PocetZaznamuFronty() > 0; ++i) {
            const auto dotaz = kom.ZaznamFronty(0);
            ASSERT_TRUE(dotaz.has_value());
            THlavickaTLG h;
            h.Adresa = dotaz->Adresa;
            std::vector<std::uint8_t> data(16, 0);
            if (dotaz->TypPameti == HWSW) {
                const std::string& t = k_Ident.at(ident++ % 3);
                std::copy(t.begin(), t.end(), data.begin());
                fFrm->Logika().Relace()->DekodTLGHWSW(h, data);
            } else {
                std::copy_n(fPamet.begin() + dotaz->Adresa, 16, data.begin());
                fFrm->Logika().Relace()->DekodTLGZaznam(h, data);
            }
        }
        QCoreApplication::processEvents();
    }
    void Precti() {
        fFrm->Btn_NactiTelCislaClick();
        Obsluhuj();
        fFrm->Btn_NactiExpanderyClick();
        Obsluhuj();
        ASSERT_FALSE(fFrm->Logika().BeziOperace());
        ASSERT_EQ(NORLINKRecNew.TelCisla[2], "604555666");
    }
    QAction* Protokol() const { return fFrm->findChild<QAction*>(QStringLiteral("cmProtokol")); }

    TTempDir fDir;
    std::shared_ptr<FakeLine> fLine = std::make_shared<FakeLine>();
    std::unique_ptr<TProtokolFrm> fFrm;
    std::vector<std::uint8_t> fPamet = std::vector<std::uint8_t>(0x10000);
};

TEST_F(OknoProtokol, SavesAnA4PdfOfWhatWasReadIntoTheExportsFolder) {
    Precti();
    fFrm->Objekt = "Sklad Žižkov";
    fFrm->Technik = "Jan Novák";
    ASSERT_NE(Protokol(), nullptr);
    Protokol()->trigger();
    ASSERT_TRUE(fFrm->Chyby.empty()) << fFrm->Chyby.at(0);
    ASSERT_EQ(fFrm->Zpravy.size(), 1U);
    EXPECT_EQ(fFrm->Zpravy[0].first, "Protokol byl uložen.");
    const fs::path pdf = fFrm->Zpravy[0].second;
    EXPECT_EQ(pdf.parent_path(), fDir.Path()) << "a copy in its own folder keeps exports there";
    EXPECT_TRUE(std::regex_match(pdf.filename().string(), std::regex("protokol[0-9]{16,17}\\.pdf")))
        << pdf;
    ASSERT_TRUE(fs::exists(pdf));

    const std::string info = Vystup("pdfinfo '" + pdf.string() + "'");
    EXPECT_THAT(info, HasSubstr("(A4)")) << info;
    const std::string text = TextPdf(pdf);
    for (const char* co :
         {"Protokol nastavení komunikátoru NORLINK", "Sklad Žižkov", "Jan Novák", "NL TEST 7",
          "SW 2.01", "HW 1.3", "603111222", "604555666", "Porucha expanderu 1",
          "Komunikace obnovena", "Dveře otevřeny", "Shoduje se s tím, co bylo z komunikátoru"}) {
        EXPECT_THAT(text, HasSubstr(co)) << text;
    }
    EXPECT_THAT(text, Not(HasSubstr("neznámé"))) << "everything shown was read";
    // The checksum of the configuration that the window holds.
    EXPECT_THAT(text, HasSubstr(KontrolniSoucet(NORLINKRecNew, fFrm->Logika().ZnamaData())));
    EXPECT_THAT(ReadFile(fDir.Path() / "norlink.ini"),
                HasSubstr("[Protokol]\nObjekt=Sklad Žižkov\nTechnik=Jan Novák\n"));
}

TEST_F(OknoProtokol, PrintsTheSameAndOffersWhatWasLastEntered) {
    Precti();
    fFrm->Objekt = "Sklad 1";
    fFrm->Technik = "Eva";
    Protokol()->trigger();
    ASSERT_EQ(fFrm->Zpravy.size(), 1U);

    // Printing, onto a PDF printer, with the site changed.
    fFrm->Volba = TProtokolDialog::Tisk;
    fFrm->Objekt = "Sklad 2";
    fFrm->Tisk = (fDir.Path() / "tisk.pdf").string();
    Protokol()->trigger();
    ASSERT_EQ(fFrm->Nabidnuto.size(), 2U);
    EXPECT_EQ(fFrm->Nabidnuto[1], std::make_pair(std::string("Sklad 1"), std::string("Eva")));
    EXPECT_EQ(fFrm->Zpravy.size(), 1U) << "printing says nothing";
    ASSERT_TRUE(fs::exists(fFrm->Tisk));
    EXPECT_THAT(Vystup("pdfinfo '" + fFrm->Tisk + "'"), HasSubstr("(A4)"));
    const std::string text = TextPdf(fFrm->Tisk);
    EXPECT_THAT(text, HasSubstr("Sklad 2"));
    EXPECT_THAT(text, HasSubstr("603111222"));
    EXPECT_THAT(text, HasSubstr("Dveře otevřeny"));

    // A cancelled print dialog and a closed report dialog leave nothing behind.
    fs::remove(fFrm->Tisk);
    fFrm->Tisk.clear();
    Protokol()->trigger();
    fFrm->Volba = TProtokolDialog::Zavrit;
    fFrm->Objekt = "Nepoužito";
    Protokol()->trigger();
    EXPECT_FALSE(fs::exists(fDir.Path() / "tisk.pdf"));
    EXPECT_EQ(fFrm->Nabidnuto.back().first, "Sklad 2");
    EXPECT_THAT(ReadFile(fDir.Path() / "norlink.ini"), Not(HasSubstr("Nepoužito")));
    std::size_t pdf = 0;
    for (const auto& f : fs::directory_iterator(fDir.Path())) {
        pdf += f.path().extension() == ".pdf" ? 1 : 0;
    }
    EXPECT_EQ(pdf, 1U);
}

TEST_F(OknoProtokol, ShowsTheGridsNumbersAndSaysWhatIsNotWritten) {
    Precti();
    // A number typed into the grid and a recipient added, neither written.
    fFrm->SetCellText(TMrizka::Hg_PhoneNumbers, 1, 2, "605000111");
    fFrm->Logika().MrizkaCellEdited(TMrizka::Hg_PhoneNumbers, 1, 2);
    NORLINKRecNew.TelCislaObnovaKom[0][1] = 1;
    Protokol()->trigger();
    ASSERT_EQ(fFrm->Zpravy.size(), 1U);
    const std::string text = TextPdf(fFrm->Zpravy[0].second);
    EXPECT_THAT(text, HasSubstr("Stav " + std::string(R_Protokol_Zmeny)));
    // In the list of numbers and among the restoration's recipients.
    const std::regex cislo("605000111");
    EXPECT_EQ(std::distance(std::sregex_iterator(text.begin(), text.end(), cislo),
                            std::sregex_iterator()),
              2)
        << text;
    EXPECT_THAT(text, Not(HasSubstr("Shoduje se")));
}

TEST_F(OknoProtokol, BeforeAnyReadEverythingIsNamedUnknown) {
    Protokol()->trigger();
    ASSERT_EQ(fFrm->Zpravy.size(), 1U);
    const std::string text = TextPdf(fFrm->Zpravy[0].second);
    EXPECT_THAT(text, HasSubstr("neznámé – nenačteno z komunikátoru"));
    EXPECT_THAT(text, HasSubstr(std::string(R_Protokol_Nenacteno)));
    EXPECT_THAT(text, Not(HasSubstr("nevyplněno")));
}

TEST(ProtokolPdf, IsWrittenWholeOrNotAtAll) {
    TTempDir dir;
    std::string why;
    const fs::path chybi = dir.Path() / "chybi" / "p.pdf";
    EXPECT_FALSE(UlozProtokolPdf("<p>x</p>", chybi.string(), why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(fs::exists(chybi.parent_path()));

    const fs::path ok = dir.Path() / "p.pdf";
    ASSERT_TRUE(UlozProtokolPdf("<h1>Příliš žluťoučký kůň</h1>", ok.string(), why)) << why;
    EXPECT_THAT(TextPdf(ok), HasSubstr("Příliš žluťoučký kůň"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1)
        << "no temporary file left";
    EXPECT_EQ(NazevProtokolu(dir.Path().string() + "/", "20261209120000123"),
              dir.Path().string() + "/protokol20261209120000123.pdf");
    fs::copy_file(ok, dir.Path() / "protokol20261209120000123.pdf");
    EXPECT_EQ(NazevProtokolu(dir.Path().string() + "/", "20261209120000123"),
              dir.Path().string() + "/protokol20261209120000123-2.pdf");
}

struct TTlacitko {
    const char* Nazev;
    QPushButton* TProtokolDialog::*Tlacitko;
    int Volba;
};

class ProtokolDialog : public ::testing::TestWithParam<TTlacitko> {};

TEST_P(ProtokolDialog, ShowsTheRememberedValuesAndEndsWithItsButtonsChoice) {
    TProtokolDialog dialog("Sklad", " Jan ");
    EXPECT_EQ(dialog.Edt_Objekt->text(), "Sklad");
    dialog.Edt_Objekt->setText(QString::fromUtf8("  Dům č. 5 "));
    dialog.show();
    QTest::mouseClick(dialog.*(GetParam().Tlacitko), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), GetParam().Volba);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.Objekt(), "Dům č. 5");
    EXPECT_EQ(dialog.Technik(), "Jan");
}

INSTANTIATE_TEST_SUITE_P(
    Tlacitka, ProtokolDialog,
    ::testing::Values(TTlacitko{"Pdf", &TProtokolDialog::Btn_UlozitPdf, TProtokolDialog::UlozitPdf},
                      TTlacitko{"Tisk", &TProtokolDialog::Btn_Tisk, TProtokolDialog::Tisk},
                      TTlacitko{"Zavrit", &TProtokolDialog::Btn_Zavrit, TProtokolDialog::Zavrit}),
    [](const auto& info) { return std::string(info.param.Nazev); });

} // namespace
