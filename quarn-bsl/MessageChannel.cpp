#include "quarn-bsl/MessageChannel.h"

#include <QJsonDocument>

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr QByteArrayView kHeaderEnd = "\r\n\r\n";
constexpr QByteArrayView kLengthField = "content-length";

// What a header says of its body: its length, or a fault.
struct Header {
    qsizetype length = -1;
    QString fault;
};

Header readHeader(const QByteArray& header)
{
    Header read;
    for (QByteArray line : header.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return {-1, QStringLiteral("bad header line '%1'").arg(QString::fromLatin1(line.left(80)))};
        if (line.left(colon).trimmed().compare(kLengthField, Qt::CaseInsensitive) != 0)
            continue;
        const QByteArray value = line.mid(colon + 1).trimmed();
        bool ok = false;
        const qlonglong length = value.toLongLong(&ok);
        if (!ok || length < 0)
            return {-1, QStringLiteral("bad Content-Length '%1'").arg(QString::fromLatin1(value.left(40)))};
        read.length = qsizetype(length);
    }
    if (read.length < 0)
        read.fault = QStringLiteral("a header without Content-Length");
    else if (read.length > FrameReader::kLargestBody)
        read.fault = QStringLiteral("a message of %1 bytes is larger than the server takes").arg(read.length);
    return read;
}

} // namespace

void FrameReader::append(const char* bytes, std::size_t count)
{
    m_buffer.append(bytes, qsizetype(count));
}

FrameReader::Frame FrameReader::skipHeader(QString fault)
{
    // Whatever comes before the next header's field is lost: the rest of the bad header and, as
    // its length is unknown, its body. A field still arriving is kept.
    static constexpr QByteArrayView kFields[] = {"Content-Length", "content-length"};
    qsizetype resume = m_buffer.size();
    for (const QByteArrayView field : kFields) {
        const qsizetype at = m_buffer.indexOf(field, 1);
        if (at > 0)
            resume = std::min(resume, at);
    }
    if (resume == m_buffer.size()) {
        for (qsizetype part = std::min(m_buffer.size() - 1, kFields[0].size() - 1); part > 0; --part) {
            const QByteArray tail = m_buffer.right(part);
            if (kFields[0].startsWith(tail) || kFields[1].startsWith(tail)) {
                resume = m_buffer.size() - part;
                break;
            }
        }
    }
    m_buffer.remove(0, resume);
    return {{}, std::move(fault)};
}

std::optional<FrameReader::Frame> FrameReader::next()
{
    if (m_bodyLength < 0) {
        const qsizetype end = m_buffer.indexOf(kHeaderEnd);
        if (end < 0) {
            if (m_buffer.size() > kLongestHeader)
                return skipHeader(QStringLiteral("a header of more than %1 bytes").arg(kLongestHeader));
            return std::nullopt;
        }
        const Header header = readHeader(m_buffer.left(end));
        if (!header.fault.isEmpty())
            return skipHeader(header.fault);
        m_buffer.remove(0, end + kHeaderEnd.size());
        m_bodyLength = header.length;
    }
    if (m_buffer.size() < m_bodyLength)
        return std::nullopt;
    Frame frame{m_buffer.left(m_bodyLength), {}};
    m_buffer.remove(0, m_bodyLength);
    m_bodyLength = -1;
    // The room a script's text took is not kept for the small messages that follow.
    if (m_buffer.isEmpty())
        m_buffer.clear();
    return frame;
}

MessageChannel::MessageChannel(int input, int output, QObject* parent)
    : QObject(parent), m_input(input), m_output(output), m_notifier(input, QSocketNotifier::Read)
{
    m_notifier.setEnabled(false);
    connect(&m_notifier, &QSocketNotifier::activated, this, [this] { readAvailable(); });
}

void MessageChannel::listen(Listener listener)
{
    m_listener = std::move(listener);
    m_notifier.setEnabled(true);
}

void MessageChannel::readAvailable()
{
    // One read a wake-up: the descriptor said it would not block for that one, and a client
    // may share it with others, so it stays blocking.
    static constexpr std::size_t kChunk = 256 * 1024;
    QByteArray chunk(qsizetype(kChunk), Qt::Uninitialized);
    const ssize_t count = ::read(m_input, chunk.data(), kChunk);
    if (count < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (count <= 0) {
        close();
        return;
    }
    m_frames.append(chunk.constData(), std::size_t(count));
    while (!m_closed) {
        std::optional<FrameReader::Frame> frame = m_frames.next();
        if (!frame)
            break;
        if (frame->fault.isEmpty())
            m_listener.received(frame->body);
        else
            m_listener.malformed(frame->fault);
    }
}

void MessageChannel::send(const QJsonObject& message)
{
    sendJson(QJsonDocument(message).toJson(QJsonDocument::Compact));
}

void MessageChannel::sendJson(const QByteArray& json)
{
    const QByteArray header = "Content-Length: " + QByteArray::number(json.size()) + "\r\n\r\n";
    const std::lock_guard lock(m_writing);
    if (m_broken)
        return;
    for (const QByteArray* part : {&header, &json}) {
        const char* bytes = part->constData();
        std::size_t left = std::size_t(part->size());
        while (left > 0) {
            const ssize_t written = ::write(m_output, bytes, left);
            if (written < 0 && errno == EINTR)
                continue;
            if (written < 0 && errno == EAGAIN) {
                pollfd ready{m_output, POLLOUT, 0};
                ::poll(&ready, 1, -1);
                continue;
            }
            if (written <= 0) {
                m_broken = true;
                QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
                return;
            }
            bytes += written;
            left -= std::size_t(written);
        }
    }
}

void MessageChannel::close()
{
    if (m_closed)
        return;
    m_closed = true;
    m_notifier.setEnabled(false);
    m_listener.closed();
}
