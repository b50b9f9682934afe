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

namespace brevik::tool {
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
            printBytes(stdout,
                       csvRecord({backup.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                  QString::number(backup.bytes),
                                  backup.clients ? QString::number(*backup.clients) : QString(),
                                  displayPath(backup.path), backup.clients ? QString() : backup.problem}));
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
            {backup.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             locale.formattedDataSize(backup.bytes),
             backup.clients ? QString::number(*backup.clients) : QStringLiteral("? (%1)").arg(backup.problem),
             displayPath(backup.path)});
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
    const db::Restore restore = db::restoreBackup(databaseIn(folders.dataFolder), backup);
    if (!restore.restored) {
        reporter.report(restore.message);
        return ExitFailed;
    }
    printLine(stdout, restore.message);
    return ExitCompleted;
}

} // namespace brevik::tool
