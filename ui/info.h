#pragma once
// InfoForm: the progress dialog of reads and writes. It stays on top of the main window, has no
// caption buttons, and the user cannot close it (neither the window manager's close nor Alt+F4):
// only the operations that showed it hide or close it, through Hide() and Close().

#include "okno/OknoMain.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

class TInfoForm : public QWidget, public IInfoForm {
    Q_OBJECT

public:
    explicit TInfoForm(QWidget* parent = nullptr);

    // Handlers under their own names.
    void FormCreate();
    void NactiTexty();
    void FormShow();
    void FormClose();
    // True when the key was Alt+F4 and has been cancelled.
    bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void Btn_PrerusitClick();

    // IInfoForm
    void SetCaption(const std::string& text) override;
    void SetText(const std::string& text) override;
    std::string Text() const override;
    void SetHorniVisible(bool visible) override;
    void SetDolniVisible(bool visible) override;
    bool DolniVisible() const override;
    void SetDolniMax(int maximum) override;
    int DolniMax() const override;
    void SetDolniPosition(int position) override;
    int DolniPosition() const override;
    void StepDolni() override;
    void ShowModeless() override;
    void Hide() override;
    void Close() override;
    bool IsShown() const override;
    bool PrerusNacitani() const override { return fPrerusNacitani; }
    void SetPrerusitVisible(bool visible) override;
    bool PrerusitVisible() const override;
    void SetOnPrerusit(std::function<void()> handler) override;

    QFrame* Panel1 = nullptr;
    QLabel* Lbl_Text = nullptr;
    QProgressBar* Pgb_Horni = nullptr;
    QPushButton* Btn_Prerusit = nullptr;
    QProgressBar* Pgb_Dolni = nullptr;
    // Under the bar: "telegram 143 z 288" and the time left.
    QLabel* Lbl_Prubeh = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool HandleKey(QEvent* event);
    // Places the controls and sizes the dialog so that its texts fit.
    void Rozvrhni();
    void ObnovPrubeh();

    std::function<void()> fOnPrerusit;
    QSize fBezTlacitka; // the designed client area
    QSize fSTlacitkem;  // grown to hold Btn_Prerusit below it
    bool fPrerusNacitani = false;
    QElapsedTimer fOdZobrazeni;  // the rate is measured from the show
    QString fTitulek;            // a caption the operation set, used at the next show
    bool fZaviraProgram = false; // a close asked for by Close(), not by the user
};
