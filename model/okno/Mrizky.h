#pragma once
// The grids, memos, lists and the expander count as the logic reads and sets them. Cells are
// addressed as (column, row) with the fixed row 0 and column 0 included.

#include "okno/Ovladace.h"

#include <string>

class IMrizky {
public:
    virtual ~IMrizky() = default;

    virtual void SetCellText(TMrizka grid, int col, int row, const std::string& text) = 0;
    virtual std::string CellText(TMrizka grid, int col, int row) const = 0;
    // Marks a cell, or a memo, whose value differs from what the device holds.
    virtual void SetCellBold(TMrizka grid, int col, int row, bool bold) = 0;
    virtual void SetMemoBold(TMemo memo, bool bold) = 0;
    // A typed recipient index was brought into range: the cell says why (tooltip) and the status
    // bar says it for a moment. Setting the cell's text again forgets it.
    virtual void OdkazOmezen(TMrizka grid, int col, int row, const std::string& text) = 0;

    virtual void SetMemoText(TMemo memo, const std::string& text) = 0;
    virtual std::string MemoText(TMemo memo) const = 0;
    // Characters the user may type; a line break counts as two (CR LF).
    virtual void SetMemoMaxLength(TMemo memo, int length) = 0;

    virtual void ClearItems(TSeznam list) = 0;
    virtual void AddItem(TSeznam list, const std::string& text) = 0;
    virtual int ItemCount(TSeznam list) const = 0;
    virtual std::string ItemText(TSeznam list, int index) const = 0;
    // -1 selects nothing; setting it runs no change handler.
    virtual void SetItemIndex(TSeznam list, int index) = 0;
    virtual int ItemIndex(TSeznam list) const = 0;

    // SEdt_PocetExpanderu (1..8); setting it runs no change handler.
    virtual void SetPocetExpanderu(int value) = 0;
    virtual int PocetExpanderu() const = 0;
};
