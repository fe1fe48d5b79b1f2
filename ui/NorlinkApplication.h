#pragma once
// The application object. An exception that a handler lets escape is caught here, at the event
// loop: it is written to the report file and shown to the user, and the program runs on.

#include <QApplication>

#include <functional>
#include <string>

class TNorlinkApplication : public QApplication {
    Q_OBJECT

public:
    // What the user is shown: the exception's text and the report file (empty when it could not
    // be written). The default is a message box.
    using TZobrazeniChyby = std::function<void(const std::string& text, const std::string& soubor)>;

    TNorlinkApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
    void SetZobrazeniChyby(TZobrazeniChyby zobrazeni) { fZobrazeni = std::move(zobrazeni); }
    int PocetChyb() const { return fPocetChyb; }
    // Whether Qt's Czech translations were found and loaded.
    bool CeskyQt() const { return fCeskyQt; }

private:
    void OhlasVyjimku();

    TZobrazeniChyby fZobrazeni;
    int fPocetChyb = 0;
    bool fCeskyQt = false;
};

// The text of the box that reports an exception.
std::string TextHlaseniVyjimky(const std::string& text, const std::string& soubor);
