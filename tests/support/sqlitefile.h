#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>

struct sqlite3;

namespace brevik::testing {

// A plain SQLite connection of the tests' own, apart from the program's database layer, so
// that what the checks see does not depend on the code they check. Tests read back what the
// program stored through it, and the drills' other program writes through it.
class SqliteFile
{
public:
    explicit SqliteFile(const QString& path, int busyTimeoutMs = 10000);
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;
    ~SqliteFile();

    [[nodiscard]] bool isOpen() const { return m_db != nullptr; }
    [[nodiscard]] QString error() const;

    // Runs SQL; false (see error()) when SQLite refused it. SQLITE_BUSY is reported as busy.
    bool exec(const QString& sql, bool* busy = nullptr);
    // Runs one statement with the values bound to ?1, ?2, ... (null, whole numbers, real
    // numbers and text); false (see error()) when SQLite refused it.
    bool run(const QString& sql, const QVariantList& values) { return query(sql, values, nullptr); }
    // Runs one statement as run() does and gives its rows: whole numbers as qint64, real
    // numbers as double, text as QString, null as a null QVariant.
    bool query(const QString& sql, const QVariantList& values, QList<QVariantList>* rows);
    [[nodiscard]] qint64 lastRowid() const;
    // The rows of a query, each row's values joined by TAB (null as "<null>").
    [[nodiscard]] QStringList rows(const QString& sql);
    // The first value of the first row, as text; empty when there is none.
    [[nodiscard]] QString value(const QString& sql);
    [[nodiscard]] qint64 number(const QString& sql) { return value(sql).toLongLong(); }

    void setBusyTimeout(int milliseconds);

private:
    sqlite3* m_db = nullptr;
    QString m_error;
};

} // namespace brevik::testing
