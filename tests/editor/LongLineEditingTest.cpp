#include "ScriptEditorHarness.h"

#include "language/LineCuts.h"
#include "language/ScriptText.h"

#include <QApplication>
#include <QClipboard>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// What must hold of an editor with long lines after any edit: the script's text holds every
// rest in place of its mark (no mark is lost track of), the editor holds no line much longer
// than its reach, and what is saved is the script's text.
std::string brokenPromise(ScriptEditor& editor)
{
    const std::string script = *editor.snapshot();
    const std::string_view shown = editor.documentText();
    if (std::any_of(script.begin(), script.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xF0; }))
        return "a mark stands in the script's text";
    if (editor.scriptOffset(long(shown.size())) != script.size())
        return "the editor's text does not map onto the script's";
    for (std::size_t start = 0; start < shown.size();) {
        const std::size_t end = std::min(shown.find('\n', start), shown.size());
        if (end - start > LineCuts::kLongestShownLine + LineCuts::kMarkBytes)
            return "a line of " + std::to_string(end - start) + " bytes is held whole";
        start = end + 1;
    }
    if (editor.script() != fileFromDocument(script))
        return "the saved bytes are not the script's text";
    return {};
}

class LongLineEditor {
public:
    explicit LongLineEditor(unsigned seed) : m_random(seed) {}

    ScriptEditorHarness& harness() { return m_harness; }

    void step()
    {
        const std::string_view shown = m_harness.editor().documentText();
        const long at = pick(0, long(shown.size()));
        switch (pick(0, 9)) {
        case 0:
        case 1:
            m_harness.caretAt(reachable(at));
            m_harness.typeText(pick(0, 1) ? QStringLiteral("ai2_spawn ") : QStringLiteral("x"));
            break;
        case 2:
            m_harness.caretAt(reachable(at));
            m_harness.key(pick(0, 1) ? Qt::Key_Delete : Qt::Key_Backspace);
            break;
        case 3:
            m_harness.select(reachable(at), reachable(pick(0, long(shown.size()))));
            m_harness.key(Qt::Key_Delete);
            break;
        case 4:
            m_harness.caretAt(reachable(at));
            m_harness.key(Qt::Key_Return);
            break;
        case 5:
            m_harness.select(reachable(at), reachable(pick(0, long(shown.size()))));
            m_harness.editor().copy();
            m_harness.caretAt(reachable(pick(0, long(shown.size()))));
            m_harness.editor().paste();
            break;
        case 6:
            QApplication::clipboard()->setText(QString(int(pick(1, 3)) * int(kLineReach), QLatin1Char('q')));
            m_harness.caretAt(reachable(at));
            m_harness.editor().paste();
            break;
        case 7:
            m_harness.editor().undo();
            break;
        case 8:
            m_harness.editor().redo();
            break;
        default:
            m_harness.select(reachable(at), reachable(pick(0, long(shown.size()))));
            m_harness.editor().cut();
            break;
        }
    }

private:
    long pick(long low, long high) { return std::uniform_int_distribution<long>(low, high)(m_random); }

    // `p`, or the nearest position before it a caret can take: not inside a character.
    long reachable(long p)
    {
        const std::string_view text = m_harness.editor().documentText();
        auto at = std::size_t(std::min<long>(p, long(text.size())));
        while (at > 0 && at < text.size() &&
               ((static_cast<unsigned char>(text[at]) & 0xC0) == 0x80 || (text[at] == '\n' && text[at - 1] == '\r')))
            --at;
        return long(at);
    }

    std::mt19937 m_random;
    ScriptEditorHarness m_harness;
};

class LongLineEditing : public ::testing::TestWithParam<unsigned> {};

// Random edits over lines longer than the reach keep every promise after every step, and undo
// takes the script back to the text it was loaded with.
TEST_P(LongLineEditing, KeepTheScriptWholeThroughEveryEditAndUndo)
{
    LongLineEditor random(GetParam());
    const std::string loaded = "func void main(void)\r\n{\r\n" + std::string(3 * kLineReach, 'a') + "\r\n\t" +
                               std::string(kLineReach + 7, 'b') + "\r\n}";
    random.harness().load(loaded);
    ScriptEditor& editor = random.harness().editor();
    for (int step = 1; step <= 150; ++step) {
        random.step();
        ASSERT_EQ(brokenPromise(editor), "") << "seed " << GetParam() << ", step " << step;
        // Pasting what was copied doubles the script now and then: kept small, a step stays quick.
        if (editor.snapshot()->size() > 20 * kLineReach)
            random.harness().load(loaded);
    }
    random.harness().load(loaded);
    for (int step = 1; step <= 30; ++step)
        random.step();
    while (editor.isUndoAvailable())
        editor.undo();
    EXPECT_TRUE(*editor.snapshot() == loaded);
    EXPECT_EQ(brokenPromise(editor), "");
}

INSTANTIATE_TEST_SUITE_P(Seeds, LongLineEditing, ::testing::Values(1u, 2u, 3u));

} // namespace
