#include "otherprogram.h"

#include "drill.h"
#include "support/sqlitefile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cstdio>

namespace brevik::drill {
namespace {

constexpr int ShortHoldMs = 100;
constexpr int HoldEvery = 8;
constexpr int PauseMs = 5;
constexpr int LockWaitMs = 10000;

void print(const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

// One client with its account, address and contact, in one write transaction, the number
// being one more than the highest stored.
bool addClient(SqliteFile& db, bool patient, int serial, bool hold, qint64& waitedMs, QString& name)
{
    // An eager program asks for the lock again every fraction of a millisecond, so it gets in
    // between two of the import's commits; a patient one leaves the waiting to SQLite.
    QElapsedTimer waiting;
    waiting.start();
    bool busy = false;
    db.setBusyTimeout(patient ? LockWaitMs : 0);
    while (!db.exec(QStringLiteral("BEGIN IMMEDIATE"), &busy)) {
        if (!busy || patient || waiting.elapsed() > LockWaitMs)
            return false;
        QThread::usleep(200);
    }
    waitedMs = waiting.elapsed();
    const qint64 highest = db.number(QStringLiteral("SELECT MAX(CAST(ClientID AS INTEGER)) FROM CLIENT"));
    const QString number =
        QStringLiteral("%1").arg(std::max<qint64>(highest + 1, 100), 6, 10, QLatin1Char('0'));
    name = OtherProgramPrefix + QString::number(serial);
    const QString street = QStringLiteral("%1 Side Road r0").arg(serial);
    const QString contact = QStringLiteral("Clerk %1 r0").arg(serial);
    bool ok =
        db.run(QStringLiteral("INSERT INTO CLIENT (ClientID, Name, Addr1, Addr2, Addr3, City, State, Zip, "
                              "Phone, Contact, PastDue1, PastDue2, PastDue3, PastDue4, Tax, CreditLimit) "
                              "VALUES (?1, ?2, ?3, '', '', 'Elsewhere', 'NY', '10001', '555-0100', ?4, "
                              "7, 0, 0, 0, 1, 500)"),
               {number, name, street, contact});
    ok = ok && db.run(QStringLiteral("INSERT INTO CUSTOMERS (AcctNo, AcctName, Tax, MainPhone, CreditLimit, "
                                     "PastDue30, PastDue60, PastDue90, PastDue120, AcctTypeID) "
                                     "VALUES (?1, ?2, 1, '555-0100', 500, 7, 0, 0, 0, 'NET')"),
                      {number, name});
    const qint64 account = db.lastRowid();
    ok =
        ok && db.run(QStringLiteral("INSERT INTO ADDRESSES (CustomerID, AddressTypeID, AddressName, Street1, "
                                    "Street2, City, State, Zip, MainAddress) "
                                    "VALUES (?1, 'M', 'Main', ?2, '', 'Elsewhere', 'NY', '10001', 1)"),
                     {account, street});
    ok = ok &&
         db.run(QStringLiteral("INSERT INTO CONTACTS (CustomerID, Name, Phone) VALUES (?1, ?2, '555-0100')"),
                {account, contact});
    if (hold)
        QThread::msleep(ShortHoldMs);
    if (!ok || !db.exec(QStringLiteral("COMMIT"))) {
        db.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

int addClientsUntilStopped(const OtherProgram& options, SqliteFile& db)
{
    QFile log(options.logFile);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    int added = 0;
    int refused = 0;
    qint64 longestWait = 0;
    for (int serial = 1; !QFile::exists(options.stopFile); ++serial) {
        qint64 waited = 0;
        QString name;
        if (addClient(db, options.patient, serial, serial % HoldEvery == 0, waited, name)) {
            ++added;
            longestWait = std::max(longestWait, waited);
            log.write((customerRows(db, name).join(u'\n') + u'\n').toUtf8());
            log.flush();
        } else {
            ++refused;
        }
        QThread::msleep(PauseMs);
    }
    print(QStringLiteral(
              "other program: %1 clients added, %2 attempts refused, longest wait for the lock %3 ms")
              .arg(added)
              .arg(refused)
              .arg(longestWait));
    return 0;
}

int holdTheLock(const OtherProgram& options, SqliteFile& db)
{
    QElapsedTimer overall;
    overall.start();
    const QString committed = QStringLiteral("SELECT COUNT(*) FROM CLIENT WHERE Name NOT LIKE '%1%'")
                                  .arg(QString(OtherProgramPrefix));
    while (db.number(committed) == 0) {
        if (overall.elapsed() > 60000 || QFile::exists(options.stopFile))
            return 1;
        QThread::usleep(500);
    }
    // Between two of the import's commits the lock is free only for a moment: ask without pause.
    while (!db.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        if (overall.elapsed() > 60000 || QFile::exists(options.stopFile)) {
            print(QStringLiteral("other program: the lock never came free"));
            return 1;
        }
    }
    print(QStringLiteral("other program: holding the write lock with %1 customers committed")
              .arg(db.number(committed)));
    QThread::msleep(static_cast<unsigned long>(options.longHoldMs));
    db.exec(QStringLiteral("ROLLBACK"));
    return 0;
}

} // namespace

int runOtherProgram(const OtherProgram& options)
{
    SqliteFile db(options.database, 0);
    if (!db.isOpen()) {
        print(QStringLiteral("other program: cannot open %1: %2").arg(options.database, db.error()));
        return 1;
    }
    return options.longHoldMs > 0 ? holdTheLock(options, db) : addClientsUntilStopped(options, db);
}

} // namespace brevik::drill
