#include "settings/programfolder.h"
#include "tools/commandline.h"
#include "tools/commands.h"
#include "tools/consolereporter.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The name gives the user's configuration folder, which the tool shares with the window.
    QCoreApplication::setApplicationName(brevik::programName());
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();

    const auto parsed = brevik::tool::parseCommandLine(arguments);
    if (!parsed.invocation) {
        std::fputs(brevik::tool::usageErrorText(parsed.error).toLocal8Bit().constData(), stderr);
        return brevik::tool::ExitUsage;
    }
    brevik::tool::ConsoleReporter reporter;
    return brevik::tool::runCommand(*parsed.invocation, reporter);
}
