#include "statement.h"

#include "sqliteerror.h"
#include "utf8.h"

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
    , m_texts(std::move(other.m_texts))
{}

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        sqlite3_finalize(m_stmt);
        m_db = std::exchange(other.m_db, nullptr);
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_texts = std::move(other.m_texts);
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

bool Statement::isSignedWholeNumber(int metaTypeId)
{
    switch (metaTypeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

Status Statement::bind(int index, const QVariant& value)
{
    if (value.isNull()) // an invalid variant is null too
        return bindNull(index);
    const int type = value.typeId();
    // The writer binds text and whole numbers by the thousand: those go first.
    if (type == QMetaType::QString)
        return bindText(index, *static_cast<const QString*>(value.constData()));
    if (type == QMetaType::LongLong)
        return bindInt64(index, *static_cast<const qlonglong*>(value.constData()));
    if (isSignedWholeNumber(type))
        return bindInt64(index, value.toLongLong());
    switch (type) {
    case QMetaType::Bool:
        return bindInt64(index, value.toBool() ? 1 : 0);
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
        return bindText(index, *static_cast<const QString*>(value.constData()));
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

Status Statement::bindText(int index, QStringView text)
{
    if (index < 1 || index > sqlite3_bind_parameter_count(m_stmt))
        return bindResult(m_db, sqlite3_bind_null(m_stmt, index)); // SQLite names the error
    if (m_texts.size() < std::size_t(index))
        m_texts.resize(std::size_t(index));
    // SQLite reads the text where it is, so the buffer must stay as it is while it is bound;
    // it is rewritten only here, just before the parameter is bound anew.
    QByteArray& utf8 = m_texts[std::size_t(index) - 1];
    utf8.resize(text.size() * 3);
    const qsizetype size = writeUtf8(text, utf8.data()) - utf8.constData();
    // A null pointer would store null; empty text must stay zero-length text.
    const char* data = size == 0 ? "" : utf8.constData();
    return bindResult(
        m_db, sqlite3_bind_text64(m_stmt, index, data, sqlite3_uint64(size), SQLITE_STATIC, SQLITE_UTF8));
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

Statement::ColumnType Statement::columnType(int index) const
{
    return ColumnType(sqlite3_column_type(m_stmt, index));
}

double Statement::columnDouble(int index) const
{
    return sqlite3_column_double(m_stmt, index);
}

QByteArrayView Statement::columnBytes(int index) const
{
    // The pointer first, then the size, as SQLite asks: taking the pointer may convert the value.
    const void* data = sqlite3_column_type(m_stmt, index) == SQLITE_TEXT
                           ? static_cast<const void*>(sqlite3_column_text(m_stmt, index))
                           : sqlite3_column_blob(m_stmt, index);
    const int size = sqlite3_column_bytes(m_stmt, index);
    return data ? QByteArrayView(static_cast<const char*>(data), size) : QByteArrayView();
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
