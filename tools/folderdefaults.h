#pragma once

#include "settings/settingsfile.h"

#include <QString>

#include <optional>

namespace brevik::tool {

// The folders a command works with. A folder not given on the command line comes from the
// settings file zrQBck.dat, read as the windows read it; a read that ends early still gives
// what it read.
struct ToolFolders
{
    QString dataFolder;
    QString quickBooksFolder;
    QString missing; // the usage error for a needed folder that neither gives; empty when none is missing
};

enum FolderNeed : unsigned
{
    NeedsDataFolder = 1u << 0,
    NeedsQuickBooksFolder = 1u << 1,
};

// An empty option counts as not given.
[[nodiscard]] ToolFolders resolveFolders(const std::optional<QString>& dataFolder,
                                         const std::optional<QString>& quickBooksFolder,
                                         const SettingsFile& file, unsigned needs);

} // namespace brevik::tool
