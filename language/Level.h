#pragma once

#include "language/DeclaredNames.h"
#include "language/ScriptChecker.h"
#include "language/ScriptReader.h"
#include "platform/File.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

// A level is the folder of a script: every `.bsl` file in it, which the game loads together, so a
// function one script calls may be declared in another. What the window, the command line and the
// language server know about a script, they know about it as one of its level's.

// One script of a level as the level's snapshot saw it.
struct LevelScript {
    // Absolute and clean (see levelPath); empty for a script never saved.
    QString path;
    // Read from a document's text rather than from its file.
    bool open = false;
    // The document's revision when open; 0 when read from the file.
    std::uint64_t revision = 0;
    // Never null. Holds the text every offset of the level's queries refers to: a document's text
    // as its editor gave it, or the file's text as the editor opens it (see readScriptText).
    std::shared_ptr<const ScriptAnalysis> analysis;
    // In text order; never null. Checked with the declarations of the level's other scripts.
    std::shared_ptr<const std::vector<Finding>> findings;
    // Its functions and globals as the level's other scripts see them; never null.
    std::shared_ptr<const DeclaredNames::Entries> declarations;
    // Why the file could not be read (its message names the file); nothing when it was. Such a
    // script counts as empty.
    std::optional<FileError> readError;

    std::string_view text() const { return *analysis->text; }
};

// A level as it stood at one moment: immutable, so any thread may read it while the workspace
// that made it moves on. Its scripts are in file-name order, letter case ignored.
class Level {
public:
    Level(QString folder, std::vector<LevelScript> scripts);

    // Absolute and clean; empty for the level of a script never saved.
    const QString& folder() const { return m_folder; }
    const std::vector<LevelScript>& scripts() const { return m_scripts; }
    const LevelScript& script(std::size_t index) const { return m_scripts[index]; }
    std::size_t size() const { return m_scripts.size(); }

    // The script at `path` (any form levelPath accepts); nothing when the level holds none there.
    std::optional<std::size_t> indexOf(const QString& path) const;

private:
    QString m_folder;
    std::vector<LevelScript> m_scripts;
};

// The form a level names its scripts and folder in: absolute and clean, symbolic links kept, so
// that two spellings of one path find the same script. Empty stays empty.
QString levelPath(const QString& path);

// What names the level of the script at `scriptPath`, for the order of completion's argument
// lists (see levelFromHint): the folder's name, which names the level more often than the file
// does, else the file's name; empty for a script that has no file yet.
QString levelHintOf(const QString& scriptPath);
