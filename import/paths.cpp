#include "paths.h"

#include <QDir>

namespace brevik {

QString joinFolderAndFile(const QString& folder, const QString& fileName)
{
#ifdef Q_OS_WIN
    constexpr QChar separator = u'\\';
#else
    constexpr QChar separator = u'/';
#endif
    return folder + separator + fileName;
}

QString databaseIn(const QString& dataFolder)
{
    return joinFolderAndFile(dataFolder, QStringLiteral("zrdata.mdb"));
}

QString customerFileIn(const QString& quickBooksFolder)
{
    return joinFolderAndFile(quickBooksFolder, QStringLiteral("QBCUST.TXT"));
}

QString displayPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString clause(QString cause)
{
    while (cause.endsWith(u'.') || cause.endsWith(u' '))
        cause.chop(1);
    return cause;
}

} // namespace brevik
