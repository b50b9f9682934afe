#pragma once

#include "support/sqlitefile.h"

#include "import/rules/customerfields.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

namespace brevik::testing {

// A zrdata.mdb of a test's own, filled and read back with plain SQL through a connection of
// the test's own, never through the program's database layer.
class TestDatabase
{
public:
    enum class Open
    {
        Create,
        Existing
    };
    // Creates folder/zrdata.mdb with the customer tables, or opens the one there.
    explicit TestDatabase(const QString& folder, Open how = Open::Create);

    [[nodiscard]] QString path() const { return m_path; }

    // Runs SQL with values bound to ?1, ?2, ...; fails the test on error.
    void exec(const QString& sql, const QVariantList& values = {});
    // Every row of a table in table order, rowid first.
    [[nodiscard]] QList<QVariantList> rows(const QString& table);
    [[nodiscard]] QVariant value(const QString& sql, const QVariantList& values = {});
    [[nodiscard]] qint64 count(const QString& table);

    // Adds one client with its account, address and contact; returns the account's key.
    qint64 addCustomer(const QString& clientId, const QString& name, const QString& contact = QString());

    // Closes the connection (so another can open the file alone).
    void close() { m_db.reset(); }

private:
    [[nodiscard]] QList<QVariantList> query(const QString& sql, const QVariantList& values);

    QString m_path;
    std::unique_ptr<SqliteFile> m_db;
};

// The customer fields with the given values, by index.
CustomerFields fieldsOf(const QString& name, const QString& phone = QString(),
                        const QString& state = QString(), const QString& contact = QString(),
                        const QString& tax = QString());

} // namespace brevik::testing
