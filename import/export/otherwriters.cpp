#include "otherwriters.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>
#endif

namespace brevik {

#ifdef Q_OS_UNIX
namespace {

// The name of a user or a group as the system gives it, else its number.
QString userName(uid_t user)
{
    std::vector<char> buffer(16384);
    struct passwd entry = {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(user);
}

QString groupName(gid_t group)
{
    std::vector<char> buffer(16384);
    struct group entry = {};
    struct group* found = nullptr;
    if (::getgrgid_r(group, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(group);
}

} // namespace

bool isOwnGroup(gid_t group)
{
    if (group == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(std::size_t(count), 0);
    const int listed = ::getgroups(count, groups.data());
    for (int i = 0; i < listed; ++i)
        if (groups[std::size_t(i)] == group)
            return true;
    return false;
}

QString otherWriters(const QFile& file)
{
    struct stat status = {};
    if (::fstat(file.handle(), &status) != 0)
        return {};
    if (status.st_uid != ::geteuid())
        return QStringLiteral("it belongs to the user %1").arg(userName(status.st_uid));
    if (status.st_mode & S_IWOTH)
        return QStringLiteral("every user may write to it");
    // A group the user shares, as its own umask lets it share the files it makes, is trusted;
    // one it does not belong to is strangers.
    if ((status.st_mode & S_IWGRP) && !isOwnGroup(status.st_gid))
        return QStringLiteral("the group %1, to which this user does not belong, may write to it")
            .arg(groupName(status.st_gid));
    return {};
}
#else
QString otherWriters(const QFile& file)
{
    (void)file;
    return {};
}
#endif

} // namespace brevik
