#pragma once
// The handover report in the window: a small dialog for the site and the technician, and the
// model's HTML rendered by Qt's text layout into a PDF (A4) or onto a printer.

#include <QDialog>

#include <string>

class QLineEdit;
class QPrinter;
class QPushButton;

class TProtokolDialog : public QDialog {
    Q_OBJECT

public:
    // What the dialog ends with (its result code).
    enum TVolba { Zavrit = 0, UlozitPdf = 1, Tisk = 2 };

    TProtokolDialog(const std::string& objekt, const std::string& technik,
                    QWidget* parent = nullptr);
    std::string Objekt() const;
    std::string Technik() const;

    QLineEdit* Edt_Objekt = nullptr;
    QLineEdit* Edt_Technik = nullptr;
    QPushButton* Btn_UlozitPdf = nullptr;
    QPushButton* Btn_Tisk = nullptr;
    QPushButton* Btn_Zavrit = nullptr;
};

// Writes the document as a PDF on A4, whole or not at all; false with the reason when it cannot.
bool UlozProtokolPdf(const std::string& html, const std::string& path, std::string& why);
// Prints the document on a printer the caller has set up.
void TiskniProtokol(const std::string& html, QPrinter& printer);
// A name for a new report in folder (ending with '/'): protokol<stamp>.pdf, with -2, -3, ...
// behind the stamp when a file of that name exists.
std::string NazevProtokolu(const std::string& folder, const std::string& stamp);
