#pragma once

#include "status.h"

#include <QString>
#include <QVariant>

namespace brevik::db {

// A field value comes back with its type: a null QVariant for a field with no value, qint64 for
// whole numbers and yes/no flags (1 and 0), double for real numbers, QString for text and
// QByteArray for bytes.

// The value as text, as the writer reads a field "as text": a null value fails with
// ErrInvalidUseOfNull (94); numbers are written in decimal.
[[nodiscard]] Status valueAsText(const QVariant& value, QString& text);

[[nodiscard]] inline bool isNull(const QVariant& value)
{
    return !value.isValid() || value.isNull();
}

} // namespace brevik::db
