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
    // The message when zrQBck.dat was needed and is there but could not be read (it is not an
    // ordinary file, or holds UTF-16 text); empty otherwise.
    QString unreadable;
};

enum FolderNeed : unsigned
{
    NeedsDataFolder = 1u << 0,
    NeedsQuickBooksFolder = 1u << 1,
};

// An option that is given counts as given even when it is empty, which is a usage error: it
// never falls back to the file.
[[nodiscard]] ToolFolders resolveFolders(const std::optional<QString>& dataFolder,
                                         const std::optional<QString>& quickBooksFolder,
                                         const SettingsFile& file, unsigned needs);

} // namespace brevik::tool
