#pragma once

#include "quarn-bsl/DocumentStore.h"
#include "quarn-bsl/MessageChannel.h"
#include "quarn-bsl/ScriptReadings.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QThreadPool>

#include <functional>
#include <map>
#include <memory>

// The language server: the protocol's life cycle, the documents the client opens and changes, and
// a table of the requests it answers, each with what initialize advertises of it, so that a
// feature is offered exactly when its handler is in the table.
class LanguageServer {
public:
    // `finished` hears when the client said exit or went away, with the exit status: 0 only after
    // a shutdown.
    LanguageServer(MessageChannel& channel, std::function<void(int exitCode)> finished);
    ~LanguageServer();

    LanguageServer(const LanguageServer&) = delete;
    LanguageServer& operator=(const LanguageServer&) = delete;

private:
    // The answer to one request, given once, from any thread.
    class Reply {
    public:
        Reply(MessageChannel& channel, QJsonValue id) : m_channel(&channel), m_id(std::move(id)) {}
        void operator()(const QJsonValue& result) const;
        void fail(int code, const QString& message) const;

    private:
        MessageChannel* m_channel;
        QJsonValue m_id;
    };
    using RequestHandler = std::function<void(const QJsonObject& params, const Reply& reply)>;
    using NotificationHandler = std::function<void(const QJsonObject& params)>;
    // What a feature answers from a document as the request found it and a reading of it.
    using Answer = std::function<QJsonValue(const Snapshot& now, std::size_t caret, const Reading& reading)>;
    // What a feature across a level answers from a reading of the document with its level, at an
    // offset into the reading's text.
    using LevelAnswer = std::function<QJsonValue(const Reading& reading, std::size_t offset)>;

    enum class State { Starting, Running, ShutDown };

    void addRequest(const QString& method, RequestHandler handler, const QJsonObject& capabilities = {});
    void addNotification(const QString& method, NotificationHandler handler);
    void addDocumentFeatures();
    void addLevelFeatures();

    void received(const QByteArray& body);
    void dispatch(const QJsonObject& message);
    void end();

    QJsonObject initialize(const QJsonObject& params);
    void didOpen(const QJsonObject& params);
    void didChange(const QJsonObject& params);
    void didClose(const QJsonObject& params);

    // The open document `params` names; an error when it is not open.
    const OpenDocument& documentOf(const QJsonObject& params) const;
    // Which reading of a document a feature answers from, and where.
    enum class From {
        // The newest there is, with the text as the request found it, on this thread: what
        // answers at the caret while the user types.
        Newest,
        // One of the text as it is now, on the background thread: what answers over the whole
        // outline, which may be long.
        WholeText,
    };
    // Answers with a reading of the document `params` names, at the position it names.
    void answerFromReading(const QJsonObject& params, From from, const Reply& reply, Answer answer);
    // Answers from a reading of the text of the document `params` names as it is now, with its
    // level, at the position it names; on the background thread.
    void answerFromLevel(const QJsonObject& params, const Reply& reply, LevelAnswer answer);
    // On the readings' worker thread.
    void publish(const Diagnostics& diagnostics);

    MessageChannel& m_channel;
    std::function<void(int exitCode)> m_finished;
    DocumentStore m_documents;
    ScriptReadings m_readings;
    QThreadPool m_background;  // answers over a whole text, outline or level, such as its colours
    std::map<QString, RequestHandler> m_requests;
    std::map<QString, NotificationHandler> m_notifications;
    QJsonObject m_capabilities;
    PositionEncoding m_encoding = PositionEncoding::Utf16;
    bool m_versionedEdits = false;  // the client takes a rename as versioned document changes
    bool m_snippets = false;        // the client fills a completion's fields in turn
    State m_state = State::Starting;
    bool m_ended = false;
};
