#pragma once
// The console's boxes and progress dialog, all the operations of model/ ask of a view: boxes go to
// standard error, the dialog's lower bar becomes one progress line (drawn only on a terminal), and
// the steps the operations post are queued for the session's loop.

#include "okno/Hlaseni.h"
#include "okno/InfoForm.h"

#include <chrono>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// Standard error as the program's messages and its one progress line share it.
class TChybovyVystup {
public:
    // The progress line is drawn only when standard error is a terminal, never into a pipe.
    TChybovyVystup();
    bool Terminal() const { return fTerminal; }
    // Replaces the progress line.
    void Prubeh(const std::string& text);
    void SmazPrubeh();
    // One message line, "norlink-cli: " before it; the progress line comes back below it.
    void Zprava(const std::string& text);

private:
    void Zapis(const std::string& bytes) const;

    bool fTerminal = false;
    std::string fPrubeh; // what the line shows now, empty when nothing
};

class TKonzoleInfo final : public IInfoForm {
public:
    explicit TKonzoleInfo(TChybovyVystup& vystup) : fVystup(vystup) {}

    void SetCaption(const std::string& text) override { fCaption = text; }
    void SetText(const std::string& text) override;
    std::string Text() const override { return fText; }
    void SetHorniVisible(bool) override {}
    void SetDolniVisible(bool visible) override;
    bool DolniVisible() const override { return fDolni; }
    void SetDolniMax(int maximum) override;
    int DolniMax() const override { return fMax; }
    void SetDolniPosition(int position) override;
    int DolniPosition() const override { return fPozice; }
    void StepDolni() override { SetDolniPosition(fPozice + 1); }
    void ShowModeless() override;
    void Hide() override;
    void Close() override;
    bool IsShown() const override { return fShown; }
    bool PrerusNacitani() const override { return false; }
    void SetPrerusitVisible(bool) override {}
    bool PrerusitVisible() const override { return false; }
    // Cancelling comes from the signals, not from a button.
    void SetOnPrerusit(std::function<void()>) override {}

private:
    // Redraws at most every 100 ms, except when the label changes or the bar is full.
    void Prekresli(bool hned);

    TChybovyVystup& fVystup;
    std::string fCaption;
    std::string fText;
    bool fDolni = false;
    bool fShown = false;
    int fMax = 0;
    int fPozice = 0;
    std::chrono::steady_clock::time_point fKresleno{};
};

class TKonzoleOkno final : public IHlaseni {
public:
    TKonzoleOkno() : fInfo(fVystup) {}

    void Varovani(const std::string& text, const std::string& detail) override;
    // Nobody is there to answer: "&Ne".
    bool OtazkaAnoNe(const std::string& text, TVychoziOdpoved vychozi) override;
    void Chyba(const std::string& text) override;
    void Zprava(const std::string& text, const std::string& detail) override;
    // No dialog to choose a file in: the command line names it.
    std::optional<std::string> OtevriSoubor(const std::string&, const std::string&,
                                            const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                          const std::string& initial) override;
    // The command line decides before anything is sent (write --dry-run shows the changes).
    bool KontrolaZapisu(const std::vector<std::string>&, const std::vector<std::string>&,
                        const std::string&) override {
        return true;
    }
    std::optional<int> VyberZeSeznamu(const std::string&, const std::string&,
                                      const std::vector<std::string>&) override {
        return std::nullopt;
    }
    IInfoForm& InfoForm() { return fInfo; }
    void Naplanuj(std::function<void()> krok) override { fNaplanovano.push_back(std::move(krok)); }

    // The loop's turn: runs what was posted, including what those steps post.
    void SpustNaplanovane();
    TChybovyVystup& Vystup() { return fVystup; }

private:
    TChybovyVystup fVystup;
    TKonzoleInfo fInfo;
    std::deque<std::function<void()>> fNaplanovano;
};
