#pragma once
// The program's message boxes. A box never grows past the screen: its text wraps, anywhere when a
// word (a long path) is wider than the box, and scrolls once it is taller than the screen allows;
// the buttons stay below the text, always in view.

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// A modal box with the icon, the caption, the text and below it the detail (may be empty), and
// buttons in the given order. Returns the index of the button clicked, or escapeButton when the box
// was closed otherwise (Esc, the window's close button, closed by the program).
int UkazHlaseni(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                const QString& text, const QString& detail, const QStringList& buttons,
                int defaultButton, int escapeButton);
