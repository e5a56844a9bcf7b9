#pragma once

#include "platform/ControlText.h"

#include <QLineEdit>

// A single-line edit box. A text put into it shows from its start, with the caret there.
class SingleLineEdit : public QLineEdit, public ControlText {
public:
    using QLineEdit::QLineEdit;

    void setControlText(const QString& text) override;
    QString controlText() const override { return text(); }
};
