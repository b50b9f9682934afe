#include "callmessages.h"

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

} // namespace brevik
