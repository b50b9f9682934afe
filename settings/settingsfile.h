#pragma once

#include "settings/programfolder.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace brevik {

// The two folders the import works with, each a full folder path held as text.
struct FolderSettings
{
    QString dataFolder;       // the Orvella data folder, line 1 of zrQBck.dat
    QString quickBooksFolder; // the QuickBooks folder, line 2
};

// What one reading of zrQBck.dat found. A value whose line was not reached is empty.
struct SettingsRead
{
    FolderSettings folders;
    int linesRead = 0; // 0, 1 or 2: how far the reading came before the file ended or failed
    // Why a file that is there could not be read or was refused, in words; empty for a file
    // that was read and for one that is missing.
    QString failure;

    // Both lines were there. Each caller decides for itself what a read that is not whole means.
    [[nodiscard]] bool whole() const { return linesRead == 2; }
};

// zrQBck.dat: exactly two lines, data folder first, each ended by CR LF, in Windows-1252.
class SettingsFile
{
public:
    // The program's settings file, where the program keeps it (see settingsPlace).
    [[nodiscard]] static SettingsFile ofProgram();

    // The file in the given folder, read and written there.
    explicit SettingsFile(const QString& folder);

    // The file read and written where the place says.
    explicit SettingsFile(SettingsPlace place);

    [[nodiscard]] QString path() const;        // the file read
    [[nodiscard]] QString writtenPath() const; // the file written

    // Lines 1 and 2 as whole lines without their ends; lines after the second are ignored. A
    // missing or unreadable file, or one that ends before line 2, gives a read that is not whole.
    // So does anything but an ordinary file, which is never opened for reading, and a file whose
    // lines hold NUL bytes, as UTF-16 text does: no folder path holds one.
    [[nodiscard]] SettingsRead read() const;

    // Replaces the file with the two lines. On failure, the reason for the operator.
    [[nodiscard]] std::optional<QString> write(const FolderSettings& folders) const;

    // The reading of raw file content; cut is true when the content stops short of the file's end.
    [[nodiscard]] static SettingsRead parse(QByteArray content, bool cut = false);

private:
    SettingsPlace m_place;
};

} // namespace brevik
