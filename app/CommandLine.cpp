#include "app/CommandLine.h"

#include "platform/ProgramName.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <initializer_list>

#ifndef QUARN_VERSION
#error "The build defines QUARN_VERSION as the project's version."
#endif

namespace {

const QString kProgram = programName();

QString usage()
{
    return QStringLiteral(
               "Usage: %1 [options] [script...]\n"
               "Edits level scripts (.bsl) with a colouring editor and a command builder.\n"
               "\n"
               "Arguments:\n"
               "  script         A script to open at start, each in a tab of its own; put -- before\n"
               "                 a name that starts with '-'. Without one the editor starts empty.\n"
               "\n"
               "Options:\n"
               "  -h, --help     Print this help and exit.\n"
               "  -v, --version  Print the version and exit.\n"
               "\n"
               "Qt's own options, such as -platform or -style, are passed on to Qt.\n")
        .arg(kProgram);
}

CommandLine refuse(const QString& fault)
{
    return {CommandLine::Action::Refuse, {}, QStringLiteral("%1: %2\n\n").arg(kProgram, fault) + usage()};
}

// QApplication takes these out of the arguments itself. They worked before the program had options
// of its own, so a launcher or a session restore that passes one must still start the window.
void acceptQtOptions(QCommandLineParser& parser)
{
    const auto hidden = [&parser](const QString& name, const QString& valueName) {
        QCommandLineOption option(name, QString(), valueName);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    };
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
                             "qwindowicon", "qwindowtitle", "geometry", "icon", "title", "session", "display",
                             "name", "visual", "style", "stylesheet", "qmljsdebugger"})
        hidden(QString::fromLatin1(name), QStringLiteral("value"));
    for (const char* name : {"reverse", "testability", "widgetcount", "nograb", "dograb", "sync"})
        hidden(QString::fromLatin1(name), QString());
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    QCommandLineParser parser;
    // Qt's options take one dash and a whole word (-platform); parsing -hv as -h -v would
    // read -platform as letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    acceptQtOptions(parser);

    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help))
        return {CommandLine::Action::ShowHelp, {}, usage()};
    if (parser.isSet(version))
        return {CommandLine::Action::ShowVersion, {},
                QStringLiteral("%1 %2\n").arg(kProgram, QStringLiteral(QUARN_VERSION))};

    CommandLine run;
    for (const QString& script : parser.positionalArguments()) {
        if (script.isEmpty())
            return refuse(QStringLiteral("a script's name is empty."));
        // The window remembers the script's folder for its file dialogs, which needs the full path.
        run.scriptPaths.append(QFileInfo(script).absoluteFilePath());
    }
    return run;
}

QStringList commandLineArguments(int argc, const char* const* argv)
{
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 0; i < argc; ++i)
        arguments.append(QFile::decodeName(argv[i]));
    return arguments;
}
