#pragma once

#include <QComboBox>
#include <QStringList>

// A drop-down list the user cannot type into. Entries the program adds never select anything by
// themselves, a sorted list keeps its entries in ascending order without regard to case, and
// selectionChanged reports only the selections the user makes.
class DropDownList : public QComboBox {
    Q_OBJECT

public:
    explicit DropDownList(bool sorted, QWidget* parent = nullptr);

    bool isSorted() const { return m_sorted; }

    // The position the entry took.
    int addString(const QString& text);
    void addStrings(const QStringList& texts);
    void resetContent();
    // -1 clears the selection.
    void selectSilently(int index);

signals:
    void selectionChanged();

private:
    int sortedPosition(const QString& text) const;

    class ProgramChange;

    bool m_sorted;
    bool m_programChange = false;
};
