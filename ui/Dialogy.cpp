#include "Dialogy.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

// Never taller or wider than the screen allows.
void Omez(QDialog& dialog, QWidget* parent) {
    const QScreen* screen = parent != nullptr && parent->screen() != nullptr
                                ? parent->screen()
                                : QGuiApplication::primaryScreen();
    if (screen != nullptr) {
        const QRect plocha = screen->availableGeometry();
        dialog.resize(std::min(dialog.sizeHint().width() + 200, plocha.width() * 9 / 10),
                      std::min(dialog.sizeHint().height() + 100, plocha.height() * 9 / 10));
    }
}

} // namespace

bool UkazKontroluZapisu(QWidget* parent, const QStringList& zmeny, const QStringList& varovani,
                        const QString& souhrn) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("KontrolaZapisu"));
    dialog.setWindowTitle(QStringLiteral("Kontrola zápisu"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(QStringLiteral("Zápis změní v komunikátoru:"), &dialog));
    auto* seznam = new QPlainTextEdit(&dialog);
    seznam->setObjectName(QStringLiteral("Zmeny"));
    seznam->setReadOnly(true);
    seznam->setLineWrapMode(QPlainTextEdit::NoWrap);
    seznam->setPlainText(zmeny.join(QLatin1Char('\n')));
    layout->addWidget(seznam, 1);
    if (!varovani.isEmpty()) {
        auto* nadpis = new QLabel(QStringLiteral("Upozornění:"), &dialog);
        layout->addWidget(nadpis);
        auto* upozorneni = new QPlainTextEdit(&dialog);
        upozorneni->setObjectName(QStringLiteral("Varovani"));
        upozorneni->setReadOnly(true);
        upozorneni->setPlainText(varovani.join(QLatin1Char('\n')));
        upozorneni->setMaximumHeight(upozorneni->fontMetrics().lineSpacing() * 6);
        layout->addWidget(upozorneni);
    }
    auto* souhrnLabel = new QLabel(souhrn, &dialog);
    souhrnLabel->setObjectName(QStringLiteral("Souhrn"));
    souhrnLabel->setWordWrap(true);
    layout->addWidget(souhrnLabel);
    auto* tlacitka = new QHBoxLayout;
    tlacitka->addStretch(1);
    auto* zapsat = new QPushButton(QStringLiteral("&Zapsat"), &dialog);
    zapsat->setObjectName(QStringLiteral("Zapsat"));
    auto* zpet = new QPushButton(QStringLiteral("&Zpět"), &dialog);
    zpet->setObjectName(QStringLiteral("Zpet"));
    zapsat->setAutoDefault(false);
    zpet->setDefault(true);
    tlacitka->addWidget(zapsat);
    tlacitka->addWidget(zpet);
    layout->addLayout(tlacitka);
    QObject::connect(zapsat, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(zpet, &QPushButton::clicked, &dialog, &QDialog::reject);
    Omez(dialog, parent);
    zpet->setFocus();
    return dialog.exec() == QDialog::Accepted;
}

std::optional<int> UkazVyber(QWidget* parent, const QString& caption, const QString& prompt,
                             const QStringList& polozky) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("Vyber"));
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QLabel(prompt, &dialog);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* seznam = new QListWidget(&dialog);
    seznam->setObjectName(QStringLiteral("Polozky"));
    seznam->addItems(polozky);
    seznam->setCurrentRow(0);
    layout->addWidget(seznam, 1);
    auto* tlacitka = new QHBoxLayout;
    tlacitka->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    auto* zrusit = new QPushButton(QStringLiteral("Zrušit"), &dialog);
    ok->setDefault(true);
    tlacitka->addWidget(ok);
    tlacitka->addWidget(zrusit);
    layout->addLayout(tlacitka);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(zrusit, &QPushButton::clicked, &dialog, &QDialog::reject);
    QObject::connect(seznam, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    Omez(dialog, parent);
    if (dialog.exec() != QDialog::Accepted || seznam->currentRow() < 0) {
        return std::nullopt;
    }
    return seznam->currentRow();
}
