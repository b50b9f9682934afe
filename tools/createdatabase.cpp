#include "createdatabase.h"

#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/schema.h"
#include "tools/commands.h"
#include "tools/commandsupport.h"

#include <cstdio>

namespace brevik::tool {

int runCreateDatabase(const QString& folder, Reporter& reporter)
{
    const QString path = databaseIn(folder);
    if (const db::Status s = db::createDatabase(path); !s) {
        reporter.report(
            QStringLiteral("Cannot create the database %1: %2").arg(displayPath(path), s.description()));
        return ExitFailed;
    }
    printLine(stdout, QStringLiteral("Created %1").arg(displayPath(path)));
    return ExitCompleted;
}

} // namespace brevik::tool
