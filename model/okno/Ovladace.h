#pragma once
// The window's controls as the logic names them, and the view of their enabled state.

#include <cstdint>
#include <string>

// Controls whose enabled state the workflows set.
enum class TOvladac : std::uint8_t {
    Btn_NactiTelCisla,
    Btn_ZapisTelCisla,
    Hg_PhoneNumbers,
    SEdt_PocetExpanderu,
    Btn_NactiExpandery,
    Btn_NactiAktualni,
    Btn_reset,
    Btn_ZapisNastaveni,
    Cmb_Expander,
    Hg_Komunikace,
    Mem_Porucha,
    Mem_Obnova,
    Cmb_Vstup,
    Hg_Vstupy,
    Mem_Sepnuti,
    Mem_Rozpojeni,
};

// Grids; cells are addressed as (column, row) with the fixed row 0 and column 0 included.
enum class TMrizka : std::uint8_t { Hg_PhoneNumbers, Hg_Komunikace, Hg_Vstupy };
enum class TMemo : std::uint8_t { Mem_Porucha, Mem_Obnova, Mem_Sepnuti, Mem_Rozpojeni };
enum class TSeznam : std::uint8_t { Cmb_Expander, Cmb_Vstup };

class IOvladace {
public:
    virtual ~IOvladace() = default;
    virtual void SetEnabled(TOvladac control, bool enabled) = 0;
    virtual bool Enabled(TOvladac control) const = 0;
    virtual void SetToolTip(TOvladac control, const std::string& text) = 0;
};
