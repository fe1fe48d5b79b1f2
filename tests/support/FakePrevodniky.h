#pragma once
// The machine's adapters as a test sets them; the test keeps the state and sees every question.

#include "port/Prevodniky.h"

#include <memory>

struct TFakeStroj {
    std::optional<TUsbId> Usb; // of every path opened
    std::string Vraceny;       // where the lost device is now; empty while it is away
    bool Brltty = false;
    std::vector<TOtiskPrevodniku> Hledani;
    std::optional<TUsbId> DotazBrltty;
};

class TFakePrevodniky final : public IPrevodniky {
public:
    explicit TFakePrevodniky(std::shared_ptr<TFakeStroj> stroj) : fStroj(std::move(stroj)) {}
    TOtiskPrevodniku Rozpoznej(const std::string& cesta) const override {
        return {cesta, "", fStroj->Usb};
    }
    std::string Najdi(const TOtiskPrevodniku& otisk) const override {
        fStroj->Hledani.push_back(otisk);
        return fStroj->Vraceny;
    }
    bool BrlttyBere(const std::optional<TUsbId>& ztraceny) const override {
        fStroj->DotazBrltty = ztraceny;
        return fStroj->Brltty;
    }

private:
    std::shared_ptr<TFakeStroj> fStroj;
};
