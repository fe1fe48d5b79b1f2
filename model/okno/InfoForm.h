#pragma once
// The progress dialog: what an operation shows while it runs.

#include <functional>
#include <string>

// The progress dialog InfoForm. Only the lower bar (Pgb_Dolni) is used by operations.
class IInfoForm {
public:
    virtual ~IInfoForm() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetText(const std::string& text) = 0; // Lbl_Text
    virtual std::string Text() const = 0;
    virtual void SetHorniVisible(bool visible) = 0; // Pgb_Horni
    virtual void SetDolniVisible(bool visible) = 0; // Pgb_Dolni
    virtual bool DolniVisible() const = 0;
    virtual void SetDolniMax(int maximum) = 0;
    virtual int DolniMax() const = 0;
    virtual void SetDolniPosition(int position) = 0;
    virtual int DolniPosition() const = 0;
    virtual void StepDolni() = 0;     // position + 1, kept within the range
    virtual void ShowModeless() = 0;  // returns at once
    virtual void Hide() = 0;          // hides without FormClose
    virtual void Close() = 0;         // FormClose: hides both bars and the dialog
    virtual bool IsShown() const = 0; // visible on screen
    virtual bool PrerusNacitani() const = 0;
    // Btn_Prerusit, and what its click (or Escape in the dialog) calls.
    virtual void SetPrerusitVisible(bool visible) = 0;
    virtual bool PrerusitVisible() const = 0;
    virtual void SetOnPrerusit(std::function<void()> handler) = 0;
};
