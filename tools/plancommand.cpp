// brevik-import plan: what an import of an export would do, customer by customer.
#include "import/paths.h"
#include "import/writer/importplan.h"
#include "settings/settingsfile.h"
#include "tools/commands.h"
#include "tools/commandsupport.h"
#include "tools/customerreport.h"
#include "tools/terminaltext.h"

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace brevik::tool {

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

    std::vector<CustomerRecord> records;
    std::function<void(const CustomerRecord&)> onRecord;
    if (invocation.csv) {
#ifdef Q_OS_WIN
        _setmode(_fileno(stdout), _O_BINARY); // the CSV's own CR LF, not doubled
#endif
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
        onRecord = [&records](const CustomerRecord& record) {
            records.push_back(record);
        };
    }
    const StripSummary summary = planImport(request, reporter, onRecord);
    if (invocation.csv) {
        // Standard output holds the CSV alone, so that it can be saved as it stands.
        printSummary(summary, stderr);
    } else {
        if (!records.empty())
            printBytes(stdout, columnsOf(records, Tense::Plan).toLocal8Bit());
        printSummary(summary);
    }
    return summary.clean() ? ExitCompleted : ExitFailed;
}

} // namespace brevik::tool
