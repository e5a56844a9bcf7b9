#include "app/LevelFindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace {

QString counted(std::size_t count, const char* one, const char* many)
{
    return count == 1 ? QString::fromLatin1(one) : QString::fromLatin1(many).arg(count);
}

} // namespace

LevelFindDialog::LevelFindDialog(QWidget* parent)
    : QDialog(parent), m_findText(new QLineEdit(this)), m_replaceText(new QLineEdit(this)),
      m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this)),
      m_wholeWord(new QCheckBox(QStringLiteral("&Whole word"), this)), m_notice(new QLabel(this)),
      m_list(new PlaceList(this))
{
    setObjectName(QStringLiteral("LevelFindDialog"));
    setWindowTitle(QStringLiteral("Find in Level"));
    setModal(false);
    m_findText->setObjectName(QStringLiteral("LevelFindText"));
    m_replaceText->setObjectName(QStringLiteral("LevelReplaceText"));
    m_matchCase->setObjectName(QStringLiteral("LevelMatchCase"));
    m_wholeWord->setObjectName(QStringLiteral("LevelWholeWord"));
    m_notice->setObjectName(QStringLiteral("LevelNotice"));
    m_notice->setTextFormat(Qt::PlainText);
    m_list->setObjectName(QStringLiteral("LevelMatches"));

    auto* findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    findLabel->setBuddy(m_findText);
    auto* replaceLabel = new QLabel(QStringLiteral("Replace w&ith:"), this);
    replaceLabel->setBuddy(m_replaceText);
    auto* find = new QPushButton(QStringLiteral("&Find All"), this);
    find->setObjectName(QStringLiteral("LevelFindAll"));
    find->setDefault(true);
    auto* replace = new QPushButton(QStringLiteral("Replace &All"), this);
    replace->setObjectName(QStringLiteral("LevelReplaceAll"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);

    auto* fields = new QGridLayout;
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_findText, 0, 1);
    fields->addWidget(replaceLabel, 1, 0);
    fields->addWidget(m_replaceText, 1, 1);
    auto* choices = new QHBoxLayout;
    choices->addWidget(m_matchCase);
    choices->addWidget(m_wholeWord);
    choices->addStretch();
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {find, replace, close})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(choices);
    left->addWidget(m_notice);
    top->addLayout(left, 1);
    top->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_list, 1);
    resize(600, 380);

    connect(find, &QPushButton::clicked, this, [this] {
        if (!m_findText->text().isEmpty())
            emit findAll(m_findText->text(), options());
    });
    connect(replace, &QPushButton::clicked, this, [this] {
        if (!m_findText->text().isEmpty())
            emit replaceAll(m_findText->text(), m_replaceText->text(), options());
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_findText, &QLineEdit::textChanged, m_notice, &QLabel::clear);
}

SearchOptions LevelFindDialog::options() const
{
    return {m_matchCase->isChecked(), m_wholeWord->isChecked()};
}

void LevelFindDialog::showFind(const QString& selected)
{
    if (!selected.isEmpty() && !selected.contains(QLatin1Char('\n')) && !selected.contains(QLatin1Char('\r')))
        m_findText->setText(selected);
    show();
    raise();
    activateWindow();
    m_findText->setFocus();
    m_findText->selectAll();
}

void LevelFindDialog::showMatches(std::vector<LevelPlace> places, std::shared_ptr<const Level> level)
{
    QSet<QString> scripts;
    for (const LevelPlace& place : places)
        scripts.insert(place.path.isEmpty() ? place.name : place.path);
    if (places.empty())
        tell(QStringLiteral("\"%1\" was not found in the level.").arg(m_findText->text()));
    else
        tell(counted(places.size(), "1 match", "%1 matches") + QStringLiteral(" in ") +
             counted(std::size_t(scripts.size()), "1 script.", "%1 scripts."));
    m_list->places()->setPlaces(std::move(places), std::move(level));
}

void LevelFindDialog::showReplaced(int count, int scripts)
{
    m_list->places()->setPlaces({}, nullptr);
    if (count == 0)
        tell(QStringLiteral("\"%1\" was not found in the level.").arg(m_findText->text()));
    else
        tell(QStringLiteral("Replaced ") + counted(std::size_t(count), "1 occurrence", "%1 occurrences") +
             QStringLiteral(" in ") + counted(std::size_t(scripts), "1 script.", "%1 scripts."));
}

void LevelFindDialog::tell(const QString& notice)
{
    m_notice->setText(notice);
}
