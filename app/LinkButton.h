#pragma once

#include <QPushButton>

// A flat push button drawn with a thin frame, as the window's link and add buttons are. Enter
// clicks it while it has the focus, as Space does.
class LinkButton : public QPushButton {
    Q_OBJECT

public:
    explicit LinkButton(const QString& text, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
