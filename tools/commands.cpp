#include "commands.h"

#include "import/reporter.h"
#include "tools/createdatabase.h"

#include <cstdio>

namespace brevik::tool {

int runCommand(const Invocation& invocation, Reporter& reporter)
{
    switch (invocation.command) {
    case Command::Help:
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return ExitCompleted;
    case Command::CreateDatabase:
        return runCreateDatabase(invocation.folder, reporter);
    case Command::Extract:
    case Command::Strip:
    case Command::Import:
        reporter.report(QStringLiteral("This command is not available yet."));
        return ExitFailed;
    }
    return ExitFailed;
}

} // namespace brevik::tool
