#include "tableinfo.h"

#include "database.h"
#include "recordset.h"

#include <utility>

namespace brevik::db {

QString quoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' % quoted % u'"';
}

TableInfo::TableInfo(QString name, QStringList columns)
    : m_name(std::move(name))
    , m_columns(std::move(columns))
    , m_quotedTable(quoteIdentifier(m_name))
{
    m_quotedColumns.reserve(m_columns.size());
    m_latinColumns.reserve(std::size_t(m_columns.size()));
    for (const QString& column : std::as_const(m_columns)) {
        m_quotedColumns.append(quoteIdentifier(column));
        // A name beyond Latin-1 is never asked for by a Latin-1 name; '\0' keeps it unmatched.
        bool latin = true;
        for (const QChar c : column)
            latin = latin && c.unicode() < 0x100 && c.unicode() != 0;
        m_latinColumns.push_back(latin ? column.toLatin1() : QByteArray(1, '\0'));
    }
    for (const QString& candidate :
         {QStringLiteral("rowid"), QStringLiteral("_rowid_"), QStringLiteral("oid")}) {
        if (!m_columns.contains(candidate, Qt::CaseInsensitive)) {
            m_rowid = candidate;
            break;
        }
    }
}

static char foldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Field names are short: a loop beats a call to memcmp.
static bool sameBytes(const QByteArray& column, const char* name, qsizetype size)
{
    if (column.size() != size)
        return false;
    const char* have = column.constData();
    for (qsizetype i = 0; i < size; ++i) {
        if (have[i] != name[i])
            return false;
    }
    return true;
}

// Called for every field a writer sets or reads, so it compares bytes: SQLite folds only ASCII
// letters in names, and so does this.
int TableInfo::fieldIndex(QLatin1StringView name) const
{
    const qsizetype size = name.size();
    const char* wanted = name.data();
    // Literals lie a few bytes apart: the address is mixed before it picks a slot.
    const quint64 mixed = quint64(reinterpret_cast<quintptr>(wanted)) * 0x9E3779B97F4A7C15ULL;
    RecentField& recent = m_recentFields[std::size_t(mixed >> 58)];
    if (recent.name == wanted && recent.index >= 0 &&
        sameBytes(m_latinColumns[std::size_t(recent.index)], wanted, size))
        return recent.index;
    const int index = searchField(name);
    // Only names spelt exactly as the table spells them are remembered, so a hit needs no folding.
    if (index >= 0 && sameBytes(m_latinColumns[std::size_t(index)], wanted, size))
        recent = {wanted, index};
    return index;
}

int TableInfo::searchField(QLatin1StringView name) const
{
    const qsizetype size = name.size();
    const char* wanted = name.data();
    for (std::size_t i = 0; i < m_latinColumns.size(); ++i) {
        const QByteArray& column = m_latinColumns[i];
        if (column.size() != size)
            continue;
        const char* have = column.constData();
        qsizetype at = 0;
        while (at < size && (have[at] == wanted[at] || foldAscii(have[at]) == foldAscii(wanted[at])))
            ++at;
        if (at == size)
            return int(i);
    }
    return -1;
}

QString TableInfo::buildQuery(Query query) const
{
    switch (query) {
    case Query::First:
        return u"SELECT " % m_rowid % u" FROM " % m_quotedTable % u" ORDER BY " % m_rowid % u" LIMIT 1";
    case Query::Last:
        return u"SELECT " % m_rowid % u" FROM " % m_quotedTable % u" ORDER BY " % m_rowid % u" DESC LIMIT 1";
    case Query::Next:
        return u"SELECT " % m_rowid % u" FROM " % m_quotedTable % u" WHERE " % m_rowid % u" > ?1 ORDER BY " %
               m_rowid % u" LIMIT 1";
    case Query::Count:
        return u"SELECT count(*) FROM " % m_quotedTable;
    case Query::Row: {
        QString fields = m_rowid;
        for (const QString& column : m_quotedColumns)
            fields += u", " % column;
        return u"SELECT " % fields % u" FROM " % m_quotedTable % u" WHERE " % m_rowid % u" = ?1";
    }
    }
    return {};
}

QString TableInfo::buildFind(const FindShape& shape, bool afterCurrent) const
{
    QStringList terms;
    int parameter = 0;
    for (const int code : shape) {
        const QString& field = m_quotedColumns.at(code / 3);
        switch (Recordset::Criterion::Test(code % 3)) {
        case Recordset::Criterion::Test::Equals:
            // BINARY keeps the comparison exact even on a field declared with another collation.
            terms.append(field % u" = ?" % QString::number(++parameter) % u" COLLATE BINARY");
            break;
        case Recordset::Criterion::Test::TrimmedEquals:
            terms.append(u"trim(" % field % u", ' ') = ?" % QString::number(++parameter));
            break;
        case Recordset::Criterion::Test::IsTrue:
            terms.append(field % u" <> 0");
            break;
        }
    }
    if (afterCurrent)
        terms.append(m_rowid % u" > ?" % QString::number(++parameter));
    QString sql = u"SELECT " % m_rowid % u" FROM " % m_quotedTable;
    if (!terms.isEmpty())
        sql += u" WHERE " % terms.join(QStringLiteral(" AND "));
    return sql % u" ORDER BY " % m_rowid % u" LIMIT 1";
}

QString TableInfo::buildInsert(const FieldSet& fields) const
{
    QStringList names;
    QStringList parameters;
    for (qsizetype i = 0; i < m_quotedColumns.size(); ++i) {
        if (contains(fields, int(i))) {
            names.append(m_quotedColumns.at(i));
            parameters.append(u'?' % QString::number(parameters.size() + 1));
        }
    }
    if (names.isEmpty())
        return u"INSERT INTO " % m_quotedTable % u" DEFAULT VALUES";
    return u"INSERT INTO " % m_quotedTable % u" (" % names.join(QStringLiteral(", ")) % u") VALUES (" %
           parameters.join(QStringLiteral(", ")) % u')';
}

QString TableInfo::buildUpdate(const FieldSet& fields) const
{
    QStringList assignments;
    for (qsizetype i = 0; i < m_quotedColumns.size(); ++i) {
        if (contains(fields, int(i)))
            assignments.append(m_quotedColumns.at(i) % u" = ?" % QString::number(assignments.size() + 1));
    }
    return u"UPDATE " % m_quotedTable % u" SET " % assignments.join(QStringLiteral(", ")) % u" WHERE " %
           m_rowid % u" = ?" % QString::number(assignments.size() + 1);
}

Status TableInfo::query(Database& db, Query query, Statement*& out)
{
    Statement*& slot = m_queries[std::size_t(query)];
    if (!slot) {
        if (Status s = db.cached(buildQuery(query), slot); !s)
            return s;
    }
    slot->reset();
    out = slot;
    return {};
}

Status TableInfo::find(Database& db, const FindShape& shape, bool afterCurrent, Statement*& out)
{
    for (const FindEntry& entry : m_finds) {
        if (entry.afterCurrent == afterCurrent && entry.shape == shape) {
            entry.statement->reset();
            out = entry.statement;
            return {};
        }
    }
    Statement* statement = nullptr;
    if (Status s = db.cached(buildFind(shape, afterCurrent), statement); !s)
        return s;
    m_finds.push_back({shape, afterCurrent, statement});
    out = statement;
    return {};
}

Status TableInfo::write(Database& db, std::vector<WriteEntry>& entries, WriteBuilder build,
                        const FieldSet& fields, Statement*& out)
{
    for (const WriteEntry& entry : entries) {
        if (entry.fields == fields) {
            entry.statement->reset();
            out = entry.statement;
            return {};
        }
    }
    Statement* statement = nullptr;
    if (Status s = db.cached((this->*build)(fields), statement); !s)
        return s;
    entries.push_back({fields, statement});
    out = statement;
    return {};
}

Status TableInfo::insert(Database& db, const FieldSet& fields, Statement*& out)
{
    return write(db, m_inserts, &TableInfo::buildInsert, fields, out);
}

Status TableInfo::update(Database& db, const FieldSet& fields, Statement*& out)
{
    return write(db, m_updates, &TableInfo::buildUpdate, fields, out);
}

QString TableInfo::scanSql(int field) const
{
    return u"SELECT " % m_rowid % u", " % m_quotedColumns.at(field) % u" FROM " % m_quotedTable %
           u" ORDER BY " % m_rowid;
}

} // namespace brevik::db
