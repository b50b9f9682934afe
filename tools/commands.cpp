#include "commands.h"

#include "import/clientwriter.h"
#include "import/extraction.h"
#include "import/paths.h"
#include "import/quickbooksfolderlock.h"
#include "import/reporter.h"
#include "import/striprun.h"
#include "import/textencoding.h"
#include "settings/settingsfile.h"
#include "settings/versionfile.h"
#include "tools/createdatabase.h"
#include "tools/folderdefaults.h"
#include "tools/terminalprogress.h"

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

void printNothingCopied(const QString& quickBooksFolder)
{
    printLine(stdout,
              QStringLiteral("No customer rows copied to %1")
                  .arg(displayPath(joinFolderAndFile(quickBooksFolder, QStringLiteral("QBCUST.TXT")))));
}

void printSummary(const StripSummary& summary)
{
    printLine(stdout, QStringLiteral("rows read: %1, clients added: %2, clients updated: %3, rows that wrote "
                                     "nothing: %4, customers refused: %5, jobs passed over: %6")
                          .arg(summary.rowsRead)
                          .arg(summary.clientsAdded)
                          .arg(summary.clientsUpdated)
                          .arg(summary.rowsWithoutWrite)
                          .arg(summary.customersRefused)
                          .arg(summary.jobsPassedOver));
}

// Stops a command before it starts: the exit status after a usage error, or after the message
// when zrQBck.dat was needed and could not be read.
std::optional<int> folderRefusal(const ToolFolders& folders, Reporter& reporter)
{
    if (!folders.unreadable.isEmpty()) {
        reporter.report(folders.unreadable);
        return ExitFailed;
    }
    if (!folders.missing.isEmpty())
        return usageError(folders.missing);
    return std::nullopt;
}

// Copies the customer rows as START does; false after the message when it could not.
bool extractRows(const QString& exportFile, const QString& quickBooksFolder, Reporter& reporter,
                 ExportLayout& layout)
{
    const ExtractionResult result = extractCustomerRows(exportFile, quickBooksFolder);
    const QString output = displayPath(result.outputPath);
    if (!result.succeeded()) {
        reporter.report(result.failure->message());
        printNothingCopied(quickBooksFolder);
        return false;
    }
    printLine(stdout, QStringLiteral("%1 copied to %2").arg(customerRows(result.rowsCopied), output));
    layout = result.layout;
    return true;
}

// The version value as the main window reads it: the first item of QBvers.Dat, else "0". A
// file that is there but cannot be read is named, and "0" stands.
QString versionValue(const Invocation& invocation, Reporter& reporter)
{
    if (invocation.qbVersion)
        return *invocation.qbVersion;
    const VersionFile file = VersionFile::ofProgram();
    QString failure;
    const std::optional<QString> value = file.read(failure);
    if (!failure.isEmpty())
        reporter.report(QStringLiteral("The version file %1 cannot be read: %2. The version value 0 is used.")
                            .arg(displayPath(file.path()), clause(failure)));
    return value.value_or(QStringLiteral("0"));
}

// Imports QBCUST.TXT of the QuickBooks folder into zrdata.mdb of the data folder, as STRIP does.
int stripRows(const ToolFolders& folders, const QString& gOpt, const ExportLayout& layout, Reporter& reporter)
{
    TerminalProgress progress(reporter);
    WindowValues values;
    values.txtHold1 = folders.dataFolder;
    values.txtHold2 = folders.quickBooksFolder;
    values.gM = folders.dataFolder;
    values.gQ = folders.quickBooksFolder;
    values.gOpt = gOpt;
    StripSummary summary;
    {
        ClientWriter writer(progress);
        StripRun run(values, writer, progress);
        summary = run.run(joinFolderAndFile(values.gQ, QStringLiteral("QBCUST.TXT")), layout, progress);
    }
    printSummary(summary);
    return summary.clean() ? ExitCompleted : ExitFailed;
}

// Each command holds the QuickBooks folder's lock for its own steps; import holds it from the
// extraction to the end of the strip, so that no other run replaces QBCUST.TXT in between.
int extract(const Invocation& invocation, Reporter& reporter)
{
    const ToolFolders folders = resolveFolders(std::nullopt, invocation.quickBooksFolder,
                                               SettingsFile::ofProgram(), NeedsQuickBooksFolder);
    if (const std::optional<int> refused = folderRefusal(folders, reporter))
        return *refused;
    QuickBooksFolderLock lock(folders.quickBooksFolder);
    if (!lock.take(reporter)) {
        printNothingCopied(folders.quickBooksFolder);
        return ExitFailed;
    }
    ExportLayout layout;
    return extractRows(invocation.exportFile, folders.quickBooksFolder, reporter, layout) ? ExitCompleted
                                                                                          : ExitFailed;
}

int strip(const Invocation& invocation, Reporter& reporter)
{
    const ToolFolders folders =
        resolveFolders(invocation.dataFolder, invocation.quickBooksFolder, SettingsFile::ofProgram(),
                       NeedsDataFolder | NeedsQuickBooksFolder);
    if (const std::optional<int> refused = folderRefusal(folders, reporter))
        return *refused;
    const QString gOpt = versionValue(invocation, reporter);
    QuickBooksFolderLock lock(folders.quickBooksFolder);
    if (!lock.take(reporter)) {
        printSummary(StripSummary());
        return ExitFailed;
    }
    // QBCUST.TXT keeps no header: the designed columns stand, and the file's own bytes tell
    // whether it is UTF-8.
    const QString customerFile = joinFolderAndFile(folders.quickBooksFolder, QStringLiteral("QBCUST.TXT"));
    const ExportLayout layout{ExportColumns(), customerFileEncoding(customerFile)};
    return stripRows(folders, gOpt, layout, reporter);
}

int import(const Invocation& invocation, Reporter& reporter)
{
    const ToolFolders folders =
        resolveFolders(invocation.dataFolder, invocation.quickBooksFolder, SettingsFile::ofProgram(),
                       NeedsDataFolder | NeedsQuickBooksFolder);
    if (const std::optional<int> refused = folderRefusal(folders, reporter))
        return *refused;
    const QString gOpt = versionValue(invocation, reporter);
    QuickBooksFolderLock lock(folders.quickBooksFolder);
    if (!lock.take(reporter)) {
        printNothingCopied(folders.quickBooksFolder);
        return ExitFailed;
    }
    ExportLayout layout;
    if (!extractRows(invocation.exportFile, folders.quickBooksFolder, reporter, layout))
        return ExitFailed;
    return stripRows(folders, gOpt, layout, reporter);
}

} // namespace

int runCommand(const Invocation& invocation, Reporter& reporter)
{
    switch (invocation.command) {
    case Command::Help:
        std::fputs(
            (invocation.helpText.isEmpty() ? usageText() : invocation.helpText).toLocal8Bit().constData(),
            stdout);
        return ExitCompleted;
    case Command::Version:
        printLine(stdout, versionLine());
        return ExitCompleted;
    case Command::CreateDatabase:
        return runCreateDatabase(invocation.folder, reporter);
    case Command::Extract:
        return extract(invocation, reporter);
    case Command::Strip:
        return strip(invocation, reporter);
    case Command::Import:
        return import(invocation, reporter);
    }
    return ExitFailed;
}

} // namespace brevik::tool
