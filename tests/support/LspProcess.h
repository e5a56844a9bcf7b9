#pragma once

#include "quarn-bsl/MessageChannel.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <deque>
#include <functional>
#include <optional>

// A language server as a process of its own, spoken to with messages written by hand: what the
// tests and the benchmarks drive the real server with.
class LspProcess {
public:
    explicit LspProcess(const QString& program, const QStringList& arguments = {QStringLiteral("server")})
    {
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(program, arguments);
        m_process.waitForStarted();
    }

    ~LspProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    LspProcess(const LspProcess&) = delete;
    LspProcess& operator=(const LspProcess&) = delete;

    QProcess& process() { return m_process; }

    void sendRaw(const QByteArray& bytes)
    {
        m_process.write(bytes);
        m_process.waitForBytesWritten();
    }

    void send(const QJsonObject& message)
    {
        const QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
        sendRaw("Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    }

    void request(int id, const QString& method, const QJsonObject& params = {})
    {
        send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
    }

    void notify(const QString& method, const QJsonObject& params = {})
    {
        send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }

    // The first message from the server that `match` takes, waiting up to `timeoutMs` for it;
    // the messages passed over stay for later calls.
    std::optional<QJsonObject> waitFor(const std::function<bool(const QJsonObject&)>& match, int timeoutMs = 20000)
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            for (auto message = m_messages.begin(); message != m_messages.end(); ++message) {
                if (match(*message)) {
                    QJsonObject found = *message;
                    m_messages.erase(message);
                    return found;
                }
            }
            const qint64 left = timeoutMs - clock.elapsed();
            if (left <= 0 || !readMore(int(left)))
                return std::nullopt;
        }
    }

    // How many of the messages already received and passed over `match` takes.
    std::size_t unread(const std::function<bool(const QJsonObject&)>& match) const
    {
        return std::size_t(std::count_if(m_messages.begin(), m_messages.end(), match));
    }

    std::optional<QJsonObject> response(int id, int timeoutMs = 20000)
    {
        return waitFor([id](const QJsonObject& message) { return message.value("id") == QJsonValue(id); }, timeoutMs);
    }

    // The next diagnostics for `uri`; with `version`, those of that version.
    std::optional<QJsonObject> diagnostics(const QString& uri, std::optional<int> version = {}, int timeoutMs = 20000)
    {
        return waitFor(
            [&](const QJsonObject& message) {
                const QJsonObject params = message.value("params").toObject();
                return message.value("method") == "textDocument/publishDiagnostics" && params.value("uri") == uri &&
                    (!version || params.value("version") == QJsonValue(*version));
            },
            timeoutMs);
    }

    // The server's initialize answer, with `encodings` offered as the client's position encodings.
    std::optional<QJsonObject> initialize(const QJsonArray& encodings = {})
    {
        QJsonObject capabilities;
        if (!encodings.isEmpty())
            capabilities.insert("general", QJsonObject{{"positionEncodings", encodings}});
        request(0, "initialize", {{"processId", QJsonValue::Null}, {"capabilities", capabilities}});
        std::optional<QJsonObject> answer = response(0);
        notify("initialized");
        return answer;
    }

    void closeInput() { m_process.closeWriteChannel(); }

    // The exit status once the server ends by itself; nothing when it is still running.
    std::optional<int> exitCode(int timeoutMs = 20000)
    {
        if (!m_process.waitForFinished(timeoutMs) || m_process.exitStatus() != QProcess::NormalExit)
            return std::nullopt;
        return m_process.exitCode();
    }

private:
    bool readMore(int timeoutMs)
    {
        if (m_process.bytesAvailable() == 0 && !m_process.waitForReadyRead(timeoutMs))
            return false;
        const QByteArray bytes = m_process.readAllStandardOutput();
        m_frames.append(bytes.constData(), std::size_t(bytes.size()));
        while (std::optional<FrameReader::Frame> frame = m_frames.next())
            m_messages.push_back(QJsonDocument::fromJson(frame->body).object());
        return true;
    }

    QProcess m_process;
    FrameReader m_frames;
    std::deque<QJsonObject> m_messages;
};
