#pragma once
// Where the main window opens: norlink.ini, section [Okno], keeps its place (X, Y) and size
// (Sirka, Vyska) from its last close; the screen's available area bounds it.

#include <QRect>

#include <string>

class QWidget;
class TMainLogika;

// The place and size in the ini file, else the designed ones; a missing X or Y keeps the designed
// one. Throws when the file cannot be read.
QRect NactiUmisteni(const std::string& ini, const QRect& vychozi);
// Writes the place and size into the ini file; throws when it cannot be written.
void ZapisUmisteni(const std::string& ini, const QRect& umisteni);

// A window's frame rectangle made to fit an area: no larger than the area less the window
// manager's frame, no smaller than the window's minimum, and moved left and up as far as needed
// to keep it whole.
QRect VOblasti(const QRect& okno, const QRect& oblast, const QSize& ramec, const QSize& minimum);

// Gives the window the place of its last close, else `vychozi`, within the primary screen.
void UmistiNaObrazovku(QWidget& okno, const TMainLogika& logika, const QRect& vychozi);
// Keeps the window's place for the next start, unless norlink.ini could not be read.
void UlozUmisteni(const QWidget& okno, const TMainLogika& logika);
