#include "ScriptGenerator.h"

#include "app/Resource.h"
#include "editor/RichEdiT.h"
#include "editor/WordLists.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QSyntaxHighlighter>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>

#include <unistd.h>

namespace {

// Resident memory of this process, in bytes.
double residentBytes()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// The script editor in a shown window, set up the way the main window sets it up.
class EditorWindow {
public:
    EditorWindow()
        : m_window(std::make_unique<QWidget>())
    {
        QWidget* control = CRichEditCtrl::CreateWidget(m_window.get());
        control->setProperty(CWnd::kControlIdProperty, IDC_SCRIPT_EDIT);
        control->setGeometry(0, 0, 860, 520);
        m_editor.SubclassDlgItem(IDC_SCRIPT_EDIT, m_window.get());
        m_editor.InitFormat();
        m_editor.SetCommentChar('#');
        m_editor.AddKeywords(kKeywordList);
        m_editor.AddCommands(kCommandList);
        m_editor.AddCharacterNames(CharacterNameList());
        m_editor.SetBackgroundColor(FALSE, RGB(0, 0, 0));
        m_window->resize(880, 540);
        m_window->show();
        QApplication::processEvents();
    }

    CRichEdiT& editor() { return m_editor; }
    QWidget* control() { return m_editor.GetSafeHwnd(); }

    // Shows the current state, as a window that was told to repaint does.
    void paint()
    {
        control()->repaint();
        QApplication::processEvents();
    }

    // Gives every character one look no pass gives, without the editor hearing of it.
    void discolourAll()
    {
        const std::uint32_t mask = m_editor.SetEventMask(0);
        m_editor.SetSel(0, -1);
        CHARFORMAT grey;
        grey.dwMask = CFM_COLOR | CFM_BOLD;
        grey.crTextColor = RGB(128, 128, 128);
        m_editor.SetSelectionCharFormat(grey);
        m_editor.SetSel(0, 0);
        m_editor.SetEventMask(mask);
    }

    void sendKey(int key, const QString& text)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(control(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(control(), &release);
    }

private:
    std::unique_ptr<QWidget> m_window;
    CRichEdiT m_editor;
};

// The middle of the middle line: where a keystroke lands.
long middleOfMiddleLine(CRichEdiT& editor)
{
    const long lines = editor.LineFromChar(editor.GetTextLength()) + 1;
    long line = lines / 2;
    while (editor.LineLength(editor.LineIndex(static_cast<int>(line))) < 8)
        ++line;
    const int start = editor.LineIndex(static_cast<int>(line));
    return start + editor.LineLength(start) / 2;
}

void BM_FormatAll(benchmark::State& state)
{
    const std::string script = GenerateScript(static_cast<std::size_t>(state.range(0)));
    const double before = residentBytes();
    EditorWindow window;
    window.editor().SetWindowText(script);
    window.paint();
    state.counters["rss_growth_x_size"] = (residentBytes() - before) / static_cast<double>(script.size());
    for (auto _ : state) {
        state.PauseTiming();
        window.discolourAll();
        state.ResumeTiming();
        window.editor().FormatAll();
        window.paint();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_FormatAll)->Arg(64 << 10)->Arg(1 << 20)->Arg(8 << 20)->Unit(benchmark::kMillisecond);

// The same colouring the common Qt way: a syntax highlighter with the same rules, all of it at once.
class ScriptHighlighter : public QSyntaxHighlighter {
public:
    ScriptHighlighter(const CRichEdiT& lists, QTextDocument* document)
        : QSyntaxHighlighter(document)
        , m_lists(lists)
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
                if (m_lists.FindKeyword(word) >= 0)
                    format = &m_keyword;
                else if (m_lists.FindCommand(word) >= 0)
                    format = &m_command;
                else if (m_lists.FindCharacterName(word) >= 0)
                    format = &m_character;
            }
            if (format)
                setFormat(static_cast<int>(p), static_cast<int>(end - p), *format);
            p = end;
        }
    }

private:
    const CRichEdiT& m_lists;
    QTextCharFormat m_gap, m_keyword, m_command, m_comment, m_number, m_character;
};

void BM_HighlighterAnchor(benchmark::State& state)
{
    const std::string script = GenerateScript(static_cast<std::size_t>(state.range(0)));
    CRichEdiT lists;
    lists.AddKeywords(kKeywordList);
    lists.AddCommands(kCommandList);
    lists.AddCharacterNames(CharacterNameList());
    QPlainTextEdit view;
    view.setLineWrapMode(QPlainTextEdit::NoWrap);
    view.resize(860, 520);
    view.setPlainText(QString::fromLatin1(script.data(), static_cast<qsizetype>(script.size())));
    view.show();
    QApplication::processEvents();
    ScriptHighlighter highlighter(lists, nullptr);
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

void BM_Keystroke(benchmark::State& state)
{
    EditorWindow window;
    window.editor().SetWindowText(GenerateScript(static_cast<std::size_t>(state.range(0))));
    const long at = middleOfMiddleLine(window.editor());
    window.editor().SetSel(at, at);
    window.paint();
    for (auto _ : state) {
        window.sendKey(Qt::Key_X, QStringLiteral("x"));
        state.PauseTiming();
        window.sendKey(Qt::Key_Backspace, QString());
        window.paint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Keystroke)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

void BM_Paste100Lines(benchmark::State& state)
{
    EditorWindow window;
    window.editor().SetWindowText(GenerateScript(static_cast<std::size_t>(state.range(0))));
    std::string lines = GenerateScript(4096);
    std::size_t end = 0;
    for (int line = 0; line < 100; ++line)
        end = lines.find('\n', end) + 1;
    lines.resize(end);
    QGuiApplication::clipboard()->setText(QString::fromLatin1(lines.data(), static_cast<qsizetype>(lines.size())));
    const int at = window.editor().LineIndex(static_cast<int>(window.editor().LineFromChar(window.editor().GetTextLength()) / 2));
    window.paint();
    for (auto _ : state) {
        window.editor().SetSel(at, at);
        window.editor().Paste();
        state.PauseTiming();
        window.editor().SetSel(at, at + static_cast<long>(lines.size()));
        window.editor().ReplaceSel("", TRUE);
        window.paint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Paste100Lines)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

} // namespace
