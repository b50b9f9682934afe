#pragma once

#include <QString>

namespace brevik {

// Joins a folder and a file name the way the program always has: folder, separator, name.
// The separator is "\" on Windows and "/" elsewhere; an empty folder gives the name at the
// root ("\QBCUST.TXT"). The folder is taken as it stands, without tidying.
[[nodiscard]] QString joinFolderAndFile(const QString& folder, const QString& fileName);

// The Orvella database in its data folder: "zrdata.mdb".
[[nodiscard]] QString databaseIn(const QString& dataFolder);
// The customer file that the extraction writes into the QuickBooks folder, and that the strip
// reads: "QBCUST.TXT".
[[nodiscard]] QString customerFileIn(const QString& quickBooksFolder);

// The path as the operator knows it, for messages.
[[nodiscard]] QString displayPath(const QString& path);

// A cause that a message quotes before a sentence of its own ("...: %1. Nothing was imported."),
// without the full stop that some of the system's texts end with, so that none is doubled.
[[nodiscard]] QString clause(QString cause);

} // namespace brevik
