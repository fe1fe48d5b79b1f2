#include "Hlaseni.h"

#include <QDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace {

// done() codes of the buttons start here, so that a rejected box (0) is told apart.
constexpr int k_PrvniTlacitko = 100;

QStyle::StandardPixmap Ikona(QMessageBox::Icon icon) {
    switch (icon) {
    case QMessageBox::Critical:
        return QStyle::SP_MessageBoxCritical;
    case QMessageBox::Question:
        return QStyle::SP_MessageBoxQuestion;
    case QMessageBox::Information:
    case QMessageBox::NoIcon:
        return QStyle::SP_MessageBoxInformation;
    case QMessageBox::Warning:
        break;
    }
    return QStyle::SP_MessageBoxWarning;
}

QRect Plocha(const QWidget* parent) {
    const QScreen* screen = parent != nullptr && parent->screen() != nullptr
                                ? parent->screen()
                                : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

} // namespace

int UkazHlaseni(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                const QString& text, const QString& detail, const QStringList& buttons,
                int defaultButton, int escapeButton) {
    QDialog box(parent);
    box.setObjectName(QStringLiteral("Hlaseni"));
    box.setWindowTitle(caption);
    const QRect plocha = Plocha(parent);
    auto* layout = new QGridLayout(&box);

    if (icon != QMessageBox::NoIcon) {
        auto* ikona = new QLabel(&box);
        const int velikost = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        ikona->setPixmap(
            box.style()->standardIcon(Ikona(icon), nullptr, &box).pixmap(velikost, velikost));
        layout->addWidget(ikona, 0, 0, Qt::AlignTop);
    }

    // A read-only text that looks like a label, but wraps anywhere and scrolls; it can be copied.
    auto* zprava = new QTextEdit(&box);
    zprava->setObjectName(QStringLiteral("Text"));
    zprava->setReadOnly(true);
    zprava->setFrameShape(QFrame::NoFrame);
    zprava->viewport()->setAutoFillBackground(false);
    zprava->setFocusPolicy(Qt::ClickFocus);
    zprava->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    zprava->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    zprava->setPlainText(detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail);
    layout->addWidget(zprava, 0, 1);

    auto* radek = new QHBoxLayout();
    radek->addStretch();
    for (int i = 0; i < buttons.size(); ++i) {
        auto* tlacitko = new QPushButton(buttons.at(i), &box);
        tlacitko->setObjectName(QStringLiteral("Tlacitko%1").arg(i));
        QObject::connect(tlacitko, &QPushButton::clicked, &box,
                         [&box, i] { box.done(k_PrvniTlacitko + i); });
        if (i == defaultButton) {
            tlacitko->setDefault(true);
            tlacitko->setFocus();
        }
        radek->addWidget(tlacitko);
    }
    layout->addLayout(radek, 1, 0, 1, 2);

    // As wide as its longest line up to a reading width, as tall as its text up to what leaves the
    // buttons and the window's frame on the screen.
    const QFontMetrics metriky = zprava->fontMetrics();
    QTextDocument* dokument = zprava->document();
    int nejdelsi = 0;
    for (const QString& line : zprava->toPlainText().split(QLatin1Char('\n'))) {
        nejdelsi = std::max(nejdelsi, metriky.horizontalAdvance(line));
    }
    const int sirka =
        std::clamp(nejdelsi + 2 * static_cast<int>(std::ceil(dokument->documentMargin())) + 2,
                   std::min(200, plocha.width() / 2),
                   std::min(metriky.averageCharWidth() * 80, plocha.width() * 6 / 10));
    // Measured on a copy: the widget lays its own document out for the size it has now.
    QTextDocument mereni;
    mereni.setDefaultFont(zprava->font());
    mereni.setDocumentMargin(dokument->documentMargin());
    mereni.setDefaultTextOption(dokument->defaultTextOption());
    mereni.setPlainText(zprava->toPlainText());
    mereni.setTextWidth(sirka);
    const int vyska = static_cast<int>(std::ceil(mereni.size().height()));
    const int okraje = layout->contentsMargins().top() + layout->contentsMargins().bottom() +
                       layout->verticalSpacing();
    // Room for a title bar that the window manager adds.
    const int rezerva = radek->sizeHint().height() + okraje + 4 * metriky.height();
    const int maxVyska = std::max(3 * metriky.lineSpacing(),
                                  std::min(plocha.height() * 7 / 10, plocha.height() - rezerva));
    const bool posuv = vyska > maxVyska;
    zprava->setFixedSize(sirka + (posuv ? zprava->verticalScrollBar()->sizeHint().width() : 0),
                         std::min(vyska, maxVyska));
    box.setMaximumSize(plocha.size());

    // Over the window it belongs to, as far as the screen allows.
    box.adjustSize();
    const QRect nad = parent != nullptr && parent->isVisible() ? parent->frameGeometry() : plocha;
    QRect misto(QPoint(), box.size());
    misto.moveCenter(nad.center());
    misto.moveLeft(std::clamp(misto.left(), plocha.left(), plocha.right() + 1 - misto.width()));
    misto.moveTop(std::clamp(misto.top(), plocha.top(), plocha.bottom() + 1 - misto.height()));
    box.move(misto.topLeft());

    const int vysledek = box.exec();
    return vysledek >= k_PrvniTlacitko ? vysledek - k_PrvniTlacitko : escapeButton;
}
