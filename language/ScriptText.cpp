#include "language/ScriptText.h"

#include "language/Tokenizer.h"
#include "platform/Cp1252.h"

namespace {

// Writes a character from 0x80 up; returns the end of what it wrote.
char* appendUtf8(char* out, char16_t u)
{
    if (u < 0x800) {
        *out++ = static_cast<char>(0xC0 | (u >> 6));
    } else {
        *out++ = static_cast<char>(0xE0 | (u >> 12));
        *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    }
    *out++ = static_cast<char>(0x80 | (u & 0x3F));
    return out;
}

// The code point of the UTF-8 sequence at `p`, advancing `p` past it; 0xFFFF for a malformed
// sequence, whose first byte alone is skipped.
char32_t nextCodePoint(std::string_view text, std::size_t& p)
{
    const auto lead = static_cast<unsigned char>(text[p++]);
    if (lead < 0x80)
        return lead;
    int continuation = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (continuation < 0 || p + std::size_t(continuation) > text.size())
        return 0xFFFF;
    char32_t code = lead & (0x3F >> continuation);
    for (int i = 0; i < continuation; ++i) {
        const auto byte = static_cast<unsigned char>(text[p + std::size_t(i)]);
        if ((byte & 0xC0) != 0x80)
            return 0xFFFF;
        code = (code << 6) | (byte & 0x3F);
    }
    p += std::size_t(continuation);
    return code;
}

char codePageByte(char32_t code)
{
    unsigned char byte = 0;
    if (code <= 0xFFFF && cp1252::fromUnicode(QChar(char16_t(code)), byte))
        return static_cast<char>(byte);
    return cp1252::kReplacement;
}

} // namespace

std::string documentFromFile(std::string_view fileBytes)
{
    // Sized first and then written through a pointer: this runs over every byte of a script.
    std::size_t size = 0;
    for (std::size_t p = 0; p < fileBytes.size(); ++p) {
        const auto byte = static_cast<unsigned char>(fileBytes[p]);
        if (byte < 0x80)
            size += byte == '\n' && p > 0 && fileBytes[p - 1] == '\r' ? 0 : byte == '\r' || byte == '\n' ? 2 : 1;
        else
            size += cp1252::toUnicode(byte).unicode() < 0x800 ? 2 : 3;
    }
    std::string text(size, '\0');
    char* out = text.data();
    for (std::size_t p = 0; p < fileBytes.size(); ++p) {
        const auto byte = static_cast<unsigned char>(fileBytes[p]);
        if (byte == '\r' || byte == '\n') {
            if (byte == '\n' && p > 0 && fileBytes[p - 1] == '\r')
                continue;
            *out++ = '\r';
            *out++ = '\n';
        } else if (byte < 0x80) {
            *out++ = static_cast<char>(byte);
        } else {
            out = appendUtf8(out, cp1252::toUnicode(byte).unicode());
        }
    }
    return text;
}

bool isDocumentText(std::string_view fileBytes)
{
    // Every byte of a script passes here on its way in, so the loop has no branch on the bytes
    // and the compiler makes vector code of it. As many CRs as LFs, with a CR in front of every
    // LF, leaves no CR alone either.
    const auto* bytes = reinterpret_cast<const unsigned char*>(fileBytes.data());
    const std::size_t size = fileBytes.size();
    if (size == 0)
        return true;
    unsigned char high = bytes[0];
    std::size_t carriageReturns = bytes[0] == '\r';
    std::size_t lineFeeds = bytes[0] == '\n';
    std::size_t loneLineFeeds = lineFeeds;
    for (std::size_t p = 1; p < size; ++p) {
        high |= bytes[p];
        carriageReturns += bytes[p] == '\r';
        lineFeeds += bytes[p] == '\n';
        loneLineFeeds += (bytes[p] == '\n') & (bytes[p - 1] != '\r');
    }
    return high < 0x80 && carriageReturns == lineFeeds && loneLineFeeds == 0;
}

std::string openedScriptText(std::string fileBytes)
{
    std::string text;
    if (isDocumentText(fileBytes)) {
        text = std::move(fileBytes);
    } else {
        text = documentFromFile(fileBytes);
        // Freed now, not when this returns: a move would keep the buffer.
        std::string().swap(fileBytes);
    }
    correctCase(text);
    return text;
}

std::string fileFromDocument(std::string_view documentText)
{
    std::string bytes;
    bytes.reserve(documentText.size() + documentText.size() / 16);
    std::size_t p = 0;
    while (p < documentText.size()) {
        const char c = documentText[p];
        if (c == '\r' || c == '\n') {
            bytes.append("\r\n");
            ++p;
            if (c == '\r' && p < documentText.size() && documentText[p] == '\n')
                ++p;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            bytes.push_back(c);
            ++p;
        } else {
            bytes.push_back(codePageByte(nextCodePoint(documentText, p)));
        }
    }
    return bytes;
}
