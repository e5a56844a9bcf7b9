#include "platform/Cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all += static_cast<char>(byte);
    const QString text = cp1252::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(cp1252::encode(text), all);
    EXPECT_EQ(cp1252::sanitize(text), text);
    for (int byte = 0; byte < 256; ++byte) {
        unsigned char back = 0;
        EXPECT_TRUE(cp1252::fromUnicode(cp1252::toUnicode(static_cast<unsigned char>(byte)), back)) << byte;
        EXPECT_EQ(back, byte);
    }
}

TEST(Cp1252, UnassignedBytesStandForTheControlsOfTheSameValue)
{
    for (const unsigned char byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(cp1252::toUnicode(byte).unicode(), byte);
    EXPECT_EQ(cp1252::toUnicode(0x80), QChar(0x20AC));
    EXPECT_EQ(cp1252::toUnicode(0x9F), QChar(0x0178));
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(cp1252::sanitize(QString::fromUtf8("a\xC5\x99\xE2\x82\xAC")), QString::fromUtf8("a?\xE2\x82\xAC"));
    EXPECT_EQ(cp1252::encode(QString::fromUtf8("\xCE\xA9")), "?");
    unsigned char byte = 0;
    EXPECT_FALSE(cp1252::fromUnicode(QChar(0x0159), byte));
    // The C1 controls the code page gives printable characters are not among its 256.
    EXPECT_FALSE(cp1252::fromUnicode(QChar(0x0080), byte));
}

} // namespace
