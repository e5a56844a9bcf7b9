#pragma once

#include "quarn-bsl/LevelCheck.h"

#include <QByteArray>

// What the check prints: its findings on standard output, in the form compilers use or as JSON,
// and the count for a person on standard error. All of it UTF-8.

// "path:line:column: error: message", one a line; lines and columns from 1, columns in
// characters.
QByteArray findingLines(const CheckRun& run);

// {"scripts": n, "errors": n, "warnings": n, "findings": [{"path", "line", "column",
// "endLine", "endColumn", "severity", "message"}, ...]}
QByteArray findingsJson(const CheckRun& run);

// "quarn-bsl: 2 errors and 1 warning in 3 scripts", after a line for each file not read.
QByteArray checkSummary(const CheckRun& run);

// 0 when nothing was found, 1 when something was, 2 when a file could not be read.
int checkExitCode(const CheckRun& run);
