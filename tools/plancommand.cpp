// brevik-import plan: what an import of an export would do, customer by customer.
#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/importplan.h"
#include "settings/settingsfile.h"
#include "tools/commands.h"
#include "tools/commandsupport.h"
#include "tools/customerreport.h"
#include "tools/interruptrequests.h"
#include "tools/standardinput.h"
#include "tools/terminalprogress.h"
#include "tools/terminaltext.h"

namespace brevik::tool {
namespace {

// How far a plan that a signal ended went, in rows of the export.
QString interruptedPlanMessage(const StripSummary& summary)
{
    if (summary.lastStoredRow <= 0)
        return QStringLiteral("The plan was interrupted before its first customer: nothing was planned.");
    return QStringLiteral(
               "The plan was interrupted: row %1 was the last planned; nothing was planned from row "
               "%2 on.")
        .arg(summary.lastStoredRow)
        .arg(summary.firstUnstoredRow);
}

} // namespace

int runPlan(const Invocation& invocation, Reporter& reporter)
{
    // The plan never uses the QuickBooks folder: its QBCUST.TXT is written in a folder of its own.
    const ToolFolders folders =
        resolveFolders(invocation.dataFolder, std::nullopt, SettingsFile::ofProgram(), NeedsDataFolder);
    if (const std::optional<int> refused = folderRefusal(folders, reporter))
        return *refused;
    PlanRequest request;
    request.exportFile = invocation.exportFile;
    request.dataFolder = folders.dataFolder;
    request.gOpt = versionValue(invocation, reporter);
    // A signal ends the plan after the customer it is planning; its folder goes all the same.
    const InterruptRequests interrupts;
    request.stopRequested = &InterruptRequests::requested;

    CustomerColumns columns(Tense::Plan);
    std::function<void(CustomerRecord)> onRecord;
    if (invocation.csv) {
        writeStandardOutputAsIs();
        printBytes(stdout, csvHeader());
        // Saved to a file, the CSV holds the texts as they are; shown on a terminal, their control
        // characters are marks, as in the columns.
        onRecord = [terminal = isTerminal(stdout)](CustomerRecord record) {
            if (terminal) {
                record.name = terminalText(std::move(record.name));
                record.clientNumber = terminalText(std::move(record.clientNumber));
                for (QString& refusal : record.refusals)
                    refusal = terminalText(std::move(refusal));
            }
            printBytes(stdout, csvLine(record, Tense::Plan));
        };
    } else {
        onRecord = [&columns](CustomerRecord record) {
            columns.add(record);
        };
    }
    // A note that quotes the export names it as the messages do.
    const auto planned = [&invocation, &onRecord](CustomerRecord record) {
        if (invocation.exportCopiedFromStandardInput)
            for (QString& refusal : record.refusals)
                refusal = namedAsStandardInput(std::move(refusal), invocation.exportFile);
        onRecord(std::move(record));
    };
    StripSummary summary;
    {
        // A CSV that streams onto the terminal shows the progress itself. The line goes before
        // the columns are printed.
        const bool drawn = !invocation.quiet && !(invocation.csv && isTerminal(stdout));
        TerminalProgress progress(reporter, drawn ? TerminalProgress::Drawing::OnATerminal
                                                  : TerminalProgress::Drawing::Never);
        request.observer = &progress;
        summary = planImport(request, progress, planned);
    }
    if (invocation.csv) {
        // Standard output holds the CSV alone, so that it can be saved as it stands.
        printSummary(summary, stderr);
    } else {
        if (columns.hasCustomers())
            columns.print(stdout);
        printSummary(summary);
    }
    if (summary.interrupted)
        reporter.report(interruptedPlanMessage(summary));
    if (const int interrupted = InterruptRequests::exitStatus())
        return interrupted;
    return exitStatusOf(summary);
}

} // namespace brevik::tool
