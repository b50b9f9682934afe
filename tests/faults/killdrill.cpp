#include "drill.h"
#include "drillrun.h"
#include "support/sqlitefile.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

namespace brevik::drill {

// Kills the tool at random moments of an import, each after the run's first commit; after each
// kill the database must be sound and every customer whole or absent, and a last run completes
// the list with no client twice.
int killDrill(const Options& options)
{
    Workspace work(options);
    if (!work.ready())
        return fail(QStringLiteral("no database could be created with %1").arg(options.tool));

    // A whole run spans several commits, so that kills fall between them.
    const Calibration calibration = calibrate(options, 6 * CommitIntervalMs);
    if (!calibration.failure.isEmpty())
        return fail(calibration.failure.first(), calibration.failure.mid(1));
    const int customers = calibration.customers;
    const qint64 runMs = calibration.runMs;
    const QSet<QString> names = customerNames(1, customers);
    print(QStringLiteral("a whole import of %1 customers takes %2 ms").arg(customers).arg(runMs));

    const quint32 seed = options.seed ? options.seed : QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    print(QStringLiteral("kill moments from seed %1 (--seed repeats them)").arg(seed));
    int survived = 0;
    int round = 0;
    for (int attempt = 0; survived < options.count && attempt < options.count * 3; ++attempt) {
        ++round;
        // The export grows over the first half of the rounds, so that kills fall among new
        // customers as well as among customers being rewritten.
        const int growing = std::max(1, options.count / 2);
        const int last = int(std::min<qint64>(customers, qint64(customers) * round / growing));
        if (!writeExport(work.exportFile(), 1, last, round))
            return fail(QStringLiteral("the export could not be written"));
        // A shorter export ends sooner, though never sooner than the start of the program.
        const qint64 window = std::max(runMs * last / customers, runMs / 3) * 11 / 10;
        const QString ofThisRound =
            QStringLiteral("SELECT COUNT(*) FROM CLIENT WHERE Addr1 LIKE '% r%1'").arg(round);
        QProcess process;
        QElapsedTimer sinceStart;
        sinceStart.start();
        process.start(options.tool, work.importArguments());
        if (!process.waitForStarted())
            return fail(QStringLiteral("%1 did not start").arg(options.tool));
        // The kill waits for the run's first commit to show, then falls anywhere in the rest.
        {
            SqliteFile watch(work.database());
            while (process.state() == QProcess::Running && watch.number(ofThisRound) == 0 &&
                   sinceStart.elapsed() < 4 * window)
                QThread::msleep(2);
        }
        const qint64 committedAt = sinceStart.elapsed();
        const qint64 left = std::max<qint64>(window - committedAt, 1);
        QThread::msleep(static_cast<unsigned long>(random.bounded(int(left) + 1)));
        const qint64 at = sinceStart.elapsed();
        process.kill(); // SIGKILL
        process.waitForFinished();
        const bool killed = process.exitStatus() == QProcess::CrashExit;

        SqliteFile db(work.database());
        const QStringList found = problems(db, names, QString());
        if (!found.isEmpty())
            return fail(QStringLiteral("after a kill at %1 ms").arg(at), found);
        if (!killed) {
            print(QStringLiteral("round %1: the run ended before the kill at %2 ms").arg(round).arg(at));
            continue;
        }
        const qint64 rewritten = db.number(ofThisRound);
        if (rewritten == 0)
            return fail(QStringLiteral("the kill at %1 ms fell before the run's first commit").arg(at));
        ++survived;
        print(QStringLiteral(
                  "kill %1 at %2 ms into a run of %3 customers, after its first commit at %4 ms: %5 of %6 "
                  "stored, %7 of them written by this run, every one whole")
                  .arg(survived)
                  .arg(at)
                  .arg(last)
                  .arg(committedAt)
                  .arg(storedCount(db, names))
                  .arg(customers)
                  .arg(rewritten));
    }
    if (survived < options.count)
        return fail(QStringLiteral("only %1 of %2 kills fell within a run").arg(survived).arg(options.count));

    ++round;
    if (!writeExport(work.exportFile(), 1, customers, round))
        return fail(QStringLiteral("the export could not be written"));
    const Workspace::Run last = work.run(work.importArguments());
    if (last.crashed || last.exitCode != 0 || !last.messages.isEmpty())
        return fail(QStringLiteral("the last run did not complete (exit %1)").arg(last.exitCode),
                    last.messages);
    SqliteFile db(work.database());
    const QStringList found = problems(db, names, QString());
    if (!found.isEmpty())
        return fail(QStringLiteral("after the last run"), found);
    const qint64 stored = db.number(QStringLiteral("SELECT COUNT(*) FROM CLIENT"));
    const qint64 current =
        db.number(QStringLiteral("SELECT COUNT(*) FROM CLIENT WHERE Addr1 LIKE '% r%1'").arg(round));
    if (stored != customers || storedCount(db, names) != customers || current != stored)
        return fail(
            QStringLiteral("the last run left %1 clients, %2 of them from its own export, for %3 customers")
                .arg(stored)
                .arg(current)
                .arg(customers));
    const int backups = QDir(work.data()).entryList({QStringLiteral("zrdata-*.mdb.bak")}, QDir::Files).size();
    print(QStringLiteral("the last run stored all %1 customers, each once; %2 backups kept")
              .arg(customers)
              .arg(backups));
    print(QStringLiteral("kills survived: %1 of %1").arg(survived));
    return 0;
}

} // namespace brevik::drill
