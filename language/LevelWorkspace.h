#pragma once

#include "language/DeclaredNames.h"
#include "language/Level.h"
#include "platform/File.h"

#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The text of the script file at `path` as the editor opens it: its windows-1252 bytes as UTF-8
// with CR LF line ends, keywords and command names in their lists' letter case. What is only
// looked at is read without a lock (see readUnlocked); a pipe or a device is refused, never waited
// on. Throws FileError naming the path, also for a text longer than a reading can count in.
std::string readScriptText(const QString& path);

// Keeps the levels that are being worked on current, and hands out snapshots of them. A pause in
// typing, a language server's change and a command-line check all ask again and again, so only
// what changed is done again: a file is read again only when its stamp on disk changed, a text
// is read (analysed) once per revision, and a script is checked again only when its own text
// changed or a declaration it names appeared or vanished elsewhere in its level.
//
// Open documents (the texts an editor holds) stand in for their files. Not thread-safe: one
// thread at a time uses it, as the window's worker does; the snapshots it hands out are for all.
class LevelWorkspace {
public:
    LevelWorkspace();
    ~LevelWorkspace();
    LevelWorkspace(const LevelWorkspace&) = delete;
    LevelWorkspace& operator=(const LevelWorkspace&) = delete;

    // The text a document holds for the script at `path`, which stands in for the file from now
    // on. A revision older than the one already given is outdated and ignored; the same revision
    // is the same text and is not read again.
    void setDocument(const QString& path, std::uint64_t revision, std::shared_ptr<const std::string> text);
    // The script is read from its file again, if it has one.
    void closeDocument(const QString& path);
    // The reading of the text the document at `path` holds now, made at once and used again by
    // the level of the document's folder: for a caller that needs the document before the rest
    // of its level. Null when no document is open there.
    std::shared_ptr<const ScriptAnalysis> documentAnalysis(const QString& path);

    // The level of the folder holding `scriptPath`, brought up to date with the folder on disk and
    // the open documents in it. An open document belongs to its folder's level whatever its name
    // ends in, since the window checks whatever it holds with the scripts beside it. An empty
    // path has no folder, and an empty level: see unsavedLevel.
    std::shared_ptr<const Level> levelOf(const QString& scriptPath);
    // The same for a folder named directly.
    std::shared_ptr<const Level> levelOfFolder(const QString& folder);

    // A script never saved is a level of its own. `document` tells such scripts apart (the window
    // may hold several); the last level of each is kept, so that asking again for the same
    // revision reads nothing.
    std::shared_ptr<const Level> unsavedLevel(std::uint64_t document, std::uint64_t revision,
                                              std::shared_ptr<const std::string> text);
    // The last level made for unsaved `document`, or an empty level when none was.
    std::shared_ptr<const Level> unsavedLevel(std::uint64_t document) const;
    // The unsaved document was closed or saved: its level goes.
    void closeUnsaved(std::uint64_t document);

    // What the other scripts of the level of `scriptPath` declare, as its last snapshot saw them:
    // what completion and hints add to the script's own names. The same object as long as those
    // declarations did not change, so a caller can tell by the pointer. Nothing (an empty set)
    // for a script never saved or a folder not asked about.
    std::shared_ptr<const DeclaredNames> namesBeside(const QString& scriptPath);

    // Lets go of the folders' levels that hold no open document; the next question about one
    // reads it again. A script never saved keeps its level until closeUnsaved.
    void forgetLevelsWithoutDocuments();

private:
    struct Script;
    struct Folder;
    struct Document {
        std::uint64_t revision;
        std::shared_ptr<const std::string> text;
        std::shared_ptr<const ScriptAnalysis> analysis;  // of `text`, once documentAnalysis asked
    };
    // Where a script's text comes from now: its document, or its file and that file's stamp.
    struct Source {
        bool open = false;
        std::uint64_t revision = 0;
        FileStamp stamp;
        std::shared_ptr<const std::string> text;  // null for a file, which is read later
        std::shared_ptr<const ScriptAnalysis> analysis;  // a document's, when read already
    };

    Folder& folderAt(const QString& folder);
    // The scripts of a folder's level, in level order.
    std::vector<QString> scriptPathsIn(const QString& folder) const;
    // Where the script at `path` is read from now, or nothing when it holds what `previous` read:
    // a document's text, or a file whose stamp changed (the file is read later, in parallel).
    std::optional<Source> changedSource(const QString& path, const Script* previous) const;
    // The script `source` holds, read; nothing when it holds what `previous` read. `uncounted` is
    // the new reading when one was made, its names still to count. Safe on several threads.
    static std::optional<Script> readSource(const QString& path, Source source, const Script* previous,
                                            std::shared_ptr<ScriptAnalysis>& uncounted);
    // The functions and globals of a script read again; those `previous` read when they are the same.
    static void gatherDeclarations(LevelScript& script, const Script* previous);
    void refresh(Folder& folder);
    // Lets go of folders that hold no open document, but for `kept`: a workspace that is asked
    // about one level after another keeps no more than the levels in use.
    void forgetFoldersBut(const QString& kept);

    std::map<QString, Document> m_documents;  // by levelPath
    std::map<QString, std::unique_ptr<Folder>> m_folders;
    struct Unsaved {
        std::uint64_t revision = 0;
        std::shared_ptr<const Level> level;
    };
    std::map<std::uint64_t, Unsaved> m_unsaved;  // by document
    std::shared_ptr<const DeclaredNames> m_noNames;
};
