#include "databasefile.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace brevik::db {

FileKind inspectFile(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return FileKind::Missing;
    if (!info.isFile())
        return FileKind::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileKind::Unreadable;
    if (file.size() == 0)
        return FileKind::Empty;
    const QByteArray head = file.read(19);
    if (head.isEmpty())
        return FileKind::Unreadable;
    if (head.startsWith(QByteArrayView("SQLite format 3\0", 16)))
        return FileKind::SQLite;
    // A Jet or ACE file names its engine at offset 4, after a four-byte version mark.
    if (head.size() == 19) {
        const QByteArrayView engine = QByteArrayView(head).sliced(4, 15);
        if (engine == QByteArrayView("Standard Jet DB") || engine == QByteArrayView("Standard ACE DB"))
            return FileKind::Access;
    }
    return FileKind::Unrecognised;
}

bool mayWrite(const QString& path)
{
#ifdef Q_OS_UNIX
    return ::faccessat(AT_FDCWD, QFile::encodeName(path).constData(), W_OK, AT_EACCESS) == 0;
#else
    return QFileInfo(path).isWritable();
#endif
}

Status checkWritable(const QString& path)
{
    if (!mayWrite(path))
        return Status::failure(ErrCannotOpen, QStringLiteral("The file is read-only."));
    for (const QString& suffix :
         {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")}) {
        const QFileInfo journal(path + suffix);
        if (!journal.exists() && !journal.isSymLink())
            continue;
        const QString name = QDir::toNativeSeparators(journal.filePath());
        // The engine refuses to open a journal through a link, but only half way through a run,
        // and without words of its own.
        if (journal.isSymLink())
            return Status::failure(
                ErrCannotOpen,
                QStringLiteral("The file %1 beside it, where the database keeps its journal, is a link "
                               "to another file, and such a link is refused. Remove it.")
                    .arg(name));
        if (!journal.isFile())
            return Status::failure(
                ErrCannotOpen,
                QStringLiteral("The file %1 beside it, where the database keeps its journal, is %2. "
                               "Remove it or give it another name.")
                    .arg(name, journal.isDir() ? QStringLiteral("a folder")
                                               : QStringLiteral("not an ordinary file")));
        if (!mayWrite(journal.filePath()))
            return Status::failure(ErrCannotOpen,
                                   QStringLiteral("Its journal file %1 is read-only, so no change could be "
                                                  "saved. It was most likely left by a run of another user; "
                                                  "make it writable for this user.")
                                       .arg(name));
    }
    return {};
}

Status checkBeforeOpen(const QString& path, bool mustExist)
{
    switch (inspectFile(path)) {
    case FileKind::Missing:
        if (mustExist)
            return Status::failure(ErrFileNotFound, QStringLiteral("The file does not exist."));
        break;
    case FileKind::Empty:
        if (mustExist)
            return Status::failure(
                ErrNotADatabase,
                QStringLiteral("The file is empty; it is not a database this program can open."));
        break;
    case FileKind::SQLite:
        return checkWritable(path);
    case FileKind::Access:
        return Status::failure(
            ErrNotADatabase,
            QStringLiteral("The file is a Microsoft Access database, not one this program can open."));
    case FileKind::Unrecognised:
        return Status::failure(ErrNotADatabase,
                               QStringLiteral("The file is not a database this program can open."));
    case FileKind::Unreadable:
        return Status::failure(ErrCannotOpen, QStringLiteral("The file cannot be read."));
    }
    return {};
}

Status checkOpenable(const QString& path)
{
    return checkBeforeOpen(path, true);
}

} // namespace brevik::db
