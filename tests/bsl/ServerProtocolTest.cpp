#include "support/LspProcess.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <string>

// `quarn-bsl server` as a process, spoken to with messages written by hand: what a careless or
// broken client may send.

namespace {

QString uriOf(const QString& path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

QJsonObject documentParams(const QString& uri, int line = 0, int character = 0)
{
    return {{"textDocument", QJsonObject{{"uri", uri}}}, {"position", QJsonObject{{"line", line}, {"character", character}}}};
}

QJsonObject openParams(const QString& uri, const QString& text, int version = 1)
{
    return {{"textDocument", QJsonObject{{"uri", uri}, {"languageId", "bsl"}, {"version", version}, {"text", text}}}};
}

QJsonObject changeParams(const QString& uri, int version, const QJsonArray& changes)
{
    return {{"textDocument", QJsonObject{{"uri", uri}, {"version", version}}}, {"contentChanges", changes}};
}

QJsonObject rangeChange(int line, int from, int to, const QString& text)
{
    return {{"range", QJsonObject{{"start", QJsonObject{{"line", line}, {"character", from}}},
                                  {"end", QJsonObject{{"line", line}, {"character", to}}}}},
            {"text", text}};
}

int errorCode(const std::optional<QJsonObject>& response)
{
    return response ? response->value("error").toObject().value("code").toInt() : 0;
}

std::optional<QJsonObject> nextError(LspProcess& server, int code)
{
    return server.waitFor([code](const QJsonObject& message) {
        return message.value("id").isNull() && message.value("error").toObject().value("code").toInt() == code;
    });
}

QJsonArray diagnosticsIn(const std::optional<QJsonObject>& published)
{
    return published ? published->value("params").toObject().value("diagnostics").toArray() : QJsonArray();
}

TEST(Server, AnswersBadInputWithProtocolErrors)
{
    LspProcess server(QStringLiteral(QUARN_BSL_EXECUTABLE));
    const QString uri = "untitled:Untitled-1";

    server.request(1, "textDocument/hover", documentParams(uri));
    EXPECT_EQ(errorCode(server.response(1)), -32002);  // not initialized yet
    ASSERT_TRUE(server.initialize());

    server.sendRaw("Content-Length: 9\r\n\r\n{not json");
    EXPECT_TRUE(nextError(server, -32700));
    server.sendRaw("Content-Length: lots\r\n\r\n{}");
    EXPECT_TRUE(nextError(server, -32700));
    server.sendRaw("Content-Type: application/json\r\n\r\n{\"id\":99}");
    EXPECT_TRUE(nextError(server, -32700));
    server.sendRaw("Content-Length: 5\r\n\r\n[1,2]");
    EXPECT_TRUE(nextError(server, -32600));
    server.send({{"jsonrpc", "2.0"}, {"id", QJsonObject{{"a", 1}}}, {"method", "shutdown"}});
    EXPECT_TRUE(nextError(server, -32600));

    server.request(2, "textDocument/frobnicate", documentParams(uri));
    EXPECT_EQ(errorCode(server.response(2)), -32601);
    // Unknown notifications, and changes to documents never opened, go unanswered.
    server.notify("custom/unknown", {{"anything", 1}});
    server.notify("textDocument/didChange", changeParams(uri, 2, {rangeChange(0, 0, 0, "x")}));
    server.request(3, "textDocument/hover", documentParams(uri));
    EXPECT_EQ(errorCode(server.response(3)), -32602);  // never opened
    server.request(4, "textDocument/hover", {{"textDocument", "not an object"}});
    EXPECT_EQ(errorCode(server.response(4)), -32602);
    server.send({{"jsonrpc", "2.0"}, {"id", 5}, {"method", "textDocument/hover"}, {"params", QJsonArray{1, 2}}});
    EXPECT_EQ(errorCode(server.response(5)), -32602);

    server.notify("textDocument/didOpen", openParams(uri, "ai2_spawn Muro\n"));
    server.request(6, "textDocument/hover", documentParams(uri, 999, 999));  // clamped into the text
    const std::optional<QJsonObject> clamped = server.response(6);
    ASSERT_TRUE(clamped);
    EXPECT_TRUE(clamped->contains("result"));
    server.request(7, "textDocument/hover", documentParams(uri, -1, 0));
    EXPECT_EQ(errorCode(server.response(7)), -32602);
    server.request(8, "textDocument/hover", documentParams(uri, 0, 3));
    const std::optional<QJsonObject> hover = server.response(8);
    ASSERT_TRUE(hover);
    EXPECT_TRUE(hover->value("result").toObject().value("contents").toObject().value("value").toString().contains("ai2_spawn"));
    // Answers come in order, so an answer to a notification would have come before these.
    EXPECT_EQ(server.unread([](const QJsonObject& message) { return message.contains("id"); }), 0u);

    server.request(9, "shutdown");
    ASSERT_TRUE(server.response(9));
    server.request(10, "textDocument/hover", documentParams(uri));
    EXPECT_EQ(errorCode(server.response(10)), -32600);
    server.notify("exit");
    EXPECT_EQ(server.exitCode(), 0);
}

// Questions across a level about a document never opened, about places outside the text or off
// a name, and renames to what is not a name: errors or empty answers, never a crash.
TEST(Server, AnswersLevelQuestionsAboutBadPlaces)
{
    LspProcess server(QStringLiteral(QUARN_BSL_EXECUTABLE));
    ASSERT_TRUE(server.initialize());
    const QString uri = "untitled:level";
    const auto renameParams = [&](int line, int character, const QString& newName) {
        QJsonObject params = documentParams(uri, line, character);
        params.insert("newName", newName);
        return params;
    };
    int id = 0;
    for (const char* method : {"textDocument/definition", "textDocument/references", "textDocument/prepareRename"}) {
        server.request(++id, method, documentParams(uri));
        EXPECT_EQ(errorCode(server.response(id)), -32602) << method << " of a document never opened";
    }

    server.notify("textDocument/didOpen", openParams(uri, "func void main(void)\n{\n\tmain\n}\n"));
    server.request(++id, "textDocument/definition", documentParams(uri, 2, 99));  // clamped to the name's end
    const QJsonObject definition = server.response(id).value_or(QJsonObject()).value("result").toObject();
    EXPECT_EQ(definition.value("uri").toString(), uri);
    EXPECT_EQ(definition.value("range").toObject().value("start").toObject().value("character").toInt(), 10);
    server.request(++id, "textDocument/definition", documentParams(uri, 999, 999));
    const std::optional<QJsonObject> past = server.response(id);
    ASSERT_TRUE(past);
    EXPECT_TRUE(past->value("result").isNull());
    server.request(++id, "textDocument/references", documentParams(uri, 999, 0));
    EXPECT_EQ(server.response(id).value_or(QJsonObject()).value("result").toArray().size(), 0);
    server.request(++id, "textDocument/definition", documentParams(uri, 0, -3));
    EXPECT_EQ(errorCode(server.response(id)), -32602);

    server.request(++id, "textDocument/prepareRename", documentParams(uri, 999, 999));
    const std::optional<QJsonObject> nothing = server.response(id);
    EXPECT_EQ(errorCode(nothing), -32803);
    EXPECT_EQ(nothing.value_or(QJsonObject()).value("error").toObject().value("message").toString(),
              "There is no name here to rename.");
    server.request(++id, "textDocument/rename", documentParams(uri, 2, 1));
    EXPECT_EQ(errorCode(server.response(id)), -32602) << "no new name";
    server.request(++id, "textDocument/rename", renameParams(2, 1, "2nd"));
    const std::optional<QJsonObject> refused = server.response(id);
    EXPECT_EQ(errorCode(refused), -32803);
    EXPECT_TRUE(refused.value_or(QJsonObject()).value("error").toObject().value("message").toString().startsWith(
        "'2nd' is not a name"));

    // A client that takes no versioned document changes gets the edits by URI.
    server.request(++id, "textDocument/rename", renameParams(2, 1, "start_level"));
    const QJsonObject renamed = server.response(id).value_or(QJsonObject()).value("result").toObject();
    EXPECT_EQ(renamed.value("changes").toObject().value(uri).toArray().size(), 2);
    server.request(++id, "workspace/symbol", {{"query", "MAI"}});
    const QJsonArray symbols = server.response(id).value_or(QJsonObject()).value("result").toArray();
    ASSERT_EQ(symbols.size(), 1);
    EXPECT_EQ(symbols[0].toObject().value("location").toObject().value("uri").toString(), uri);
}

TEST(Server, EndsWhenTheClientGoesAway)
{
    LspProcess gone(QStringLiteral(QUARN_BSL_EXECUTABLE));
    ASSERT_TRUE(gone.initialize());
    gone.notify("textDocument/didOpen", openParams("untitled:a", "level_start\n"));
    gone.closeInput();
    EXPECT_EQ(gone.exitCode(), 1);

    LspProcess early(QStringLiteral(QUARN_BSL_EXECUTABLE));
    ASSERT_TRUE(early.initialize());
    early.notify("exit");  // without a shutdown first
    EXPECT_EQ(early.exitCode(), 1);
}

// The client counts columns in UTF-16 units unless it offers UTF-8; the euro sign, e-acute and
// Y-diaeresis of the code page, and a character beyond 16 bits, count differently in each.
TEST(Server, CountsPositionsInTheNegotiatedEncoding)
{
    struct Case {
        bool offerUtf8;
        QString lineEnd;
    };
    for (const Case& c : {Case{false, "\n"}, Case{true, "\n"}, Case{false, "\r\n"}, Case{true, "\r\n"}}) {
        SCOPED_TRACE(std::string(c.offerUtf8 ? "utf-8" : "utf-16") + (c.lineEnd == "\n" ? " LF" : " CR LF"));
        LspProcess server(QStringLiteral(QUARN_BSL_EXECUTABLE));
        const std::optional<QJsonObject> initialized =
            server.initialize(c.offerUtf8 ? QJsonArray{"utf-8", "utf-16"} : QJsonArray{"utf-16"});
        ASSERT_TRUE(initialized);
        EXPECT_EQ(initialized->value("result").toObject().value("capabilities").toObject().value("positionEncoding").toString(),
                  c.offerUtf8 ? "utf-8" : "utf-16");

        const QString uri = "untitled:encodings";
        const QString special = QString::fromUtf8("\u20ac\u00e9\u0178\U0001F600");
        server.notify("textDocument/didOpen",
                      openParams(uri, "# " + special + c.lineEnd + "dmsg \"" + special + "\"; unknown_x" + c.lineEnd));
        // `dmsg "` is 6; the four characters are 3 + 2 + 2 + 4 bytes or 1 + 1 + 1 + 2 units.
        const int afterSpecial = 6 + (c.offerUtf8 ? 11 : 5);
        const int unknown = afterSpecial + 3;
        const QJsonArray first = diagnosticsIn(server.diagnostics(uri, 1));
        ASSERT_EQ(first.size(), 1);
        const QJsonObject range = first[0].toObject().value("range").toObject();
        EXPECT_EQ(range.value("start").toObject().value("line").toInt(), 1);
        EXPECT_EQ(range.value("start").toObject().value("character").toInt(), unknown);
        EXPECT_EQ(range.value("end").toObject().value("character").toInt(), unknown + 9);

        // An edit right after the character beyond 16 bits moves the finding by one.
        server.notify("textDocument/didChange", changeParams(uri, 2, {rangeChange(1, afterSpecial, afterSpecial, "Z")}));
        const QJsonArray second = diagnosticsIn(server.diagnostics(uri, 2));
        ASSERT_EQ(second.size(), 1);
        EXPECT_EQ(second[0].toObject().value("range").toObject().value("start").toObject().value("character").toInt(),
                  unknown + 1);
        // Replacing the unknown name by its range leaves nothing to find.
        server.notify("textDocument/didChange",
                      changeParams(uri, 3, {rangeChange(1, unknown + 1, unknown + 10, "ai2_spawn")}));
        EXPECT_EQ(diagnosticsIn(server.diagnostics(uri, 3)).size(), 0);
    }
}

// The other scripts of an open script's folder are checked as they are on disk, with the names
// the open one declares as the client holds it.
TEST(Server, ChecksTheLevelsOtherScriptsAsTheyAreOnDisk)
{
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("level01"));
    const QString startPath = folder.filePath("level01/start.bsl");
    QFile start(startPath);
    ASSERT_TRUE(start.open(QIODevice::WriteOnly));
    start.write("func void level_start(void)\r\n{\r\n\thelper\r\n\tunknown_thing\r\n}\r\n");
    start.close();
    const QString startUri = uriOf(startPath);
    const QString mainUri = uriOf(folder.filePath("level01/main.bsl"));
    const auto countIs = [](int count) {
        return [count](const QJsonObject& message) {
            return message.value("params").toObject().value("diagnostics").toArray().size() == count;
        };
    };

    LspProcess server(QStringLiteral(QUARN_BSL_EXECUTABLE));
    ASSERT_TRUE(server.initialize());
    server.notify("textDocument/didOpen",
                  openParams(mainUri, "func void main(void)\n{\n\tlevel_start\n}\nfunc void helper(void)\n{\n}\n"));
    EXPECT_EQ(diagnosticsIn(server.diagnostics(mainUri, 1)).size(), 0);
    const QJsonArray onDisk = diagnosticsIn(server.diagnostics(startUri));
    ASSERT_EQ(onDisk.size(), 1);
    EXPECT_EQ(onDisk[0].toObject().value("message").toString(), "'unknown_thing' is not defined here");

    // A change to what the open script declares checks the others again.
    server.notify("textDocument/didChange", changeParams(mainUri, 2, {QJsonObject{{"text", "func void main(void)\n{\n\tlevel_start\n}\n"}}}));
    EXPECT_TRUE(server.waitFor([&](const QJsonObject& message) {
        return message.value("params").toObject().value("uri") == startUri && countIs(2)(message);
    }));

    // With the last script of the level closed, its findings go.
    server.notify("textDocument/didClose", {{"textDocument", QJsonObject{{"uri", mainUri}}}});
    EXPECT_TRUE(server.waitFor([&](const QJsonObject& message) {
        return message.value("params").toObject().value("uri") == mainUri && countIs(0)(message);
    }));
    EXPECT_TRUE(server.waitFor([&](const QJsonObject& message) {
        return message.value("params").toObject().value("uri") == startUri && countIs(0)(message);
    }));
}

} // namespace
