#pragma once

#include <QWidget>

#include <string>

struct CallStatement;
class DialogUnits;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The command builder, the column at the window's right: a command type, a command and up to
// three parameters are picked from lists, a custom value typed, and ADD STATMENT composes the
// statement. Its controls sit where the window's layout puts them, in dialog units.
class CommandBuilder : public QWidget {
    Q_OBJECT

public:
    CommandBuilder(const DialogUnits& units, QWidget* parent);

    // Where the builder sits in its window, in dialog units.
    static QRect area(const DialogUnits& units);

    // The builder's controls that take the focus by Tab, in the window's tab order.
    QList<QWidget*> tabOrder() const;

    // Chooses what composes `statement` again: its command's type and the command, in each
    // parameter list the entry its argument names, and the arguments no list takes in the custom
    // box. What cannot be matched stays unchosen, and the description box says why.
    void readBack(const CallStatement& statement);

signals:
    // A statement to put at the editor's caret: it goes through the clipboard, so the editor
    // records and colours it like any paste.
    void statementComposed(const std::string& statement);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void chooseCategory();
    void chooseCommand();
    void addStatement();
    // Empties the three parameter lists and puts the custom value's filler and the key help back.
    void resetParameterChoice();
    void setDescription(std::string_view text);
    void setCustomValue(std::string_view text);

    QLineEdit* m_custom;
    QComboBox* m_category;
    QComboBox* m_param1;
    QComboBox* m_param2;
    QComboBox* m_param3;
    QPlainTextEdit* m_description;
    QPushButton* m_addStatement;
    QLabel* m_instructions;
    QComboBox* m_command;
    int m_stopCount = 1;
};
