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

    const bool wantData = (needs & NeedsDataFolder) && folders.dataFolder.isEmpty();
    const bool wantQuickBooks = (needs & NeedsQuickBooksFolder) && folders.quickBooksFolder.isEmpty();
    if (!wantData && !wantQuickBooks)
        return folders;

    const SettingsRead read = file.read();
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
