#include "ScriptGenerator.h"
#include "support/LspProcess.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>

// quarn-bsl as its users run it: the check as a whole process, and the server through the
// protocol, a real process spoken to as a client would.

namespace {

bool writeFile(const QString& path, const std::string& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

// A level of eight 1 MiB scripts, checked from start to exit.
void BM_CheckLevel(benchmark::State& state)
{
    QTemporaryDir folder;
    QDir(folder.path()).mkdir(QStringLiteral("level01"));
    const QString level = folder.filePath(QStringLiteral("level01"));
    const std::string script = GenerateScript(std::size_t(state.range(0)), LineEnds::CarriageReturnLineFeed);
    for (int i = 0; i < 8; ++i) {
        if (!writeFile(QStringLiteral("%1/part%2.bsl").arg(level).arg(i), script)) {
            state.SkipWithError("cannot write the level");
            return;
        }
    }
    for (auto _ : state) {
        QProcess check;
        check.setStandardOutputFile(QProcess::nullDevice());
        check.start(QStringLiteral(QUARN_BSL_EXECUTABLE), {QStringLiteral("check"), level});
        if (!check.waitForFinished(60000) || check.exitCode() == 2) {
            state.SkipWithError("the check did not run through");
            return;
        }
    }
    state.counters["level_MiB"] = 8.0 * double(state.range(0)) / (1 << 20);
}
BENCHMARK(BM_CheckLevel)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

double residentBytesOf(qint64 pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string field;
    double kibibytes = 0;
    while (status >> field) {
        if (field == "VmRSS:" && status >> kibibytes)
            return kibibytes * 1024;
    }
    return 0;
}

// A server with a script of `bytes` open, read and checked.
class OpenScript {
public:
    explicit OpenScript(std::size_t bytes)
        : m_server(QStringLiteral(QUARN_BSL_EXECUTABLE)), m_text(GenerateScript(bytes, LineEnds::LineFeed))
    {
        QDir(m_folder.path()).mkdir(QStringLiteral("level01"));
        m_uri = QUrl::fromLocalFile(m_folder.filePath(QStringLiteral("level01/main.bsl"))).toString();
        m_ready = bool(m_server.initialize());
        m_idle = residentBytesOf(m_server.process().processId());
        m_server.notify("textDocument/didOpen",
                        {{"textDocument", QJsonObject{{"uri", m_uri}, {"languageId", "bsl"}, {"version", 1},
                                                      {"text", QString::fromStdString(m_text)}}}});
        m_ready = m_ready && m_server.diagnostics(m_uri, 1, 60000);
        // A fresh line in the middle of the script, in a function's body, where typing goes on.
        m_line = int(std::count(m_text.begin(), m_text.begin() + std::ptrdiff_t(m_text.find("\n\t", m_text.size() / 2)), '\n')) + 1;
        change({{"range", range(m_line, 0, m_line, 0)}, {"text", "\tai\n"}});
        m_ready = m_ready && m_server.diagnostics(m_uri, m_version, 60000);
    }

    bool ready() const { return m_ready; }
    LspProcess& server() { return m_server; }
    const QString& uri() const { return m_uri; }
    int line() const { return m_line; }
    int version() const { return m_version; }

    // The server's memory beyond what it held with no script open, for each byte of the script,
    // once the text as it is now is read and checked (`checked`: its diagnostics came already).
    double memoryPerScriptByte(bool checked = false)
    {
        if (!checked && !m_server.diagnostics(m_uri, m_version, 60000))
            return 0;
        return (residentBytesOf(m_server.process().processId()) - m_idle) / double(m_text.size());
    }

    static QJsonObject range(int line, int from, int toLine, int to)
    {
        return {{"start", QJsonObject{{"line", line}, {"character", from}}}, {"end", QJsonObject{{"line", toLine}, {"character", to}}}};
    }

    void change(const QJsonObject& edit)
    {
        m_server.notify("textDocument/didChange",
                        {{"textDocument", QJsonObject{{"uri", m_uri}, {"version", ++m_version}}}, {"contentChanges", QJsonArray{edit}}});
    }

private:
    QTemporaryDir m_folder;
    LspProcess m_server;
    std::string m_text;
    QString m_uri;
    double m_idle = 0;
    int m_line = 0;
    int m_version = 1;
    bool m_ready = false;
};

using Clock = std::chrono::steady_clock;

// A key typed and the completion list asked for at the caret, as a client does at each key.
void BM_ServerCompletion(benchmark::State& state)
{
    OpenScript script(std::size_t(state.range(0)));
    if (!script.ready()) {
        state.SkipWithError("the server did not read the script");
        return;
    }
    int id = 100;
    bool longer = false;
    for (auto _ : state) {
        // "ai" and "ai2" in turn: the candidates of a two-letter prefix and of three.
        longer = !longer;
        const Clock::time_point start = Clock::now();
        script.change({{"range", OpenScript::range(script.line(), 3, script.line(), longer ? 3 : 4)}, {"text", longer ? "2" : ""}});
        script.server().request(++id, "textDocument/completion",
                                {{"textDocument", QJsonObject{{"uri", script.uri()}}},
                                 {"position", QJsonObject{{"line", script.line()}, {"character", longer ? 4 : 3}}}});
        const std::optional<QJsonObject> answer = script.server().response(id);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!answer || answer->value("result").toObject().value("items").toArray().isEmpty()) {
            state.SkipWithError("no candidates came");
            return;
        }
    }
    state.counters["memory_per_byte"] = script.memoryPerScriptByte();
}
BENCHMARK(BM_ServerCompletion)->Arg(1 << 20)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// A key typed and the diagnostics of the text it made published.
void BM_ServerDiagnostics(benchmark::State& state)
{
    OpenScript script(std::size_t(state.range(0)));
    if (!script.ready()) {
        state.SkipWithError("the server did not read the script");
        return;
    }
    bool longer = false;
    for (auto _ : state) {
        longer = !longer;
        const Clock::time_point start = Clock::now();
        script.change({{"range", OpenScript::range(script.line(), 3, script.line(), longer ? 3 : 4)}, {"text", longer ? "x" : ""}});
        const std::optional<QJsonObject> published = script.server().diagnostics(script.uri(), script.version());
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        if (!published) {
            state.SkipWithError("no diagnostics came");
            return;
        }
    }
    state.counters["memory_per_byte"] = script.memoryPerScriptByte(true);
}
BENCHMARK(BM_ServerDiagnostics)->Arg(1 << 20)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace
