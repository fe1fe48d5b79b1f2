#pragma once
// A multi-line text with a limit on what the user types or pastes: line breaks count as two
// characters (CR LF), as the texts are stored. Text set by the program is not limited. A
// character the device cannot store (no byte in its code page) is refused as it is typed or
// pasted, and the user is told so. Losing the focus to another control is reported as exited();
// a menu or another window taking it is not.

#include <QPlainTextEdit>

#include <string>

class TMemoEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TMemoEdit(QWidget* parent = nullptr);

    void SetMaxLength(int length) { fMaxLength = length; } // 0: no limit
    int MaxLength() const { return fMaxLength; }
    // The text with CR LF line breaks, and its length counted that way.
    std::string Text() const;
    void SetText(const std::string& text); // accepts CR LF or LF
    int Length() const;
    // What the last refusal told the user (empty: nothing refused yet).
    const QString& Odmitnuto() const { return fOdmitnuto; }

signals:
    void exited();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Room left for new text once the selection (which the insertion replaces) is gone.
    int Room() const;
    QString Fit(const QString& text) const;
    // False, after telling the user, when the text holds a character the device cannot store.
    bool Ulozitelny(const QString& text);

    int fMaxLength = 0;
    QString fOdmitnuto;
};
