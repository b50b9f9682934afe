#include "commands.h"

#include "import/reporter.h"

#include <cstdio>

namespace brevik::tool {

int runCommand(const Invocation& invocation, Reporter& reporter)
{
    switch (invocation.command) {
    case Command::Help:
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return ExitCompleted;
    case Command::Extract:
    case Command::Strip:
    case Command::Import:
    case Command::CreateDatabase:
        reporter.report(QStringLiteral("This command is not available yet."));
        return ExitFailed;
    }
    return ExitFailed;
}

} // namespace brevik::tool
