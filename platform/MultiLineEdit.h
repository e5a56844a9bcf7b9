#pragma once

#include "platform/ControlText.h"

#include <QPlainTextEdit>

// A multi-line edit box. Its window text has carriage return and line feed between lines, and a
// box in upper-case style shows every text put into it in capital letters.
class MultiLineEdit : public QPlainTextEdit, public ControlText {
public:
    explicit MultiLineEdit(bool upperCase, QWidget* parent = nullptr);

    bool isUpperCase() const { return m_upperCase; }

    void setControlText(const QString& text) override;
    QString controlText() const override;

private:
    bool m_upperCase;
};
