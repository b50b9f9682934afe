#include "statement.h"

#include "sqliteerror.h"

#include <sqlite3.h>

#include <limits>
#include <utility>

namespace brevik::db {

Statement::Statement(sqlite3* db, sqlite3_stmt* stmt)
    : m_db(db)
    , m_stmt(stmt)
{}

Statement::Statement(Statement&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr))
    , m_stmt(std::exchange(other.m_stmt, nullptr))
{}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
    }
    return *this;
}

Statement::~Statement()
{
    sqlite3_finalize(m_stmt);
}

static Status bindResult(sqlite3* db, int rc)
{
    return rc == SQLITE_OK ? Status() : sqliteFailure(db, rc);
}

Status Statement::bind(int index, const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return bindNull(index);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return bindInt64(index, value.toBool() ? 1 : 0);
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return bindInt64(index, value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong number = value.toULongLong();
        if (number > qulonglong(std::numeric_limits<qint64>::max()))
            return Status::failure(ErrOverflow,
                                   QStringLiteral("The number %1 is too large to store.").arg(number));
        return bindInt64(index, qint64(number));
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return bindResult(m_db, sqlite3_bind_double(m_stmt, index, value.toDouble()));
    case QMetaType::QString:
        return bindText(index, value.toString());
    case QMetaType::QChar:
        return bindText(index, QString(value.toChar()));
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        // A null pointer would store null; an empty value must stay an empty value.
        const char* data = bytes.isEmpty() ? "" : bytes.constData();
        return bindResult(
            m_db, sqlite3_bind_blob64(m_stmt, index, data, sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT));
    }
    default:
        return Status::failure(ErrEngine,
                               QStringLiteral("A value of type %1 cannot be stored in the database.")
                                   .arg(QString::fromLatin1(value.typeName())));
    }
}

Status Statement::bindText(int index, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    // A null pointer would store null; empty text must stay zero-length text.
    const char* data = utf8.isEmpty() ? "" : utf8.constData();
    return bindResult(m_db, sqlite3_bind_text64(m_stmt, index, data, sqlite3_uint64(utf8.size()),
                                                SQLITE_TRANSIENT, SQLITE_UTF8));
}

Status Statement::bindInt64(int index, qint64 value)
{
    return bindResult(m_db, sqlite3_bind_int64(m_stmt, index, value));
}

Status Statement::bindNull(int index)
{
    return bindResult(m_db, sqlite3_bind_null(m_stmt, index));
}

Status Statement::step(bool& hasRow)
{
    hasRow = false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        hasRow = true;
        return {};
    }
    if (rc == SQLITE_DONE)
        return {};
    Status failure = sqliteFailure(m_db, rc);
    // A failed statement is reset at once so that it holds no lock and no snapshot.
    sqlite3_reset(m_stmt);
    return failure;
}

Status Statement::run()
{
    bool hasRow = true;
    while (hasRow) {
        if (Status s = step(hasRow); !s)
            return s;
    }
    return {};
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

void Statement::clearBindings()
{
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QVariant Statement::column(int index) const
{
    switch (sqlite3_column_type(m_stmt, index)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, index));
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
        const int size = sqlite3_column_bytes(m_stmt, index);
        return QVariant(QString::fromUtf8(text ? text : "", size));
    }
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_stmt, index));
        const int size = sqlite3_column_bytes(m_stmt, index);
        return QVariant(QByteArray(bytes ? bytes : "", size));
    }
    default:
        return QVariant();
    }
}

qint64 Statement::columnInt64(int index) const
{
    return sqlite3_column_int64(m_stmt, index);
}

bool Statement::columnIsNull(int index) const
{
    return sqlite3_column_type(m_stmt, index) == SQLITE_NULL;
}

QString Statement::columnName(int index) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, index));
}

} // namespace brevik::db
