#include "callmessages.h"

#include "import/paths.h"
#include "import/remedies.h"

#include <QDir>
#include <QFileInfo>

namespace brevik {

bool CallMessages::ok(const db::Status& status)
{
    if (status.ok())
        return true;
    add(errorNumber(status.number()));
    return false;
}

QStringList CallMessages::take()
{
    QStringList messages;
    messages.swap(m_messages);
    return messages;
}

QString CallMessages::errorNumber(int number)
{
    // The number is written as the old reports wrote it: a blank in place of the plus sign.
    const QString digits = number < 0 ? QString::number(number) : u' ' + QString::number(number);
    return QStringLiteral("Error Number equals") + digits;
}

QString CallMessages::recordNotFound()
{
    return QStringLiteral("Record Not Found... Creating New Record");
}

QString CallMessages::customerCalled(const QString& name, qint64 row)
{
    const QString named = QStringLiteral("the customer \"%1\"").arg(name);
    return row > 0 ? QStringLiteral("%1 (row %2)").arg(named).arg(row) : named;
}

QString CallMessages::noClientNumber(const QString& name, qint64 row)
{
    return QStringLiteral("No client number is left for %1: the highest client number, 2147483647, is the "
                          "largest that can be read back. Nothing was written for this customer.")
        .arg(customerCalled(name, row));
}

QString CallMessages::cannotOpen(const QString& path, const db::Status& status)
{
    const QString message = QStringLiteral("The Orvella database %1 cannot be opened: %2")
                                .arg(displayPath(path), status.description());
    switch (status.number()) {
    case db::ErrFileNotFound:
        return withRemedy(message, remedies().folders);
    case db::ErrCannotOpen:
        // A data folder that is not there is a folder setting to mend.
        return QFileInfo(path).absoluteDir().exists() ? message : withRemedy(message, remedies().folders);
    case db::ErrCorrupt:
    case db::ErrNotADatabase:
        return withRemedy(message, remedies().damage);
    default:
        return message;
    }
}

QString CallMessages::locked(const QString& path)
{
    return QStringLiteral("The Orvella database %1 is locked by another program. The import stopped; every "
                          "customer stored so far is complete. Run it again once the other program has "
                          "finished.")
        .arg(displayPath(path));
}

} // namespace brevik
