#include "quarn-bsl/LanguageServer.h"

#include "quarn-bsl/DocumentFeatures.h"
#include "quarn-bsl/LevelFeatures.h"
#include "quarn-bsl/MemoryUse.h"
#include "quarn-bsl/Protocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QUrl>

#include <cstdio>
#include <new>
#include <vector>

#ifndef QUARN_VERSION
#error "The build defines QUARN_VERSION as the project's version."
#endif

namespace {

enum TextDocumentSyncKind : int { Incremental = 2 };

constexpr std::size_t kLargestColoured = std::size_t(16) << 20;

QString methodLabel(const QString& method)
{
    return method.left(100);
}

// Notifications cannot be answered; what was wrong with one goes where a person may look.
void note(const QString& text)
{
    std::fprintf(stderr, "quarn-bsl: %s\n", text.toUtf8().constData());
}

PositionEncoding negotiatedEncoding(const QJsonObject& params)
{
    const QJsonArray offered = params.value(QLatin1String("capabilities"))
                                   .toObject()
                                   .value(QLatin1String("general"))
                                   .toObject()
                                   .value(QLatin1String("positionEncodings"))
                                   .toArray();
    return offered.contains(QStringLiteral("utf-8")) ? PositionEncoding::Utf8 : PositionEncoding::Utf16;
}

QString pathOf(const QString& uri)
{
    const QUrl url(uri);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

void LanguageServer::Reply::operator()(const QJsonValue& result) const
{
    m_channel->send(resultResponse(m_id, result));
}

void LanguageServer::Reply::fail(int code, const QString& message) const
{
    m_channel->send(errorResponse(m_id, code, message));
}

LanguageServer::LanguageServer(MessageChannel& channel, std::function<void(int exitCode)> finished)
    : m_channel(channel), m_finished(std::move(finished)),
      m_readings([this](const Diagnostics& diagnostics) { publish(diagnostics); })
{
    m_background.setMaxThreadCount(1);

    addRequest(QStringLiteral("initialize"), [this](const QJsonObject& params, const Reply& reply) {
        reply(initialize(params));
    });
    addRequest(QStringLiteral("shutdown"), [this](const QJsonObject&, const Reply& reply) {
        m_state = State::ShutDown;
        reply(QJsonValue::Null);
    });
    addNotification(QStringLiteral("textDocument/didOpen"), [this](const QJsonObject& params) { didOpen(params); });
    addNotification(QStringLiteral("textDocument/didChange"), [this](const QJsonObject& params) { didChange(params); });
    addNotification(QStringLiteral("textDocument/didClose"), [this](const QJsonObject& params) { didClose(params); });
    addNotification(QStringLiteral("textDocument/didSave"), [this](const QJsonObject&) { m_readings.refreshFolders(); });
    addNotification(QStringLiteral("workspace/didChangeWatchedFiles"), [this](const QJsonObject&) { m_readings.refreshFolders(); });
    m_capabilities.insert(QStringLiteral("textDocumentSync"),
                          QJsonObject{{QStringLiteral("openClose"), true},
                                      {QStringLiteral("change"), Incremental},
                                      {QStringLiteral("save"), QJsonObject{{QStringLiteral("includeText"), false}}}});
    addDocumentFeatures();
    addLevelFeatures();
    m_channel.listen({
        [this](const QByteArray& body) { received(body); },
        [this](const QString& fault) { m_channel.send(errorResponse(QJsonValue::Null, lsp::ParseError, fault)); },
        [this] { end(); },
    });
}

LanguageServer::~LanguageServer()
{
    m_background.clear();
    m_background.waitForDone();
}

void LanguageServer::addRequest(const QString& method, RequestHandler handler, const QJsonObject& capabilities)
{
    m_requests[method] = std::move(handler);
    for (auto capability = capabilities.begin(); capability != capabilities.end(); ++capability)
        m_capabilities.insert(capability.key(), capability.value());
}

void LanguageServer::addNotification(const QString& method, NotificationHandler handler)
{
    m_notifications[method] = std::move(handler);
}

void LanguageServer::addDocumentFeatures()
{
    addRequest(
        QStringLiteral("textDocument/completion"),
        [this](const QJsonObject& params, const Reply& reply) {
            // A blank typed asks only for a builder command's argument list: after any other
            // word it would offer every name there is.
            const QJsonObject context = params.value(QLatin1String("context")).toObject();
            const bool blankTyped = context.value(QLatin1String("triggerKind")).toInt() == 2 &&
                context.value(QLatin1String("triggerCharacter")).toString().trimmed().isEmpty();
            const std::string levelHint = m_readings.levelHint(documentOf(params).uri);
            answerFromReading(params, From::Newest, reply,
                              [blankTyped, levelHint, snippets = m_snippets, encoding = m_encoding](
                                  const Snapshot& now, std::size_t caret, const Reading& reading) {
                                  return completionList(now, reading, caret, levelHint, blankTyped, snippets, encoding);
                              });
        },
        {{QStringLiteral("completionProvider"),
          QJsonObject{{QStringLiteral("triggerCharacters"), QJsonArray{QStringLiteral(" ")}},
                      {QStringLiteral("resolveProvider"), false}}}});
    addRequest(
        QStringLiteral("textDocument/hover"),
        [this](const QJsonObject& params, const Reply& reply) {
            answerFromReading(params, From::Newest, reply,
                              [encoding = m_encoding](const Snapshot& now, std::size_t caret, const Reading& reading) {
                                  return hoverAt(now, reading, caret, encoding);
                              });
        },
        {{QStringLiteral("hoverProvider"), true}});
    addRequest(
        QStringLiteral("textDocument/signatureHelp"),
        [this](const QJsonObject& params, const Reply& reply) {
            answerFromReading(params, From::Newest, reply,
                              [encoding = m_encoding](const Snapshot& now, std::size_t caret, const Reading& reading) {
                                  return signatureHelpAt(now, reading, caret, encoding);
                              });
        },
        {{QStringLiteral("signatureHelpProvider"),
          QJsonObject{{QStringLiteral("triggerCharacters"), QJsonArray{QStringLiteral("("), QStringLiteral(" "), QStringLiteral(",")}}}}});
    addRequest(
        QStringLiteral("textDocument/documentSymbol"),
        [this](const QJsonObject& params, const Reply& reply) {
            answerFromReading(params, From::WholeText, reply,
                              [encoding = m_encoding](const Snapshot&, std::size_t, const Reading& reading) {
                                  return documentSymbols(reading, encoding);
                              });
        },
        {{QStringLiteral("documentSymbolProvider"), true}});
    addRequest(
        QStringLiteral("textDocument/foldingRange"),
        [this](const QJsonObject& params, const Reply& reply) {
            answerFromReading(params, From::WholeText, reply,
                              [](const Snapshot&, std::size_t, const Reading& reading) { return foldingRanges(reading); });
        },
        {{QStringLiteral("foldingRangeProvider"), true}});
    addRequest(
        QStringLiteral("textDocument/semanticTokens/full"),
        [this](const QJsonObject& params, const Reply& reply) {
            // The colours need no reading, but a whole pass over the text, and five numbers for
            // every token of it.
            const Snapshot now = documentOf(params).snapshot;
            if (now.text->size() > kLargestColoured)
                throw ProtocolError{lsp::RequestFailed, QStringLiteral("a script over 16 MiB is not coloured")};
            const PositionEncoding encoding = m_encoding;
            m_background.start([reply, now, encoding] {
                try {
                    reply(semanticTokens(now, encoding));
                } catch (const std::bad_alloc&) {
                    reply.fail(lsp::InternalError, QStringLiteral("not enough memory"));
                }
            });
        },
        {{QStringLiteral("semanticTokensProvider"),
          QJsonObject{{QStringLiteral("legend"), semanticTokensLegend()}, {QStringLiteral("full"), true}}}});
}

void LanguageServer::addLevelFeatures()
{
    addRequest(
        QStringLiteral("textDocument/definition"),
        [this](const QJsonObject& params, const Reply& reply) {
            answerFromLevel(params, reply, [encoding = m_encoding](const Reading& reading, std::size_t offset) {
                return definitionAt(reading, offset, encoding);
            });
        },
        {{QStringLiteral("definitionProvider"), true}});
    addRequest(
        QStringLiteral("textDocument/references"),
        [this](const QJsonObject& params, const Reply& reply) {
            const bool withDeclarations =
                params.value(QLatin1String("context")).toObject().value(QLatin1String("includeDeclaration")).toBool();
            answerFromLevel(params, reply, [withDeclarations, encoding = m_encoding](const Reading& reading, std::size_t offset) {
                return referencesAt(reading, offset, withDeclarations, encoding);
            });
        },
        {{QStringLiteral("referencesProvider"), true}});
    addRequest(
        QStringLiteral("textDocument/prepareRename"),
        [this](const QJsonObject& params, const Reply& reply) {
            answerFromLevel(params, reply, [encoding = m_encoding](const Reading& reading, std::size_t offset) {
                return renameRangeAt(reading, offset, encoding);
            });
        },
        {{QStringLiteral("renameProvider"), QJsonObject{{QStringLiteral("prepareProvider"), true}}}});
    addRequest(QStringLiteral("textDocument/rename"), [this](const QJsonObject& params, const Reply& reply) {
        const QString newName = stringMember(params, QLatin1String("newName"));
        answerFromLevel(params, reply,
                        [newName, versioned = m_versionedEdits, encoding = m_encoding](const Reading& reading, std::size_t offset) {
                            return renameEdits(reading, offset, newName, versioned, encoding);
                        });
    });
    addRequest(
        QStringLiteral("workspace/symbol"),
        [this](const QJsonObject& params, const Reply& reply) {
            m_background.start([reply, views = m_readings.views(), query = params.value(QLatin1String("query")).toString(),
                                encoding = m_encoding] {
                try {
                    reply(workspaceSymbols(views, query, encoding));
                } catch (const std::bad_alloc&) {
                    reply.fail(lsp::InternalError, QStringLiteral("not enough memory"));
                }
            });
        },
        {{QStringLiteral("workspaceSymbolProvider"), true}});
}

void LanguageServer::received(const QByteArray& body)
{
    try {
        QJsonParseError error;
        const QJsonDocument message = QJsonDocument::fromJson(body, &error);
        if (error.error != QJsonParseError::NoError) {
            m_channel.send(errorResponse(QJsonValue::Null, lsp::ParseError,
                                         QStringLiteral("malformed JSON at byte %1: %2").arg(error.offset).arg(error.errorString())));
            return;
        }
        if (!message.isObject()) {
            m_channel.send(errorResponse(QJsonValue::Null, lsp::InvalidRequest, QStringLiteral("a message is a JSON object")));
            return;
        }
        dispatch(message.object());
    } catch (const std::bad_alloc&) {
        m_channel.send(errorResponse(QJsonValue::Null, lsp::InternalError,
                                     QStringLiteral("not enough memory for a message of %1 bytes").arg(body.size())));
    }
}

void LanguageServer::dispatch(const QJsonObject& message)
{
    const QJsonValue id = message.value(QLatin1String("id"));
    const QJsonValue method = message.value(QLatin1String("method"));
    const bool request = !id.isUndefined();
    if (request && !id.isString() && !id.isDouble() && !id.isNull()) {
        m_channel.send(errorResponse(QJsonValue::Null, lsp::InvalidRequest, QStringLiteral("an id is a number or a string")));
        return;
    }
    if (!method.isString()) {
        // A response to the server; it sends no requests, so there is nothing to match it to.
        if (request && !message.contains(QLatin1String("result")) && !message.contains(QLatin1String("error")))
            m_channel.send(errorResponse(id, lsp::InvalidRequest, QStringLiteral("a request names its method")));
        return;
    }
    const QString name = method.toString();
    const QJsonValue params = message.value(QLatin1String("params"));

    if (!request) {
        if (name == QLatin1String("exit")) {
            end();
            return;
        }
        const auto handler = m_notifications.find(name);
        // Before initialize and after shutdown notifications are dropped, and unknown ones always.
        if (m_state != State::Running || handler == m_notifications.end())
            return;
        try {
            handler->second(params.toObject());
        } catch (const ProtocolError& fault) {
            note(QStringLiteral("%1: %2").arg(methodLabel(name), fault.message));
        } catch (const std::bad_alloc&) {
            note(QStringLiteral("%1: not enough memory").arg(methodLabel(name)));
        }
        return;
    }

    const Reply reply(m_channel, id);
    const bool initializing = name == QLatin1String("initialize");
    if (m_state == State::Starting && !initializing) {
        reply.fail(lsp::ServerNotInitialized, QStringLiteral("initialize comes first"));
        return;
    }
    if (m_state != State::Starting && initializing) {
        reply.fail(lsp::InvalidRequest, QStringLiteral("the server is initialized already"));
        return;
    }
    if (m_state == State::ShutDown) {
        reply.fail(lsp::InvalidRequest, QStringLiteral("the server is shut down"));
        return;
    }
    const auto handler = m_requests.find(name);
    if (handler == m_requests.end()) {
        reply.fail(lsp::MethodNotFound, QStringLiteral("unknown method %1").arg(methodLabel(name)));
        return;
    }
    if (!params.isUndefined() && !params.isNull() && !params.isObject()) {
        reply.fail(lsp::InvalidParams, QStringLiteral("params is no object"));
        return;
    }
    try {
        handler->second(params.toObject(), reply);
    } catch (const ProtocolError& fault) {
        reply.fail(fault.code, fault.message);
    } catch (const std::bad_alloc&) {
        reply.fail(lsp::InternalError, QStringLiteral("not enough memory"));
    }
}

void LanguageServer::end()
{
    if (m_ended)
        return;
    m_ended = true;
    m_finished(m_state == State::ShutDown ? 0 : 1);
}

QJsonObject LanguageServer::initialize(const QJsonObject& params)
{
    m_encoding = negotiatedEncoding(params);
    m_state = State::Running;
    const QJsonObject client = params.value(QLatin1String("capabilities")).toObject();
    m_versionedEdits = client.value(QLatin1String("workspace"))
                           .toObject()
                           .value(QLatin1String("workspaceEdit"))
                           .toObject()
                           .value(QLatin1String("documentChanges"))
                           .toBool();
    m_snippets = client.value(QLatin1String("textDocument"))
                     .toObject()
                     .value(QLatin1String("completion"))
                     .toObject()
                     .value(QLatin1String("completionItem"))
                     .toObject()
                     .value(QLatin1String("snippetSupport"))
                     .toBool();
    QJsonObject capabilities = m_capabilities;
    // Only a client that asks before it renames may be told that it can.
    if (!client.value(QLatin1String("textDocument"))
             .toObject()
             .value(QLatin1String("rename"))
             .toObject()
             .value(QLatin1String("prepareSupport"))
             .toBool())
        capabilities.insert(QStringLiteral("renameProvider"), true);
    capabilities.insert(QStringLiteral("positionEncoding"), encodingName(m_encoding));
    return {
        {QStringLiteral("capabilities"), capabilities},
        {QStringLiteral("serverInfo"),
         QJsonObject{{QStringLiteral("name"), QStringLiteral("quarn-bsl")}, {QStringLiteral("version"), QStringLiteral(QUARN_VERSION)}}},
    };
}

void LanguageServer::didOpen(const QJsonObject& params)
{
    const QJsonObject document = objectMember(params, QLatin1String("textDocument"));
    const QString uri = stringMember(document, QLatin1String("uri"));
    const std::int64_t version = integerMember(document, QLatin1String("version"));
    const OpenDocument& opened = m_documents.open(uri, version, stringMember(document, QLatin1String("text")).toStdString());
    m_readings.update(uri, pathOf(uri), version, opened.snapshot);
}

void LanguageServer::didChange(const QJsonObject& params)
{
    const QJsonObject document = objectMember(params, QLatin1String("textDocument"));
    const QString uri = stringMember(document, QLatin1String("uri"));
    const std::int64_t version = integerMember(document, QLatin1String("version"));
    const QJsonValue changes = params.value(QLatin1String("contentChanges"));
    if (!changes.isArray())
        throw ProtocolError{lsp::InvalidParams, QStringLiteral("'contentChanges' is no array")};
    std::vector<TextChange> edits;
    for (const QJsonValue& value : changes.toArray()) {
        const QJsonObject change = value.toObject();
        TextChange edit;
        edit.text = stringMember(change, QLatin1String("text")).toStdString();
        if (change.contains(QLatin1String("range"))) {
            const QJsonObject range = objectMember(change, QLatin1String("range"));
            edit.range.emplace(positionFrom(range.value(QLatin1String("start"))), positionFrom(range.value(QLatin1String("end"))));
        }
        edits.push_back(std::move(edit));
    }
    const OpenDocument* changed = m_documents.change(uri, version, edits, m_encoding);
    if (!changed)
        throw ProtocolError{lsp::InvalidParams, QStringLiteral("%1 is not open").arg(uri)};
    m_readings.update(uri, pathOf(uri), version, changed->snapshot);
}

void LanguageServer::didClose(const QJsonObject& params)
{
    const QString uri = stringMember(objectMember(params, QLatin1String("textDocument")), QLatin1String("uri"));
    if (!m_documents.close(uri))
        throw ProtocolError{lsp::InvalidParams, QStringLiteral("%1 is not open").arg(uri)};
    m_readings.close(uri);
}

const OpenDocument& LanguageServer::documentOf(const QJsonObject& params) const
{
    const QString uri = stringMember(objectMember(params, QLatin1String("textDocument")), QLatin1String("uri"));
    const OpenDocument* document = m_documents.find(uri);
    if (!document)
        throw ProtocolError{lsp::InvalidParams, QStringLiteral("%1 was never opened").arg(uri)};
    return *document;
}

void LanguageServer::answerFromReading(const QJsonObject& params, From from, const Reply& reply, Answer answer)
{
    const OpenDocument& document = documentOf(params);
    // The position means the text as the request found it, whatever changes come while the
    // answer waits for a reading.
    const Snapshot now = document.snapshot;
    std::size_t caret = 0;
    if (params.contains(QLatin1String("position")))
        caret = now.lines->offsetOf(*now.text, positionFrom(params.value(QLatin1String("position"))), m_encoding);
    auto respond = [reply, now, caret, answer = std::move(answer)](const std::shared_ptr<const Reading>& reading) {
        try {
            reply(answer(now, caret, *reading));
        } catch (const std::bad_alloc&) {
            reply.fail(lsp::InternalError, QStringLiteral("not enough memory"));
        }
    };
    const ScriptReadings::Wanted wanted = from == From::WholeText ? ScriptReadings::Wanted::Current : ScriptReadings::Wanted::Newest;
    m_readings.whenRead(document.uri, wanted,
                        [this, from, reply, respond = std::move(respond)](std::shared_ptr<const Reading> reading) {
                            if (!reading)
                                reply.fail(lsp::RequestFailed, QStringLiteral("the document was closed"));
                            else if (from == From::WholeText)
                                m_background.start([respond, reading = std::move(reading)] { respond(reading); });
                            else
                                respond(reading);
                        });
}

void LanguageServer::answerFromLevel(const QJsonObject& params, const Reply& reply, LevelAnswer answer)
{
    const OpenDocument& document = documentOf(params);
    const TextPosition position = positionFrom(params.value(QLatin1String("position")));
    m_readings.whenRead(
        document.uri, ScriptReadings::Wanted::CurrentLevel,
        [this, reply, position, answer = std::move(answer)](std::shared_ptr<const Reading> reading) {
            if (!reading) {
                reply.fail(lsp::RequestFailed, QStringLiteral("the document was closed"));
                return;
            }
            if (!reading->view) {
                reply.fail(lsp::InternalError, QStringLiteral("not enough memory to read the level"));
                return;
            }
            // A level's references are searched for in every script of it: not on the thread
            // that takes the client's next keys.
            m_background.start([reply, position, answer, reading = std::move(reading), encoding = m_encoding] {
                try {
                    const std::size_t offset = reading->snapshot.lines->offsetOf(*reading->snapshot.text, position, encoding);
                    reply(answer(*reading, offset));
                } catch (const ProtocolError& fault) {
                    reply.fail(fault.code, fault.message);
                } catch (const std::bad_alloc&) {
                    reply.fail(lsp::InternalError, QStringLiteral("not enough memory"));
                }
            });
        });
}

void LanguageServer::publish(const Diagnostics& diagnostics)
{
    try {
        m_channel.send(notificationMessage(QStringLiteral("textDocument/publishDiagnostics"), diagnosticsOf(diagnostics, m_encoding)));
    } catch (const std::bad_alloc&) {
        note(QStringLiteral("not enough memory to publish the findings of %1").arg(diagnostics.uri));
    }
    returnFreeMemory();
}
