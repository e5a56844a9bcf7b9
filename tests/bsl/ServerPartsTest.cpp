#include "quarn-bsl/DocumentStore.h"
#include "quarn-bsl/MessageChannel.h"
#include "quarn-bsl/TextPositions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// ---- positions --------------------------------------------------------------------------------

// 'a', the euro sign (three bytes, one UTF-16 unit), 'b'; then e-acute (two bytes, one unit), a
// character beyond 16 bits (four bytes, two units), 'x'.
TEST(LineIndex, CountsColumnsInEachEncodingWhateverTheLineEnds)
{
    for (const std::string lineEnd : {"\r\n", "\n", "\r"}) {
        const std::string text = "a\u20acb" + lineEnd + "\u00e9\U0001F600x" + lineEnd;
        const LineIndex lines(text);
        ASSERT_EQ(lines.lineCount(), 3u);
        const std::size_t b = text.find('b');
        const std::size_t x = text.find('x');
        struct Case {
            PositionEncoding encoding;
            TextPosition b;
            TextPosition x;
        };
        for (const Case& c : {Case{PositionEncoding::Utf8, {0, 4}, {1, 6}}, Case{PositionEncoding::Utf16, {0, 2}, {1, 3}},
                              Case{PositionEncoding::Utf32, {0, 2}, {1, 2}}}) {
            EXPECT_EQ(lines.positionOf(text, b, c.encoding), c.b);
            EXPECT_EQ(lines.positionOf(text, x, c.encoding), c.x);
            EXPECT_EQ(lines.offsetOf(text, c.b, c.encoding), b);
            EXPECT_EQ(lines.offsetOf(text, c.x, c.encoding), x);
        }
        // Out of the text: clamped to the line's end, the text's end, a character's start.
        EXPECT_EQ(lines.offsetOf(text, {0, 99}, PositionEncoding::Utf16), b + 1);
        EXPECT_EQ(lines.offsetOf(text, {7, 0}, PositionEncoding::Utf16), text.size());
        EXPECT_EQ(lines.offsetOf(text, {0, 2}, PositionEncoding::Utf8), 1u);
        EXPECT_EQ(lines.offsetOf(text, {1, 2}, PositionEncoding::Utf16), x - 4);
        EXPECT_EQ(lines.positionOf(text, b + 1 + lineEnd.size() - 1, PositionEncoding::Utf16), (TextPosition{0, 3}));
        EXPECT_EQ(lines.positionOf(text, text.size() + 5, PositionEncoding::Utf16), (TextPosition{2, 0}));
    }
}

TEST(DocumentStore, AppliesChangesInOrderAndClampsThem)
{
    DocumentStore store;
    store.open("file:///a.bsl", 1, "ai2_spawn \u20acMuro\r\nsleep 60\r\n");
    const std::vector<TextChange> changes = {
        {std::pair{TextPosition{0, 11}, TextPosition{0, 15}}, "Konoko"},  // after the euro sign, in UTF-16
        {std::pair{TextPosition{1, 6}, TextPosition{1, 99}}, "7"},         // past the line's end
        {std::pair{TextPosition{9, 0}, TextPosition{9, 0}}, "end"},        // past the text's end
    };
    const OpenDocument* changed = store.change("file:///a.bsl", 2, changes, PositionEncoding::Utf16);
    ASSERT_NE(changed, nullptr);
    EXPECT_EQ(*changed->snapshot.text, "ai2_spawn \u20acKonoko\r\nsleep 7\r\nend");
    EXPECT_EQ(changed->version, 2);
    EXPECT_EQ(changed->snapshot.lines->lineCount(), 3u);
    EXPECT_EQ(store.change("file:///b.bsl", 1, changes, PositionEncoding::Utf16), nullptr);
}

// ---- framing ----------------------------------------------------------------------------------

std::string framed(const std::string& body, const std::string& extraHeader = {})
{
    return "Content-Length: " + std::to_string(body.size()) + "\r\n" + extraHeader + "\r\n" + body;
}

struct Read {
    std::vector<std::string> bodies;
    int faults = 0;
};

Read readAll(const std::string& stream, std::size_t chunk)
{
    FrameReader reader;
    Read read;
    for (std::size_t at = 0; at < stream.size(); at += chunk) {
        const std::string part = stream.substr(at, chunk);
        reader.append(part.data(), part.size());
        while (std::optional<FrameReader::Frame> frame = reader.next()) {
            if (frame->fault.isEmpty())
                read.bodies.push_back(frame->body.toStdString());
            else
                ++read.faults;
        }
    }
    return read;
}

TEST(FrameReader, SplitsMessagesWhicheverWayTheBytesArrive)
{
    const std::string stream = framed("{\"a\":\"\u20ac\"}", "Content-Type: application/vscode-jsonrpc; charset=utf-8\r\n") +
                               framed("{}") + "content-length: 2\r\n\r\n[]";
    for (const std::size_t chunk : {std::size_t(1), std::size_t(7), stream.size()}) {
        const Read read = readAll(stream, chunk);
        EXPECT_EQ(read.faults, 0);
        EXPECT_EQ(read.bodies, (std::vector<std::string>{"{\"a\":\"\u20ac\"}", "{}", "[]"})) << chunk;
    }
}

TEST(FrameReader, ReportsABadHeaderAndKeepsTheMessagesAfterIt)
{
    const std::string next = framed("{\"next\":1}");
    const std::vector<std::string> bad = {
        "Content-Length: abc\r\n\r\n{}",
        "Content-Length: -4\r\n\r\n{}",
        "Content-Type: text/plain\r\n\r\n{\"no\":\"length\"}",
        "garbage without a colon\r\n\r\n",
        "stray bytes before a header",
        "Content-Length: 99999999999\r\n\r\n{\"too\":\"large\"}",
        std::string(10000, 'x'),
    };
    for (const std::string& fault : bad) {
        const Read read = readAll(fault + next, 5);
        EXPECT_GE(read.faults, 1) << fault.substr(0, 40);
        ASSERT_FALSE(read.bodies.empty()) << fault.substr(0, 40);
        EXPECT_EQ(read.bodies.back(), "{\"next\":1}") << fault.substr(0, 40);
    }
}

} // namespace
