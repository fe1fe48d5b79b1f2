#pragma once
// A fake main window for the logic's tests: it remembers what the logic shows and answers the
// boxes from a script. A box the test did not expect fails the test.

#include "okno/OknoMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

class TFakeInfoForm : public IInfoForm {
public:
    void SetCaption(const std::string& text) override { Caption = text; }
    void SetText(const std::string& text) override { Label = text; }
    std::string Text() const override { return Label; }
    void SetHorniVisible(bool visible) override { Horni = visible; }
    void SetDolniVisible(bool visible) override { Dolni = visible; }
    bool DolniVisible() const override { return Dolni; }
    void SetDolniMax(int maximum) override { Max = maximum; }
    int DolniMax() const override { return Max; }
    void SetDolniPosition(int position) override { Position = position; }
    int DolniPosition() const override { return Position; }
    void StepDolni() override { Position = std::min(Position + 1, Max); }
    void ShowModeless() override {
        Shown = true;
        Position = 0;
    }
    void Hide() override { Shown = false; }
    void Close() override {
        Shown = false;
        Horni = Dolni = false;
    }
    bool IsShown() const override { return Shown; }
    bool PrerusNacitani() const override { return Prerusit; }
    void SetPrerusitVisible(bool visible) override { PrerusitShown = visible; }
    bool PrerusitVisible() const override { return PrerusitShown; }
    void SetOnPrerusit(std::function<void()> handler) override { OnPrerusit = std::move(handler); }
    // The user clicks Btn_Prerusit.
    void ClickPrerusit() {
        Prerusit = true;
        if (OnPrerusit) {
            OnPrerusit();
        }
    }

    std::string Caption = "x";
    std::string Label;
    bool Horni = false;
    bool Dolni = false;
    bool Shown = false;
    int Max = 12;
    int Position = 1;
    bool Prerusit = false;
    bool PrerusitShown = false;
    std::function<void()> OnPrerusit;
};

class TFakeOkno : public IFrm_Main {
public:
    struct TVarovani {
        std::string Text;
        std::string Detail;
    };

    void SetCaption(const std::string& text) override { CaptionText = text; }
    std::string Caption() const override { return CaptionText; }
    void SetEnabled(TOvladac control, bool enabled) override { EnabledMap[control] = enabled; }
    bool Enabled(TOvladac control) const override {
        const auto found = EnabledMap.find(control);
        return found == EnabledMap.end() || found->second;
    }
    void SetCellText(TMrizka grid, int col, int row, const std::string& text) override {
        EXPECT_TRUE(col >= 0 && col <= 2 && row >= 0 && row <= 16) << col << "," << row;
        Cells[{grid, col, row}] = text;
    }
    std::string CellText(TMrizka grid, int col, int row) const override {
        const auto found = Cells.find({grid, col, row});
        return found == Cells.end() ? std::string() : found->second;
    }
    void SetCellBold(TMrizka grid, int col, int row, bool bold) override {
        Bold[{grid, col, row}] = bold;
    }
    bool CellBold(TMrizka grid, int col, int row) const {
        const auto found = Bold.find({grid, col, row});
        return found != Bold.end() && found->second;
    }
    void SetMemoBold(TMemo memo, bool bold) override { MemoBold[memo] = bold; }
    void SetToolTip(TOvladac control, const std::string& text) override {
        ToolTips[control] = text;
    }
    void OdkazOmezen(TMrizka grid, int col, int row, const std::string& text) override {
        Omezeno[{grid, col, row}] = text;
    }
    std::optional<std::string> OtevriSoubor(const std::string& caption, const std::string& folder,
                                            const std::string& filter) override {
        Queries.emplace_back(caption, folder, filter);
        if (Files.empty()) {
            ADD_FAILURE() << "unexpected file dialog: " << caption;
            return std::nullopt;
        }
        auto file = Files.front();
        Files.pop_front();
        return file;
    }
    void SetMemoText(TMemo memo, const std::string& text) override { Memos[memo] = text; }
    std::string MemoText(TMemo memo) const override {
        const auto found = Memos.find(memo);
        return found == Memos.end() ? std::string() : found->second;
    }
    void SetMemoMaxLength(TMemo memo, int length) override { MemoMax[memo] = length; }
    void ClearItems(TSeznam list) override {
        Items[list].clear();
        Index[list] = -1;
    }
    void AddItem(TSeznam list, const std::string& text) override { Items[list].push_back(text); }
    int ItemCount(TSeznam list) const override {
        const auto found = Items.find(list);
        return found == Items.end() ? 0 : static_cast<int>(found->second.size());
    }
    std::string ItemText(TSeznam list, int index) const override {
        return Items.at(list).at(static_cast<std::size_t>(index));
    }
    // As a drop-down list does: an index outside the items selects nothing.
    void SetItemIndex(TSeznam list, int index) override {
        Index[list] = index >= 0 && index < ItemCount(list) ? index : -1;
    }
    int ItemIndex(TSeznam list) const override {
        const auto found = Index.find(list);
        return found == Index.end() ? -1 : found->second;
    }
    // As the spin edit does: it keeps 1..8.
    void SetPocetExpanderu(int value) override { Spin = std::clamp(value, 1, 8); }
    int PocetExpanderu() const override { return Spin; }
    void SetPanelText(int panel, const std::string& text) override { Panels[panel] = text; }
    std::string PanelText(int panel) const override {
        const auto found = Panels.find(panel);
        return found == Panels.end() ? std::string() : found->second;
    }
    void ZobrazPortMenu(const TPortMenu& menu) override {
        Menu = menu;
        ++MenuShows;
    }
    void SetLed(bool on) override {
        Led = on;
        ++LedChanges;
    }
    bool LedOn() const override { return Led; }
    void SetLedAktivni(bool aktivni) override { LedAktivni = aktivni; }

    void Varovani(const std::string& text, const std::string& detail) override {
        Warnings.push_back({text, detail});
    }
    bool OtazkaAnoNe(const std::string& text, TVychoziOdpoved) override {
        Questions.push_back(text);
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text;
            return false;
        }
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    void Chyba(const std::string& text) override { Errors.push_back(text); }
    void Zprava(const std::string& text, const std::string& detail) override {
        Messages.push_back({text, detail});
    }
    std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                          const std::string& initial) override {
        Queries.emplace_back(caption, prompt, initial);
        if (Inputs.empty()) {
            ADD_FAILURE() << "unexpected input dialog: " << caption;
            return std::nullopt;
        }
        auto input = Inputs.front();
        Inputs.pop_front();
        return input;
    }
    // The preview answers "&Zapsat" unless a test queued another answer.
    bool KontrolaZapisu(const std::vector<std::string>& zmeny,
                        const std::vector<std::string>& varovani,
                        const std::string& souhrn) override {
        Previews.push_back({zmeny, varovani, souhrn});
        if (PreviewAnswers.empty()) {
            return true;
        }
        const bool answer = PreviewAnswers.front();
        PreviewAnswers.pop_front();
        return answer;
    }
    std::optional<int> VyberZeSeznamu(const std::string&, const std::string&,
                                      const std::vector<std::string>& polozky) override {
        Choices.push_back(polozky);
        if (ChoiceAnswers.empty()) {
            ADD_FAILURE() << "unexpected choice from a list";
            return std::nullopt;
        }
        const auto answer = ChoiceAnswers.front();
        ChoiceAnswers.pop_front();
        return answer;
    }
    IInfoForm& InfoForm() override { return Info; }
    void Naplanuj(std::function<void()> krok) override { Planned.push_back(std::move(krok)); }
    // The message loop's turn: runs what was planned, including what those steps plan.
    void RunPlanned() {
        while (!Planned.empty()) {
            auto krok = std::move(Planned.front());
            Planned.pop_front();
            krok();
        }
    }

    // Checked-state of the menu items 1..11 as a string of 0/1, e.g. "01000000000".
    std::string Ticks() const {
        std::string ticks;
        for (int item = 1; item <= TPortMenu::k_PocetPolozek; ++item) {
            ticks += Menu.Polozka(item).Zaskrtnuta ? '1' : '0';
        }
        return ticks;
    }

    std::string CaptionText;
    std::map<TOvladac, bool> EnabledMap;
    std::map<std::tuple<TMrizka, int, int>, std::string> Cells;
    std::map<TMemo, std::string> Memos;
    std::map<TMemo, int> MemoMax;
    std::map<TSeznam, std::vector<std::string>> Items;
    std::map<TSeznam, int> Index;
    int Spin = 1;
    std::map<int, std::string> Panels;
    TPortMenu Menu;
    int MenuShows = 0;
    bool Led = false;
    int LedChanges = 0;
    TFakeInfoForm Info;

    std::vector<TVarovani> Warnings;
    std::vector<std::string> Questions;
    std::deque<bool> Answers;
    std::vector<std::string> Errors;
    std::vector<TVarovani> Messages;
    std::vector<std::tuple<std::string, std::string, std::string>> Queries;
    std::deque<std::optional<std::string>> Inputs;
    std::deque<std::function<void()>> Planned;
    std::map<std::tuple<TMrizka, int, int>, bool> Bold;
    std::map<std::tuple<TMrizka, int, int>, std::string> Omezeno;
    bool LedAktivni = true;
    std::map<TMemo, bool> MemoBold;
    std::map<TOvladac, std::string> ToolTips;
    std::deque<std::optional<std::string>> Files;
    struct TNahled {
        std::vector<std::string> Zmeny;
        std::vector<std::string> Varovani;
        std::string Souhrn;
    };
    std::vector<TNahled> Previews;
    std::deque<bool> PreviewAnswers;
    std::vector<std::vector<std::string>> Choices;
    std::deque<std::optional<int>> ChoiceAnswers;
};
