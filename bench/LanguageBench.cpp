#include "ScriptGenerator.h"

#include "language/Completion.h"
#include "language/DeclaredNames.h"
#include "language/LevelQueries.h"
#include "language/LevelWorkspace.h"
#include "language/ScriptChecker.h"
#include "editor/ScriptEditor.h"
#include "language/ScriptReader.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QListView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace {

constexpr std::size_t kScriptBytes = 1 << 20;

// The generated script forks to functions by these names without declaring them, as a level's
// main file calls what its sibling files declare; the check is handed them as those files'.
DeclaredNames generatorSiblings()
{
    DeclaredNames names;
    for (const std::string_view name :
         {"count", "alarm", "target", "wave", "door_state", "timer", "hits", "phase", "spawned", "left"})
        names.add({std::string(name), NameRole::Function, "func void " + std::string(name) + "(void)", {}});
    return names;
}

const std::string& script()
{
    static const std::string text = GenerateScript(kScriptBytes, LineEnds::CarriageReturnLineFeed);
    return text;
}

// The script with `typed` on a line of its own in the middle, as the user is typing it, and the
// caret after it.
std::pair<std::string, std::size_t> typingInTheMiddle(std::string_view typed, std::size_t bytes = kScriptBytes)
{
    std::string text = bytes == kScriptBytes ? script() : GenerateScript(bytes, LineEnds::CarriageReturnLineFeed);
    const std::size_t line = text.find("\r\n\t", text.size() / 2) + 2;
    text.insert(line, std::string(1, '\t').append(typed).append("\r\n"));
    return {text, line + 1 + typed.size()};
}

void BM_ReadScript(benchmark::State& state)
{
    const std::string& text = script();
    for (auto _ : state) {
        ScriptOutline outline = readScript(text);
        benchmark::DoNotOptimize(outline);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}
BENCHMARK(BM_ReadScript)->Arg(kScriptBytes)->Unit(benchmark::kMillisecond);

// Reading and checking the whole script, as each pause in typing does.
void BM_CheckScript(benchmark::State& state)
{
    const std::string& text = script();
    const DeclaredNames siblings = generatorSiblings();
    std::vector<Finding> findings;
    for (auto _ : state) {
        findings = checkScript(text, siblings);
        benchmark::DoNotOptimize(findings);
    }
    std::size_t errors = 0;
    for (const Finding& finding : findings)
        errors += finding.severity == Severity::Error;
    state.counters["errors"] = double(errors);
    state.counters["warnings"] = double(findings.size() - errors);
    // Without the sibling files' names every fork to them is "not defined here".
    state.counters["warnings_alone"] = double(checkScript(text).size() - errors);
}
BENCHMARK(BM_CheckScript)->Arg(kScriptBytes)->Unit(benchmark::kMillisecond);

// Computes the candidates for `typed` in the middle of the script, reading the script included.
void timeCandidates(benchmark::State& state, std::string_view typed, const DeclaredNames& siblings)
{
    const auto [text, caret] = typingInTheMiddle(typed);
    std::size_t count = 0;
    for (auto _ : state) {
        const Completion completion = completeAt(text, caret, siblings, "level01");
        count = completion.candidates.size();
        benchmark::DoNotOptimize(completion);
    }
    state.counters["candidates"] = double(count);
}

// The candidate list the completion popup opens with.
void BM_CompletionCandidates(benchmark::State& state)
{
    timeCandidates(state, "chr_t", generatorSiblings());
}
BENCHMARK(BM_CompletionCandidates)->Arg(kScriptBytes)->Unit(benchmark::kMillisecond);

// The same with two letters typed, which match far more names.
void BM_CompletionCandidatesTwoLetters(benchmark::State& state)
{
    timeCandidates(state, "co", generatorSiblings());
}
BENCHMARK(BM_CompletionCandidatesTwoLetters)->Arg(kScriptBytes)->Unit(benchmark::kMillisecond);

// A builder command's argument list: the level's character identifiers.
void BM_ArgumentCandidates(benchmark::State& state)
{
    timeCandidates(state, "ai2_attack ", {});
}
BENCHMARK(BM_ArgumentCandidates)->Arg(kScriptBytes)->Unit(benchmark::kMillisecond);

// Notes each time a widget paints.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

void sendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Ctrl+Space in the middle of a long script, from the key to the candidate list on the screen:
// the context at the caret, ranking the names, filling the list and painting it. As in the
// window, the script's reading comes from outside, made once. Two letters match hundreds of
// names, which is the most the list fills at once when it opens by itself.
void BM_CompletionPopup(benchmark::State& state)
{
    const auto [text, caret] = typingInTheMiddle("co", std::size_t(state.range(0)));
    auto window = std::make_unique<QWidget>();
    auto* editor = new ScriptEditor(window.get());
    editor->setGeometry(0, 0, 860, 520);
    window->resize(880, 540);
    window->show();
    editor->setFocus();
    editor->setScriptContext(std::make_shared<const DeclaredNames>(generatorSiblings()), QStringLiteral("level01"));
    editor->setScript(text);
    editor->takeReadingsFromOutside();
    editor->setAnalysis(analyseScript(editor->snapshot()));
    editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(caret));
    QApplication::processEvents();
    QListView* list = editor->findChild<QListView*>(QStringLiteral("completionList"));
    if (!list) {
        state.SkipWithError("the editor has no candidate list");
        return;
    }
    PaintWatch watch;
    list->viewport()->installEventFilter(&watch);

    int rows = 0;
    for (auto _ : state) {
        watch.painted = false;
        sendKey(editor, Qt::Key_Space, Qt::ControlModifier);
        for (int round = 0; !watch.painted && round < 1000; ++round)
            QApplication::processEvents();
        state.PauseTiming();
        if (!list->isVisible() || !watch.painted) {
            state.SkipWithError("the list did not show");
            break;
        }
        rows = list->model()->rowCount();
        sendKey(editor, Qt::Key_Escape, Qt::NoModifier);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["candidates"] = double(rows);
}
BENCHMARK(BM_CompletionPopup)->Arg(kScriptBytes)->Arg(64 << 20)->Unit(benchmark::kMillisecond);

// A level of eight scripts of `bytes` in all, read from their files as the window reads a level.
// The generated scripts fork to functions by the generator's names without declaring them; the
// first file declares them, as a level's first file declares what the others call.
std::shared_ptr<const Level> generatedLevel(std::size_t bytes)
{
    static std::map<std::size_t, std::shared_ptr<const Level>> levels;
    std::shared_ptr<const Level>& level = levels[bytes];
    if (level)
        return level;
    QTemporaryDir dir;
    for (int part = 0; part < 8; ++part) {
        std::string script;
        if (part == 0) {
            const DeclaredNames declared = generatorSiblings();
            for (const auto& [name, entry] : declared.entries())
                script.append(entry->declaration).append("\r\n{\r\n}\r\n");
        }
        script += GenerateScript(bytes / 8, LineEnds::CarriageReturnLineFeed, 1999 + unsigned(part));
        QFile file(dir.filePath(QStringLiteral("level_part%1.bsl").arg(part)));
        if (!file.open(QIODevice::WriteOnly) || file.write(script.data(), qint64(script.size())) != qint64(script.size()))
            return nullptr;
    }
    LevelWorkspace workspace;
    level = workspace.levelOfFolder(dir.path());
    return level;
}

// Where the first script declares `count`, which every script calls and many functions hide
// with a local of that name.
std::size_t countDeclaration(const Level& level)
{
    return level.script(0).text().find("count(void)");
}

// Shift+F12 on a function of the level: the name resolved and every use found, in every script.
void BM_FindReferences(benchmark::State& state)
{
    const std::shared_ptr<const Level> level = generatedLevel(std::size_t(state.range(0)));
    if (!level) {
        state.SkipWithError("cannot write the level");
        return;
    }
    std::size_t count = 0;
    for (auto _ : state) {
        const std::optional<LevelSymbol> symbol = symbolAt(*level, 0, countDeclaration(*level));
        const std::vector<LevelReference> references = referencesOf(*level, *symbol);
        count = references.size();
        benchmark::DoNotOptimize(references);
    }
    state.counters["references"] = double(count);
}
BENCHMARK(BM_FindReferences)->Arg(8 << 20)->Unit(benchmark::kMillisecond);

// F2 on the same function: the new name weighed against the level's names, and the edits made.
void BM_RenameAcrossLevel(benchmark::State& state)
{
    const std::shared_ptr<const Level> level = generatedLevel(std::size_t(state.range(0)));
    if (!level) {
        state.SkipWithError("cannot write the level");
        return;
    }
    std::size_t edits = 0;
    for (auto _ : state) {
        const LevelEdits rename = renameAt(*level, 0, countDeclaration(*level), "tally");
        edits = 0;
        for (const ScriptEdits& script : rename.scripts)
            edits += script.edits.size();
        benchmark::DoNotOptimize(rename);
    }
    state.counters["edits"] = double(edits);
}
BENCHMARK(BM_RenameAcrossLevel)->Arg(8 << 20)->Unit(benchmark::kMillisecond);

// F12 on a call in the last script of the function the first one declares.
void BM_GoToDefinition(benchmark::State& state)
{
    const std::shared_ptr<const Level> level = generatedLevel(8 << 20);
    if (!level) {
        state.SkipWithError("cannot write the level");
        return;
    }
    const std::size_t last = level->size() - 1;
    const std::string_view text = level->script(last).text();
    std::size_t caret = std::string_view::npos;
    for (std::size_t at = text.find("fork count", text.size() / 2); at != std::string_view::npos;
         at = text.find("fork count", at + 1)) {
        if (symbolAt(*level, last, at + 5)->kind == SymbolKind::Function) {
            caret = at + 5;
            break;
        }
    }
    if (caret == std::string_view::npos) {
        state.SkipWithError("no call of the function");
        return;
    }
    for (auto _ : state) {
        const std::optional<LevelSymbol> symbol = symbolAt(*level, last, caret);
        const std::optional<LevelLocation> definition = definitionOf(*level, *symbol);
        benchmark::DoNotOptimize(definition);
    }
}
BENCHMARK(BM_GoToDefinition)->Unit(benchmark::kMicrosecond);

// Ctrl+Shift+F for a command, whole words, letter case ignored, in every script of the level.
void BM_FindInLevel(benchmark::State& state)
{
    const std::shared_ptr<const Level> level = generatedLevel(std::size_t(state.range(0)));
    if (!level) {
        state.SkipWithError("cannot write the level");
        return;
    }
    std::size_t count = 0;
    for (auto _ : state) {
        const std::vector<TextMatch> matches = findInLevel(*level, "AI2_ATTACK", {false, true});
        count = matches.size();
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = double(count);
}
BENCHMARK(BM_FindInLevel)->Arg(8 << 20)->Unit(benchmark::kMillisecond);

// What the worker does at a pause in typing in one script of a level of a thousand scripts of
// 4 KiB: the new revision read and checked, the folder looked over, no other file read again.
void BM_LevelAfterTyping(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string script = GenerateScript(4096, LineEnds::CarriageReturnLineFeed);
    for (int i = 0; i < state.range(0); ++i) {
        QFile file(dir.filePath(QStringLiteral("part%1.bsl").arg(i)));
        if (!file.open(QIODevice::WriteOnly) || file.write(script.data(), qint64(script.size())) != qint64(script.size())) {
            state.SkipWithError("cannot write the level");
            return;
        }
    }
    const QString typedInto = dir.filePath(QStringLiteral("part0.bsl"));
    LevelWorkspace workspace;
    workspace.levelOf(typedInto);
    std::uint64_t revision = 0;
    std::string text = script;
    const std::size_t middle = text.find("\r\n\t", text.size() / 2) + 3;
    for (auto _ : state) {
        text.insert(middle, 1, 'x');
        workspace.setDocument(typedInto, ++revision, std::make_shared<const std::string>(text));
        benchmark::DoNotOptimize(workspace.levelOf(typedInto));
    }
}
BENCHMARK(BM_LevelAfterTyping)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
