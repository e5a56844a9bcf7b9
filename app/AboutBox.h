#pragma once

#include <QDialog>

// The About box: two blocks of text and a button that closes it.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);
};
