#include "language/ScriptText.h"
#include "platform/Cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

TEST(ScriptText, EveryByteButTheLineEndsComesBackAsItWent)
{
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n')
            bytes.push_back(char(byte));
    }
    const std::string text = documentFromFile(bytes);
    EXPECT_EQ(fileFromDocument(text), bytes);
    // Each byte as the character the code page gives it, in UTF-8.
    EXPECT_EQ(QString::fromUtf8(text.data(), qsizetype(text.size())), cp1252::decode(bytes));
}

TEST(ScriptText, CodePageCharactersTakeTheirPlaceInUtf8)
{
    EXPECT_EQ(documentFromFile("\x80\x93\x94\x8A\xE9"), "€“”Šé");
    EXPECT_EQ(fileFromDocument("€“”Šé"), "\x80\x93\x94\x8A\xE9");
    // The code page's unassigned bytes stand for the controls of the same value.
    EXPECT_EQ(documentFromFile("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

TEST(ScriptText, EveryKindOfLineEndBecomesCrLf)
{
    EXPECT_EQ(documentFromFile("a\r\nb\rc\nd"), "a\r\nb\r\nc\r\nd");
    // LF CR is two line ends, as is CR CR LF.
    EXPECT_EQ(documentFromFile("a\n\rb\r\r\nc"), "a\r\n\r\nb\r\n\r\nc");
    EXPECT_EQ(documentFromFile("\r"), "\r\n");
    EXPECT_EQ(documentFromFile("\n\n"), "\r\n\r\n");
    EXPECT_EQ(fileFromDocument("a\rb\nc\r\nd\n\r"), "a\r\nb\r\nc\r\nd\r\n\r\n");
    EXPECT_EQ(documentFromFile(""), "");
    EXPECT_EQ(fileFromDocument(""), "");
}

TEST(ScriptText, OnlyAsciiWithCrLfLineEndsIsTheEditorsTextAlready)
{
    for (const std::string& text : {""s, "func\r\n{\r\n}"s, "a\0b\r\n"s})
        EXPECT_TRUE(isDocumentText(text)) << text;
    for (const std::string& text : {"a\nb"s, "a\rb"s, "a\r"s, "\n"s, "a\n\r\nb"s, "\x80"s, "caf\xE9\r\n"s}) {
        EXPECT_FALSE(isDocumentText(text)) << text;
        EXPECT_NE(documentFromFile(text), text) << text;
    }
}

TEST(ScriptText, ZeroBytesAreKept)
{
    EXPECT_EQ(documentFromFile("a\0b\0"s), "a\0b\0"s);
    EXPECT_EQ(fileFromDocument("\0\r\n\0"s), "\0\r\n\0"s);
}

TEST(ScriptText, WhatTheCodePageCannotHoldIsSavedAsQuestionMarks)
{
    EXPECT_EQ(fileFromDocument("Ω x ř"), "? x ?");
    // One mark for each character, whatever its length in UTF-8.
    EXPECT_EQ(fileFromDocument("a\xF0\x9F\x98\x80" "b\xE2\x80\xA8" "c"), "a?b?c");
    // A byte that starts no character is one too.
    EXPECT_EQ(fileFromDocument("a\x80" "b\xC3"), "a?b?");
}

} // namespace
