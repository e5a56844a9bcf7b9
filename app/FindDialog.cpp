#include "app/FindDialog.h"

#include "editor/ScriptEditor.h"
#include "editor/ScriptSearch.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

QString notFound(const QString& text)
{
    return QStringLiteral("\"%1\" was not found.").arg(text);
}

} // namespace

FindDialog::FindDialog(ScriptEditor* editor, QWidget* parent)
    : QDialog(parent),
      m_editor(editor),
      m_findText(new QLineEdit(this)),
      m_replaceLabel(new QLabel(QStringLiteral("Replace w&ith:"), this)),
      m_replaceText(new QLineEdit(this)),
      m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this)),
      m_wholeWord(new QCheckBox(QStringLiteral("&Whole word"), this)),
      m_replaceButton(new QPushButton(QStringLiteral("&Replace"), this)),
      m_replaceAllButton(new QPushButton(QStringLiteral("Replace &All"), this)),
      m_notice(new QLabel(this))
{
    setObjectName(QStringLiteral("FindDialog"));
    m_findText->setObjectName(QStringLiteral("FindText"));
    m_replaceText->setObjectName(QStringLiteral("ReplaceText"));
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_replaceButton->setObjectName(QStringLiteral("Replace"));
    m_replaceAllButton->setObjectName(QStringLiteral("ReplaceAll"));
    m_notice->setObjectName(QStringLiteral("Notice"));

    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findLabel->setBuddy(m_findText);
    m_replaceLabel->setBuddy(m_replaceText);
    auto* next = new QPushButton(QStringLiteral("&Find Next"), this);
    next->setObjectName(QStringLiteral("FindNext"));
    next->setDefault(true);
    auto* previous = new QPushButton(QStringLiteral("Find &Previous"), this);
    previous->setObjectName(QStringLiteral("FindPrevious"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Close"));

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findText, 0, 1);
    fields->addWidget(m_replaceLabel, 1, 0);
    fields->addWidget(m_replaceText, 1, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(m_matchCase);
    options->addWidget(m_wholeWord);
    options->addStretch();
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {next, previous, m_replaceButton, m_replaceAllButton, close})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addWidget(m_notice);
    left->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(next, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(previous, &QPushButton::clicked, this, &FindDialog::findPrevious);
    connect(m_replaceButton, &QPushButton::clicked, this, &FindDialog::replace);
    connect(m_replaceAllButton, &QPushButton::clicked, this, &FindDialog::replaceAll);
    connect(close, &QPushButton::clicked, this, &FindDialog::reject);
    connect(m_findText, &QLineEdit::textChanged, m_notice, &QLabel::clear);
    connect(&m_search, &BackgroundSearch::answered, this, &FindDialog::showAnswer);

    // F3 and Shift+F3 go on searching while this window has the focus, as they do from the
    // main window.
    const auto findKey = [this](QKeySequence keys, void (FindDialog::*slot)()) {
        auto* action = new QAction(this);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, slot);
        addAction(action);
    };
    findKey(QKeySequence(Qt::Key_F3), &FindDialog::findNext);
    findKey(QKeySequence(Qt::SHIFT | Qt::Key_F3), &FindDialog::findPrevious);
}

void FindDialog::showFind()
{
    showControls(false);
}

void FindDialog::showReplace()
{
    showControls(true);
}

void FindDialog::showControls(bool replacing)
{
    setWindowTitle(replacing ? QStringLiteral("Replace") : QStringLiteral("Find"));
    for (QWidget* control : {static_cast<QWidget*>(m_replaceLabel), static_cast<QWidget*>(m_replaceText),
                             static_cast<QWidget*>(m_replaceButton), static_cast<QWidget*>(m_replaceAllButton)})
        control->setVisible(replacing);
    // A selection within one line is what the user most likely wants to find.
    const QString selected = m_editor->selectedText();
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) && !selected.contains(QLatin1Char('\r')))
        m_findText->setText(selected);
    m_notice->clear();
    // The layout learns of the hidden or shown controls only later; the size must fit them now.
    layout()->activate();
    adjustSize();
    show();
    raise();
    activateWindow();
    m_findText->setFocus();
    m_findText->selectAll();
}

void FindDialog::findNext()
{
    find(true);
}

void FindDialog::findPrevious()
{
    find(false);
}

script_search::Options FindDialog::options() const
{
    return {m_matchCase->isChecked(), m_wholeWord->isChecked()};
}

void FindDialog::find(bool forward)
{
    if (m_findText->text().isEmpty()) {
        showFind();
        return;
    }
    search(Task::Find, forward);
}

void FindDialog::replace()
{
    if (m_findText->text().isEmpty())
        return;
    script_search::replaceSelection(*m_editor, m_findText->text(), m_replaceText->text(), options());
    find(true);
}

void FindDialog::replaceAll()
{
    if (m_findText->text().isEmpty())
        return;
    m_replacement = m_replaceText->text();
    search(Task::ReplaceAll, true);
}

void FindDialog::search(Task task, bool forward)
{
    m_task = task;
    m_query = script_search::query(*m_editor, m_findText->text(), options(), forward);
    m_searchNumber = m_search.search({m_query.text, m_query.pattern, m_query.options, task == Task::ReplaceAll,
                                      m_query.from, m_query.forward, m_query.unshown});
}

void FindDialog::showAnswer(std::uint64_t number, const BackgroundSearch::Answer& answer)
{
    if (number != m_searchNumber)
        return;
    m_searchNumber = 0;
    if (m_task == Task::ReplaceAll) {
        const std::optional<int> count = script_search::replaceAll(*m_editor, m_query, answer.starts, answer.length,
                                                                   m_replacement);
        if (!count)
            return search(Task::ReplaceAll, true);
        if (*count == 0)
            tell(notFound(m_findText->text()));
        else if (*count == 1)
            tell(QStringLiteral("Replaced 1 occurrence."));
        else
            tell(QStringLiteral("Replaced %1 occurrences.").arg(*count));
        emit searched();
        return;
    }
    const std::optional<script_search::Result> result = script_search::show(*m_editor, m_query, answer.found);
    if (!result)
        return search(Task::Find, m_query.forward);
    switch (*result) {
    case script_search::Result::Found:
        tell({});
        break;
    case script_search::Result::FoundAfterWrap:
        tell(m_query.forward ? QStringLiteral("Passed the end of the script; found from the start.")
                             : QStringLiteral("Passed the start of the script; found from the end."));
        break;
    case script_search::Result::NotFound:
        tell(notFound(m_findText->text()));
        break;
    }
    emit searched();
}

void FindDialog::tell(const QString& notice)
{
    m_notice->setText(notice);
    // F3 works with this window closed too; then the notice shows at the caret.
    if (isVisible() || notice.isEmpty())
        return;
    const long caret = m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const QPoint at(int(m_editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, caret)),
                    int(m_editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, caret)));
    QToolTip::showText(m_editor->viewport()->mapToGlobal(at), notice, m_editor->viewport());
}
