#include "platform/DropDownList.h"

// Marks the selection changes that come from the program rather than the user. An empty list
// that gains entries keeps having no selection.
class DropDownList::ProgramChange {
public:
    explicit ProgramChange(DropDownList& list)
        : m_list(list), m_hadSelection(list.currentIndex() >= 0), m_outer(list.m_programChange)
    {
        m_list.m_programChange = true;
    }
    ~ProgramChange()
    {
        if (!m_hadSelection)
            m_list.setCurrentIndex(-1);
        m_list.m_programChange = m_outer;
    }
    ProgramChange(const ProgramChange&) = delete;
    ProgramChange& operator=(const ProgramChange&) = delete;

    void keepSelection() { m_hadSelection = true; }

private:
    DropDownList& m_list;
    bool m_hadSelection;
    bool m_outer;
};

DropDownList::DropDownList(bool sorted, QWidget* parent) : QComboBox(parent), m_sorted(sorted)
{
    setEditable(false);
    connect(this, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_programChange)
            emit selectionChanged();
    });
}

int DropDownList::sortedPosition(const QString& text) const
{
    // After the entries that compare equal, so that equal entries stay in the order added.
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (QString::compare(itemText(middle), text, Qt::CaseInsensitive) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

int DropDownList::addString(const QString& text)
{
    ProgramChange change(*this);
    const int position = m_sorted ? sortedPosition(text) : count();
    insertItem(position, text);
    return position;
}

void DropDownList::addStrings(const QStringList& texts)
{
    ProgramChange change(*this);
    if (!m_sorted) {
        insertItems(count(), texts);
        return;
    }
    for (const QString& text : texts)
        insertItem(sortedPosition(text), text);
}

void DropDownList::resetContent()
{
    ProgramChange change(*this);
    clear();
}

void DropDownList::selectSilently(int index)
{
    ProgramChange change(*this);
    change.keepSelection();
    setCurrentIndex(index);
}
