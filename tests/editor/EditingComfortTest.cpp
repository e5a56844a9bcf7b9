#include "ScriptEditorHarness.h"

#include "editor/AccessibleEditor.h"
#include "editor/CaretMarks.h"
#include "editor/CompletionPopup.h"
#include "language/ScriptReader.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

long send(ScriptEditor& editor, unsigned int message, unsigned long wParam = 0, long lParam = 0)
{
    return editor.SendScintilla(message, wParam, lParam);
}

// Loads `script` and hands the editor a reading of it, as the window does once typing pauses.
void loadAndRead(ScriptEditorHarness& harness, std::string_view script)
{
    harness.load(script);
    harness.editor().setAnalysis(analyseScript(harness.editor().snapshot()));
    while (harness.editor().foldsPending())
        QApplication::processEvents();
}

bool lineShown(ScriptEditor& editor, long line)
{
    return send(editor, Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(line)) != 0;
}

bool lit(ScriptEditor& editor, int indicator, long position)
{
    return send(editor, Sci::SCI_INDICATORVALUEAT, static_cast<unsigned long>(indicator), position) != 0;
}

const char* const kScript = "func void main(void)\r\n"  // 0
                            "{\r\n"                     // 1
                            "\tif (alarm eq 1) {\r\n"   // 2
                            "\t\tsleep 60\r\n"          // 3
                            "\t}\r\n"                   // 4
                            "\tfork guard(alarm) # alarm\r\n"  // 5
                            "}\r\n"                     // 6
                            "func void guard(int alarm)\r\n"   // 7
                            "{\r\n"                     // 8
                            "\tsleep alarm\r\n"         // 9
                            "}";                        // 10

TEST(Folding, BlocksFoldAndUnfoldWhileTheTextAroundAndInsideThemChanges)
{
    ScriptEditorHarness harness({.show = true});
    ScriptEditor& editor = harness.editor();
    loadAndRead(harness, kScript);
    EXPECT_TRUE(send(editor, Sci::SCI_GETFOLDLEVEL, 2) & Sci::SC_FOLDLEVELHEADERFLAG);

    // F9 in the `if` block folds it, and again unfolds it.
    harness.caretAt(long(harness.text().find("sleep 60")));
    harness.key(Qt::Key_F9);
    EXPECT_FALSE(lineShown(editor, 3));
    EXPECT_TRUE(lineShown(editor, 2));
    EXPECT_EQ(send(editor, Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(harness.caret())), 2);
    // Typing on its header and in a line above keeps it folded, and the case right.
    harness.typeText(" IF");
    harness.caretAt(long(harness.text().find("{")) + 1);
    harness.key(Qt::Key_Return);
    EXPECT_FALSE(lineShown(editor, 4));
    EXPECT_EQ(harness.text().substr(harness.text().find("{ if"), 4), "{ if");

    // An edit that reaches into the folded lines brings them back into view.
    const long hidden = long(harness.text().find("sleep 60"));
    {
        ScriptEditor::EditStep step(editor);
        send(editor, Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(hidden), hidden + 5);
        send(editor, Sci::SCI_REPLACETARGET, 5, reinterpret_cast<long>("SLEEP"));
    }
    EXPECT_TRUE(lineShown(editor, 4));
    EXPECT_EQ(harness.text().substr(std::size_t(hidden), 5), "sleep");

    // Shift+F9 folds every function and then opens them all again.
    harness.caretAt(0);
    harness.key(Qt::Key_F9, Qt::ShiftModifier);
    EXPECT_TRUE(lineShown(editor, 0));
    EXPECT_FALSE(lineShown(editor, 1));
    EXPECT_TRUE(lineShown(editor, 8));
    EXPECT_FALSE(lineShown(editor, 9));
    harness.key(Qt::Key_F9, Qt::ShiftModifier);
    for (long line = 0; line < send(editor, Sci::SCI_GETLINECOUNT); ++line)
        EXPECT_TRUE(lineShown(editor, line)) << line;

    // A caret the folds hide goes to the end of the header of the fold that hides it.
    harness.caretAt(long(harness.text().find("sleep alarm")));
    harness.key(Qt::Key_F9, Qt::ShiftModifier);
    const long caret = send(editor, Sci::SCI_GETCURRENTPOS);
    const long caretLine = send(editor, Sci::SCI_LINEFROMPOSITION, static_cast<unsigned long>(caret));
    EXPECT_EQ(caretLine, send(editor, Sci::SCI_GETFOLDPARENT, 9));
    EXPECT_TRUE(lineShown(editor, caretLine));
    EXPECT_EQ(caret, send(editor, Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(caretLine)));
}

TEST(CaretMarks, BracesShowTheirPartnerOrTheErrorColourAndTheKeyJumpsBetweenThem)
{
    ScriptEditorHarness harness({.show = true});
    ScriptEditor& editor = harness.editor();
    harness.load("func f(void)\r\n{\r\n\tif (a) {\r\n\t\tx # }\r\n\t}\r\n}\r\n(");
    const std::string text = harness.text();
    const long open = long(text.find("{\r\n\tif"));
    const long close = long(text.rfind('}'));
    harness.caretAt(open + 1);
    QApplication::processEvents();
    EXPECT_TRUE(lit(editor, CaretMarks::kBraceIndicator, open));
    EXPECT_TRUE(lit(editor, CaretMarks::kBraceIndicator, close));
    EXPECT_FALSE(lit(editor, CaretMarks::kBraceIndicator, long(text.find("# }")) + 2));

    harness.key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(harness.caret(), close + 1);
    harness.key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(harness.caret(), open + 1);

    harness.caretAt(long(text.size()));
    QApplication::processEvents();
    EXPECT_FALSE(lit(editor, CaretMarks::kBraceIndicator, open));
    EXPECT_TRUE(lit(editor, CaretMarks::kUnmatchedBraceIndicator, long(text.size()) - 1));
}

TEST(CaretMarks, ANamesUsesLightUpButNotInComments)
{
    ScriptEditorHarness harness({.show = true});
    ScriptEditor& editor = harness.editor();
    editor.setOccurrenceDelay(std::chrono::milliseconds(0));
    harness.load(kScript);
    const std::string text = harness.text();
    harness.caretAt(long(text.find("alarm")) + 2);
    QApplication::processEvents();
    QApplication::processEvents();
    std::vector<long> lit;
    for (long at = 0; at < long(text.size()); ++at) {
        if (::lit(editor, CaretMarks::kOccurrenceIndicator, at) && (at == 0 || !::lit(editor, CaretMarks::kOccurrenceIndicator, at - 1)))
            lit.push_back(at);
    }
    const long comment = long(text.find("# alarm")) + 2;
    const std::vector<long> expected{long(text.find("alarm")), long(text.find("(alarm)")) + 1,
                                     long(text.find("int alarm")) + 4, long(text.find("sleep alarm")) + 6};
    EXPECT_EQ(lit, expected);
    EXPECT_FALSE(::lit(editor, CaretMarks::kOccurrenceIndicator, comment));

    // Lit, they stay as they are: the marks' own changes never make them go again.
    const auto updatesOverRepaints = [&] {
        int updates = 0;
        const auto counting = QObject::connect(&editor, &QsciScintillaBase::SCN_UPDATEUI, [&updates](int) { ++updates; });
        for (int round = 0; round < 10; ++round) {
            harness.window()->repaint();
            QApplication::processEvents();
        }
        QObject::disconnect(counting);
        return updates;
    };
    updatesOverRepaints();
    EXPECT_EQ(updatesOverRepaints(), 0);
}

TEST(Indentation, EnterKeepsTheScriptsIndentationAndAClosingBraceGoesBack)
{
    for (const std::string unit : {"\t", "    "}) {
        SCOPED_TRACE(unit.size());
        ScriptEditorHarness harness;
        const std::string script = "func void f(void)\r\n{\r\n" + unit + "sleep 1\r\n}";
        loadAndRead(harness, script);
        harness.caretAt(long(harness.text().find("sleep 1")) + 7);
        harness.key(Qt::Key_Return);
        harness.typeText("if (a) {");
        harness.key(Qt::Key_Return, Qt::ControlModifier);
        harness.typeText("FORK b");
        harness.key(Qt::Key_Return);
        harness.typeText("}");
        EXPECT_EQ(harness.text(), "func void f(void)\r\n{\r\n" + unit + "sleep 1\r\n" + unit + "if (a) {\r\n" + unit + unit
                                      + "fork b\r\n" + unit + "}\r\n}");
        // The new line and its indentation are one step, the brace's move another with the brace.
        harness.editor().undo();
        EXPECT_EQ(harness.text().substr(harness.text().size() - 6 - 2 * unit.size()), "b\r\n" + unit + unit + "\r\n}");
    }
}

TEST(Indentation, SelectedLinesIndentOutdentAndCommentOutAsOneStep)
{
    ScriptEditorHarness harness;
    harness.load("sleep 1\r\n\tsleep 2\r\n\r\nsleep 3");
    harness.select(2, long(harness.text().find("sleep 3")) + 2);
    harness.key(Qt::Key_Slash, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "#sleep 1\r\n\t#sleep 2\r\n\r\n#sleep 3");
    harness.key(Qt::Key_BracketRight, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "\t#sleep 1\r\n\t\t#sleep 2\r\n\r\n\t#sleep 3");
    harness.key(Qt::Key_BracketLeft, Qt::ControlModifier);
    harness.key(Qt::Key_Slash, Qt::ControlModifier);
    EXPECT_EQ(harness.text(), "sleep 1\r\n\tsleep 2\r\n\r\nsleep 3");
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "#sleep 1\r\n\t#sleep 2\r\n\r\n#sleep 3");
    // Tab still types a tab in place of the selection.
    harness.select(1, 3);
    harness.key(Qt::Key_Tab);
    EXPECT_EQ(harness.text(), "#\teep 1\r\n\t#sleep 2\r\n\r\n#sleep 3");
}

TEST(Templates, AChosenTemplateIsFilledFieldByFieldAndUndoneAsOneStep)
{
    ScriptEditorHarness harness({.show = true});
    loadAndRead(harness, "func void f(void)\r\n{\r\n\t\r\n}");
    harness.caretAt(long(harness.text().find("\t\r\n")) + 1);
    harness.typeText("if");
    harness.key(Qt::Key_Space, Qt::ControlModifier);
    auto* popup = harness.editor().findChild<CompletionPopup*>();
    ASSERT_TRUE(popup && popup->isVisible());
    const auto& candidates = popup->candidates();
    const auto ifElse = std::find_if(candidates.begin(), candidates.end(),
                                     [](const Candidate& c) { return c.kind == NameKind::Template && c.insertText == "ifelse"; });
    ASSERT_NE(ifElse, candidates.end());
    for (auto at = candidates.begin(); at != ifElse; ++at)
        harness.key(Qt::Key_Down);
    harness.key(Qt::Key_Return);
    ASSERT_TRUE(harness.editor().fillingTemplate());
    const std::string inserted = "func void f(void)\r\n{\r\n\tif (condition) {\r\n\t\tbody\r\n\t} else {\r\n\t\tbody\r\n\t}\r\n}";
    EXPECT_EQ(harness.text(), inserted);

    const int keys = 10 + 7 + 7;
    harness.typeText("alarm EQ 1");
    harness.key(Qt::Key_Tab);
    harness.typeText("sleep 1");
    harness.key(Qt::Key_Tab);
    harness.typeText("sleep 2");
    harness.key(Qt::Key_Tab);
    EXPECT_FALSE(harness.editor().fillingTemplate());
    EXPECT_EQ(harness.text(), "func void f(void)\r\n{\r\n\tif (alarm eq 1) {\r\n\t\tsleep 1\r\n\t} else {\r\n\t\tsleep 2\r\n\t}\r\n}");
    // Past the template Tab types a tab again.
    harness.key(Qt::Key_Tab);
    EXPECT_EQ(harness.text().substr(harness.text().size() - 6), "\t}\t\r\n}");

    // The template went in as one step.
    for (int step = 0; step < keys + 1; ++step)
        harness.editor().undo();
    EXPECT_EQ(harness.text(), inserted);
    harness.editor().undo();
    EXPECT_EQ(harness.text(), "func void f(void)\r\n{\r\n\tif\r\n}");

    // Escape ends the filling early; Tab is a tab again.
    harness.editor().redo();
    harness.select(long(inserted.find("condition")), long(inserted.find("condition")) + 9);
    harness.editor().insertTemplate(long(inserted.find("condition")), long(inserted.find("condition")) + 9, "fork");
    EXPECT_TRUE(harness.editor().fillingTemplate());
    harness.key(Qt::Key_Escape);
    EXPECT_FALSE(harness.editor().fillingTemplate());
    EXPECT_NE(harness.text().find("if (fork name) {"), std::string::npos);
}

TEST(SeveralCarets, TypingDeletingAndPastingActAtEachCaretWithTheCaseCorrection)
{
    ScriptEditorHarness harness({.show = true});
    ScriptEditor& editor = harness.editor();
    harness.load("a\r\nb\r\nc");
    send(editor, Sci::SCI_SETSELECTION, 0, 0);
    send(editor, Sci::SCI_ADDSELECTION, 3, 3);
    send(editor, Sci::SCI_ADDSELECTION, 6, 6);
    harness.typeText("FORK ");
    EXPECT_EQ(harness.text(), "fork a\r\nfork b\r\nfork c");
    EXPECT_EQ(send(editor, Sci::SCI_GETSELECTIONS), 3);
    harness.key(Qt::Key_Backspace);
    EXPECT_EQ(harness.text(), "forka\r\nforkb\r\nforkc");
    QApplication::clipboard()->setText(QStringLiteral(" SLEEP "));
    editor.paste();
    EXPECT_EQ(harness.text(), "fork sleep a\r\nfork sleep b\r\nfork sleep c");
    harness.key(Qt::Key_Tab);
    EXPECT_EQ(harness.text(), "fork sleep \ta\r\nfork sleep \tb\r\nfork sleep \tc");
    // Each keystroke is one step, at every caret.
    editor.undo();
    editor.undo();
    EXPECT_EQ(harness.text(), "forka\r\nforkb\r\nforkc");
}

// Collects what the editor tells assistive technology.
struct ScreenReader {
    static inline std::vector<std::unique_ptr<QAccessibleEvent>>* heard = nullptr;
    std::vector<std::unique_ptr<QAccessibleEvent>> events;

    ScreenReader()
    {
        heard = &events;
        AccessibleEditor::setEventSink([](QAccessibleEvent& accessibleEvent) {
            QAccessibleEvent* event = &accessibleEvent;
            if (event->type() == QAccessible::TextCaretMoved)
                heard->push_back(std::make_unique<QAccessibleTextCursorEvent>(
                    event->object(), static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition()));
            else if (event->type() == QAccessible::TextInserted)
                heard->push_back(std::make_unique<QAccessibleTextInsertEvent>(
                    event->object(), static_cast<QAccessibleTextInsertEvent*>(event)->changePosition(),
                    static_cast<QAccessibleTextInsertEvent*>(event)->textInserted()));
            else if (event->type() == QAccessible::Focus) {
                auto copy = std::make_unique<QAccessibleEvent>(event->object(), QAccessible::Focus);
                copy->setChild(event->child());
                heard->push_back(std::move(copy));
            }
        });
    }
    ~ScreenReader()
    {
        AccessibleEditor::setEventSink(nullptr);
        heard = nullptr;
    }
    ScreenReader(const ScreenReader&) = delete;
    ScreenReader& operator=(const ScreenReader&) = delete;

    template <class Event> const Event* last(QAccessible::Event type) const
    {
        for (auto event = events.rbegin(); event != events.rend(); ++event) {
            if ((*event)->type() == type)
                return static_cast<const Event*>(event->get());
        }
        return nullptr;
    }
};

TEST(ScreenReaders, TheTextCaretAndLinesAreReadFromTheEditorAndChangesAreTold)
{
    ScriptEditorHarness harness({.show = true});
    ScriptEditor& editor = harness.editor();
    harness.load("# caf\xE9\r\nsleep 1\r\nfork x");
    // The component's own bridge, which counts characters from the start of the text at every
    // change, hears of none.
    EXPECT_EQ(send(editor, Sci::SCI_GETMODEVENTMASK), Sci::SC_MOD_BEFOREINSERT | Sci::SC_MOD_BEFOREDELETE);
    const ScreenReader reader;
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&editor);
    ASSERT_NE(accessible, nullptr);
    QAccessibleTextInterface* text = accessible->textInterface();
    ASSERT_NE(text, nullptr);
    ASSERT_NE(accessible->editableTextInterface(), nullptr);
    EXPECT_EQ(text->characterCount(), 23);
    EXPECT_EQ(text->text(0, 6), QStringLiteral("# caf\u00e9"));
    int start = 0;
    int end = 0;
    EXPECT_EQ(text->textAtOffset(10, QAccessible::LineBoundary, &start, &end), QStringLiteral("sleep 1\r\n"));
    EXPECT_EQ(std::pair(start, end), std::pair(8, 17));
    EXPECT_EQ(text->textAfterOffset(10, QAccessible::LineBoundary, &start, &end), QStringLiteral("fork x"));
    EXPECT_EQ(text->textAtOffset(19, QAccessible::WordBoundary, &start, &end), QStringLiteral("fork"));

    // The caret moving to another line is told with its place, where the reader finds the line.
    harness.caretAt(long(harness.text().find("fork")));
    QApplication::processEvents();
    const auto* moved = reader.last<QAccessibleTextCursorEvent>(QAccessible::TextCaretMoved);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->cursorPosition(), 17);
    EXPECT_EQ(text->cursorPosition(), 17);
    EXPECT_EQ(text->textAtOffset(moved->cursorPosition(), QAccessible::LineBoundary, &start, &end), QStringLiteral("fork x"));

    // A key is told as the character it typed, corrected or not, never as the whole text.
    harness.typeText("Z");
    const auto* typed = reader.last<QAccessibleTextInsertEvent>(QAccessible::TextInserted);
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->changePosition(), 17);
    EXPECT_EQ(typed->textInserted(), QStringLiteral("Z"));
    accessible->editableTextInterface()->insertText(0, QStringLiteral("IF "));
    EXPECT_EQ(harness.text().substr(0, 5), "if # ");

    // The completion candidate that becomes current is told.
    harness.caretAt(long(harness.text().size()));
    harness.typeText(" ai2_atta");
    harness.key(Qt::Key_Space, Qt::ControlModifier);
    auto* popup = editor.findChild<CompletionPopup*>();
    ASSERT_TRUE(popup && popup->isVisible());
    harness.key(Qt::Key_Down);
    const QAccessibleEvent* focus = reader.last<QAccessibleEvent>(QAccessible::Focus);
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->object(), popup);
    EXPECT_EQ(focus->child(), popup->currentIndex().row());
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(popup);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->text(QAccessible::Name), QString::fromStdString(popup->chosen()->text));
}

} // namespace
