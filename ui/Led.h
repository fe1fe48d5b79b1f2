#pragma once
// Led_Incoming: a small round indicator lamp that the receive path toggles on every poll; grey
// while no port is open.

#include <QColor>
#include <QWidget>

class TLed : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool on READ On WRITE SetOn)

public:
    explicit TLed(QWidget* parent = nullptr);

    bool On() const { return fOn; }
    void SetOn(bool on);
    void Toggle() { SetOn(!fOn); }
    // Not active (no port open): grey whether on or off.
    bool Aktivni() const { return fAktivni; }
    void SetAktivni(bool aktivni);
    QColor Colour() const; // the colour the lamp shows now

    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool fOn = false;
    bool fAktivni = true;
};
