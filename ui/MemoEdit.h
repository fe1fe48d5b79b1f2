#pragma once
// A multi-line text with a limit on what the user types or pastes: line breaks count as two
// characters (CR LF), as the texts are stored. Text set by the program is not limited.

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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    // Room left for new text once the selection (which the insertion replaces) is gone.
    int Room() const;
    QString Fit(const QString& text) const;

    int fMaxLength = 0;
};
