#include "platform/PushButton.h"

#include <QKeyEvent>
#include <QPainter>

PushButton::PushButton(const QString& text, QWidget* parent) : QPushButton(text, parent)
{
    // A dialog otherwise elects the first auto-default button as its default on show.
    setAutoDefault(false);
}

void PushButton::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void PushButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    if (!isFlat())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
