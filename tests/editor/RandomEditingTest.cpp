#include "ScriptEditorHarness.h"

#include "editor/ScriptSearch.h"
#include "language/ScriptText.h"
#include "platform/Cp1252.h"

#include <QApplication>
#include <QClipboard>
#include <QKeySequence>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <random>
#include <sstream>

namespace {

// Pieces typed into the editor: list words in every letter case and pieces of them, numbers of
// every shape the scan knows, operators, comments, quotes, bytes of the upper half and characters
// outside the code page.
const auto kPieces = std::to_array<const char*>({
    "func", "FUNC", "If", "var ", "int", "fork", "sleep", "eq", "ELSE", "plxn", "RAVOK", "ai2_spawn", "AI2_SPAWN",
    "chr_teleport", "ai2_debug_showsettingids", "SOUND_IMPULSE_PLAY", "Barabus", "BARABUS", "barabus", "Griffin",
    "I", "F", "FU", "NC", "SLE", "EP", "AI2_", "SPAWN", "12", "1.5.3", "3d2", "12e", "1.5e3", "-4", ".75", "7.", "0",
    "(", ")", "{", "}", "=", "# note", "#", "\"", " ", "  ", "x", "_a1", "\xC3\xA9", "\xE2\x82\xAC", "\xC5\x99",
    "\xCE\xA9", ";", "e"});

// Whole scripts, clipboard texts and replacements, with every kind of line end.
const auto kTexts = std::to_array<const char*>({
    "func main()\r\n{\r\n\tchr_teleport Barabus 12 # go\r\n}\r\n",
    "VAR INT a = 1.5e3;\nIF (a eq 2) { SLEEP 10 }\n",
    "ai2_spawn griffin\rfork x\r",
    "# only a comment",
    "x\n\ny = \"func\" 3d2\n",
    "\xC5\x99\xC3\xA9 caf\xC3\xA9 if\xE2\x80\xA8var",
    "",
});

// What a replace-all looks for and puts in: whole words, parts of words, line ends.
struct Replacement {
    const char* found;
    const char* replacement;
    bool wholeWords;
};
const auto kReplacements = std::to_array<Replacement>({
    {"if", "ELSE", true},
    {"x", "FUNC(x)", true},
    {"func", "Sleep  ", true},
    {"12", "1.5E3", false},
    {"a", "VAR\r\nint", false},
    {"#", "x", false},
    {"\r\n", " ", false},
    {" ", "\r\nIF ", false},
    {"barabus", "Barabus", true},
    {"e", "", false},
});

class RandomEditor {
public:
    explicit RandomEditor(unsigned seed) : m_random(seed), m_harness({.show = true}) {}

    void step(int number)
    {
        const int choice = pick(0, 99);
        if (choice < 26)
            typePiece();
        else if (choice < 34)
            deleteKey();
        else if (choice < 39)
            tabOrEnter();
        else if (choice < 49)
            select();
        else if (choice < 53)
            cut();
        else if (choice < 55)
            copy();
        else if (choice < 61)
            paste();
        else if (choice < 64)
            move();
        else if (choice < 67)
            deleteSelection();
        else if (choice < 74)
            undo();
        else if (choice < 79)
            redo();
        else if (choice < 81)
            loadScript();
        else if (choice < 83)
            replaceAll();
        else if (choice < 90)
            search();
        else if (choice < 92)
            lineCommand();
        else if (choice < 94)
            drop();
        else
            navigate();
        if (number % 7 == 0) {
            m_harness.editor().repaint();
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
    template <typename T, std::size_t N>
    const T& oneOf(const std::array<T, N>& items)
    {
        return items[std::size_t(pick(0, int(N) - 1))];
    }
    ScriptEditor& editor() { return m_harness.editor(); }

    // A caret position: never inside a CR LF pair nor inside a character's UTF-8 bytes, which a
    // user cannot reach.
    long position() { return reachable(std::size_t(pick(0, int(editor().documentText().size())))); }

    // `p`, or the nearest position before it a user can reach.
    long reachable(std::size_t p)
    {
        const std::string_view text = editor().documentText();
        p = std::min(p, text.size());
        while (p > 0 && p < text.size() &&
               ((static_cast<unsigned char>(text[p]) & 0xC0) == 0x80 || (text[p] == '\n' && text[p - 1] == '\r')))
            --p;
        return long(p);
    }

    std::string where() { return std::to_string(m_harness.anchor()) + ".." + std::to_string(m_harness.caret()); }

    void note(const std::string& entry)
    {
        m_log.push_back(entry);
        if (m_log.size() > 16)
            m_log.pop_front();
    }

    void caretSomewhere()
    {
        if (pick(0, 2) == 0)
            return;
        m_harness.caretAt(position());
    }

    void key(Qt::Key which, Qt::KeyboardModifiers modifiers, const std::string& name)
    {
        note(name + " at " + where());
        m_harness.key(which, modifiers);
    }

    void typePiece()
    {
        caretSomewhere();
        const char* piece = oneOf(kPieces);
        note(std::string("type '") + piece + "' at " + where());
        m_harness.typeText(QString::fromUtf8(piece));
    }

    void deleteKey()
    {
        caretSomewhere();
        const bool forward = pick(0, 1) == 0;
        const bool word = pick(0, 4) == 0;
        key(forward ? Qt::Key_Delete : Qt::Key_Backspace, word ? Qt::ControlModifier : Qt::NoModifier,
            std::string(word ? "Ctrl+" : "") + (forward ? "Delete" : "Backspace"));
    }

    void tabOrEnter()
    {
        const bool tab = pick(0, 1) == 0;
        const bool control = pick(0, 1) == 0;
        const Qt::Key which = tab ? Qt::Key_Tab : (pick(0, 1) ? Qt::Key_Return : Qt::Key_Enter);
        key(which, control ? Qt::ControlModifier : Qt::NoModifier,
            std::string(control ? "Ctrl+" : "") + (tab ? "Tab" : "Enter"));
    }

    void select()
    {
        const long a = position();
        const long b = pick(0, 3) == 0 ? a : position();
        note("select " + std::to_string(a) + ".." + std::to_string(b));
        m_harness.select(a, b);
    }

    void cut()
    {
        if (pick(0, 1)) {
            key(Qt::Key_X, Qt::ControlModifier, "Ctrl+X");
        } else {
            note("cut() " + where());
            editor().cut();
        }
    }

    void copy()
    {
        if (pick(0, 1)) {
            key(Qt::Key_C, Qt::ControlModifier, "Ctrl+C");
        } else {
            note("copy() " + where());
            editor().copy();
        }
    }

    void paste()
    {
        if (pick(0, 2) == 0) {
            const char* text = oneOf(kTexts);
            note(std::string("clipboard ") + ::testing::PrintToString(std::string(text)));
            QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
        }
        if (pick(0, 1)) {
            key(Qt::Key_V, Qt::ControlModifier, "Ctrl+V");
        } else {
            note("paste() at " + where());
            editor().paste();
        }
    }

    void drop()
    {
        const char* text = pick(0, 1) ? oneOf(kTexts) : oneOf(kPieces);
        QWidget* viewport = editor().viewport();
        const int x = pick(0, viewport->width() - 1);
        const QPoint at(x, pick(0, viewport->height() - 1));
        note("drop " + ::testing::PrintToString(std::string(text)) + " at (" + std::to_string(at.x()) + ", " +
             std::to_string(at.y()) + ")");
        m_harness.drop(QString::fromUtf8(text), at);
    }

    void move()
    {
        const long a = position();
        const long b = position();
        m_harness.select(a, b);
        editor().cut();
        const long to = position();
        m_harness.caretAt(to);
        editor().paste();
        note("move " + std::to_string(a) + ".." + std::to_string(b) + " to " + std::to_string(to));
    }

    void deleteSelection()
    {
        note("deleteSelection() " + where());
        editor().deleteSelection();
    }

    void undo() { key(Qt::Key_Z, Qt::ControlModifier, "Ctrl+Z"); }

    void redo()
    {
        if (pick(0, 1) == 0)
            key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+Z");
        else
            key(Qt::Key_Y, Qt::ControlModifier, "Ctrl+Y");
    }

    void loadScript()
    {
        const char* text = oneOf(kTexts);
        note(std::string("setScript ") + ::testing::PrintToString(std::string(text)));
        editor().setScript(cp1252::encode(QString::fromUtf8(text)));
    }

    // A replace-all as code makes it, in one edit step: through targets front to back, through
    // targets back to front, or through the component's find and replace calls.
    void replaceAll()
    {
        const Replacement& r = oneOf(kReplacements);
        const std::string_view found(r.found);
        const std::string_view replacement(r.replacement);
        const int flavour = pick(0, 3);
        static constexpr std::array<const char*, 4> kFlavours = {"by target forwards", "by target backwards",
                                                                 "by find and replace()", "by find and replaceSelectedText()"};
        note(std::string("replace ") + kFlavours[std::size_t(flavour)] + " " + ::testing::PrintToString(std::string(found)) +
             " with " + ::testing::PrintToString(std::string(replacement)));
        ScriptEditor::EditStep step(editor());
        const QString findText = QString::fromUtf8(r.found);
        const QString replacementText = QString::fromUtf8(r.replacement);
        if (flavour == 2) {
            if (editor().findFirst(findText, false, false, r.wholeWords, false, true, 0, 0, false)) {
                do
                    editor().replace(replacementText);
                while (editor().findNext());
            }
            return;
        }
        if (flavour == 3) {
            int line = 0;
            int index = 0;
            while (editor().findFirst(findText, false, false, r.wholeWords, false, true, line, index, false)) {
                editor().replaceSelectedText(replacementText);
                editor().getCursorPosition(&line, &index);
            }
            return;
        }
        editor().SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS,
                               r.wholeWords ? QsciScintillaBase::SCFIND_WHOLEWORD : 0);
        std::vector<std::pair<long, long>> matches;
        long from = 0;
        for (;;) {
            editor().SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(from),
                                   editor().SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
            if (editor().SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, uintptr_t(found.size()), r.found) < 0)
                break;
            if (flavour == 0)
                editor().SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, uintptr_t(replacement.size()),
                                       r.replacement);
            else
                matches.emplace_back(editor().SendScintilla(QsciScintillaBase::SCI_GETTARGETSTART),
                                     editor().SendScintilla(QsciScintillaBase::SCI_GETTARGETEND));
            from = editor().SendScintilla(QsciScintillaBase::SCI_GETTARGETEND);
        }
        for (auto match = matches.rbegin(); match != matches.rend(); ++match) {
            editor().SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(match->first),
                                   match->second);
            editor().SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, uintptr_t(replacement.size()), r.replacement);
        }
    }

    // Find, Replace and Replace All as the find window does them. Like the window, it mostly
    // keeps what it looked for last. The text sought is a piece or a stretch of the text itself,
    // in its own letter case or in capitals; replacements are pieces and whole texts: list words
    // in the wrong case, line ends of every kind, characters outside the code page, nothing.
    void search()
    {
        if (m_sought.isEmpty() || pick(0, 1) == 0) {
            m_sought = QString::fromUtf8(oneOf(kPieces));
            const long from = position();
            const long to = reachable(std::size_t(from + pick(1, 6)));
            if (to > from && pick(0, 2) != 0)
                m_sought = QString::fromUtf8(editor().documentText().substr(std::size_t(from), std::size_t(to - from)));
            if (pick(0, 3) == 0)
                m_sought = m_sought.toUpper();
            m_searchOptions = {.matchCase = pick(0, 3) == 0, .wholeWord = pick(0, 3) == 0};
        }
        const QString replacement = QString::fromUtf8(pick(0, 3) == 0 ? oneOf(kTexts) : oneOf(kPieces));
        const int action = pick(0, 5);
        static constexpr std::array<const char*, 6> kActions = {"find next", "find next", "find previous",
                                                                "replace",   "replace",   "replace all"};
        note(std::string(kActions[std::size_t(action)]) + " " + ::testing::PrintToString(m_sought.toStdString()) +
             (action >= 3 ? " with " + ::testing::PrintToString(replacement.toStdString()) : std::string()) +
             (m_searchOptions.matchCase ? " matching case" : "") + (m_searchOptions.wholeWord ? " whole words" : "") +
             " from " + where());
        if (action < 3) {
            findInEditor(editor(), m_sought, m_searchOptions, action < 2);
        } else if (action < 5) {
            // Replace twice in a row: the first replaces the selection when it is a match, else
            // selects the next match, which the second replaces.
            for (int replace = 0; replace < 2; ++replace) {
                script_search::replaceSelection(editor(), m_sought, replacement, m_searchOptions);
                findInEditor(editor(), m_sought, m_searchOptions, true);
            }
        } else {
            replaceAllInEditor(editor(), m_sought, replacement, m_searchOptions);
        }
    }

    // The component's own editing keys: case of the selection, line cut, duplicate and swap.
    void lineCommand()
    {
        struct Command {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char* name;
        };
        static const std::array<Command, 8> commands = {{
            {Qt::Key_U, Qt::ControlModifier, "Ctrl+U"},
            {Qt::Key_U, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+U"},
            {Qt::Key_L, Qt::ControlModifier, "Ctrl+L"},
            {Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+L"},
            {Qt::Key_D, Qt::ControlModifier, "Ctrl+D"},
            {Qt::Key_T, Qt::ControlModifier, "Ctrl+T"},
            {Qt::Key_Backspace, Qt::ControlModifier | Qt::ShiftModifier, "Ctrl+Shift+Backspace"},
            {Qt::Key_Insert, Qt::NoModifier, "Insert"},
        }};
        const Command& command = oneOf(commands);
        key(command.key, command.modifiers, command.name);
    }

    void navigate()
    {
        static constexpr std::array<Qt::Key, 8> keys = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,     Qt::Key_Down,
                                                        Qt::Key_Home, Qt::Key_End,   Qt::Key_PageUp, Qt::Key_PageDown};
        const Qt::Key which = oneOf(keys);
        Qt::KeyboardModifiers modifiers;
        if (pick(0, 1))
            modifiers |= Qt::ShiftModifier;
        if (pick(0, 3) == 0)
            modifiers |= Qt::ControlModifier;
        note("arrow " + QKeySequence(int(which) | int(modifiers)).toString().toStdString() + " from " + where());
        m_harness.key(which, modifiers);
    }

    std::mt19937 m_random;
    ScriptEditorHarness m_harness;
    QString m_sought;
    script_search::Options m_searchOptions;
    std::deque<std::string> m_log;
};

int stepsPerSeed()
{
    const int steps = qEnvironmentVariableIntValue("QUARN_EDIT_STEPS");
    return steps > 0 ? steps : 1500;
}

std::string firstByteApart(const std::vector<TokenKind>& seen, const std::vector<TokenKind>& expected)
{
    const auto apart = std::mismatch(seen.begin(), seen.end(), expected.begin(), expected.end());
    return "byte " + std::to_string(apart.first - seen.begin()) + " of " + std::to_string(seen.size()) + " is " +
           (apart.first == seen.end() ? "missing" : ::testing::PrintToString(*apart.first)) + ", a fresh pass gives " +
           (apart.second == expected.end() ? "none" : ::testing::PrintToString(*apart.second));
}

// What sets the editor apart from a fresh load of its own text, or nothing.
std::string firstDifference(const std::string& text, const std::string& file, const std::vector<TokenKind>& kept,
                            const std::vector<TokenKind>& kinds, ScriptEditorHarness& reference)
{
    if (text != documentFromFile(file))
        return "a line end other than CR LF, or a character outside the code page";
    if (const std::string corrected = correctedAfresh(text); text != corrected)
        return "case not corrected; a fresh load gives " + ::testing::PrintToString(corrected);
    const std::vector<TokenKind> expected = kindsAfresh(text);
    if (kinds != expected)
        return "coloured over the whole text, " + firstByteApart(kinds, expected);
    if (kept != expected)
        return "coloured as kept, " + firstByteApart(kept, expected);
    if (reference.text() != text || reference.kinds() != expected)
        return "a fresh editor loads it differently";
    return {};
}

class RandomEditing : public ::testing::TestWithParam<unsigned> {};

// After every step the editor shows what a fresh load of its own text shows: the same text, case
// corrected throughout, CR LF line ends and code-page characters only, and the same colours, both
// as it keeps them and as a pass over the whole text gives them.
TEST_P(RandomEditing, TextAndColoursAlwaysMatchAFreshLoad)
{
    const unsigned seed = GetParam();
    const int steps = stepsPerSeed();
    RandomEditor random(seed);
    ScriptEditorHarness reference;
    for (int step = 1; step <= steps; ++step) {
        random.step(step);
        ScriptEditorHarness& harness = random.harness();
        const std::string text = harness.text();
        const std::vector<TokenKind> kept = harness.kindsKept();
        const std::vector<TokenKind> kinds = harness.kinds();
        const std::string file = fileFromDocument(text);
        reference.load(file);
        const std::string difference = firstDifference(text, file, kept, kinds, reference);
        ASSERT_EQ(difference, "") << "seed " << seed << ", step " << step << ", text "
                                  << ::testing::PrintToString(text) << "\nlast steps:\n"
                                  << random.log() << "replay: QUARN_EDIT_SEED=" << seed << " QUARN_EDIT_STEPS=" << step;
        // Small scripts make words meet often.
        if (text.size() > 800) {
            harness.editor().selectAll();
            harness.editor().deleteSelection();
        }
    }
}

// QUARN_EDIT_SEED replays one seed, QUARN_EDIT_SEEDS adds that many more, QUARN_EDIT_STEPS sets
// the steps per seed.
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
