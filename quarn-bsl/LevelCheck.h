#pragma once

#include "language/ScriptChecker.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

// One script as the check found it.
struct CheckedScript {
    QString path;                              // as named, or its folder as named joined with its name
    std::shared_ptr<const std::string> text;   // the editor's text of it
    std::vector<Finding> findings;             // in text order
};

struct CheckRun {
    std::vector<CheckedScript> scripts;  // in the order named, a folder's in name order
    QStringList failures;                // one a file or folder that could not be read, why included
};

// Checks every script `paths` names, each a script or a folder of them, with the other scripts of
// its folder as its level, exactly as the window checks it. A script named twice, directly or
// through its folder, is checked once.
CheckRun checkPaths(const QStringList& paths);
