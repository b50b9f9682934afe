#include "commands.h"

#include "import/extraction.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "tools/createdatabase.h"

#include <cstdio>

namespace brevik::tool {
namespace {

void printLine(std::FILE* stream, const QString& line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int usageError(const QString& error)
{
    std::fprintf(stderr, "brevik-import: %s\n\n%s", error.toLocal8Bit().constData(),
                 usageText().toLocal8Bit().constData());
    return ExitUsage;
}

QString customerRows(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 customer row") : QStringLiteral("%1 customer rows").arg(count);
}

int extract(const Invocation& invocation, Reporter& reporter)
{
    if (!invocation.quickBooksFolder)
        return usageError(QStringLiteral("extract needs the QuickBooks folder, where QBCUST.TXT is written: "
                                         "give it with --quickbooks-folder DIR"));

    const ExtractionResult result = extractCustomerRows(invocation.exportFile, *invocation.quickBooksFolder);
    const QString output = displayPath(result.outputPath);
    if (!result.succeeded()) {
        reporter.report(result.failure->message());
        printLine(stdout, QStringLiteral("No customer rows copied to %1").arg(output));
        return ExitFailed;
    }
    printLine(stdout, QStringLiteral("%1 copied to %2").arg(customerRows(result.rowsCopied), output));
    return ExitCompleted;
}

} // namespace

int runCommand(const Invocation& invocation, Reporter& reporter)
{
    switch (invocation.command) {
    case Command::Help:
        std::fputs(usageText().toLocal8Bit().constData(), stdout);
        return ExitCompleted;
    case Command::CreateDatabase:
        return runCreateDatabase(invocation.folder, reporter);
    case Command::Extract:
        return extract(invocation, reporter);
    case Command::Strip:
    case Command::Import:
        reporter.report(QStringLiteral("This command is not available yet."));
        return ExitFailed;
    }
    return ExitFailed;
}

} // namespace brevik::tool
