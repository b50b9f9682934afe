#pragma once

#include <QString>

#ifdef Q_OS_UNIX
#include <sys/types.h>
#endif

class QFile;

namespace brevik {

// Why users other than the one running the program could have changed the open file: it
// belongs to another user, every user may write to it, or a group the running user does not
// belong to may. Empty when only the running user and the groups it belongs to may write to
// it. Judged on the open descriptor, so that the file judged is the file read. Always empty
// on Windows, whose permissions are not judged here.
[[nodiscard]] QString otherWriters(const QFile& file);

#ifdef Q_OS_UNIX
// Whether the running user belongs to the group: its effective group or one of its others.
[[nodiscard]] bool isOwnGroup(gid_t group);
#endif

} // namespace brevik
