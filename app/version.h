#pragma once

#include <QString>

namespace brevik {

// The program's version, shown by the splash window and the about box.
inline constexpr int VersionMajor = 1;
inline constexpr int VersionMinor = 50;
inline constexpr int VersionRevision = 109;

// "Version 1.50.109": each number in decimal, without leading zeros.
[[nodiscard]] inline QString versionText()
{
    return QStringLiteral("Version ") + QString::number(VersionMajor) + u'.' + QString::number(VersionMinor) +
           u'.' + QString::number(VersionRevision);
}

} // namespace brevik
