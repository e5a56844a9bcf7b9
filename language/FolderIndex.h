#pragma once

#include "language/DeclaredNames.h"
#include "platform/File.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

// What names the level of the script at `scriptPath`, for the order of completion's argument
// lists (see levelFromHint): the folder's name, which names the level more often than the file
// does, else the file's name; empty for a script that has no file yet.
QString levelHintOf(const QString& scriptPath);

// What the other `.bsl` files beside a script declare. The check runs at every pause in typing,
// so a file is read again only when its stamp on disk changed.
class FolderIndex {
public:
    // The functions and globals of the other scripts in the folder of `scriptPath`; nothing for
    // a script that has no file yet. Files that cannot be read count as empty.
    std::shared_ptr<const DeclaredNames> namesBeside(const QString& scriptPath);

private:
    struct Sibling {
        FileStamp stamp;
        std::vector<DeclaredNames::Entry> entries;
    };

    QString m_scriptPath;
    std::map<QString, Sibling> m_siblings;  // by path, so the names merge in file-name order
    std::shared_ptr<const DeclaredNames> m_names;
};
