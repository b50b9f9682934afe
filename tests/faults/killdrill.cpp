#include "drill.h"
#include "drillrun.h"
#include "sqlitefile.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

namespace brevik::drill {

// Kills the tool at random moments of an import; after each kill the database must be sound
// and every customer whole or absent, and a last run completes the list with no client twice.
int killDrill(const Options& options)
{
    Workspace work(options);
    if (!work.ready())
        return fail(QStringLiteral("no database could be created with %1").arg(options.tool));
    const QSet<QString> names = customerNames(1, options.customers);

    // How long a whole run takes here, so the kills fall anywhere within one.
    qint64 runMs = 0;
    {
        Workspace calibration(options);
        if (!calibration.ready() || !writeExport(calibration.exportFile(), 1, options.customers, 0))
            return fail(QStringLiteral("the calibration run could not be prepared"));
        QElapsedTimer timer;
        timer.start();
        const Workspace::Run run = calibration.run(calibration.importArguments());
        runMs = timer.elapsed();
        if (run.exitCode != 0 || !run.messages.isEmpty())
            return fail(QStringLiteral("the calibration run did not complete"), run.messages);
    }
    print(QStringLiteral("a whole import of %1 customers takes %2 ms").arg(options.customers).arg(runMs));

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
        const int last =
            int(std::min<qint64>(options.customers, qint64(options.customers) * round / growing));
        if (!writeExport(work.exportFile(), 1, last, round))
            return fail(QStringLiteral("the export could not be written"));
        // A shorter export ends sooner, though never sooner than the start of the program.
        const qint64 window = std::max(runMs * last / options.customers, runMs / 3) * 11 / 10;
        const auto at = static_cast<unsigned long>(random.bounded(int(window) + 1));
        QProcess process;
        process.start(options.tool, work.importArguments());
        if (!process.waitForStarted())
            return fail(QStringLiteral("%1 did not start").arg(options.tool));
        QThread::msleep(at);
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
        ++survived;
        const qint64 rewritten =
            db.number(QStringLiteral("SELECT COUNT(*) FROM CLIENT WHERE Addr1 LIKE '% r%1'").arg(round));
        print(QStringLiteral(
                  "kill %1 at %2 ms into a run of %3 customers: %4 of %5 stored, %6 of them written by "
                  "this run, every one whole")
                  .arg(survived)
                  .arg(at)
                  .arg(last)
                  .arg(storedCount(db, names))
                  .arg(options.customers)
                  .arg(rewritten));
    }
    if (survived < options.count)
        return fail(QStringLiteral("only %1 of %2 kills fell within a run").arg(survived).arg(options.count));

    ++round;
    if (!writeExport(work.exportFile(), 1, options.customers, round))
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
    if (stored != options.customers || storedCount(db, names) != options.customers || current != stored)
        return fail(
            QStringLiteral("the last run left %1 clients, %2 of them from its own export, for %3 customers")
                .arg(stored)
                .arg(current)
                .arg(options.customers));
    const int backups = QDir(work.data()).entryList({QStringLiteral("zrdata-*.mdb.bak")}, QDir::Files).size();
    print(QStringLiteral("the last run stored all %1 customers, each once; %2 backups kept")
              .arg(options.customers)
              .arg(backups));
    print(QStringLiteral("kills survived: %1 of %1").arg(survived));
    return 0;
}

} // namespace brevik::drill
