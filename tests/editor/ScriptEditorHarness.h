#pragma once

#include "editor/ScriptEditor.h"
#include "editor/ScriptSearch.h"
#include "language/Tokenizer.h"
#include "support/TokenRuns.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>


// A window holding the script editor. Key events go to the editor widget itself; the window is
// shown only where focus matters.
class ScriptEditorHarness {
public:
    struct Options {
        bool show = false;
    };

    ScriptEditorHarness() : ScriptEditorHarness(Options{}) {}
    explicit ScriptEditorHarness(Options options);

    ScriptEditor& editor() { return *m_editor; }
    QWidget* window() { return m_window.get(); }

    // Loads a script given as its file bytes.
    void load(std::string_view fileBytes);

    // The text as the editor holds it (UTF-8, CR LF line ends).
    std::string text();
    // The token kind each byte is coloured as, after the whole text was coloured.
    std::vector<TokenKind> kinds();
    // The kinds as the editor keeps them, once it has coloured only what it knows to be stale.
    std::vector<TokenKind> kindsKept();

    // Selects from `anchor` to `caret`, in byte positions of the text.
    void select(long anchor, long caret);
    void caretAt(long position) { select(position, position); }
    long anchor();
    long caret();

    // Types each character as a key press carrying it.
    void typeText(const QString& text);
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Drags `text` in from elsewhere and drops it at `at`, a point of the editor's viewport.
    void drop(const QString& text, QPoint at);

private:
    std::unique_ptr<QWidget> m_window;
    ScriptEditor* m_editor;  // owned by the window
};

// The kinds a full pass of the tokenizer gives each byte of `text`.
std::vector<TokenKind> kindsAfresh(std::string_view text);

// `text` with the case correction a fresh load applies.
std::string correctedAfresh(std::string text);

// Expects the editor to hold text and colours exactly as a fresh load of its own text gives.
void expectFreshlyFormatted(ScriptEditorHarness& harness);

// A find and a replace-all as the find window makes them, with the worker's part done here.
script_search::Result findInEditor(ScriptEditor& editor, const QString& text, script_search::Options options,
                                   bool forward);
int replaceAllInEditor(ScriptEditor& editor, const QString& text, const QString& replacement,
                       script_search::Options options);
