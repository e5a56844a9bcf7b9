#include "quarn-bsl/CheckReport.h"
#include "quarn-bsl/CommandLine.h"
#include "quarn-bsl/LanguageServer.h"
#include "quarn-bsl/LevelCheck.h"
#include "quarn-bsl/MemoryUse.h"
#include "quarn-bsl/MessageChannel.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <new>
#include <unistd.h>

namespace {

void write(std::FILE* stream, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

int check(const Invocation& invocation)
{
    try {
        const CheckRun run = checkPaths(invocation.paths);
        write(stdout, invocation.format == Invocation::Format::Json ? findingsJson(run) : findingLines(run));
        write(stderr, checkSummary(run));
        return checkExitCode(run);
    } catch (const std::bad_alloc&) {
        write(stderr, "quarn-bsl: not enough memory to check the scripts\n");
        return kUsageExitCode;
    }
}

int serve(QCoreApplication& application)
{
    // A client that goes away while the server writes ends the server through the failed write.
    std::signal(SIGPIPE, SIG_IGN);
    returnLargeBlocksWhenFreed();
    MessageChannel channel(STDIN_FILENO, STDOUT_FILENO);
    const LanguageServer server(channel, [&application](int exitCode) { application.exit(exitCode); });
    return application.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const Invocation invocation = parseInvocation(QCoreApplication::arguments());
    switch (invocation.action) {
    case Invocation::Action::ShowHelp:
    case Invocation::Action::ShowVersion:
        write(stdout, invocation.message.toUtf8());
        return 0;
    case Invocation::Action::Refuse:
        write(stderr, invocation.message.toUtf8());
        return kUsageExitCode;
    case Invocation::Action::Check:
        return check(invocation);
    case Invocation::Action::Serve:
        return serve(application);
    }
    return kUsageExitCode;
}
