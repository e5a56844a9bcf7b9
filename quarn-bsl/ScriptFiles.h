#pragma once

#include <QFileInfoList>
#include <QString>

#include <memory>
#include <string>

// A script file read as the editor opens it.
struct ScriptFile {
    // The editor's text: the windows-1252 bytes as UTF-8 with CR LF line ends, keywords and
    // command names in their lists' letter case. Null when the file cannot be read.
    std::shared_ptr<const std::string> text;
    QString error;  // why it cannot be read, in the system's words
};

ScriptFile readScriptFile(const QString& path);

// The `.bsl` files of the folder `folderPath` (the suffix in any letter case), hidden ones
// included, in name order, letter case aside: the scripts the game loads together as one level.
// Entries that are no regular file, such as a link to nowhere, are listed too, for the reader to
// say why they cannot be read.
QFileInfoList levelScriptsIn(const QString& folderPath);
