#pragma once

#include <QString>

namespace brevik {

// The program's name where the system asks for one. It names the user's configuration folder,
// which the window and the command-line tool share.
[[nodiscard]] QString programName();

// The program's own folder: the folder of the executable. Tests point it at a folder of their own.
[[nodiscard]] QString programFolder();
void setProgramFolder(const QString& folder);

// The user's configuration folder for the program (such as ~/.config/Brevik); it may not exist
// yet. Tests point it at a folder of their own.
[[nodiscard]] QString userSettingsFolder();
void setUserSettingsFolder(const QString& folder);

// Where one settings file (zrQBck.dat, QBvers.Dat) is read and where it is written.
//
// Both lie in the program's own folder when that folder can be written, so that a portable or
// unzipped copy keeps its settings beside itself. When it cannot (a program installed in
// /usr/bin or C:\Program Files), the file is written in the user's configuration folder and
// read from there; the program's folder is still read while the user's folder holds no copy,
// so that an administrator can place defaults beside the program.
struct SettingsPlace
{
    QString readPath;
    QString writePath;
    bool inUserFolder = false; // writePath lies in the user's folder, which the writing creates

    // The same file for reading and writing.
    [[nodiscard]] static SettingsPlace inFolder(const QString& folder, const QString& fileName);

    // Creates the user's folder where the file goes there. A failure shows when the file is
    // then written.
    void prepareWriting() const;
};
[[nodiscard]] SettingsPlace settingsPlace(const QString& fileName);

// The same rule for given folders, and whether the program's folder can be written.
[[nodiscard]] SettingsPlace settingsPlace(const QString& fileName, const QString& ownFolder,
                                          const QString& userFolder, bool ownFolderWritable);

// Whether a file can be created in the folder: false for a read-only folder or volume, and for
// one that is missing or is no folder at all.
[[nodiscard]] bool canWriteIn(const QString& folder);

} // namespace brevik
