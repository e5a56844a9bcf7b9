#include "app/LevelCommands.h"

#include "app/LevelFindDialog.h"
#include "app/ReferencesWindow.h"
#include "app/ScriptTab.h"
#include "app/ScriptTabs.h"
#include "catalogue/Builtins.h"
#include "editor/ScriptEditor.h"
#include "language/LanguageService.h"
#include "language/TextSearch.h"
#include "platform/DesktopServices.h"
#include "platform/ProgramName.h"

#include <QFileInfo>
#include <QPointer>
#include <QToolTip>

#include <algorithm>
#include <optional>
#include <string>

namespace {

// What a name at the caret stands for, as the worker found it.
struct NameAt {
    bool found = false;  // a name stands there
    SymbolKind kind = SymbolKind::Unknown;
    std::string name;
    std::optional<LevelLocation> declaration;
    std::vector<LevelPlace> references;
};

// With the uses of a declared name, when asked for, each as one of the places of the tab
// `document` (for a script never saved) named `unsavedName`.
NameAt nameAt(const Level& level, std::size_t script, std::size_t offset, bool withUses = false,
              std::uint64_t document = 0, const QString& unsavedName = {});

QString nameOf(const QString& path, const QString& unsavedName)
{
    return path.isEmpty() ? unsavedName : QFileInfo(path).fileName();
}

const char* kindWord(SymbolKind kind)
{
    switch (kind) {
    case SymbolKind::Function:
        return "function";
    case SymbolKind::Global:
        return "global";
    case SymbolKind::Parameter:
        return "parameter";
    case SymbolKind::Local:
        return "local";
    default:
        return "name";
    }
}

// Why a name that is not declared in the level has no declaration to go to, uses to list or
// name to change.
QString undeclared(const NameAt& name, const char* action)
{
    if (!name.found)
        return QStringLiteral("Put the caret on a function, global, parameter or local to %1 it.")
            .arg(QLatin1String(action));
    const QString quoted = QLatin1Char('\'') + QString::fromUtf8(name.name) + QLatin1Char('\'');
    switch (name.kind) {
    case SymbolKind::Builtin:
        return quoted + QStringLiteral(" is built into the game.");
    case SymbolKind::Keyword:
        return quoted + QStringLiteral(" is a keyword.");
    default:
        return quoted + QStringLiteral(" is declared nowhere in the level.");
    }
}

NameAt nameAt(const Level& level, std::size_t script, std::size_t offset, bool withUses, std::uint64_t document,
              const QString& unsavedName)
{
    NameAt answer;
    const std::optional<LevelSymbol> symbol = symbolAt(level, script, offset);
    if (!symbol)
        return answer;
    answer.found = true;
    answer.kind = symbol->kind;
    answer.name = std::string(symbol->name);
    answer.declaration = definitionOf(level, *symbol);
    if (!withUses || !answer.declaration)
        return answer;
    for (const LevelReference& reference : referencesOf(level, *symbol)) {
        const LevelLocation& at = reference.location;
        answer.references.push_back({at.path, document, nameOf(at.path, unsavedName), at.place.line,
                                     reference.lineText, at.place.offset, at.length});
    }
    return answer;
}

} // namespace

LevelCommands::LevelCommands(ScriptTabs& tabs, LanguageService& language, Opener open, QWidget* window)
    : QObject(window), m_tabs(tabs), m_language(language), m_open(std::move(open)), m_window(window),
      m_references(new ReferencesWindow(window)), m_find(new LevelFindDialog(window))
{
    const auto goToPlace = [this](const LevelPlace& place) {
        goTo(place.path, place.document, place.offset, place.length);
        m_window->activateWindow();
    };
    connect(m_references->list(), &PlaceList::placeChosen, this, goToPlace);
    connect(m_find->list(), &PlaceList::placeChosen, this, goToPlace);
    connect(m_find, &LevelFindDialog::findAll, this, &LevelCommands::findAll);
    connect(m_find, &LevelFindDialog::replaceAll, this, &LevelCommands::replaceAll);
}

template <class Result>
void LevelCommands::ask(ScriptTab* tab, std::function<Result(const Level&, std::size_t)> job,
                        std::function<void(ScriptTab&, Result&, const std::shared_ptr<const Level>&)> done)
{
    // Every open script of the level goes to the worker as it stands before the question does.
    const QString folder = tab->folder();
    for (const auto& other : m_tabs.tabs()) {
        if (other.get() == tab || (!folder.isEmpty() && other->folder() == folder))
            other->handOver();
    }
    const std::uint64_t document = tab->id();
    const QString path = tab->path();
    m_language.withLevel(
        document, path,
        [commands = QPointer<LevelCommands>(this), document, path, job = std::move(job),
         done = std::move(done)](std::shared_ptr<const Level> level) -> LanguageService::Continuation {
            const std::optional<std::size_t> script =
                path.isEmpty() ? (level->size() == 1 ? std::optional<std::size_t>(0) : std::nullopt) : level->indexOf(path);
            std::shared_ptr<Result> result;
            if (script)
                result = std::make_shared<Result>(job(*level, *script));
            return [commands, document, script, level, result, done] {
                if (!commands)
                    return;
                ScriptTab* asked = commands->m_tabs.byId(document);
                // An answer about a text that changed since answers nothing.
                if (asked && result && level->script(*script).open &&
                    level->script(*script).revision == asked->revision())
                    done(*asked, *result, level);
                emit commands->answered();
            };
        });
}

void LevelCommands::goToDefinition()
{
    ScriptTab* tab = m_tabs.current();
    goToDefinitionAt(tab, tab->editor()->SendScintilla(ScriptEditor::SCI_GETCURRENTPOS));
}

bool LevelCommands::takeControlClick(ScriptTab* tab, long position)
{
    const std::optional<std::size_t> script = tab->indexInLevel();
    if (!tab->isRead() || !script)
        return false;
    const std::optional<LevelSymbol> symbol = symbolAt(*tab->level(), *script, tab->editor()->scriptOffset(position));
    if (!symbol || !symbol->declared())
        return false;
    tab->editor()->SendScintilla(ScriptEditor::SCI_GOTOPOS, static_cast<unsigned long>(position));
    goToDefinitionAt(tab, position);
    return true;
}

void LevelCommands::goToDefinitionAt(ScriptTab* tab, long position)
{
    const std::size_t offset = tab->editor()->scriptOffset(position);
    ask<NameAt>(
        tab, [offset](const Level& level, std::size_t script) { return nameAt(level, script, offset); },
        [this, position](ScriptTab& tab, NameAt& name, const std::shared_ptr<const Level>&) {
            if (&tab != m_tabs.current() || !name.found || name.kind == SymbolKind::Keyword)
                return;
            if (name.kind == SymbolKind::Builtin)
                tab.editor()->showHint(position);
            else if (!name.declaration)
                tell(tab, undeclared(name, "go to"));
            else
                goTo(name.declaration->path, tab.id(), name.declaration->place.offset, name.declaration->length);
        });
}

void LevelCommands::findReferences()
{
    ScriptTab* tab = m_tabs.current();
    const std::size_t offset = tab->editor()->scriptOffset(tab->editor()->SendScintilla(ScriptEditor::SCI_GETCURRENTPOS));
    const std::uint64_t document = tab->id();
    const QString unsavedName = tab->name();
    ask<NameAt>(
        tab,
        [offset, document, unsavedName](const Level& level, std::size_t script) {
            return nameAt(level, script, offset, true, document, unsavedName);
        },
        [this](ScriptTab& tab, NameAt& name, const std::shared_ptr<const Level>& level) {
            if (!name.declaration) {
                tell(tab, undeclared(name, "list the uses of"));
                return;
            }
            m_references->showReferences(QString::fromUtf8(name.name), std::move(name.references), level);
        });
}

void LevelCommands::rename()
{
    ScriptTab* tab = m_tabs.current();
    const std::size_t offset = tab->editor()->scriptOffset(tab->editor()->SendScintilla(ScriptEditor::SCI_GETCURRENTPOS));
    ask<NameAt>(
        tab, [offset](const Level& level, std::size_t script) { return nameAt(level, script, offset); },
        [this, offset](ScriptTab& tab, NameAt& name, const std::shared_ptr<const Level>&) {
            if (!name.declaration) {
                tell(tab, name.kind == SymbolKind::Builtin || name.kind == SymbolKind::Keyword
                              ? undeclared(name, "rename") + QStringLiteral(" It cannot be renamed.")
                              : undeclared(name, "rename"));
                return;
            }
            const QString current = QString::fromUtf8(name.name);
            const std::uint64_t revision = tab.revision();
            const std::optional<QString> chosen = DesktopServices::instance().getText(
                m_window, QStringLiteral("Rename"),
                QStringLiteral("New name for the %1 '%2':").arg(QLatin1String(kindWord(name.kind)), current), current);
            // The box lets the event loop run: the tab may have gone, or its text changed.
            ScriptTab* still = m_tabs.byId(tab.id());
            if (!chosen || chosen->trimmed() == current || !still || still->revision() != revision)
                return;
            renameTo(*still, offset, chosen->trimmed());
        });
}

void LevelCommands::renameTo(ScriptTab& tab, std::size_t offset, const QString& newName)
{
    const std::uint64_t revision = tab.revision();
    ask<LevelEdits>(
        &tab,
        [offset, name = typedText(newName)](const Level& level, std::size_t script) {
            return renameAt(level, script, offset, name);
        },
        [this, revision](ScriptTab& tab, LevelEdits& edits, const std::shared_ptr<const Level>& level) {
            if (tab.revision() != revision)
                return;
            if (edits.refused()) {
                refuse(QString::fromUtf8(edits.refusal));
                return;
            }
            std::size_t count = 0;
            for (const ScriptEdits& script : edits.scripts)
                count += script.edits.size();
            if (applyEdits(tab, edits, *level, QStringLiteral("rename")))
                tell(*m_tabs.current(), QStringLiteral("Renamed %1 in %2.")
                                            .arg(count == 1 ? QStringLiteral("1 place") : QStringLiteral("%1 places").arg(count),
                                                 edits.scripts.size() == 1 ? QStringLiteral("1 script")
                                                                           : QStringLiteral("%1 scripts").arg(edits.scripts.size())));
        });
}

void LevelCommands::showFindInLevel()
{
    m_find->showFind(m_tabs.current()->editor()->selectedText());
}

void LevelCommands::findAll(const QString& text, SearchOptions options)
{
    ScriptTab* tab = m_tabs.current();
    const std::uint64_t document = tab->id();
    const QString unsavedName = tab->name();
    ask<std::vector<LevelPlace>>(
        tab,
        [pattern = typedText(text), options, document, unsavedName](const Level& level, std::size_t) {
            std::vector<LevelPlace> places;
            for (const TextMatch& match : findInLevel(level, pattern, options)) {
                const LevelLocation& at = match.location;
                places.push_back({at.path, document, nameOf(at.path, unsavedName), at.place.line, match.lineText,
                                  at.place.offset, at.length});
            }
            return places;
        },
        [this](ScriptTab&, std::vector<LevelPlace>& places, const std::shared_ptr<const Level>& level) {
            m_find->showMatches(std::move(places), level);
        });
}

void LevelCommands::replaceAll(const QString& text, const QString& replacement, SearchOptions options)
{
    ask<LevelEdits>(
        m_tabs.current(),
        [pattern = typedText(text), replacement = typedText(replacement), options](const Level& level, std::size_t) {
            return replaceInLevel(level, pattern, replacement, options);
        },
        [this](ScriptTab& tab, LevelEdits& edits, const std::shared_ptr<const Level>& level) {
            std::size_t count = 0;
            for (const ScriptEdits& script : edits.scripts)
                count += script.edits.size();
            if (applyEdits(tab, edits, *level, QStringLiteral("replace")))
                m_find->showReplaced(int(count), int(edits.scripts.size()));
        });
}

bool LevelCommands::applyEdits(ScriptTab& asking, const LevelEdits& edits, const Level& level, const QString& what)
{
    const QString unchanged = QStringLiteral(" Nothing was changed.");
    const auto cannotApply = [&](const ScriptTab& tab) {
        refuse(QStringLiteral("The %1 would change the part of a line of %2 that is too long to show whole.")
                   .arg(what, tab.name()) +
               unchanged);
    };
    std::vector<std::pair<ScriptTab*, const ScriptEdits*>> targets;
    std::vector<const ScriptEdits*> closed;
    for (const ScriptEdits& script : edits.scripts) {
        ScriptTab* tab = script.path.isEmpty() ? &asking : m_tabs.find(script.path);
        if (!tab) {
            closed.push_back(&script);
            continue;
        }
        const LevelScript& read = level.script(script.script);
        if (!read.open || read.revision != tab->revision()) {
            refuse(QStringLiteral("%1 changed while the %2 was worked out.").arg(tab->name(), what) + unchanged);
            return false;
        }
        if (!tab->canApply(script.edits)) {
            cannotApply(*tab);
            return false;
        }
        targets.emplace_back(tab, &script);
    }
    // The scripts that are not open come as tabs, behind the current one.
    for (const ScriptEdits* script : closed) {
        ScriptTab* tab = m_open(script->path, true);
        if (!tab)
            return false;
        // The editor corrects the letter case of words as it opens a script, so the texts may differ
        // in that alone.
        if (!sameName(*tab->editor()->snapshot(), level.script(script->script).text())) {
            refuse(QStringLiteral("%1 changed on disk while the %2 was worked out.").arg(tab->name(), what) + unchanged);
            return false;
        }
        if (!tab->canApply(script->edits)) {
            cannotApply(*tab);
            return false;
        }
        targets.emplace_back(tab, script);
    }
    for (const auto& [tab, script] : targets)
        tab->apply(script->edits);
    return true;
}

void LevelCommands::refuse(const QString& reason)
{
    DesktopServices::instance().messageBox(m_window, reason, programName(), DesktopServices::Icon::Warning);
}

void LevelCommands::tell(ScriptTab& tab, const QString& notice)
{
    ScriptEditor* editor = tab.editor();
    const long caret = editor->SendScintilla(ScriptEditor::SCI_GETCURRENTPOS);
    const QPoint at(int(editor->SendScintilla(ScriptEditor::SCI_POINTXFROMPOSITION, 0UL, caret)),
                    int(editor->SendScintilla(ScriptEditor::SCI_POINTYFROMPOSITION, 0UL, caret)));
    QToolTip::showText(editor->viewport()->mapToGlobal(at), notice, editor->viewport());
}

EditorPlace LevelCommands::here() const
{
    const ScriptTab* tab = m_tabs.current();
    return {tab->id(), tab->path(), tab->editor()->SendScintilla(ScriptEditor::SCI_GETCURRENTPOS)};
}

void LevelCommands::goTo(const QString& path, std::uint64_t document, std::size_t offset, std::size_t length)
{
    const EditorPlace from = here();
    ScriptTab* target = path.isEmpty() ? m_tabs.byId(document) : m_open(path, false);
    if (!target)
        return;
    m_history.leave(from);
    m_tabs.setCurrent(target);
    select(*target, offset, length);
}

void LevelCommands::select(ScriptTab& tab, std::size_t offset, std::size_t length)
{
    ScriptEditor* editor = tab.editor();
    const long from = editor->shownPosition(offset);
    const long to = std::max(from, editor->shownPosition(offset + length));
    editor->SendScintilla(ScriptEditor::SCI_SETSEL, static_cast<unsigned long>(from), to);
    editor->SendScintilla(ScriptEditor::SCI_SCROLLCARET);
    editor->setFocus();
}

void LevelCommands::goBack()
{
    while (const std::optional<EditorPlace> place = m_history.back(here())) {
        if (show(*place))
            return;
    }
}

void LevelCommands::goForward()
{
    while (const std::optional<EditorPlace> place = m_history.forward(here())) {
        if (show(*place))
            return;
    }
}

bool LevelCommands::show(const EditorPlace& place)
{
    ScriptTab* tab = m_tabs.byId(place.document);
    if (!tab && !place.path.isEmpty())
        tab = m_open(place.path, false);
    if (!tab)
        return false;
    m_tabs.setCurrent(tab);
    ScriptEditor* editor = tab->editor();
    const long end = editor->SendScintilla(ScriptEditor::SCI_GETLENGTH);
    editor->SendScintilla(ScriptEditor::SCI_GOTOPOS, static_cast<unsigned long>(std::min(place.position, end)));
    editor->setFocus();
    return true;
}
