#pragma once

#include "import/engine/recordset.h"
#include "import/engine/status.h"
#include "import/engine/value.h"

#include <QString>
#include <QVariant>

// Values as the writer stores them, shared by its files.
namespace brevik::writervalues {

// An empty field is stored as zero-length text, never as a missing value.
[[nodiscard]] inline QVariant text(const QString& value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}

[[nodiscard]] inline QVariant number(qint64 value)
{
    return QVariant(value);
}

// Yes/no fields hold 1 and 0.
[[nodiscard]] inline QVariant flag(bool value)
{
    return QVariant(qint64(value ? 1 : 0));
}

// Moving to the last row of a table without rows is no failure: an empty table opens like
// any other, so that a new database can receive its first customer.
[[nodiscard]] inline db::Status moveLast(db::Recordset& rs)
{
    db::Status status = rs.MoveLast();
    if (!status.ok() && status.number() == db::ErrNoCurrentRecord)
        return {};
    return status;
}

} // namespace brevik::writervalues
