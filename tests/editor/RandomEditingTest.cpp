#include "ScriptEditorHarness.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <random>
#include <sstream>

namespace {

// Pieces typed into the editor: list words in every letter case, numbers of every shape the scan
// knows, operators, comments, quotes, bytes of the upper half and characters outside the code page.
const std::array<const char*, 40> kPieces = {
    "func", "FUNC", "If", "var ", "int", "fork", "sleep", "eq", "ai2_spawn", "AI2_SPAWN", "chr_teleport",
    "ai2_debug_showsettingids", "Barabus", "BARABUS", "barabus", "Griffin", "12", "1.5.3", "3d2", "12e",
    "1.5e3", "-4", "7.", "0", "(", ")", "{", "}", "=", "# note", "#", "\"", " ", "  ", "x", "_a1", "\xC3\xA9",
    "\xE2\x82\xAC", "\xC5\x99", ";"};

// Whole scripts or clipboard texts, with every kind of line end.
const std::array<const char*, 6> kTexts = {
    "func main()\r\n{\r\n\tchr_teleport Barabus 12 # go\r\n}\r\n",
    "VAR INT a = 1.5e3;\nIF (a eq 2) { SLEEP 10 }\n",
    "ai2_spawn griffin\rfork x\r",
    "# only a comment",
    "x\n\ny = \"func\" 3d2\n",
    "\xC5\x99\xC3\xA9 caf\xC3\xA9 if\xE2\x80\xA8var",
};

class RandomEditor {
public:
    explicit RandomEditor(unsigned seed)
        : m_random(seed)
        , m_harness({.show = true})
    {
    }

    void step(int number)
    {
        const int choice = pick(0, 99);
        if (choice < 30)
            typePiece();
        else if (choice < 40)
            deleteKey();
        else if (choice < 45)
            key(pick(0, 1) ? Qt::Key_Tab : Qt::Key_Return, pick(0, 1) ? Qt::ControlModifier : Qt::NoModifier);
        else if (choice < 58)
            select();
        else if (choice < 63)
            cut();
        else if (choice < 70)
            paste();
        else if (choice < 74)
            move();
        else if (choice < 77)
            clear();
        else if (choice < 84)
            undo();
        else if (choice < 89)
            redo();
        else if (choice < 91)
            replaceAll();
        else
            navigate();
        if (number % 7 == 0) {
            m_harness.widget()->repaint();
            QCoreApplication::processEvents();
        }
    }

    std::string log() const
    {
        std::ostringstream out;
        for (const std::string& entry : m_log)
            out << "  " << entry << '\n';
        return out.str();
    }

    ScriptEditorHarness& harness() { return m_harness; }

private:
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
    long position() { return pick(0, static_cast<int>(editor().GetTextLength())); }
    ObservedEditor& editor() { return m_harness.editor(); }

    void note(const std::string& entry)
    {
        m_log.push_back(entry);
        if (m_log.size() > 12)
            m_log.pop_front();
    }

    void caretSomewhere()
    {
        if (pick(0, 2) == 0)
            return;
        const long at = position();
        editor().SetSel(at, at);
    }

    void typePiece()
    {
        caretSomewhere();
        const char* piece = kPieces[static_cast<std::size_t>(pick(0, kPieces.size() - 1))];
        note(std::string("type '") + piece + "' at " + std::to_string(selectionStart()));
        m_harness.typeText(QString::fromUtf8(piece));
    }

    void deleteKey()
    {
        caretSomewhere();
        const bool forward = pick(0, 1) == 0;
        const bool word = pick(0, 4) == 0;
        note(std::string(forward ? "Delete" : "Backspace") + (word ? " (word)" : "") + " at " +
             std::to_string(selectionStart()));
        key(forward ? Qt::Key_Delete : Qt::Key_Backspace, word ? Qt::ControlModifier : Qt::NoModifier);
    }

    void key(Qt::Key which, Qt::KeyboardModifiers modifiers)
    {
        if (which == Qt::Key_Tab || which == Qt::Key_Return)
            note((which == Qt::Key_Tab ? "Tab" : "Enter") + std::string(modifiers ? " with Ctrl" : ""));
        QTest::keyClick(m_harness.widget(), which, modifiers);
    }

    void select()
    {
        const long a = position();
        const long b = pick(0, 3) == 0 ? a : position();
        note("select " + std::to_string(a) + ".." + std::to_string(b));
        editor().SetSel(a, b);
    }

    void cut()
    {
        if (pick(0, 1)) {
            note("Ctrl+X");
            QTest::keyClick(m_harness.widget(), Qt::Key_X, Qt::ControlModifier);
        } else {
            note("Cut");
            editor().Cut();
        }
    }

    void paste()
    {
        if (pick(0, 2) == 0) {
            const char* text = kTexts[static_cast<std::size_t>(pick(0, kTexts.size() - 1))];
            QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
        } else if (pick(0, 1) == 0) {
            editor().Copy();
        }
        if (pick(0, 1)) {
            note("Ctrl+V at " + std::to_string(selectionStart()));
            QTest::keyClick(m_harness.widget(), Qt::Key_V, Qt::ControlModifier);
        } else {
            note("Paste at " + std::to_string(selectionStart()));
            editor().Paste();
        }
    }

    void move()
    {
        const long a = position();
        const long b = position();
        editor().SetSel(a, b);
        editor().Cut();
        const long to = position();
        editor().SetSel(to, to);
        editor().Paste();
        note("move " + std::to_string(a) + ".." + std::to_string(b) + " to " + std::to_string(to));
    }

    void clear()
    {
        note("Clear " + std::to_string(selectionStart()));
        editor().Clear();
    }

    void undo()
    {
        note("Ctrl+Z");
        QTest::keyClick(m_harness.widget(), Qt::Key_Z, Qt::ControlModifier);
    }

    void redo()
    {
        const bool shifted = pick(0, 1) == 0;
        note(shifted ? "Ctrl+Shift+Z" : "Ctrl+Y");
        QTest::keyClick(m_harness.widget(), shifted ? Qt::Key_Z : Qt::Key_Y,
                        shifted ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    }

    void replaceAll()
    {
        const char* text = kTexts[static_cast<std::size_t>(pick(0, kTexts.size() - 1))];
        note("replace all");
        editor().SetWindowText(QString::fromUtf8(text).toLatin1().toStdString());
    }

    void navigate()
    {
        static constexpr std::array<Qt::Key, 6> keys = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                                                        Qt::Key_Down, Qt::Key_Home, Qt::Key_End};
        const Qt::Key which = keys[static_cast<std::size_t>(pick(0, keys.size() - 1))];
        QTest::keyClick(m_harness.widget(), which, pick(0, 1) ? Qt::ShiftModifier : Qt::NoModifier);
    }

    long selectionStart()
    {
        CHARRANGE range;
        editor().GetSel(range);
        return range.cpMin;
    }

    std::mt19937 m_random;
    ScriptEditorHarness m_harness;
    std::deque<std::string> m_log;
};

// The formats of the shown lines' layouts are the looks the control reports for them.
void expectLayoutsShowLooks(ScriptEditorHarness& harness, const std::vector<Look>& looks)
{
    auto* view = qobject_cast<QPlainTextEdit*>(harness.widget());
    ASSERT_NE(view, nullptr);
    const QTextDocument* document = view->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0 || block.userState() != 1)
            continue;
        std::vector<Look> shown(static_cast<std::size_t>(block.length() - 1), Look{0xFFFFFFFF, false});
        for (const QTextLayout::FormatRange& range : layout->formats()) {
            const QColor colour = range.format.foreground().color();
            for (int i = range.start; i < range.start + range.length; ++i)
                shown[static_cast<std::size_t>(i)] = {RGB(colour.red(), colour.green(), colour.blue()),
                                                      range.format.fontWeight() == QFont::Bold};
        }
        const auto first = looks.begin() + block.position();
        ASSERT_EQ(shown, std::vector<Look>(first, first + (block.length() - 1))) << "line " << block.blockNumber();
    }
}

class RandomEditing : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomEditing, ColoursAlwaysMatchAFreshPass)
{
    const int kSteps = qEnvironmentVariableIntValue("QUARN_EDIT_STEPS") > 0 ? qEnvironmentVariableIntValue("QUARN_EDIT_STEPS") : 1500;
    const unsigned seed = GetParam();
    RandomEditor random(seed);
    ScriptEditorHarness reference;
    for (int step = 1; step <= kSteps; ++step) {
        random.step(step);
        ScriptEditorHarness& harness = random.harness();
        const std::string text = harness.text();
        reference.editor().SetWindowText(text);
        const std::vector<Look> looks = harness.looks();
        const bool same = text == reference.text() && looks == reference.looks();
        ASSERT_TRUE(same) << "seed " << seed << ", step " << step << ", text " << ::testing::PrintToString(text)
                          << "\nlast steps:\n" << random.log();
        if (step % 7 == 0) {
            ASSERT_NO_FATAL_FAILURE(expectLayoutsShowLooks(harness, looks)) << "seed " << seed << ", step " << step;
        }
        if (harness.editor().GetTextLength() > 1500) {
            harness.editor().SetSel(0, -1);
            harness.editor().Clear();
        }
    }
}

// QUARN_EDIT_SEED replays one seed, QUARN_EDIT_SEEDS runs that many more.
std::vector<unsigned> seeds()
{
    std::vector<unsigned> chosen{1u, 2u, 3u};
    if (const QByteArray one = qgetenv("QUARN_EDIT_SEED"); !one.isEmpty())
        chosen = {one.toUInt()};
    for (unsigned extra = 0; extra < qgetenv("QUARN_EDIT_SEEDS").toUInt(); ++extra)
        chosen.push_back(1000u + extra);
    return chosen;
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomEditing, ::testing::ValuesIn(seeds()));

} // namespace
