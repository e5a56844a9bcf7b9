#pragma once

#include <QString>

#include <string_view>

// The program's name: the caption of every message box that names none of its own.
inline constexpr std::string_view kProgramName = "quarn-xp";

inline QString programName()
{
    return QString::fromLatin1(kProgramName);
}
