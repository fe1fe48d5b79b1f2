#pragma once
// TEditGrid: a table whose cells are edited in a line editor of its own delegate. It reports what
// the window's logic reacts to and Qt does not say directly: an edit committed with a changed text,
// the focus leaving the grid (from the grid or straight from its editor), Delete on the current
// cell. Typed characters pass a filter, on the grid and in the editor alike, whatever the keyboard
// layout: the filter sees the text a key or an input method produces. Pasted text is not filtered.

#include <QAbstractItemDelegate>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableWidget>

#include <functional>
#include <vector>

class TEditGrid : public QTableWidget {
    Q_OBJECT

public:
    // true: the character may be typed.
    using TCharFilter = std::function<bool(char32_t)>;
    // The key code keyDown reports for Delete (the Windows virtual-key code the logic counts in).
    static constexpr int k_KeyDelete = 0x2E;

    // What a cell shows beside its text, drawn lighter and not part of the text, and its tooltip;
    // Varovani marks the cell in a warning colour.
    struct TPopis {
        QString Vedle;
        QString Tip;
        bool Varovani = false;
    };
    using TPopisBunky = std::function<TPopis(int col, int row)>;

    TEditGrid(int rows, int columns, QWidget* parent = nullptr);

    void SetPopisBunky(TPopisBunky popis) { fPopis = std::move(popis); }
    TPopis Popis(int col, int row) const;

    void SetCharFilter(TCharFilter filter) { fFilter = std::move(filter); }
    // text without the characters the filter refuses; keepControls keeps control characters
    // (those of Backspace, Escape, Delete, shortcuts), which type nothing.
    QString Filtered(const QString& text, bool keepControls) const;
    // Commits and closes an open editor; the focus stays in the grid. For a menu that opens while
    // a cell is edited: the menu takes no focus, so nothing else would commit.
    void UkonciEditaci();

signals:
    // An editor's text went into the cell and differs from what the cell held.
    void cellEdited(int col, int row);
    // The focus went from the grid or its editor to another control of the window.
    void exited();
    // A key on the grid with no editor open (Delete: k_KeyDelete, once for each selected cell).
    void keyDown(int col, int row, int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    class TDelegate;

    struct TEditor {
        QPointer<QWidget> Widget;
        QPersistentModelIndex Index;
        bool Changed = false;
    };

    void EditorOpened(QWidget* editor, const QModelIndex& index);
    TEditor* Editor(const QWidget* editor);
    void FocusChanged(QWidget* now);

    TCharFilter fFilter;
    TPopisBunky fPopis;
    std::vector<TEditor> fEditors;
    bool fInside = false; // the focus is in the grid or its editor
};
