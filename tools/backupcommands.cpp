// brevik-import backups and restore: the copies of zrdata.mdb that runs make before they write.
#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/restore.h"
#include "settings/settingsfile.h"
#include "tools/commands.h"
#include "tools/commandsupport.h"
#include "tools/customerreport.h"

#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <optional>

namespace brevik::tool {
namespace {

// How the time of a backup is shown.
constexpr QStringView TimeFormat = u"yyyy-MM-dd HH:mm:ss";

// Beside a backup whose name gives a later time than now; no run counts it among the backups
// it keeps, nor removes it.
constexpr QLatin1StringView
    FutureNote("  (its time is in the future: it is never removed, nor counted among the backups kept)");

// A number of clients, or why it is not known.
QString clientsOf(const std::optional<qint64>& clients, const QString& problem)
{
    return clients ? QStringLiteral("%1 clients").arg(*clients)
                   : QStringLiteral("an unknown number of clients (%1)").arg(problem);
}

// What the restore is about to put back, and in the place of what: the backup's time and
// clients against the database's as it stands. Nothing checks that the backup was copied from
// this database, so the numbers are for the operator to weigh.
void printRestoreChoice(const db::RestoreChoice& choice, const QString& database)
{
    const db::BackupFacts& backup = choice.backup;
    const QString current =
        choice.databaseExists
            ? QStringLiteral("the Orvella database %1 holds %2 now")
                  .arg(displayPath(database), clientsOf(choice.databaseClients, choice.databaseProblem))
            : QStringLiteral("there is no Orvella database %1 now").arg(displayPath(database));
    printLine(stdout, QStringLiteral("The backup %1, made %2, holds %3; %4.")
                          .arg(displayPath(backup.path), backup.made.toString(TimeFormat),
                               clientsOf(backup.clients, backup.problem), current));
}

// The note column of a backup in the CSV: why its clients could not be counted, and that its time
// lies in the future.
QString csvNote(const db::BackupFacts& backup)
{
    QStringList notes;
    if (!backup.clients)
        notes << backup.problem;
    if (backup.future)
        notes << QStringLiteral(
            "its time is in the future: it is never removed, nor counted among the backups kept");
    return notes.join(QStringLiteral("; "));
}

} // namespace

int runBackups(const Invocation& invocation, Reporter& reporter)
{
    const ToolFolders folders =
        resolveFolders(invocation.dataFolder, std::nullopt, SettingsFile::ofProgram(), NeedsDataFolder);
    if (const std::optional<int> refused = folderRefusal(folders, reporter))
        return *refused;
    const QString database = databaseIn(folders.dataFolder);
    const QList<db::BackupFacts> backups = db::describeBackups(database);
    if (invocation.csv) {
        // For scripts: the size in bytes, and no line but the header where there is no backup.
        writeStandardOutputAsIs();
        printBytes(stdout,
                   csvRecord({QStringLiteral("made"), QStringLiteral("size_bytes"), QStringLiteral("clients"),
                              QStringLiteral("backup"), QStringLiteral("note")}));
        for (const db::BackupFacts& backup : backups)
            printBytes(stdout, csvRecord({backup.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                          QString::number(backup.bytes),
                                          backup.clients ? QString::number(*backup.clients) : QString(),
                                          displayPath(backup.path), csvNote(backup)}));
        return ExitCompleted;
    }
    if (backups.isEmpty()) {
        printLine(stdout, QStringLiteral("No backups of %1").arg(displayPath(database)));
        return ExitCompleted;
    }
    struct Line
    {
        QString made, size, clients, file;
    };
    QList<Line> lines{{QStringLiteral("made"), QStringLiteral("size"), QStringLiteral("clients"),
                       QStringLiteral("backup")}};
    const QLocale locale = QLocale::system();
    for (const db::BackupFacts& backup : backups)
        lines.append(
            {backup.made.toString(TimeFormat), locale.formattedDataSize(backup.bytes),
             backup.clients ? QString::number(*backup.clients) : QStringLiteral("? (%1)").arg(backup.problem),
             backup.future ? displayPath(backup.path) + FutureNote : displayPath(backup.path)});
    qsizetype made = 0, size = 0, clients = 0;
    for (const Line& line : lines) {
        made = std::max(made, line.made.size());
        size = std::max(size, line.size.size());
        clients = std::max(clients, line.clients.size());
    }
    for (const Line& line : lines)
        printLine(stdout, QStringLiteral("%1  %2  %3  %4")
                              .arg(line.made, int(-made))
                              .arg(line.size, int(size))
                              .arg(line.clients, int(clients))
                              .arg(line.file));
    return ExitCompleted;
}

int runRestore(const Invocation& invocation, Reporter& reporter)
{
    const ToolFolders folders =
        resolveFolders(invocation.dataFolder, std::nullopt, SettingsFile::ofProgram(), NeedsDataFolder);
    if (const std::optional<int> refused = folderRefusal(folders, reporter))
        return *refused;
    // A backup may be named as the list shows it, or by its name alone in the data folder.
    QString backup = invocation.backupFile;
    if (!QFileInfo::exists(backup) && QFileInfo(backup).fileName() == backup) {
        const QString inDataFolder = joinFolderAndFile(folders.dataFolder, backup);
        if (QFileInfo::exists(inDataFolder))
            backup = inDataFolder;
    }
    const QString database = databaseIn(folders.dataFolder);
    // A file that is not one of the backups is refused by the restore, with the reason.
    if (const db::RestoreChoice choice = db::describeRestore(database, backup);
        choice.refusal.isEmpty() && choice.backup.clients)
        printRestoreChoice(choice, database);
    const db::Restore restore = db::restoreBackup(database, backup);
    if (!restore.restored) {
        reporter.report(restore.message);
        return ExitFailed;
    }
    printLine(stdout, restore.message);
    return ExitCompleted;
}

} // namespace brevik::tool
