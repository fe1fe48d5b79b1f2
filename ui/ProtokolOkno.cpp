#include "ProtokolOkno.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QTextDocument>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The margins of the page; the document's own CSS page rules are not Qt's.
constexpr double k_OkrajMm = 15.0;

void Vykresli(const std::string& html, QPagedPaintDevice& zarizeni) {
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    doc.setHtml(Q(html));
    doc.print(&zarizeni);
}

} // namespace

TProtokolDialog::TProtokolDialog(const std::string& objekt, const std::string& technik,
                                 QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ProtokolDialog"));
    setWindowTitle(QStringLiteral("Protokol nastavení"));
    auto* layout = new QVBoxLayout(this);
    auto* popis = new QLabel(QStringLiteral("Protokol nastavení komunikátoru pro zákazníka. Objekt "
                                            "a technik se uvedou v záhlaví (nepovinné)."),
                             this);
    popis->setWordWrap(true);
    layout->addWidget(popis);
    auto* form = new QFormLayout();
    Edt_Objekt = new QLineEdit(Q(objekt), this);
    Edt_Objekt->setObjectName(QStringLiteral("Edt_Objekt"));
    Edt_Technik = new QLineEdit(Q(technik), this);
    Edt_Technik->setObjectName(QStringLiteral("Edt_Technik"));
    Edt_Objekt->setMinimumWidth(Edt_Objekt->fontMetrics().averageCharWidth() * 40);
    form->addRow(QStringLiteral("&Objekt:"), Edt_Objekt);
    form->addRow(QStringLiteral("&Technik:"), Edt_Technik);
    layout->addLayout(form);
    auto* tlacitka = new QDialogButtonBox(this);
    Btn_UlozitPdf =
        tlacitka->addButton(QStringLiteral("Uložit &PDF"), QDialogButtonBox::AcceptRole);
    Btn_UlozitPdf->setObjectName(QStringLiteral("Btn_UlozitPdf"));
    Btn_Tisk = tlacitka->addButton(QStringLiteral("T&isk…"), QDialogButtonBox::ActionRole);
    Btn_Tisk->setObjectName(QStringLiteral("Btn_Tisk"));
    Btn_Zavrit = tlacitka->addButton(QStringLiteral("&Zavřít"), QDialogButtonBox::RejectRole);
    Btn_Zavrit->setObjectName(QStringLiteral("Btn_Zavrit"));
    Btn_UlozitPdf->setDefault(true);
    layout->addWidget(tlacitka);
    connect(Btn_UlozitPdf, &QPushButton::clicked, this, [this] { done(UlozitPdf); });
    connect(Btn_Tisk, &QPushButton::clicked, this, [this] { done(Tisk); });
    connect(Btn_Zavrit, &QPushButton::clicked, this, [this] { done(Zavrit); });
}

std::string TProtokolDialog::Objekt() const {
    return Edt_Objekt->text().trimmed().toStdString();
}

std::string TProtokolDialog::Technik() const {
    return Edt_Technik->text().trimmed().toStdString();
}

bool UlozProtokolPdf(const std::string& html, const std::string& path, std::string& why) {
    // Written beside and renamed at the end: a failure leaves no half a file.
    QSaveFile soubor(Q(path));
    if (!soubor.open(QIODevice::WriteOnly)) {
        why = soubor.errorString().toStdString();
        return false;
    }
    {
        QPdfWriter pdf(&soubor);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(k_OkrajMm, k_OkrajMm, k_OkrajMm, k_OkrajMm),
                                      QPageLayout::Millimeter));
        pdf.setResolution(300);
        pdf.setTitle(QStringLiteral("Protokol nastavení komunikátoru NORLINK"));
        pdf.setCreator(QStringLiteral("NORLINK"));
        Vykresli(html, pdf);
    }
    if (!soubor.commit()) {
        why = soubor.errorString().toStdString();
        return false;
    }
    return true;
}

void TiskniProtokol(const std::string& html, QPrinter& printer) {
    Vykresli(html, printer);
}

std::string NazevProtokolu(const std::string& folder, const std::string& stamp) {
    const auto nazev = [&](const std::string& s) { return folder + "protokol" + s + ".pdf"; };
    std::string path = nazev(stamp);
    std::error_code ignored;
    for (int n = 2; std::filesystem::exists(path, ignored); ++n) {
        path = nazev(stamp + "-" + std::to_string(n));
    }
    return path;
}
