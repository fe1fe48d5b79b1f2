#include "MemoEdit.h"

#include "text/TextZpravy.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <QToolTip>

#include <algorithm>
#include <limits>

namespace {

// The stored length of a piece of the memo's text: a paragraph is a CR LF, a lone LF or CR shown
// as a stand-in is one byte.
int StoredLength(QString text) {
    text.replace(QChar(QChar::ParagraphSeparator), QChar('\n'));
    text.replace(QChar(QChar::LineSeparator), QChar('x'));
    text.replace(QChar(0x240D), QChar('x'));
    return static_cast<int>(UlozenaDelka(text.toStdString()));
}

} // namespace

TMemoEdit::TMemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

// A text from the device may hold a lone LF or a lone CR, which a plain text edit would turn into
// paragraphs (CR LF when read back). They are shown as a line separator and as the symbol for CR,
// and turned back when the text is read, so every byte comes back as it came.
constexpr QChar k_LoneLf = QChar(QChar::LineSeparator);
constexpr QChar k_LoneCr = QChar(0x240D);

std::string TMemoEdit::Text() const {
    QString text;
    for (const QChar c : document()->toRawText()) {
        if (c == QChar(QChar::ParagraphSeparator)) {
            text += QStringLiteral("\r\n");
        } else if (c == k_LoneLf) {
            text += QChar('\n');
        } else if (c == k_LoneCr) {
            text += QChar('\r');
        } else {
            text += c;
        }
    }
    return text.toStdString();
}

void TMemoEdit::SetText(const std::string& text) {
    const QString source = QString::fromStdString(text);
    QString plain;
    for (qsizetype i = 0; i < source.size(); ++i) {
        const QChar c = source[i];
        if (c == QChar('\r') && i + 1 < source.size() && source[i + 1] == QChar('\n')) {
            plain += QChar('\n');
            ++i;
        } else if (c == QChar('\n')) {
            plain += k_LoneLf;
        } else if (c == QChar('\r')) {
            plain += k_LoneCr;
        } else {
            plain += c;
        }
    }
    setPlainText(plain);
}

int TMemoEdit::Length() const {
    return StoredLength(document()->toRawText());
}

int TMemoEdit::Room() const {
    if (fMaxLength <= 0) {
        return std::numeric_limits<int>::max();
    }
    return fMaxLength - Length() + StoredLength(textCursor().selectedText());
}

QString TMemoEdit::Fit(const QString& text) const {
    int room = Room();
    QString fitted;
    for (const QChar c : text) {
        if (c == QChar('\r')) {
            continue; // CR LF and lone LF both become one line break
        }
        const int cost = StoredLength(QString(c));
        if (cost > room) {
            break;
        }
        room -= cost;
        fitted += c;
    }
    return fitted;
}

bool TMemoEdit::Ulozitelny(const QString& text) {
    if (LzeUlozit(text.toStdString())) {
        return true;
    }
    QString znaky;
    for (const QChar c : text) {
        if (c.isLowSurrogate()) {
            continue;
        }
        if (!LzeUlozit(QString(c).toStdString()) && znaky.size() < 20) {
            znaky += c;
        }
    }
    fOdmitnuto = QString::fromUtf8("Znak „%1“ komunikátor neumí uložit, text zůstal beze změny.")
                     .arg(znaky.isEmpty() ? text.left(2) : znaky);
    QApplication::beep();
    QToolTip::showText(mapToGlobal(cursorRect().bottomLeft()), fOdmitnuto, this);
    return false;
}

void TMemoEdit::keyPressEvent(QKeyEvent* event) {
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString typed = lineBreak ? QStringLiteral("\n") : event->text();
    const bool inserts = lineBreak || std::any_of(typed.begin(), typed.end(), [](QChar c) {
                             return c.category() != QChar::Other_Control;
                         });
    if (inserts && !Ulozitelny(typed)) {
        event->accept();
        return;
    }
    if (inserts && Fit(typed).size() < typed.size()) {
        event->accept(); // no room: the key does nothing
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TMemoEdit::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText() || !Ulozitelny(source->text())) {
        return;
    }
    insertPlainText(Fit(source->text()));
}

void TMemoEdit::inputMethodEvent(QInputMethodEvent* event) {
    QString commit = event->commitString();
    if (!commit.isEmpty() && !Ulozitelny(commit)) {
        commit.clear();
    }
    commit = Fit(commit);
    if (commit.size() != event->commitString().size()) {
        QInputMethodEvent trimmed(event->preeditString(), event->attributes());
        trimmed.setCommitString(commit, event->replacementStart(), event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&trimmed);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void TMemoEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // A menu or a box takes the focus for a moment; that is not leaving the memo.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason) {
        emit exited();
    }
}
