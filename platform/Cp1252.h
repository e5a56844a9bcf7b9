#pragma once

#include <QChar>
#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

// The program's 8-bit text is windows-1252. Its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 controls of the same value, so every byte value survives a round trip.
namespace cp1252 {

constexpr char kReplacement = '?';

QChar toUnicode(unsigned char byte);

// True when `ch` is one of the 256 characters the code page holds; `byte` receives its value.
bool fromUnicode(QChar ch, unsigned char& byte);

QString decode(std::string_view bytes);

// Characters the code page cannot hold become '?'.
std::string encode(QStringView text);

// `text` with every character the code page cannot hold replaced by '?'.
QString sanitize(QStringView text);

} // namespace cp1252
