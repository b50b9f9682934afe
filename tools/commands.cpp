#include "commands.h"

#include "import/export/extraction.h"
#include "import/export/quickbooksfolderlock.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/clientwriter.h"
#include "import/writer/striprun.h"
#include "settings/settingsfile.h"
#include "tools/commandsupport.h"
#include "tools/createdatabase.h"
#include "tools/customerreport.h"
#include "tools/folderdefaults.h"
#include "tools/interruptrequests.h"
#include "tools/standardinput.h"
#include "tools/terminalprogress.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <vector>

namespace brevik::tool {
namespace {

QString customerRows(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 customer row") : QStringLiteral("%1 customer rows").arg(count);
}

void printNothingCopied(const QString& quickBooksFolder)
{
    printLine(
        stdout,
        QStringLiteral("No customer rows copied to %1").arg(displayPath(customerFileIn(quickBooksFolder))));
}

// Copies the customer rows as START does; false after the message when it could not. Where
// exportRows is given, it receives the export's row of each row copied. A quiet run prints no
// line for the rows copied.
bool extractRows(const Invocation& invocation, const QString& quickBooksFolder, Reporter& reporter,
                 ExportLayout& layout, std::vector<qint64>* exportRows = nullptr)
{
    CopiedRowHandler onRow;
    if (exportRows)
        onRow = [exportRows](QByteArrayView, qint64 row) {
            exportRows->push_back(row);
        };
    const ExtractionResult result = extractCustomerRows(invocation.exportFile, quickBooksFolder, onRow);
    const QString output = displayPath(result.outputPath);
    if (!result.succeeded()) {
        reporter.report(result.failure->message());
        printNothingCopied(quickBooksFolder);
        return false;
    }
    if (!invocation.quiet)
        printLine(stdout, QStringLiteral("%1 copied to %2").arg(customerRows(result.rowsCopied), output));
    layout = result.layout;
    return true;
}

// The same file, whether or not it exists yet.
bool sameFile(const QString& a, const QString& b)
{
    const auto key = [](const QString& path) {
        const QFileInfo info(path);
        const QString canonical = info.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    };
    return key(a) == key(b);
}

// The report file of a run that asked for one, opened before anything is imported; the exit
// status when the run must not start.
std::optional<int> openReport(const Invocation& invocation, const ToolFolders& folders,
                              std::optional<ReportFile>& report, Reporter& reporter)
{
    if (!invocation.report)
        return std::nullopt;
    // The report replaces the file it names: never one the import reads or writes.
    const QString database = databaseIn(folders.dataFolder);
    QStringList taken{database, database + QStringLiteral("-wal"), database + QStringLiteral("-shm"),
                      database + QStringLiteral("-journal"), customerFileIn(folders.quickBooksFolder)};
    if (!invocation.exportFile.isEmpty())
        taken << invocation.exportFile;
    for (const QString& file : taken) {
        if (sameFile(*invocation.report, file))
            return usageError(
                QStringLiteral("--report names %1, which the import reads or writes").arg(displayPath(file)));
    }
    report.emplace(*invocation.report);
    if (QString why; !report->open(why)) {
        reporter.report(QStringLiteral("The report %1 cannot be written: %2. Nothing was imported.")
                            .arg(displayPath(*invocation.report), clause(why)));
        return ExitFailed;
    }
    return std::nullopt;
}

// The exit status of a run that ended with the given one, unless a signal ended it.
int unlessInterrupted(int status)
{
    const int interrupted = InterruptRequests::exitStatus();
    return interrupted != 0 ? interrupted : status;
}

// Imports QBCUST.TXT of the QuickBooks folder into zrdata.mdb of the data folder, as STRIP does.
// Each customer goes into the report, where there is one, named by its row in the export where
// the export's rows are given. A signal ends the run after the customer being written (see
// InterruptRequests, which the caller holds); the report then accounts for the rest as not
// imported.
int stripRows(const Invocation& invocation, const ToolFolders& folders, const QString& gOpt,
              const ExportLayout& layout, Reporter& reporter, std::optional<ReportFile>& report,
              std::vector<qint64> exportRows = {})
{
    WindowValues values;
    values.txtHold1 = folders.dataFolder;
    values.txtHold2 = folders.quickBooksFolder;
    values.gM = folders.dataFolder;
    values.gQ = folders.quickBooksFolder;
    values.gOpt = gOpt;
    StripSummary summary;
    {
        // Its line is erased when it goes, before the summary is printed.
        TerminalProgress progress(reporter, invocation.quiet ? TerminalProgress::Drawing::Never
                                                             : TerminalProgress::Drawing::OnATerminal);
        // A run that has the export's rows knows how many it reads.
        if (!exportRows.empty())
            progress.rowsToRead(qint64(exportRows.size()));
        ClientWriter writer(progress);
        if (report)
            writer.setRecordObserver([&report](const CustomerRecord& record) { report->add(record); });
        StripOptions options;
        options.exportRows = std::move(exportRows);
        options.stopRequested = &InterruptRequests::requested;
        StripRun run(values, writer, progress, std::move(options));
        summary = run.run(customerFileIn(values.gQ), layout, progress);
    }
    printSummary(summary);
    if (summary.interrupted)
        reporter.report(interruptedRunMessage(summary));
    if (QString why; report && !report->commit(why)) {
        reporter.report(QStringLiteral("The report %1 could not be written: %2.")
                            .arg(displayPath(report->path()), clause(why)));
        return unlessInterrupted(ExitFailed);
    }
    return unlessInterrupted(exitStatusOf(summary));
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
    return extractRows(invocation, folders.quickBooksFolder, reporter, layout) ? ExitCompleted : ExitFailed;
}

// What strip and import settle before they write: both folders, the version value and the
// report. Returns the exit status when one of them was refused, which was then said.
struct WritingRun
{
    ToolFolders folders;
    QString gOpt;
    std::optional<ReportFile> report;
};

std::optional<int> prepareWriting(const Invocation& invocation, Reporter& reporter, WritingRun& run)
{
    run.folders = resolveFolders(invocation.dataFolder, invocation.quickBooksFolder,
                                 SettingsFile::ofProgram(), NeedsDataFolder | NeedsQuickBooksFolder);
    if (const std::optional<int> refused = folderRefusal(run.folders, reporter))
        return refused;
    run.gOpt = versionValue(invocation, reporter);
    return openReport(invocation, run.folders, run.report, reporter);
}

int strip(const Invocation& invocation, Reporter& reporter)
{
    const InterruptRequests interrupts;
    WritingRun run;
    if (const std::optional<int> refused = prepareWriting(invocation, reporter, run))
        return *refused;
    QuickBooksFolderLock lock(run.folders.quickBooksFolder);
    if (!lock.take(reporter)) {
        printSummary(StripSummary());
        return ExitFailed;
    }
    // QBCUST.TXT keeps no header: the designed columns stand for every row.
    return stripRows(invocation, run.folders, run.gOpt, ExportLayout(), reporter, run.report);
}

int import(const Invocation& invocation, Reporter& reporter)
{
    const InterruptRequests interrupts;
    WritingRun run;
    if (const std::optional<int> refused = prepareWriting(invocation, reporter, run))
        return *refused;
    QuickBooksFolderLock lock(run.folders.quickBooksFolder);
    if (!lock.take(reporter)) {
        printNothingCopied(run.folders.quickBooksFolder);
        return ExitFailed;
    }
    ExportLayout layout;
    std::vector<qint64> exportRows;
    if (!extractRows(invocation, run.folders.quickBooksFolder, reporter, layout, &exportRows))
        return ExitFailed;
    return stripRows(invocation, run.folders, run.gOpt, layout, reporter, run.report, std::move(exportRows));
}

int dispatch(const Invocation& invocation, Reporter& reporter)
{
    switch (invocation.command) {
    case Command::Help:
        printBytes(stdout, (invocation.helpText.isEmpty() ? usageText() : invocation.helpText).toLocal8Bit());
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
    case Command::Plan:
        return runPlan(invocation, reporter);
    case Command::Backups:
        return runBackups(invocation, reporter);
    case Command::Restore:
        return runRestore(invocation, reporter);
    }
    return ExitFailed;
}

// Runs the command on a private copy of standard input, which messages name "standard input".
// Signals are caught from the start of the copy to its end, so that it never outlives the run.
int dispatchOnStandardInput(const Invocation& invocation, Reporter& reporter)
{
    const InterruptRequests interrupts;
    StandardInputCopy copy;
    if (!copy.make(reporter))
        return unlessInterrupted(ExitFailed);
    Invocation onCopy = invocation;
    onCopy.exportFile = copy.path();
    onCopy.exportCopiedFromStandardInput = true;
    StandardInputNaming naming(reporter, copy.path());
    return unlessInterrupted(dispatch(onCopy, naming));
}

} // namespace

int runCommand(const Invocation& invocation, Reporter& reporter)
{
    const int status = invocation.exportFile == StandardInputFile
                           ? dispatchOnStandardInput(invocation, reporter)
                           : dispatch(invocation, reporter);
    // Output that was lost is a failure, whatever the command did: a plan saved to a full disk
    // must not pass for a whole one.
    if (const QString lost = outputFailure(); !lost.isEmpty()) {
        reporter.report(QStringLiteral("Standard output could not be written: %1.").arg(clause(lost)));
        return status == ExitCompleted || status == ExitRefused ? ExitFailed : status;
    }
    return status;
}

} // namespace brevik::tool
