#include "value.h"

#include <QByteArray>

namespace brevik::db {

Status valueAsText(const QVariant& value, QString& text)
{
    text.clear();
    if (isNull(value))
        return Status::failure(ErrInvalidUseOfNull, QStringLiteral("Invalid use of Null."));
    switch (value.typeId()) {
    case QMetaType::QString:
        text = value.toString();
        break;
    case QMetaType::Bool:
        text = value.toBool() ? QStringLiteral("1") : QStringLiteral("0"); // as a yes/no field stores it
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        text = QString::number(value.toDouble(), 'g', 15);
        break;
    case QMetaType::QByteArray:
        text = QString::fromUtf8(value.toByteArray());
        break;
    default:
        text = value.toString();
        break;
    }
    return {};
}

} // namespace brevik::db
