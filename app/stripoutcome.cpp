#include "stripoutcome.h"

#include "import/paths.h"

#include <QLocale>

namespace brevik::ui {

QString stripOutcomeText(const StripSummary& summary)
{
    const QLocale locale = QLocale::system();
    QString text = summary.completed
                       ? QStringLiteral("The import is complete.")
                       : QStringLiteral("The import stopped before the end of the customer file.");
    text += QStringLiteral(
                "\n\nRows read: %1\nClients added: %2\nClients updated: %3\nRows that wrote nothing: %4\n"
                "Customers refused: %5\nJobs passed over: %6")
                .arg(locale.toString(summary.rowsRead), locale.toString(summary.clientsAdded),
                     locale.toString(summary.clientsUpdated), locale.toString(summary.rowsWithoutWrite),
                     locale.toString(summary.customersRefused), locale.toString(summary.jobsPassedOver));
    text += summary.backupPath.isEmpty()
                ? QStringLiteral("\n\nNo backup was kept: the run wrote nothing to the database.")
                : QStringLiteral("\n\nThe database as it was before the first write is kept as %1; File > "
                                 "Backups puts it back.")
                      .arg(displayPath(summary.backupPath));
    if (summary.interrupted)
        text += QStringLiteral("\n\n") + interruptedRunMessage(summary);
    else if (!summary.completed && summary.lastStoredRow > 0)
        text += QStringLiteral("\n\nRow %1 was the last stored; nothing was stored after it.")
                    .arg(summary.lastStoredRow);
    if (summary.customersRefused > 0)
        text += QStringLiteral("\n\nFile > Save Report... saves what became of each customer, with why "
                               "each refused one was refused.");
    return text;
}

} // namespace brevik::ui
