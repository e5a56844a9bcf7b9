#pragma once

#include "platform/DialogTemplate.h"

class QWidget;

// Creates the widget of one template control as a child of `parent`: named after its identifier,
// carrying the identifier's value, showing its text and behaving as its style asks. Placing it
// is the caller's part.
QWidget* CreateControl(const ControlTemplate& control, QWidget* parent);
