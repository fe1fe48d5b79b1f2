#include "Led.h"

#include <QPainter>
#include <QRadialGradient>

namespace {
const QColor k_Sviti{40, 220, 60};
const QColor k_Zhasnuto{20, 80, 30};
const QColor k_Neaktivni{150, 150, 150};
} // namespace

TLed::TLed(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TLed::SetOn(bool on) {
    if (on != fOn) {
        fOn = on;
        update();
    }
}

void TLed::SetAktivni(bool aktivni) {
    if (aktivni != fAktivni) {
        fAktivni = aktivni;
        update();
    }
}

QColor TLed::Colour() const {
    if (!fAktivni) {
        return k_Neaktivni;
    }
    return fOn ? k_Sviti : k_Zhasnuto;
}

void TLed::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height()) - 2.0;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    QRadialGradient gradient(circle.center() - QPointF(side / 5.0, side / 5.0), side / 1.6);
    gradient.setColorAt(0.0, Colour().lighter(170));
    gradient.setColorAt(1.0, Colour());
    painter.setPen(QPen(Qt::darkGray, 1.0));
    painter.setBrush(gradient);
    painter.drawEllipse(circle);
}
