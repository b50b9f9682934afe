#include "drill.h"
#include "drillrun.h"
#include "otherprogram.h"
#include "support/sqlitefile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace brevik::drill {
namespace {

// Starts the other program in a process of its own: this executable, in its other role.
bool startOtherProgram(QProcess& process, const Workspace& work, int longHoldMs, bool patient = false)
{
    QStringList arguments{QStringLiteral("other-program"),
                          QStringLiteral("--database"),
                          work.database(),
                          QStringLiteral("--stop-file"),
                          work.file(QStringLiteral("stop")),
                          QStringLiteral("--log"),
                          work.file(QStringLiteral("other.log")),
                          QStringLiteral("--long-hold-ms"),
                          QString::number(longHoldMs)};
    if (patient)
        arguments << QStringLiteral("--patient");
    process.start(QCoreApplication::applicationFilePath(), arguments);
    return process.waitForStarted();
}

// Each run adds customers of its own, so that every run allocates client numbers while the
// other program allocates its own.
} // namespace

int concurrentDrill(const Options& options)
{
    Workspace work(options);
    if (!work.ready())
        return fail(QStringLiteral("no database could be created with %1").arg(options.tool));
    // Each run spans several commits, so that the other program writes in the midst of it.
    const Calibration calibration = calibrate(options, 4 * CommitIntervalMs);
    if (!calibration.failure.isEmpty())
        return fail(calibration.failure.first(), calibration.failure.mid(1));
    const int customers = calibration.customers;
    print(QStringLiteral("each run imports %1 customers, about %2 ms alone")
              .arg(customers)
              .arg(calibration.runMs));
    const QSet<QString> names = customerNames(1, customers * options.count);
    QProcess other;
    if (!startOtherProgram(other, work, 0, options.patient))
        return fail(QStringLiteral("the other program did not start"));
    {
        SqliteFile db(work.database());
        QElapsedTimer waited;
        waited.start();
        while (db.number(QStringLiteral("SELECT COUNT(*) FROM CLIENT")) == 0 && waited.elapsed() < 10000)
            QThread::msleep(5);
    }

    for (int run = 1; run <= options.count; ++run) {
        const int first = (run - 1) * customers + 1;
        if (!writeExport(work.exportFile(), first, first + customers - 1, run))
            return fail(QStringLiteral("the export could not be written"));
        const Workspace::Run result = work.run(work.importArguments());
        if (result.crashed || result.exitCode != 0 || !result.messages.isEmpty())
            return fail(QStringLiteral("run %1 did not complete (exit %2)").arg(run).arg(result.exitCode),
                        result.messages);
    }
    QFile(work.file(QStringLiteral("stop"))).open(QIODevice::WriteOnly);
    if (!other.waitForFinished(30000) || other.exitCode() != 0)
        return fail(QStringLiteral("the other program did not end well"));
    print(QString::fromLocal8Bit(other.readAllStandardOutput()).trimmed());

    SqliteFile db(work.database());
    const QStringList found = problems(db, names, OtherProgramPrefix);
    if (!found.isEmpty())
        return fail(QStringLiteral("after the runs"), found);
    const qint64 expected = qint64(customers) * options.count;
    if (storedCount(db, names) != expected)
        return fail(QStringLiteral("%1 of %2 customers stored").arg(storedCount(db, names)).arg(expected));

    // The other program's rows stand exactly as it committed them.
    QFile logFile(work.file(QStringLiteral("other.log")));
    if (!logFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("the other program left no log"));
    QStringList logged = QString::fromUtf8(logFile.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QStringList stored;
    const QString ours = QStringLiteral("Name LIKE '%1%'").arg(QString(OtherProgramPrefix));
    for (const QString& name : db.rows(QStringLiteral("SELECT Name FROM CLIENT WHERE ") + ours))
        stored += customerRows(db, name);
    logged.sort();
    stored.sort();
    if (logged.isEmpty() || logged != stored)
        return fail(QStringLiteral("the other program's rows changed: %1 rows logged, %2 stored")
                        .arg(logged.size())
                        .arg(stored.size()));
    // Numbers the other program took while an import was adding clients: they lie between the
    // numbers of one run's first and last customer.
    qint64 amidst = 0;
    for (int run = 1; run <= options.count; ++run) {
        const QString runNames = QStringLiteral("Addr1 LIKE '%% r%1' AND NOT (%2)").arg(run).arg(ours);
        amidst += db.number(
            QStringLiteral("SELECT COUNT(*) FROM CLIENT WHERE %1 AND ClientID > (SELECT MIN(ClientID) "
                           "FROM CLIENT WHERE %2) AND ClientID < (SELECT MAX(ClientID) FROM "
                           "CLIENT WHERE %2)")
                .arg(ours, runNames));
    }
    if (amidst == 0)
        return fail(QStringLiteral("the other program never numbered a client in the midst of a run"));
    print(QStringLiteral(
              "concurrent runs: %1 of %1 completed beside another program (%2 of its clients numbered "
              "in the midst of a run); no client number twice, its %3 rows untouched")
              .arg(options.count)
              .arg(amidst)
              .arg(stored.size()));
    return 0;
}

int lockedDrill(const Options& options)
{
    const int holdMs = 6500; // beyond the writer's busy timeout of 5 s
    const QSet<QString> names = customerNames(1, options.customers);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        Workspace work(options);
        if (!work.ready() || !writeExport(work.exportFile(), 1, options.customers, 1))
            return fail(QStringLiteral("no database could be created with %1").arg(options.tool));
        QProcess other;
        if (!startOtherProgram(other, work, holdMs))
            return fail(QStringLiteral("the other program did not start"));
        const Workspace::Run run = work.run(work.importArguments());
        QFile(work.file(QStringLiteral("stop"))).open(QIODevice::WriteOnly);
        other.waitForFinished(30000);
        const QString otherSays = QString::fromLocal8Bit(other.readAllStandardOutput()).trimmed();
        if (run.exitCode == 0 && !run.crashed) {
            print(QStringLiteral("attempt %1: the import ended before the other program took the lock")
                      .arg(attempt));
            continue;
        }
        print(otherSays);
        if (run.crashed || run.exitCode != 1 || run.messages.size() != 1 ||
            !run.messages.first().contains(QStringLiteral("locked")))
            return fail(
                QStringLiteral("the stopped run did not say once that the database is locked (exit %1)")
                    .arg(run.exitCode),
                run.messages);
        SqliteFile db(work.database());
        const QStringList found = problems(db, names, QString());
        if (!found.isEmpty())
            return fail(QStringLiteral("after the stopped run"), found);
        const qint64 stored = storedCount(db, names);
        const qint64 atLock = otherSays.section(u' ', 7, 7).toLongLong();
        if (stored != atLock || stored == 0)
            return fail(
                QStringLiteral("%1 customers stored, %2 when the lock was taken").arg(stored).arg(atLock));
        print(run.messages.first());
        print(QStringLiteral(
                  "lock beyond the busy timeout: the run stopped with one message; %1 of %2 customers "
                  "committed before it, every one whole")
                  .arg(stored)
                  .arg(options.customers));
        return 0;
    }
    return fail(QStringLiteral("the other program never took the lock during an import"));
}

} // namespace brevik::drill
