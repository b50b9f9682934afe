#include "sqlitefile.h"

#include <sqlite3.h>

#include <QFile>

namespace brevik::testing {
namespace {

int bind(sqlite3_stmt* statement, int index, const QVariant& value)
{
    if (value.isNull())
        return sqlite3_bind_null(statement, index);
    switch (value.typeId()) {
    case QMetaType::QString: {
        const QString text = value.toString();
        return sqlite3_bind_text16(statement, index, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble());
    default:
        return sqlite3_bind_int64(statement, index, value.toLongLong());
    }
}

QString textOf(sqlite3_stmt* statement, int column)
{
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(statement, column));
    return QString::fromUtf16(text, sqlite3_column_bytes16(statement, column) / 2);
}

QVariant valueOf(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(statement, column));
    case SQLITE_TEXT:
        return QVariant(textOf(statement, column));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, column)),
                                   sqlite3_column_bytes(statement, column)));
    default:
        return QVariant();
    }
}

} // namespace

SqliteFile::SqliteFile(const QString& path, int busyTimeoutMs)
{
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        return;
    }
    sqlite3_busy_timeout(m_db, busyTimeoutMs);
}

SqliteFile::~SqliteFile()
{
    sqlite3_close_v2(m_db);
}

QString SqliteFile::error() const
{
    return m_error;
}

void SqliteFile::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_db, milliseconds);
}

bool SqliteFile::exec(const QString& sql, bool* busy)
{
    if (busy)
        *busy = false;
    if (!m_db)
        return false;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return true;
    if (busy)
        *busy = (rc & 0xff) == SQLITE_BUSY;
    m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}

bool SqliteFile::query(const QString& sql, const QVariantList& values, QList<QVariantList>* rows)
{
    if (!m_db)
        return false;
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr);
    for (int i = 0; rc == SQLITE_OK && i < values.size(); ++i)
        rc = bind(statement, i + 1, values.at(i));
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW && rows) {
            QVariantList row;
            for (int column = 0; column < sqlite3_column_count(statement); ++column)
                row.append(valueOf(statement, column));
            rows->append(row);
        }
    }
    sqlite3_finalize(statement);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW)
        return true;
    m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
    return false;
}

qint64 SqliteFile::lastRowid() const
{
    return sqlite3_last_insert_rowid(m_db);
}

QStringList SqliteFile::rows(const QString& sql)
{
    QStringList result;
    if (!m_db)
        return result;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        result.append(QStringLiteral("<error: %1>").arg(m_error));
        return result;
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList values;
        for (int column = 0; column < sqlite3_column_count(statement); ++column)
            values.append(sqlite3_column_type(statement, column) == SQLITE_NULL ? QStringLiteral("<null>")
                                                                                : textOf(statement, column));
        result.append(values.join(u'\t'));
    }
    if (rc != SQLITE_DONE) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        result.append(QStringLiteral("<error: %1>").arg(m_error));
    }
    sqlite3_finalize(statement);
    return result;
}

QString SqliteFile::value(const QString& sql)
{
    const QStringList found = rows(sql);
    return found.isEmpty() ? QString() : found.first().section(u'\t', 0, 0);
}

} // namespace brevik::testing
