#include "quarn-bsl/CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#ifndef QUARN_VERSION
#error "The build defines QUARN_VERSION as the project's version."
#endif

namespace {

QString usage()
{
    return QStringLiteral(
        "Usage: quarn-bsl check [--format=text|json] PATH...\n"
        "       quarn-bsl server\n"
        "Checks level scripts (.bsl) as the QUARN-XP editor does, or serves what the editor knows\n"
        "of their language to other editors.\n"
        "\n"
        "Commands:\n"
        "  check PATH...   Check each script named, and every .bsl script of each folder named,\n"
        "                  with the other scripts of its folder as its level. Prints one line per\n"
        "                  finding, path:line:column: error|warning: message, script by script in\n"
        "                  the order named (a folder's in name order), then a count on standard\n"
        "                  error. Exits 0 when nothing is found, 1 when something is, 2 for a usage\n"
        "                  error or a file that cannot be read.\n"
        "  server          Speak the Language Server Protocol on standard input and output.\n"
        "\n"
        "Options:\n"
        "  --format=json   Print the check's findings as one JSON object instead of lines.\n"
        "  -h, --help      Print this help and exit.\n"
        "  -v, --version   Print the version and exit.\n");
}

Invocation refuse(const QString& fault)
{
    Invocation invocation;
    invocation.message = QStringLiteral("quarn-bsl: %1\n\n").arg(fault) + usage();
    return invocation;
}

} // namespace

Invocation parseInvocation(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("format"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(format);
    if (!parser.parse(arguments))
        return refuse(parser.errorText());

    Invocation invocation;
    if (parser.isSet(help)) {
        invocation.action = Invocation::Action::ShowHelp;
        invocation.message = usage();
        return invocation;
    }
    if (parser.isSet(version)) {
        invocation.action = Invocation::Action::ShowVersion;
        invocation.message = QStringLiteral("quarn-bsl %1\n").arg(QStringLiteral(QUARN_VERSION));
        return invocation;
    }

    QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return refuse(QStringLiteral("say what to do: check or server"));
    const QString command = positional.takeFirst();
    if (command == QLatin1String("server")) {
        if (!positional.isEmpty() || parser.isSet(format))
            return refuse(QStringLiteral("server takes no paths nor options"));
        invocation.action = Invocation::Action::Serve;
        return invocation;
    }
    if (command != QLatin1String("check"))
        return refuse(QStringLiteral("unknown command '%1'").arg(command));
    if (positional.isEmpty())
        return refuse(QStringLiteral("check needs a script or a folder"));
    if (parser.isSet(format)) {
        const QString name = parser.value(format);
        if (name == QLatin1String("json"))
            invocation.format = Invocation::Format::Json;
        else if (name != QLatin1String("text"))
            return refuse(QStringLiteral("unknown format '%1': text or json").arg(name));
    }
    invocation.action = Invocation::Action::Check;
    invocation.paths = positional;
    return invocation;
}
