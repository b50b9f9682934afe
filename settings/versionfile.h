#pragma once

#include "settings/programfolder.h"

#include <QString>

#include <optional>

namespace brevik {

// QBvers.Dat: one line holding the QuickBooks version value, "0" for
// V5.0-V2000 or "1" for V2001-V2005, followed by CR LF.
class VersionFile
{
public:
    // The program's version file, where the program keeps it (see settingsPlace).
    [[nodiscard]] static VersionFile ofProgram();

    // The file in the given folder, read and written there.
    explicit VersionFile(const QString& folder);

    // The file read and written where the place says.
    explicit VersionFile(SettingsPlace place);

    [[nodiscard]] QString path() const;        // the file read
    [[nodiscard]] QString writtenPath() const; // the file written

    // The first item of the file: the text up to the first comma or the end of the first line,
    // leading blanks skipped, a quoted value without its quotes. Nothing when the file is
    // missing, unreadable or empty. Anything but an ordinary file is never opened for reading;
    // failure then says why in words (it stays empty for a file that is missing or was read).
    [[nodiscard]] std::optional<QString> read() const;
    [[nodiscard]] std::optional<QString> read(QString& failure) const;

    // Replaces the file with the value and CR LF. On failure, the reason for the operator.
    [[nodiscard]] std::optional<QString> write(const QString& value) const;

    // The item as the main window reads it from raw bytes; exposed for tests and the fuzzer.
    [[nodiscard]] static std::optional<QString> firstItem(const QByteArray& content);

private:
    SettingsPlace m_place;
};

} // namespace brevik
