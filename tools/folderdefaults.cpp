#include "folderdefaults.h"

#include "import/paths.h"

#include <QStringList>

namespace brevik::tool {

ToolFolders resolveFolders(const std::optional<QString>& dataFolder,
                           const std::optional<QString>& quickBooksFolder, const SettingsFile& file,
                           unsigned needs)
{
    ToolFolders folders;
    folders.dataFolder = dataFolder.value_or(QString());
    folders.quickBooksFolder = quickBooksFolder.value_or(QString());

    QStringList empty;
    if (dataFolder && dataFolder->isEmpty())
        empty.append(QStringLiteral("--data-folder"));
    if (quickBooksFolder && quickBooksFolder->isEmpty())
        empty.append(QStringLiteral("--quickbooks-folder"));
    if (!empty.isEmpty()) {
        folders.missing =
            QStringLiteral("%1 is given an empty folder").arg(empty.join(QStringLiteral(" and ")));
        return folders;
    }

    const bool wantData = (needs & NeedsDataFolder) && !dataFolder;
    const bool wantQuickBooks = (needs & NeedsQuickBooksFolder) && !quickBooksFolder;
    if (!wantData && !wantQuickBooks)
        return folders;

    const SettingsRead read = file.read();
    if (!read.failure.isEmpty()) {
        folders.unreadable = QStringLiteral("The settings file %1 cannot be read: %2. Give the folders with "
                                            "--data-folder and --quickbooks-folder, or choose them again in "
                                            "the program's Path Names window.")
                                 .arg(displayPath(file.path()), clause(read.failure));
        return folders;
    }
    if (wantData)
        folders.dataFolder = read.folders.dataFolder;
    if (wantQuickBooks)
        folders.quickBooksFolder = read.folders.quickBooksFolder;

    QStringList missing;
    if (wantData && folders.dataFolder.isEmpty())
        missing.append(QStringLiteral("the data folder (give --data-folder, or line 1 of %1)")
                           .arg(displayPath(file.path())));
    if (wantQuickBooks && folders.quickBooksFolder.isEmpty())
        missing.append(QStringLiteral("the QuickBooks folder (give --quickbooks-folder, or line 2 of %1)")
                           .arg(displayPath(file.path())));
    if (!missing.isEmpty())
        folders.missing = QStringLiteral("no folder known for ") + missing.join(QStringLiteral(" and "));
    return folders;
}

} // namespace brevik::tool
