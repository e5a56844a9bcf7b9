#pragma once

#include <QPushButton>

// A dialog push button. Enter clicks it while it has the focus; it never becomes the dialog's
// default button by taking the focus, so Enter elsewhere does not click it. A flat button keeps
// a thin frame, so that it still looks like something to press.
class PushButton : public QPushButton {
public:
    explicit PushButton(const QString& text, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
