#include "quarn-bsl/Protocol.h"

#include <cmath>
#include <limits>

namespace {

[[noreturn]] void badParams(const QString& message)
{
    throw ProtocolError{lsp::InvalidParams, message};
}

QJsonValue memberOf(const QJsonObject& params, QLatin1String key)
{
    const QJsonValue value = params.value(key);
    if (value.isUndefined() || value.isNull())
        badParams(QStringLiteral("'%1' is missing").arg(key));
    return value;
}

std::uint32_t coordinate(const QJsonObject& position, QLatin1String key)
{
    const QJsonValue value = position.value(key);
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number != std::floor(number))
        badParams(QStringLiteral("a position's '%1' is no whole number from 0").arg(key));
    return std::uint32_t(std::min(number, double(std::numeric_limits<std::uint32_t>::max())));
}

} // namespace

QJsonObject resultResponse(const QJsonValue& id, const QJsonValue& result)
{
    return {{QStringLiteral("jsonrpc"), QStringLiteral("2.0")}, {QStringLiteral("id"), id}, {QStringLiteral("result"), result}};
}

QJsonObject errorResponse(const QJsonValue& id, int code, const QString& message)
{
    return {{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
            {QStringLiteral("id"), id},
            {QStringLiteral("error"), QJsonObject{{QStringLiteral("code"), code}, {QStringLiteral("message"), message}}}};
}

QJsonObject notificationMessage(const QString& method, const QJsonObject& params)
{
    return {{QStringLiteral("jsonrpc"), QStringLiteral("2.0")}, {QStringLiteral("method"), method}, {QStringLiteral("params"), params}};
}

QJsonObject objectMember(const QJsonObject& params, QLatin1String key)
{
    const QJsonValue value = memberOf(params, key);
    if (!value.isObject())
        badParams(QStringLiteral("'%1' is no object").arg(key));
    return value.toObject();
}

QString stringMember(const QJsonObject& params, QLatin1String key)
{
    const QJsonValue value = memberOf(params, key);
    if (!value.isString())
        badParams(QStringLiteral("'%1' is no string").arg(key));
    return value.toString();
}

std::int64_t integerMember(const QJsonObject& params, QLatin1String key)
{
    const QJsonValue value = memberOf(params, key);
    const double number = value.toDouble();
    if (!value.isDouble() || number != std::floor(number) || std::abs(number) > 9e15)
        badParams(QStringLiteral("'%1' is no whole number").arg(key));
    return std::int64_t(number);
}

TextPosition positionFrom(const QJsonValue& value)
{
    if (!value.isObject())
        badParams(QStringLiteral("a position is no object"));
    const QJsonObject position = value.toObject();
    return {coordinate(position, QLatin1String("line")), coordinate(position, QLatin1String("character"))};
}

QJsonObject positionJson(TextPosition position)
{
    return {{QStringLiteral("line"), qint64(position.line)}, {QStringLiteral("character"), qint64(position.column)}};
}

QJsonObject rangeJson(TextPosition start, TextPosition end)
{
    return {{QStringLiteral("start"), positionJson(start)}, {QStringLiteral("end"), positionJson(end)}};
}

QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString encodingName(PositionEncoding encoding)
{
    switch (encoding) {
    case PositionEncoding::Utf8: return QStringLiteral("utf-8");
    case PositionEncoding::Utf16: return QStringLiteral("utf-16");
    case PositionEncoding::Utf32: return QStringLiteral("utf-32");
    }
    return {};
}
