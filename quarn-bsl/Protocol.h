#pragma once

#include "quarn-bsl/TextPositions.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <cstdint>
#include <string_view>

// The JSON-RPC and Language Server Protocol pieces every handler shares: error codes, the shape
// of responses, and positions read from and written to parameters.

namespace lsp {

enum ErrorCode : int {
    ParseError = -32700,
    InvalidRequest = -32600,
    MethodNotFound = -32601,
    InvalidParams = -32602,
    InternalError = -32603,
    ServerNotInitialized = -32002,
    RequestFailed = -32803,
};

// The SymbolKinds of what a script declares.
enum SymbolKind : int { FunctionSymbol = 12, VariableSymbol = 13 };

} // namespace lsp

// A request the server cannot answer: thrown by a handler, answered as an error response.
struct ProtocolError {
    int code;
    QString message;
};

QJsonObject resultResponse(const QJsonValue& id, const QJsonValue& result);
QJsonObject errorResponse(const QJsonValue& id, int code, const QString& message);
QJsonObject notificationMessage(const QString& method, const QJsonObject& params);

// The member `key` of `params` as an object, a string or a whole number; a missing member or one
// of another type is an InvalidParams error.
QJsonObject objectMember(const QJsonObject& params, QLatin1String key);
QString stringMember(const QJsonObject& params, QLatin1String key);
std::int64_t integerMember(const QJsonObject& params, QLatin1String key);

// `{"line": l, "character": c}`; a negative or fractional number is an InvalidParams error.
TextPosition positionFrom(const QJsonValue& value);
QJsonObject positionJson(TextPosition position);
QJsonObject rangeJson(TextPosition start, TextPosition end);

// UTF-8 text, such as a script's, as a string for JSON.
QString utf8(std::string_view text);

// The negotiated encoding's name in the protocol ("utf-8", "utf-16").
QString encodingName(PositionEncoding encoding);
