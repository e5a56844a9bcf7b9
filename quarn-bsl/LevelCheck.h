#pragma once

#include "language/ScriptChecker.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

// One script as the check found it.
struct CheckedScript {
    QString path;                                          // as named, or its folder as named joined with its name
    std::shared_ptr<const std::string> text;               // as the editor opens it
    std::shared_ptr<const std::vector<Finding>> findings;  // in text order; never null
};

struct CheckRun {
    std::vector<CheckedScript> scripts;  // in the order named, a folder's in level order
    QStringList failures;                // one a file or folder that could not be read, why included
};

// Checks every script `paths` names, each a script or a folder of them, with the other scripts of
// its folder as its level, read through the level workspace the window reads levels with: so
// exactly as the window checks it. A script named twice, directly or through its folder, is
// checked once; a script of a level that cannot be read is a failure, named or not.
CheckRun checkPaths(const QStringList& paths);
