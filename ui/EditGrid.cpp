#include "EditGrid.h"

#include <QApplication>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>
#include <utility>

namespace {

// Whether a key press types its text, by the rule Qt's line editor applies: Ctrl and Ctrl+Shift
// make a shortcut (Ctrl+V), any other combination types (AltGr may come as Ctrl+Alt).
bool TypesText(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    return !event.text().isEmpty() && modifiers != Qt::ControlModifier &&
           modifiers != (Qt::ControlModifier | Qt::ShiftModifier);
}

// Hands a key press on with the characters it types filtered; one that types only refused
// characters goes nowhere.
template <typename Pass>
void FilterKey(const TEditGrid& grid, QKeyEvent* event, Pass pass) {
    if (!TypesText(*event)) {
        pass(event);
        return;
    }
    const QString kept = grid.Filtered(event->text(), true);
    if (kept == event->text()) {
        pass(event);
        return;
    }
    if (kept.isEmpty()) {
        event->accept();
        return;
    }
    QKeyEvent filtered(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                       event->nativeVirtualKey(), event->nativeModifiers(), kept,
                       event->isAutoRepeat(), static_cast<quint16>(event->count()));
    pass(&filtered);
    event->setAccepted(filtered.isAccepted());
}

// Hands an input-method event on with its commit string filtered.
template <typename Pass>
void FilterCommit(const TEditGrid& grid, QInputMethodEvent* event, Pass pass) {
    const QString commit = grid.Filtered(event->commitString(), false);
    if (commit == event->commitString()) {
        pass(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(commit, event->replacementStart(), event->replacementLength());
    pass(&filtered);
    event->setAccepted(filtered.isAccepted());
}

class TCellEditor final : public QLineEdit {
public:
    TCellEditor(const TEditGrid& grid, QWidget* parent) : QLineEdit(parent), fGrid(grid) {
        setFrame(false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        FilterKey(fGrid, event, [this](QKeyEvent* e) { QLineEdit::keyPressEvent(e); });
    }
    void inputMethodEvent(QInputMethodEvent* event) override {
        FilterCommit(fGrid, event,
                     [this](QInputMethodEvent* e) { QLineEdit::inputMethodEvent(e); });
    }

private:
    const TEditGrid& fGrid;
};

} // namespace

class TEditGrid::TDelegate final : public QStyledItemDelegate {
public:
    explicit TDelegate(TEditGrid& grid) : QStyledItemDelegate(&grid), fGrid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new TCellEditor(fGrid, parent);
        fGrid.EditorOpened(editor, index);
        return editor;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(option);
        const TPopis popis = fGrid.Popis(index.column(), index.row());
        if (popis.Varovani && !(option.state & QStyle::State_Selected)) {
            painter->fillRect(option.rect, k_Varovani);
        }
        QStyledItemDelegate::paint(painter, opt, index);
        // A bold mark on an emptied cell would show nothing: it says what the write will do.
        const bool smazano = index.data(Qt::DisplayRole).toString().isEmpty() &&
                             index.data(Qt::FontRole).value<QFont>().bold();
        const QString vedle = smazano && popis.Vedle.isEmpty() ? k_Smazano : popis.Vedle;
        if (vedle.isEmpty()) {
            return;
        }
        // Beside the cell's own text, in the lighter colour of a hint, cut where the cell ends.
        initStyleOption(&opt, index);
        const QWidget* widget = option.widget;
        const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const QFontMetrics metrics(opt.font);
        const int odsazeni = metrics.horizontalAdvance(opt.text + QStringLiteral("  "));
        const QRect misto = text.adjusted(odsazeni, 0, 0, 0);
        if (misto.width() <= 0) {
            return;
        }
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(QPalette::PlaceholderText));
        painter->drawText(misto, Qt::AlignLeft | Qt::AlignVCenter,
                          metrics.elidedText(vedle, Qt::ElideRight, misto.width()));
        painter->restore();
    }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() == QEvent::ToolTip) {
            const QString tip = fGrid.Popis(index.column(), index.row()).Tip;
            if (!tip.isEmpty()) {
                QToolTip::showText(event->globalPos(), tip, view->viewport(), option.rect);
                return true;
            }
        }
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }

private:
    static inline const QColor k_Varovani{255, 214, 153};
    static inline const QString k_Smazano = QStringLiteral("(smazáno)");
    TEditGrid& fGrid;
};

TEditGrid::TPopis TEditGrid::Popis(int col, int row) const {
    return fPopis ? fPopis(col, row) : TPopis{};
}

TEditGrid::TEditGrid(int rows, int columns, QWidget* parent) : QTableWidget(rows, columns, parent) {
    setItemDelegate(new TDelegate(*this));
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

QString TEditGrid::Filtered(const QString& text, bool keepControls) const {
    QString kept;
    for (const char32_t c : text.toUcs4()) {
        const bool control = keepControls && QChar::category(c) == QChar::Other_Control;
        if (control || !fFilter || fFilter(c)) {
            kept.append(QString::fromUcs4(&c, 1));
        }
    }
    return kept;
}

void TEditGrid::EditorOpened(QWidget* editor, const QModelIndex& index) {
    std::erase_if(fEditors, [](const TEditor& e) { return e.Widget.isNull(); });
    fEditors.push_back({editor, index});
}

TEditGrid::TEditor* TEditGrid::Editor(const QWidget* editor) {
    const auto found = std::find_if(fEditors.begin(), fEditors.end(),
                                    [editor](const TEditor& e) { return e.Widget == editor; });
    return found != fEditors.end() ? &*found : nullptr;
}

void TEditGrid::commitData(QWidget* editor) {
    TEditor* open = Editor(editor);
    if (open == nullptr) {
        return;
    }
    const QPersistentModelIndex index = open->Index;
    const QString before = index.data(Qt::EditRole).toString();
    QTableWidget::commitData(editor);
    if (TEditor* still = Editor(editor)) {
        still->Changed =
            still->Changed || (index.isValid() && index.data(Qt::EditRole).toString() != before);
    }
}

void TEditGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Reported once the editor is closed: the view then accepts no further commit from it, so
    // nothing puts its text back over what the cell rule makes of it, and a box the logic shows
    // takes the focus from the grid, not from an open editor.
    TEditor closed;
    if (TEditor* open = Editor(editor)) {
        closed = *open;
        std::erase_if(fEditors, [editor](const TEditor& e) { return e.Widget == editor; });
    }
    QTableWidget::closeEditor(editor, hint);
    if (closed.Changed && closed.Index.isValid()) {
        emit cellEdited(closed.Index.column(), closed.Index.row());
    }
}

void TEditGrid::UkonciEditaci() {
    std::vector<QPointer<QWidget>> open;
    for (const TEditor& e : fEditors) {
        open.push_back(e.Widget);
    }
    for (const QPointer<QWidget>& editor : open) {
        if (editor) {
            commitData(editor);
        }
        if (editor) {
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
}

void TEditGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && state() != EditingState) {
        // Every selected cell, else the current one; fixed cells (header row, index column) are
        // never emptied.
        QModelIndexList cells = selectedIndexes();
        if (cells.isEmpty()) {
            cells.append(currentIndex());
        }
        std::sort(cells.begin(), cells.end());
        for (const QModelIndex& index : cells) {
            if (index.isValid() && (index.flags() & Qt::ItemIsEditable)) {
                emit keyDown(index.column(), index.row(), k_KeyDelete);
            }
        }
        event->accept();
        return;
    }
    // A refused character neither appears nor opens the editor.
    FilterKey(*this, event, [this](QKeyEvent* e) { QTableWidget::keyPressEvent(e); });
}

void TEditGrid::inputMethodEvent(QInputMethodEvent* event) {
    if (state() == EditingState) {
        FilterCommit(*this, event,
                     [this](QInputMethodEvent* e) { QTableWidget::inputMethodEvent(e); });
        return;
    }
    const QString commit = Filtered(event->commitString(), false);
    // Only committed text that passes opens the editor, and is then typed into it (the view does
    // not hand an input-method event to the editor it opens).
    event->accept();
    if (commit.isEmpty() || !edit(currentIndex(), AnyKeyPressed, nullptr)) {
        return;
    }
    const auto open = std::find_if(fEditors.rbegin(), fEditors.rend(),
                                   [](const TEditor& e) { return !e.Widget.isNull(); });
    if (open != fEditors.rend()) {
        QInputMethodEvent typed;
        typed.setCommitString(commit);
        QCoreApplication::sendEvent(open->Widget, &typed);
    }
}

void TEditGrid::FocusChanged(QWidget* now) {
    // No focus (the application was left) or another window (a box): the grid keeps its focus.
    if (now == nullptr || now->window() != window()) {
        return;
    }
    if (now == this || isAncestorOf(now)) {
        fInside = true;
        return;
    }
    // A menu bar in keyboard mode borrows the focus; choosing from a menu is not leaving.
    if (qobject_cast<QMenuBar*>(now) != nullptr) {
        return;
    }
    if (std::exchange(fInside, false)) {
        emit exited();
    }
}
