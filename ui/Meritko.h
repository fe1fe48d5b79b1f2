#pragma once
// The windows are laid out in the pixels of the original 8 pt design and scaled to the font in
// use: the default fonts of Linux desktops are larger and wider.

#include <QFont>
#include <QRect>

class TMeritko {
public:
    explicit TMeritko(const QFont& font);
    int X(int x) const;
    int Y(int y) const;
    QRect Rect(int left, int top, int width, int height) const;
    double Sx() const { return fSx; }
    double Sy() const { return fSy; }

private:
    double fSx = 1.0;
    double fSy = 1.0;
};
