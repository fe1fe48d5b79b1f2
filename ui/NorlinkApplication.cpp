#include "NorlinkApplication.h"

#include "CrashReport.h"
#include "Hlaseni.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QWidget>

namespace {
void ZobrazVBoxu(const std::string& text, const std::string& soubor) {
    UkazHlaseni(QApplication::activeWindow(), QMessageBox::Critical, QString::fromUtf8("Chyba"),
                QString::fromStdString(TextHlaseniVyjimky(text, soubor)), {},
                {QStringLiteral("OK")}, 0, 0);
}
} // namespace

std::string TextHlaseniVyjimky(const std::string& text, const std::string& soubor) {
    std::string message = text;
    if (soubor.empty()) {
        message += "\n\nZprávu o chybě se nepodařilo uložit.";
    } else {
        message += "\n\nZpráva o chybě byla uložena do souboru " + soubor + ".";
    }
    return message;
}

TNorlinkApplication::TNorlinkApplication(int& argc, char** argv)
    : QApplication(argc, argv), fZobrazeni(ZobrazVBoxu) {
    // Qt's own texts (file dialogs, standard buttons, context menus) in Czech like the rest of
    // the program, whatever the desktop's language.
    auto* qt = new QTranslator(this);
    if (qt->load(QStringLiteral("qtbase_cs"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installTranslator(qt);
        fCeskyQt = true;
    }
}

bool TNorlinkApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        OhlasVyjimku();
    }
    return false;
}

void TNorlinkApplication::OhlasVyjimku() {
    ++fPocetChyb;
    const TPopisVyjimky popis = PopisAktualniVyjimky();
    const bool written = ZapisHlaseniVyjimky(popis.Typ, popis.Text);
    if (fZobrazeni) {
        // A failure while showing the report must not take the program down with it.
        try {
            fZobrazeni(popis.Text, written ? SouborHlaseniChyb() : std::string());
        } catch (...) {
        }
    }
}
