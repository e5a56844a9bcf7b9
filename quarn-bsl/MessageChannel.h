#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>

// Splits a byte stream into the bodies of messages, each behind a header that holds its
// Content-Length. A malformed header, or a length larger than the server keeps, is reported and
// skipped up to the next Content-Length field, so that one bad message does not lose the ones
// after it.
class FrameReader {
public:
    // More than any script the editor opens, as JSON.
    static constexpr qsizetype kLargestBody = qsizetype(1) << 30;
    static constexpr qsizetype kLongestHeader = 8192;

    struct Frame {
        QByteArray body;
        QString fault;  // a malformed header; no body then
    };

    void append(const char* bytes, std::size_t count);
    // The next whole message or fault; nothing while more bytes are needed.
    std::optional<Frame> next();

private:
    Frame skipHeader(QString fault);

    QByteArray m_buffer;
    qsizetype m_bodyLength = -1;  // while a body is awaited
};

// The protocol's messages over two file descriptors, as a language server speaks with its client
// on standard input and output. Reading happens on this object's thread as bytes arrive; sending
// may come from any thread.
class MessageChannel : public QObject {
public:
    struct Listener {
        std::function<void(const QByteArray& body)> received;
        std::function<void(const QString& fault)> malformed;
        // The input ended or the output could not be written to: the client is gone.
        std::function<void()> closed;
    };

    MessageChannel(int input, int output, QObject* parent = nullptr);

    // Who hears of what arrives; before that, nothing is read.
    void listen(Listener listener);

    void send(const QJsonObject& message);
    // A message already written as JSON.
    void sendJson(const QByteArray& json);

private:
    void readAvailable();
    void close();

    int m_input;
    int m_output;
    QSocketNotifier m_notifier;
    FrameReader m_frames;
    Listener m_listener;
    std::mutex m_writing;
    std::atomic<bool> m_broken{false};
    bool m_closed = false;
};
