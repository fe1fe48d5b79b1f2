#pragma once
// The window's caption, status-bar panels and lamp.

#include <string>

class IStavOkna {
public:
    virtual ~IStavOkna() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual std::string Caption() const = 0;
    // Status-bar panels 0..3.
    virtual void SetPanelText(int panel, const std::string& text) = 0;
    virtual std::string PanelText(int panel) const = 0;
    // Led_Incoming.
    virtual void SetLed(bool on) = 0;
    virtual bool LedOn() const = 0;
    // false: no port is open, the lamp is grey.
    virtual void SetLedAktivni(bool aktivni) = 0;
};
