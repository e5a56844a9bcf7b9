#include "platform/Cp1252.h"

#include <array>

namespace cp1252 {
namespace {

// Bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QChar toUnicode(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kHighControls[byte - 0x80]);
    return QChar(byte);
}

bool fromUnicode(QChar ch, unsigned char& byte)
{
    const char16_t u = ch.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
        byte = static_cast<unsigned char>(u);
        return true;
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == u) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

QString decode(std::string_view bytes)
{
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes)
        *out++ = toUnicode(static_cast<unsigned char>(c));
    return text;
}

std::string encode(QStringView text)
{
    std::string bytes(static_cast<std::size_t>(text.size()), '\0');
    char* out = bytes.data();
    for (const QChar ch : text) {
        unsigned char byte;
        *out++ = fromUnicode(ch, byte) ? static_cast<char>(byte) : kReplacement;
    }
    return bytes;
}

QString sanitize(QStringView text)
{
    QString result = text.toString();
    for (QChar& ch : result) {
        unsigned char byte;
        if (!fromUnicode(ch, byte))
            ch = QLatin1Char(kReplacement);
    }
    return result;
}

} // namespace cp1252
