#pragma once

#include <QDialog>

#include <optional>

class QLabel;
class QLineEdit;

// The line a typed text names, 1 to `lineCount`; nothing for anything else.
std::optional<int> parseLineNumber(const QString& text, int lineCount);

// Asks for a line to go to. A text that names no line of the script is refused inside the box,
// with the valid range, and the box stays open.
class GoToLineDialog : public QDialog {
    Q_OBJECT

public:
    GoToLineDialog(int lineCount, int currentLine, QWidget* parent);

    void accept() override;

signals:
    // A line from 1 to the script's line count.
    void lineChosen(int line);

private:
    int m_lineCount;
    QLineEdit* m_line;
    QLabel* m_message;
};
