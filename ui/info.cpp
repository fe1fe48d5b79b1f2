#include "info.h"

#include "Meritko.h"
#include "text/Prubeh.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <chrono>

namespace {
QProgressBar* MakeBar(QWidget* parent, const QRect& geometry, const char* name) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setGeometry(geometry);
    bar->setRange(0, 12);
    bar->setValue(1);
    bar->setTextVisible(false);
    bar->setVisible(false);
    return bar;
}
} // namespace

TInfoForm::TInfoForm(QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("InfoForm"));
    setWindowTitle(QString());
    const TMeritko m(font());

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(1);
    Panel1->setGeometry(m.Rect(8, 8, 225, 49));

    Lbl_Text = new QLabel(Panel1);
    Lbl_Text->setObjectName(QStringLiteral("Lbl_Text"));
    QFont bold = Lbl_Text->font();
    bold.setBold(true);
    Lbl_Text->setFont(bold);
    Lbl_Text->setText(QString::fromUtf8("Provádí se výpočet tabulky..."));
    // As wide as the bars below it, so the longest operation text fits.
    Lbl_Text->setGeometry(m.X(8), m.Y(12) - m.Y(6), m.Rect(8, 29, 209, 8).width(),
                          Lbl_Text->sizeHint().height());

    Pgb_Horni = MakeBar(Panel1, m.Rect(8, 29, 209, 8), "Pgb_Horni");
    Pgb_Dolni = MakeBar(Panel1, m.Rect(8, 37, 209, 8), "Pgb_Dolni");
    Lbl_Prubeh = new QLabel(Panel1);
    Lbl_Prubeh->setObjectName(QStringLiteral("Lbl_Prubeh"));

    Btn_Prerusit = new QPushButton(QString::fromUtf8("Přerušit"), this);
    Btn_Prerusit->setObjectName(QStringLiteral("Btn_Prerusit"));
    Btn_Prerusit->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    Btn_Prerusit->setGeometry(m.Rect(80, 64, 75, 25));
    Btn_Prerusit->setVisible(false);
    connect(Btn_Prerusit, &QPushButton::clicked, this, [this] { Btn_PrerusitClick(); });

    // The dialog sees keys before its controls do.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
    Rozvrhni();
    FormCreate();
}

void TInfoForm::Rozvrhni() {
    // The designed places, made wider for a longer text and taller for the progress line, so
    // that no text is ever cut.
    const TMeritko m(font());
    const int sirka =
        std::max({m.X(209), Lbl_Text->sizeHint().width(), Lbl_Prubeh->sizeHint().width()});
    const int vyskaTextu =
        std::max(Lbl_Text->sizeHint().height(), Lbl_Text->fontMetrics().height());
    Lbl_Text->setGeometry(m.X(8), m.Y(6), sirka, vyskaTextu);
    const int y = std::max(m.Y(29), Lbl_Text->geometry().bottom() + 1 + m.Y(2));
    Pgb_Horni->setGeometry(m.X(8), y, sirka, m.Y(8));
    Pgb_Dolni->setGeometry(m.X(8), y + m.Y(8), sirka, m.Y(8));
    Lbl_Prubeh->setGeometry(m.X(8), Pgb_Dolni->geometry().bottom() + 1 + m.Y(3), sirka,
                            Lbl_Prubeh->fontMetrics().height());
    Panel1->setGeometry(m.X(8), m.Y(8), sirka + m.X(16),
                        Lbl_Prubeh->geometry().bottom() + 1 + m.Y(4));
    const QRect panel = Panel1->geometry();
    fBezTlacitka = QSize(panel.right() + 1 + m.X(3), panel.bottom() + 1 + m.Y(4));
    Btn_Prerusit->move((fBezTlacitka.width() - Btn_Prerusit->width()) / 2,
                       fBezTlacitka.height() + m.Y(3));
    fSTlacitkem = QSize(fBezTlacitka.width(), Btn_Prerusit->geometry().bottom() + 1 + m.Y(8));
    const QPoint stred = frameGeometry().center();
    setFixedSize(PrerusitVisible() ? fSTlacitkem : fBezTlacitka);
    if (isVisible()) {
        // Grown or shrunk about its centre.
        QRect frame = frameGeometry();
        frame.moveCenter(stred);
        move(frame.topLeft());
    }
}

void TInfoForm::ObnovPrubeh() {
    const auto uplynulo =
        std::chrono::milliseconds(fOdZobrazeni.isValid() ? fOdZobrazeni.elapsed() : 0);
    const QString text =
        QString::fromStdString(PopisPrubehu(Pgb_Dolni->value(), Pgb_Dolni->maximum(), uplynulo));
    if (text != Lbl_Prubeh->text()) {
        Lbl_Prubeh->setText(text);
        if (Lbl_Prubeh->sizeHint().width() > Lbl_Prubeh->width()) {
            Rozvrhni();
        }
    }
}

void TInfoForm::FormCreate() {
    NactiTexty();
}

void TInfoForm::NactiTexty() {
    Lbl_Text->setText(QString());
}

void TInfoForm::FormShow() {
    Pgb_Horni->setValue(0);
    Pgb_Dolni->setValue(0);
    fPrerusNacitani = false;
    fOdZobrazeni.start();
    ObnovPrubeh();
}

void TInfoForm::FormClose() {
    Pgb_Horni->setVisible(false);
    Pgb_Dolni->setVisible(false);
}

bool TInfoForm::FormKeyDown(int key, Qt::KeyboardModifiers shift) {
    return key == Qt::Key_F4 && shift.testFlag(Qt::AltModifier);
}

void TInfoForm::Btn_PrerusitClick() {
    fPrerusNacitani = true;
    if (fOnPrerusit) {
        fOnPrerusit();
    }
}

void TInfoForm::SetPrerusitVisible(bool visible) {
    Btn_Prerusit->setVisible(visible);
    Rozvrhni();
}

bool TInfoForm::PrerusitVisible() const {
    return !Btn_Prerusit->isHidden();
}

void TInfoForm::SetOnPrerusit(std::function<void()> handler) {
    fOnPrerusit = std::move(handler);
}

void TInfoForm::SetCaption(const std::string& text) {
    fTitulek = QString::fromStdString(text);
    setWindowTitle(fTitulek);
}
void TInfoForm::SetText(const std::string& text) {
    Lbl_Text->setText(QString::fromStdString(text));
    Rozvrhni();
}
std::string TInfoForm::Text() const {
    return Lbl_Text->text().toStdString();
}
void TInfoForm::SetHorniVisible(bool visible) {
    Pgb_Horni->setVisible(visible);
}
void TInfoForm::SetDolniVisible(bool visible) {
    Pgb_Dolni->setVisible(visible);
}
bool TInfoForm::DolniVisible() const {
    return !Pgb_Dolni->isHidden();
}
void TInfoForm::SetDolniMax(int maximum) {
    Pgb_Dolni->setMaximum(maximum);
    ObnovPrubeh();
}
int TInfoForm::DolniMax() const {
    return Pgb_Dolni->maximum();
}
void TInfoForm::SetDolniPosition(int position) {
    Pgb_Dolni->setValue(position);
    ObnovPrubeh();
}
int TInfoForm::DolniPosition() const {
    return Pgb_Dolni->value();
}

void TInfoForm::StepDolni() {
    if (Pgb_Dolni->value() < Pgb_Dolni->maximum()) {
        Pgb_Dolni->setValue(Pgb_Dolni->value() + 1);
    }
    ObnovPrubeh();
}

void TInfoForm::ShowModeless() {
    // The title names the operation: the caption it set, else its text.
    setWindowTitle(fTitulek.isEmpty() ? Lbl_Text->text() : fTitulek);
    fTitulek.clear();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
}

void TInfoForm::Hide() {
    QWidget::hide();
}

void TInfoForm::Close() {
    fZaviraProgram = true;
    QWidget::close();
    fZaviraProgram = false;
}

bool TInfoForm::IsShown() const {
    return isVisible();
}

void TInfoForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TInfoForm::closeEvent(QCloseEvent* event) {
    // A close the user asks for (window manager, Alt+F4 there) is refused; the program's own
    // close hides the dialog and keeps it for the next operation.
    if (!fZaviraProgram) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TInfoForm::HandleKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (FormKeyDown(key->key(), key->modifiers())) {
        event->accept();
        return true;
    }
    // Escape is the cancel button's key while the button is offered.
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && PrerusitVisible() &&
        isVisible()) {
        if (event->type() == QEvent::KeyPress) {
            Btn_PrerusitClick();
        }
        event->accept();
        return true;
    }
    return false;
}

bool TInfoForm::eventFilter(QObject* watched, QEvent* event) {
    if (HandleKey(event)) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool TInfoForm::event(QEvent* event) {
    if (HandleKey(event)) {
        return true;
    }
    return QWidget::event(event);
}
