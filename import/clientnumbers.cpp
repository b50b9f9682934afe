#include "clientnumbers.h"

#include "import/engine/recordset.h"
#include "import/engine/value.h"
#include "import/numberreading.h"

namespace brevik {

ClientNumbers::Reading ClientNumbers::read(const QVariant& clientId)
{
    QString text;
    if (const db::Status status = db::valueAsText(clientId, text); !status.ok())
        return {0, status.number()};
    const std::optional<double> number = leadingNumber(text);
    if (!number)
        return {0, db::ErrOverflow};
    const std::optional<qint32> whole = roundToInt32(*number);
    if (!whole)
        return {0, db::ErrOverflow};
    return {*whole, 0};
}

QString ClientNumbers::format(qint64 highest)
{
    if (highest <= 0)
        return QStringLiteral("000100");
    return QString::number(highest + 1).rightJustified(6, u'0');
}

void ClientNumbers::take(const QVariant& clientId)
{
    const Reading reading = read(clientId);
    if (reading.error != 0)
        m_rowErrors.push_back(reading.error);
    else if (reading.number > m_highest)
        m_highest = reading.number;
}

db::Status ClientNumbers::refresh(db::Recordset& clients)
{
    m_valid = false;
    m_highest = 0;
    m_rowErrors.clear();
    const db::Status status = clients.scanField(QLatin1StringView("ClientID"),
                                                [this](qint64, const QVariant& value) { take(value); });
    m_valid = status.ok();
    return status;
}

QString ClientNumbers::next() const
{
    return format(m_highest);
}

void ClientNumbers::noteStored(const QString& number)
{
    const Reading reading = read(QVariant(number));
    if (reading.error == 0 && reading.number > m_highest)
        m_highest = reading.number;
}

} // namespace brevik
