#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace brevik::bench {

// One customer as the import stores it: the row cut into the customer fields and the field
// rules applied (name cut to 40, state to 2, the telephone normalised), with the client
// number the allocation gives it in a fresh database. UTF-8, as the database holds text.
struct StoredCustomer
{
    QByteArray clientId;
    QByteArray name;
    QByteArray addr1;
    QByteArray addr2;
    QByteArray addr3;
    QByteArray city;
    QByteArray state;
    QByteArray zip;
    QByteArray clientPhone; // at most 13 characters
    QByteArray phone;       // the whole normalised telephone, for the account and the contact
    QByteArray contact;
    bool taxable = false;
};

// The customers of an export that the import writes, in the order it writes them; rows
// without a name write nothing and are left out.
[[nodiscard]] bool storedCustomers(const QString& exportFile, std::vector<StoredCustomer>& out,
                                   QString& error);

// How the engine's own limit is measured: every customer in one transaction, or each in its own.
enum class Commits
{
    OneTransaction,
    PerCustomer,
};

// What the engine settings of our own connections are, read from one of them.
struct EngineSettings
{
    QString journalMode;
    int synchronous = -1;
    qint64 cacheSize = 0;         // as PRAGMA cache_size gives it: pages, or KiB when negative
    qint64 walAutoCheckpoint = 0; // pages
};
[[nodiscard]] bool ourEngineSettings(const QString& databasePath, EngineSettings& out, QString& error);

// Inserts the four rows of every customer into the database (made by createDatabase) with
// prepared statements and bound values through the SQLite C API alone, on a connection set up
// as ours are. The seconds cover the inserts and their commits.
[[nodiscard]] bool insertRaw(const QString& databasePath, const std::vector<StoredCustomer>& customers,
                             Commits commits, double& seconds, double& cpuSeconds, qint64& writtenBytes,
                             QString& error);

} // namespace brevik::bench
