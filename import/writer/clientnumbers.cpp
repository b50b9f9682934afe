#include "clientnumbers.h"

#include "import/engine/recordset.h"
#include "import/engine/statement.h"
#include "import/engine/value.h"
#include "import/rules/numberreading.h"

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

ClientNumbers::Reading ClientNumbers::read(const db::Statement& row)
{
    // After another program has written, every number of the table is read again while the
    // import holds the write lock, so the usual shapes are read without making a value first:
    // whole numbers, and texts of up to nine digits ("000123"). Both read as the number they
    // show; anything else takes the general reading.
    constexpr int Column = 1;
    constexpr qint64 Plain = 999'999'999;
    switch (row.columnType(Column)) {
    case db::Statement::ColumnType::Integer: {
        const qint64 number = row.columnInt64(Column);
        if (number >= -Plain && number <= Plain)
            return {number, 0};
        break;
    }
    case db::Statement::ColumnType::Text: {
        const QByteArrayView text = row.columnBytes(Column);
        if (text.isEmpty() || text.size() > 9)
            break;
        qint64 number = 0;
        for (const char c : text) {
            if (c < '0' || c > '9')
                return read(row.column(Column));
            number = number * 10 + (c - '0');
        }
        return {number, 0};
    }
    default:
        break;
    }
    return read(row.column(Column));
}

void ClientNumbers::take(Reading reading)
{
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
    const db::Status status = clients.scanFieldColumns(QLatin1StringView("ClientID"),
                                                       [this](const db::Statement& row) { take(read(row)); });
    m_valid = status.ok();
    return status;
}

std::optional<QString> ClientNumbers::next() const
{
    if (m_highest >= Largest)
        return std::nullopt;
    return format(m_highest);
}

void ClientNumbers::noteStored(const QString& number)
{
    take(read(QVariant(number)));
}

} // namespace brevik
