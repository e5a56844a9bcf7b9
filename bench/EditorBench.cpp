#include "ProcessMemory.h"
#include "ScriptGenerator.h"
#include "support/EditorProbe.h"

#include "editor/ScriptEditor.h"
#include "editor/ScriptSearch.h"
#include "language/ScriptReader.h"
#include "language/Tokenizer.h"
#include "platform/Cp1252.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

// A style no token kind has: text that still shows it was not coloured by the lexer.
constexpr int kForeignStyle = 20;

// The script editor in a shown window, about the size the main window gives it.
class EditorWindow {
public:
    EditorWindow() : m_window(std::make_unique<QWidget>()), m_editor(new ScriptEditor(m_window.get()))
    {
        m_editor->setGeometry(0, 0, 860, 520);
        m_window->resize(880, 540);
        m_window->show();
        m_editor->setFocus();
        QApplication::processEvents();
    }

    ScriptEditor& editor() { return *m_editor; }
    long send(unsigned int message, unsigned long wParam = 0, long lParam = 0)
    {
        return m_editor->SendScintilla(message, wParam, lParam);
    }
    long length() { return send(Sci::SCI_GETLENGTH); }

    // Shows the current state, as a window that was told to repaint does: the editor colours
    // what comes into view on the way.
    void paint()
    {
        m_window->repaint();
        QApplication::processEvents();
    }

    // Gives every byte a style no token has and marks the text as styled, without an edit.
    void discolourAll()
    {
        send(Sci::SCI_STARTSTYLING, 0, 0);
        send(Sci::SCI_SETSTYLING, static_cast<unsigned long>(length()), kForeignStyle);
    }

    // True when none of a few thousand positions spread over the text, nor its last one, still
    // shows the foreign style.
    bool colouredThroughout()
    {
        const long end = length();
        const long step = std::max(1L, end / 4096);
        for (long position = 0; position < end; position += step)
            if (send(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(position)) == kForeignStyle)
                return false;
        return end == 0 || send(Sci::SCI_GETSTYLEAT, static_cast<unsigned long>(end - 1)) != kForeignStyle;
    }

    void sendKey(int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(m_editor, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(m_editor, &release);
    }

private:
    std::unique_ptr<QWidget> m_window;
    ScriptEditor* m_editor;
};

// The middle of the middle line long enough to type into: where a keystroke lands.
long middleOfMiddleLine(EditorWindow& window)
{
    const long lines = window.send(Sci::SCI_GETLINECOUNT);
    for (long line = lines / 2; line < lines; ++line) {
        const long start = window.send(Sci::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
        const long end = window.send(Sci::SCI_GETLINEENDPOSITION, static_cast<unsigned long>(line));
        if (end - start >= 8)
            return start + (end - start) / 2;
    }
    return window.length() / 2;
}

void BM_FormatAll(benchmark::State& state)
{
    const std::string script = GenerateScript(static_cast<std::size_t>(state.range(0)), LineEnds::CarriageReturnLineFeed);
    releaseFreeMemory();
    const double before = processMemory().resident;
    EditorWindow window;
    window.editor().setScript(script);
    window.paint();
    releaseFreeMemory();
    state.counters["rss_growth_x_size"] = (processMemory().resident - before) / static_cast<double>(script.size());
    for (auto _ : state) {
        // The foreign style makes a lexer that skipped any text show. Colouring from the start
        // marks the text from there as unstyled before it asks the lexer for the whole range, so
        // every iteration runs the lexer over all of the text, as after a change of the word lists.
        state.PauseTiming();
        window.discolourAll();
        state.ResumeTiming();
        probe::colour(window.editor());
        window.paint();
    }
    if (!window.colouredThroughout())
        state.SkipWithError("the lexer left text uncoloured");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_FormatAll)->Arg(64 << 10)->Arg(1 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond);

// The same colouring the common Qt way: a syntax highlighter with the same rules and word lists,
// all of the text at once.
class ScriptHighlighter : public QSyntaxHighlighter {
public:
    explicit ScriptHighlighter(QTextDocument* document)
        : QSyntaxHighlighter(document), m_vocabulary(ScriptVocabulary::standard())
    {
        m_gap.setForeground(QColor(0, 255, 0));
        m_keyword.setForeground(QColor(0, 0, 255));
        m_keyword.setFontWeight(QFont::Bold);
        m_command.setForeground(QColor(0, 164, 0));
        m_command.setFontWeight(QFont::Bold);
        m_comment.setForeground(QColor(255, 255, 0));
        m_number.setForeground(QColor(0, 164, 255));
        m_character.setForeground(QColor(128, 255, 128));
    }

protected:
    void highlightBlock(const QString& text) override
    {
        setFormat(0, static_cast<int>(text.size()), m_gap);
        const std::string bytes = text.toLatin1().toStdString();
        const auto isWordStart = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
        const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
        std::size_t p = 0;
        while (p < bytes.size()) {
            const char c = bytes[p];
            std::size_t end = p + 1;
            const QTextCharFormat* format = nullptr;
            if (c == '#') {
                end = bytes.size();
                format = &m_comment;
            } else if (c == '(' || c == ')' || c == '{' || c == '}' || c == '=') {
                format = &m_keyword;
            } else if (isDigit(c)) {
                while (end < bytes.size() && isDigit(bytes[end]))
                    ++end;
                if (end < bytes.size() && bytes[end] == '.')
                    for (++end; end < bytes.size() && isDigit(bytes[end]);)
                        ++end;
                format = &m_number;
            } else if (isWordStart(c)) {
                while (end < bytes.size() && (isWordStart(bytes[end]) || isDigit(bytes[end])))
                    ++end;
                const std::string_view word(bytes.data() + p, end - p);
                if (!m_vocabulary.keywords.spellingOf(word).empty())
                    format = &m_keyword;
                else if (!m_vocabulary.commands.spellingOf(word).empty())
                    format = &m_command;
                else if (!m_vocabulary.characterNames.spellingOf(word).empty())
                    format = &m_character;
            }
            if (format)
                setFormat(static_cast<int>(p), static_cast<int>(end - p), *format);
            p = end;
        }
    }

private:
    const ScriptVocabulary& m_vocabulary;
    QTextCharFormat m_gap, m_keyword, m_command, m_comment, m_number, m_character;
};

void BM_HighlighterAnchor(benchmark::State& state)
{
    const std::string script = GenerateScript(static_cast<std::size_t>(state.range(0)));
    QPlainTextEdit view;
    view.setLineWrapMode(QPlainTextEdit::NoWrap);
    view.resize(860, 520);
    view.setPlainText(cp1252::decode(script));
    view.show();
    QApplication::processEvents();
    ScriptHighlighter highlighter(nullptr);
    for (auto _ : state) {
        state.PauseTiming();
        highlighter.setDocument(nullptr);
        state.ResumeTiming();
        highlighter.setDocument(view.document());
        highlighter.rehighlight();
        view.repaint();
        QApplication::processEvents();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_HighlighterAnchor)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// Loads `bytes` of script and hands the editor a reading of it, as the window does once it is
// read: the folds are on the margin and the caret's name lights its uses at every rest.
void loadAndRead(EditorWindow& window, std::size_t bytes)
{
    ScriptEditor& editor = window.editor();
    editor.setScript(GenerateScript(bytes, LineEnds::CarriageReturnLineFeed));
    editor.setAnalysis(analyseScript(editor.snapshot()));
    while (editor.foldsPending())
        QApplication::processEvents();
    editor.setOccurrenceDelay(std::chrono::milliseconds(0));
}

// One character typed in the middle of the script, through the editor's key handling and case
// correction, up to the window showing it coloured, with the folds, the brace and name marks on,
// and, when `accessible`, the interface a screen reader reads the editor through asked for (the
// display-less platform has no bridge to pass what it tells on: this is the editor's own part).
// A Backspace outside the timing keeps the text the same size.
void keystrokes(benchmark::State& state, bool accessible)
{
    EditorWindow window;
    loadAndRead(window, static_cast<std::size_t>(state.range(0)));
    if (accessible) {
        QAccessible::setActive(true);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&window.editor());
        if (!reader || !reader->textInterface() || reader->textInterface()->characterCount() <= 0) {
            state.SkipWithError("the editor offers no text to a screen reader");
            return;
        }
    }
    const long at = middleOfMiddleLine(window);
    window.send(Sci::SCI_GOTOPOS, static_cast<unsigned long>(at));
    window.paint();
    const long length = window.length();
    for (auto _ : state) {
        window.sendKey(Qt::Key_X, QStringLiteral("x"));
        window.paint();
        state.PauseTiming();
        window.sendKey(Qt::Key_Backspace, QString());
        window.paint();
        state.ResumeTiming();
    }
    // The keystroke leaves the styled part ending before the caret; the paint must have coloured
    // the caret's line again.
    window.sendKey(Qt::Key_X, QStringLiteral("x"));
    const bool typed = window.length() == length + 1;
    window.paint();
    const bool coloured = window.send(Sci::SCI_GETENDSTYLED) > at;
    window.sendKey(Qt::Key_Backspace, QString());
    if (!typed || window.length() != length)
        state.SkipWithError("the keystroke was not typed and taken back");
    else if (!coloured)
        state.SkipWithError("the paint did not colour the caret's line");
    QAccessible::setActive(false);
}

void BM_Keystroke(benchmark::State& state)
{
    keystrokes(state, false);
}
BENCHMARK(BM_Keystroke)->Arg(64 << 10)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMicrosecond);

void BM_KeystrokeAccessible(benchmark::State& state)
{
    keystrokes(state, true);
}
BENCHMARK(BM_KeystrokeAccessible)->Arg(1 << 20)->Arg(64 << 20)->Unit(benchmark::kMicrosecond);

// Every function of the script folded at once (Shift+F9), up to the window showing it; opening
// them all again is outside the timing.
void BM_FoldAll(benchmark::State& state)
{
    EditorWindow window;
    loadAndRead(window, static_cast<std::size_t>(state.range(0)));
    ScriptEditor& editor = window.editor();
    const long lines = window.send(Sci::SCI_GETLINECOUNT);
    window.paint();
    for (auto _ : state) {
        window.sendKey(Qt::Key_F9, QString(), Qt::ShiftModifier);
        window.paint();
        state.PauseTiming();
        if (window.send(Sci::SCI_GETLINEVISIBLE, static_cast<unsigned long>(lines / 2)) != 0) {
            state.SkipWithError("the middle of the script did not fold away");
            break;
        }
        window.sendKey(Qt::Key_F9, QString(), Qt::ShiftModifier);
        window.paint();
        state.ResumeTiming();
    }
    state.counters["lines"] = double(lines);
    state.counters["folds"] = double(analyseScript(editor.snapshot())->folds.size());
}
BENCHMARK(BM_FoldAll)->Arg(1 << 20)->Arg(64 << 20)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_Paste100Lines(benchmark::State& state)
{
    EditorWindow window;
    window.editor().setScript(GenerateScript(static_cast<std::size_t>(state.range(0)), LineEnds::CarriageReturnLineFeed));
    std::string lines = GenerateScript(4096, LineEnds::CarriageReturnLineFeed);
    std::size_t end = 0;
    for (int line = 0; line < 100; ++line)
        end = lines.find('\n', end) + 1;
    lines.resize(end);
    QGuiApplication::clipboard()->setText(cp1252::decode(lines));
    const long at = window.send(Sci::SCI_POSITIONFROMLINE,
                                static_cast<unsigned long>(window.send(Sci::SCI_GETLINECOUNT) / 2));
    window.paint();
    const long length = window.length();
    for (auto _ : state) {
        window.send(Sci::SCI_SETSEL, static_cast<unsigned long>(at), at);
        window.editor().paste();
        state.PauseTiming();
        const long pasted = window.length() - length;
        if (pasted <= 0) {
            state.SkipWithError("nothing was pasted");
            break;
        }
        window.send(Sci::SCI_SETSEL, static_cast<unsigned long>(at), at + pasted);
        window.editor().deleteSelection();
        window.paint();
        state.ResumeTiming();
    }
    if (!state.error_occurred() && window.length() != length)
        state.SkipWithError("the paste was not undone");
}
BENCHMARK(BM_Paste100Lines)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

// `bytes` bytes of script in which `marker`, a word found nowhere else, starts `count` lines
// spread evenly over it.
std::string scriptWithMarkers(std::size_t bytes, std::string_view marker, int count)
{
    const std::string script =
        GenerateScript(bytes - std::size_t(count) * marker.size(), LineEnds::CarriageReturnLineFeed);
    std::vector<std::size_t> lineStarts{0};
    for (std::size_t p = script.find('\n'); p != std::string::npos && p + 1 < script.size();
         p = script.find('\n', p + 1))
        lineStarts.push_back(p + 1);
    std::string marked;
    marked.reserve(bytes);
    std::size_t copied = 0;
    for (int mark = 0; mark < count; ++mark) {
        const std::size_t at = lineStarts[std::size_t(mark) * lineStarts.size() / std::size_t(count)];
        marked.append(script, copied, at - copied).append(marker);
        copied = at;
    }
    return marked.append(script, copied);
}

// Replace All of 10,000 words by a shorter one in the wrong letter case, as one undo step with
// its case correction, up to the window showing the result. Each iteration starts from the
// script as loaded.
void BM_ReplaceAll(benchmark::State& state)
{
    constexpr int kMarkers = 10000;
    const std::string script = scriptWithMarkers(static_cast<std::size_t>(state.range(0)), "checkpoint ", kMarkers);
    EditorWindow window;
    const QString found = QStringLiteral("checkpoint");
    const QString replacement = QStringLiteral("SLEEP");
    const script_search::Options options{.matchCase = true, .wholeWord = true};
    for (auto _ : state) {
        state.PauseTiming();
        window.editor().setScript(script);
        window.paint();
        state.ResumeTiming();
        // The search, which the find window runs on a worker, and the replacements.
        const script_search::Query query = script_search::query(window.editor(), found, options, true);
        const TextMatcher matcher(*query.text, query.pattern, options);
        const std::optional<int> replaced =
            script_search::replaceAll(window.editor(), query, matcher.every(query.unshown), matcher.length(), replacement);
        window.paint();
        if (replaced != kMarkers) {
            state.SkipWithError("not every marker was replaced");
            break;
        }
    }
    if (!state.error_occurred() && window.editor().documentText().substr(0, 6) != "sleep ")
        state.SkipWithError("the replacement was not case-corrected");
}
BENCHMARK(BM_ReplaceAll)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

} // namespace
