#pragma once

#include <QString>

namespace brevik {

// The program's own folder, where it keeps zrQBck.dat and QBvers.Dat: the folder of the
// executable. Tests point it at a folder of their own.
[[nodiscard]] QString programFolder();
void setProgramFolder(const QString& folder);

} // namespace brevik
