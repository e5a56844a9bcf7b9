#include "app/CommandBuilder.h"

#include "app/LinkButton.h"
#include "catalogue/CommandTable.h"
#include "builder/StatementComposer.h"
#include "language/BuilderReadBack.h"
#include "language/ScriptReader.h"
#include "platform/Cp1252.h"
#include "platform/DesktopServices.h"
#include "platform/DialogUnits.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <array>

namespace {

// In the window's dialog units; the builder's own area spans its controls.
constexpr DialogRect kBuilderArea{433, 54, 141, 199};
constexpr DialogRect kCustomRect{433, 164, 141, 12};
constexpr DialogRect kCategoryRect{433, 54, 141, 12};
constexpr DialogRect kParam1Rect{433, 119, 141, 12};
constexpr DialogRect kParam2Rect{433, 134, 141, 12};
constexpr DialogRect kParam3Rect{433, 149, 141, 12};
constexpr DialogRect kDescriptionRect{433, 180, 141, 57};
constexpr DialogRect kAddStatementRect{433, 240, 141, 13};
constexpr DialogRect kInstructionsRect{433, 68, 140, 31};
constexpr DialogRect kCommandRect{433, 104, 141, 12};

constexpr char kInstructions[] = "-Select the command type from the \n above Combo-Box.\n-Make a correct combination "
                                 "from the\n available commands and parameters.";

// Long lists such as the 889 character names open thirty entries tall, not Qt's default ten.
constexpr int kVisibleListEntries = 30;

QString fromCodePage(std::string_view text)
{
    return cp1252::decode(text);
}

std::string toCodePage(const QString& text)
{
    return cp1252::encode(text);
}

// The editor holds its text as UTF-8; the builder's values are code-page bytes.
std::string fromDocument(std::string_view text)
{
    return cp1252::encode(QString::fromUtf8(text.data(), qsizetype(text.size())));
}

// Letter by letter, and only into capitals the code page holds, so that every character can
// still be read back as one byte.
QString toUpperCase(QString text)
{
    for (QChar& ch : text) {
        const QChar capital = ch.toUpper();
        unsigned char byte = 0;
        if (capital != ch && cp1252::fromUnicode(capital, byte))
            ch = capital;
    }
    return text;
}

// Entries the program puts into a list never count as the user's choice.
void replaceEntries(QComboBox* list, const std::vector<std::string>& entries, int current)
{
    const QSignalBlocker blocker(list);
    list->clear();
    QStringList texts;
    texts.reserve(qsizetype(entries.size()));
    for (const std::string& entry : entries)
        texts.append(fromCodePage(entry));
    list->addItems(texts);
    list->setCurrentIndex(current);
}

} // namespace

CommandBuilder::CommandBuilder(const DialogUnits& units, QWidget* parent)
    : QWidget(parent),
      m_custom(new QLineEdit(this)),
      m_category(new QComboBox(this)),
      m_param1(new QComboBox(this)),
      m_param2(new QComboBox(this)),
      m_param3(new QComboBox(this)),
      m_description(new QPlainTextEdit(this)),
      m_addStatement(new LinkButton(QStringLiteral("ADD STATMENT"), this)),
      m_instructions(new QLabel(QString::fromLatin1(kInstructions), this)),
      m_command(new QComboBox(this))
{
    setGeometry(area(units));
    const QPoint origin = area(units).topLeft();
    const auto place = [&](QWidget* control, const char* name, const DialogRect& rect) {
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(units.toPixels(rect).translated(-origin));
    };
    place(m_custom, "IDC_CUSTOM_EDIT", kCustomRect);
    place(m_category, "IDC_CATEGORY_COMBO", kCategoryRect);
    place(m_param1, "IDC_PARAM1_COMBO", kParam1Rect);
    place(m_param2, "IDC_PARAM2_COMBO", kParam2Rect);
    place(m_param3, "IDC_PARAM3_COMBO", kParam3Rect);
    place(m_description, "IDC_HINT_EDIT", kDescriptionRect);
    place(m_addStatement, "IDC_ADD_STATEMENT", kAddStatementRect);
    place(m_instructions, "IDC_STATIC", kInstructionsRect);
    place(m_command, "IDC_COMMAND_COMBO", kCommandRect);

    for (QComboBox* list : {m_category, m_param1, m_param2, m_param3, m_command}) {
        list->setMaxVisibleItems(kVisibleListEntries);
        list->setFocusPolicy(Qt::StrongFocus);
        list->view()->installEventFilter(this);
    }
    m_custom->setFocusPolicy(Qt::StrongFocus);
    m_description->setReadOnly(true);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_description->setTabChangesFocus(true);
    m_description->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_description->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_description->setFocusPolicy(Qt::StrongFocus);
    m_instructions->setTextFormat(Qt::PlainText);
    m_instructions->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_instructions->setWordWrap(true);
    m_instructions->setFocusPolicy(Qt::NoFocus);

    connect(m_category, &QComboBox::currentIndexChanged, this, &CommandBuilder::chooseCategory);
    connect(m_command, &QComboBox::currentIndexChanged, this, &CommandBuilder::chooseCommand);
    connect(m_addStatement, &QPushButton::clicked, this, &CommandBuilder::addStatement);

    setDescription(kKeyHelpHint);
    setCustomValue(kCustomValueFiller);
    std::vector<std::string> categories{std::string(kCategoryPrompt)};
    for (const CommandCategory& category : commandCategories())
        categories.emplace_back(category.label);
    replaceEntries(m_category, categories, 0);
}

QRect CommandBuilder::area(const DialogUnits& units)
{
    return units.toPixels(kBuilderArea);
}

QList<QWidget*> CommandBuilder::tabOrder() const
{
    return {m_custom, m_category, m_param1, m_param2, m_param3, m_description, m_addStatement, m_command};
}

bool CommandBuilder::eventFilter(QObject* watched, QEvent* event)
{
    // An open list stays open on Escape; a click or Enter closes it. The list closes already on
    // the shortcut check that precedes the key press, so that is held back too.
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (key && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        return true;
    return QWidget::eventFilter(watched, event);
}

void CommandBuilder::setDescription(std::string_view text)
{
    m_description->setPlainText(toUpperCase(fromCodePage(text)));
}

void CommandBuilder::setCustomValue(std::string_view text)
{
    m_custom->setText(fromCodePage(text));
    m_custom->setCursorPosition(0);
}

void CommandBuilder::resetParameterChoice()
{
    for (QComboBox* list : {m_param1, m_param2, m_param3}) {
        const QSignalBlocker blocker(list);
        list->clear();
    }
    setCustomValue(kCustomValueFiller);
    setDescription(kKeyHelpHint);
}

void CommandBuilder::chooseCategory()
{
    resetParameterChoice();
    // The prompt, or no selection at all, empties the command list.
    const CommandCategory* category = findCommandCategory(m_category->currentIndex());
    if (!category) {
        const QSignalBlocker blocker(m_command);
        m_command->clear();
        return;
    }
    std::vector<std::string> entries{std::string(category->heading)};
    for (const ScriptCommand& command : category->commands)
        entries.emplace_back(command.name);
    // The heading shows as the current entry; it is no choice of a command.
    replaceEntries(m_command, entries, 0);
}

void CommandBuilder::chooseCommand()
{
    resetParameterChoice();
    const ScriptCommand* command = findCommand(toCodePage(m_command->currentText()));
    if (!command)
        return;
    const std::array<QComboBox*, 3> lists = {m_param1, m_param2, m_param3};
    const auto sources = command->parameterLists();
    for (std::size_t i = 0; i < lists.size(); ++i) {
        std::vector<std::string> entries;
        fillParameterList(sources[i], entries);
        replaceEntries(lists[i], entries, -1);
    }
    if (command->placeholder)
        setCustomValue(*command->placeholder);
    setDescription(command->description);
}

void CommandBuilder::addStatement()
{
    StatementChoice choice{toCodePage(m_command->currentText()), toCodePage(m_param1->currentText()),
                           toCodePage(m_param2->currentText()), toCodePage(m_param3->currentText()),
                           toCodePage(m_custom->text())};
    if (choice.custom == kCustomValueFiller)
        choice.custom.clear();

    DesktopServices& desktop = DesktopServices::instance();
    if (isRefusedCombination(choice)) {
        desktop.messageBox(window(), fromCodePage(kRefusalText), fromCodePage(kBuilderBoxCaption),
                           DesktopServices::Icon::None);
        return;
    }

    std::string statement;
    if (const StatementTemplate* statementTemplate = findStatementTemplate(choice.command)) {
        statement = composeFromTemplate(*statementTemplate, choice);
    } else if (choice.command == kStopCommand) {
        if (++m_stopCount == kStopMessageCount)
            desktop.messageBox(window(), fromCodePage(kStopMessage), fromCodePage(kBuilderBoxCaption),
                               DesktopServices::Icon::None);
    } else {
        statement = composeDefault(choice);
    }
    // "cinematic_stop" composes nothing: the clipboard keeps what it holds.
    if (!statement.empty())
        emit statementComposed(statement);
    setDescription(kKeyHelpHint);
}

void CommandBuilder::readBack(const CallStatement& statement)
{
    if (statement.callee.empty()) {
        setDescription("Nothing on this line calls a command.");
        return;
    }
    const BuilderReading reading = readIntoBuilder(statement);
    if (!reading.command) {
        setDescription(std::string(1, '\'').append(fromDocument(statement.callee)).append("' is not a command the builder knows."));
        return;
    }

    // Set as the user would pick them, even when the same entries are chosen already, so that
    // the lists are filled afresh.
    {
        const QSignalBlocker blocker(m_category);
        m_category->setCurrentIndex(reading.category);
    }
    chooseCategory();
    const CommandCategory* category = findCommandCategory(reading.category);
    int commandRow = -1;
    for (std::size_t i = 0; category && i < category->commands.size(); ++i) {
        if (&category->commands[i] == reading.command)
            commandRow = int(i) + 1;  // after the heading
    }
    {
        const QSignalBlocker blocker(m_command);
        m_command->setCurrentIndex(commandRow);
    }
    chooseCommand();

    const std::array<QComboBox*, 3> lists = {m_param1, m_param2, m_param3};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const QSignalBlocker blocker(lists[i]);
        lists[i]->setCurrentIndex(reading.selected[i]);
    }

    // An argument no list holds is kept, ahead of the rest, so that nothing written is lost.
    std::string custom;
    for (const std::string_view argument : reading.unmatched) {
        custom += fromDocument(argument);
        custom += ' ';
    }
    custom += fromDocument(reading.custom);
    while (!custom.empty() && custom.back() == ' ')
        custom.pop_back();
    if (!custom.empty())
        setCustomValue(custom);

    std::string description;
    for (const std::string_view argument : reading.unmatched)
        description += "No list holds '" + fromDocument(argument) + "'; it is in the custom box.\r\n";
    if (!description.empty())
        description += "\r\n";
    description += reading.command->description;
    setDescription(description);
}
