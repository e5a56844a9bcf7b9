#include "quarn-bsl/CheckReport.h"

#include "quarn-bsl/CommandLine.h"
#include "quarn-bsl/TextPositions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

struct Place {
    int line;
    std::uint32_t column;     // from 1, in characters
    std::uint32_t endColumn;  // just after the finding, on the same line
};

Place placeOf(std::string_view text, const Finding& finding)
{
    const std::size_t lineStart = finding.place.offset - std::size_t(finding.place.column);
    const std::uint32_t column = 1 + unitCount(text.substr(lineStart, std::size_t(finding.place.column)), PositionEncoding::Utf32);
    return {finding.place.line, column,
            column + unitCount(text.substr(finding.place.offset, finding.length), PositionEncoding::Utf32)};
}

const char* severityName(Severity severity)
{
    return severity == Severity::Error ? "error" : "warning";
}

std::pair<std::size_t, std::size_t> countsOf(const CheckRun& run)
{
    std::size_t errors = 0;
    std::size_t warnings = 0;
    for (const CheckedScript& script : run.scripts) {
        for (const Finding& finding : *script.findings)
            ++(finding.severity == Severity::Error ? errors : warnings);
    }
    return {errors, warnings};
}

QString counted(std::size_t count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

QByteArray findingLines(const CheckRun& run)
{
    QByteArray out;
    for (const CheckedScript& script : run.scripts) {
        const QByteArray path = script.path.toUtf8();
        for (const Finding& finding : *script.findings) {
            const Place place = placeOf(*script.text, finding);
            out += path + ':' + QByteArray::number(place.line) + ':' + QByteArray::number(place.column) + ": " +
                severityName(finding.severity) + ": ";
            out.append(finding.message.data(), qsizetype(finding.message.size()));
            out += '\n';
        }
    }
    return out;
}

QByteArray findingsJson(const CheckRun& run)
{
    QJsonArray findings;
    for (const CheckedScript& script : run.scripts) {
        for (const Finding& finding : *script.findings) {
            const Place place = placeOf(*script.text, finding);
            findings.append(QJsonObject{
                {QStringLiteral("path"), script.path},
                {QStringLiteral("line"), place.line},
                {QStringLiteral("column"), qint64(place.column)},
                {QStringLiteral("endLine"), place.line},
                {QStringLiteral("endColumn"), qint64(place.endColumn)},
                {QStringLiteral("severity"), QLatin1String(severityName(finding.severity))},
                {QStringLiteral("message"), QString::fromStdString(finding.message)},
            });
        }
    }
    const auto [errors, warnings] = countsOf(run);
    const QJsonObject report{
        {QStringLiteral("scripts"), qint64(run.scripts.size())},
        {QStringLiteral("errors"), qint64(errors)},
        {QStringLiteral("warnings"), qint64(warnings)},
        {QStringLiteral("findings"), findings},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}

QByteArray checkSummary(const CheckRun& run)
{
    QString summary;
    for (const QString& failure : run.failures)
        summary += QStringLiteral("quarn-bsl: %1\n").arg(failure);
    const auto [errors, warnings] = countsOf(run);
    const QString scripts = counted(run.scripts.size(), "script", "scripts");
    if (errors + warnings == 0)
        summary += QStringLiteral("quarn-bsl: no problems in %1\n").arg(scripts);
    else
        summary += QStringLiteral("quarn-bsl: %1 and %2 in %3\n")
                       .arg(counted(errors, "error", "errors"), counted(warnings, "warning", "warnings"), scripts);
    return summary.toUtf8();
}

int checkExitCode(const CheckRun& run)
{
    if (!run.failures.isEmpty())
        return kUsageExitCode;
    const auto [errors, warnings] = countsOf(run);
    return errors + warnings == 0 ? 0 : 1;
}
