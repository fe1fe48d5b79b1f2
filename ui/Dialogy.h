#pragma once
// The write preview and the choice from a list, as the window shows them.

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// "Kontrola zápisu": the changes, the warnings, the telegrams and time; "&Zapsat" and "&Zpět"
// ("&Zpět" the default and Escape). True for "&Zapsat".
bool UkazKontroluZapisu(QWidget* parent, const QStringList& zmeny, const QStringList& varovani,
                        const QString& souhrn);
// One item of polozky (the first preselected) with "OK" and "Zrušit"; nothing when cancelled.
std::optional<int> UkazVyber(QWidget* parent, const QString& caption, const QString& prompt,
                             const QStringList& polozky);
