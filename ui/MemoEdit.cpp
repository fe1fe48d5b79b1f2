#include "MemoEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

#include <limits>

namespace {
int StoredLength(const QString& text) {
    int length = 0;
    for (const QChar c : text) {
        length += (c == QChar('\n') || c == QChar(QChar::ParagraphSeparator)) ? 2 : 1;
    }
    return length;
}
} // namespace

TMemoEdit::TMemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

std::string TMemoEdit::Text() const {
    QString text = toPlainText();
    text.replace(QChar('\n'), QStringLiteral("\r\n"));
    return text.toStdString();
}

void TMemoEdit::SetText(const std::string& text) {
    QString plain = QString::fromStdString(text);
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(plain);
}

int TMemoEdit::Length() const {
    return StoredLength(toPlainText());
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
        const int cost = (c == QChar('\n') || c == QChar('\r')) ? 2 : 1;
        if (c == QChar('\r')) {
            continue; // CR LF and lone LF both become one line break
        }
        if (cost > room) {
            break;
        }
        room -= cost;
        fitted += c;
    }
    return fitted;
}

void TMemoEdit::keyPressEvent(QKeyEvent* event) {
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString typed = lineBreak ? QStringLiteral("\n") : event->text();
    const bool inserts = lineBreak || (!typed.isEmpty() && typed.at(0).isPrint());
    if (inserts && Fit(typed).size() < typed.size()) {
        event->accept(); // no room: the key does nothing
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TMemoEdit::insertFromMimeData(const QMimeData* source) {
    if (source == nullptr || !source->hasText()) {
        return;
    }
    insertPlainText(Fit(source->text()));
}

void TMemoEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = Fit(event->commitString());
    if (commit.size() != event->commitString().size()) {
        QInputMethodEvent trimmed(event->preeditString(), event->attributes());
        trimmed.setCommitString(commit, event->replacementStart(), event->replacementLength());
        QPlainTextEdit::inputMethodEvent(&trimmed);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}
