#pragma once

#include <QString>

// A control whose window text is not simply the text its widget holds: it converts what is put in,
// or hands its text out in another form, the way the control itself would. CWnd's
// SetWindowText and GetWindowText go through this when a widget offers it.
class ControlText {
public:
    virtual ~ControlText() = default;

    virtual void setControlText(const QString& text) = 0;
    virtual QString controlText() const = 0;
};
