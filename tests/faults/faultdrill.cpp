// Drills that prove an import never costs the operator a row: killed at random moments, run
// while another program writes, stopped by a lock held beyond the busy timeout.
//
//   faultdrill kill       --tool BREVIK_IMPORT [--customers N] [--kills N] [--seed N]
//   faultdrill concurrent --tool BREVIK_IMPORT [--customers N] [--runs N]
//   faultdrill locked     --tool BREVIK_IMPORT [--customers N]
//
// Each prints a line per step and a last line with its figure; exit status 0 when nothing was
// lost or half written.

#include "drill.h"
#include "otherprogram.h"
#include "sqlitefile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace brevik::drill;

namespace {

void print(const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

int fail(const QString& why, const QStringList& details = {})
{
    print(QStringLiteral("FAILED: ") + why);
    for (const QString& detail : details)
        print(QStringLiteral("  ") + detail);
    return 1;
}

struct Options
{
    QString tool;
    int customers = 3000;
    int count = 20;
    quint32 seed = 0;
};

// A data folder with a new zrdata.mdb, a QuickBooks folder and the export, in a folder of its own.
class Workspace
{
public:
    explicit Workspace(const Options& options)
        : m_options(options)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("data"));
        QDir(m_dir.path()).mkpath(QStringLiteral("qb"));
    }

    [[nodiscard]] bool ready()
    {
        return m_dir.isValid() && run({QStringLiteral("create-database"), data()}).exitCode == 0;
    }
    [[nodiscard]] QString data() const { return m_dir.filePath(QStringLiteral("data")); }
    [[nodiscard]] QString database() const { return m_dir.filePath(QStringLiteral("data/zrdata.mdb")); }
    [[nodiscard]] QString exportFile() const { return m_dir.filePath(QStringLiteral("export.iif")); }
    [[nodiscard]] QString file(const QString& name) const { return m_dir.filePath(name); }

    [[nodiscard]] QStringList importArguments() const
    {
        return {QStringLiteral("import"),
                exportFile(),
                QStringLiteral("--data-folder"),
                data(),
                QStringLiteral("--quickbooks-folder"),
                m_dir.filePath(QStringLiteral("qb")),
                QStringLiteral("--qb-version"),
                QStringLiteral("1")};
    }

    struct Run
    {
        int exitCode = -1;
        bool crashed = false;
        QStringList messages;
    };
    [[nodiscard]] Run run(const QStringList& arguments) const
    {
        QProcess process;
        process.start(m_options.tool, arguments);
        Run result;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            result.crashed = true;
            return result;
        }
        return finished(process);
    }
    [[nodiscard]] static Run finished(QProcess& process)
    {
        Run result;
        result.crashed = process.exitStatus() != QProcess::NormalExit;
        result.exitCode = process.exitCode();
        result.messages =
            QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        return result;
    }

private:
    const Options& m_options;
    QTemporaryDir m_dir;
};

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

    QRandomGenerator random(options.seed ? options.seed : QRandomGenerator::global()->generate());
    int survived = 0;
    int round = 0;
    for (int attempt = 0; survived < options.count && attempt < options.count * 3; ++attempt) {
        ++round;
        if (!writeExport(work.exportFile(), 1, options.customers, round))
            return fail(QStringLiteral("the export could not be written"));
        const auto at = static_cast<unsigned long>(random.bounded(int(runMs * 11 / 10) + 1));
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
                  "kill %1 at %2 ms: %3 of %4 customers stored, %5 of them by this run, every one whole")
                  .arg(survived)
                  .arg(at)
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

// Starts the other program in a process of its own: this executable, in its other role.
bool startOtherProgram(QProcess& process, const Workspace& work, int longHoldMs)
{
    process.start(QCoreApplication::applicationFilePath(),
                  {QStringLiteral("other-program"), QStringLiteral("--database"), work.database(),
                   QStringLiteral("--stop-file"), work.file(QStringLiteral("stop")), QStringLiteral("--log"),
                   work.file(QStringLiteral("other.log")), QStringLiteral("--long-hold-ms"),
                   QString::number(longHoldMs)});
    return process.waitForStarted();
}

// Each run adds customers of its own, so that every run allocates client numbers while the
// other program allocates its own.
int concurrentDrill(const Options& options)
{
    Workspace work(options);
    if (!work.ready())
        return fail(QStringLiteral("no database could be created with %1").arg(options.tool));
    const QSet<QString> names = customerNames(1, options.customers * options.count);
    QProcess other;
    if (!startOtherProgram(other, work, 0))
        return fail(QStringLiteral("the other program did not start"));
    {
        SqliteFile db(work.database());
        QElapsedTimer waited;
        waited.start();
        while (db.number(QStringLiteral("SELECT COUNT(*) FROM CLIENT")) == 0 && waited.elapsed() < 10000)
            QThread::msleep(5);
    }

    for (int run = 1; run <= options.count; ++run) {
        const int first = (run - 1) * options.customers + 1;
        if (!writeExport(work.exportFile(), first, first + options.customers - 1, run))
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
    const qint64 expected = qint64(options.customers) * options.count;
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

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("drill"), QStringLiteral("kill, concurrent or locked"));
    const QCommandLineOption tool(QStringLiteral("tool"), QStringLiteral("brevik-import"),
                                  QStringLiteral("path"));
    const QCommandLineOption customers(QStringLiteral("customers"), QStringLiteral("customers"),
                                       QStringLiteral("n"));
    const QCommandLineOption kills(QStringLiteral("kills"), QStringLiteral("kills"), QStringLiteral("n"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("runs"), QStringLiteral("n"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("random seed"), QStringLiteral("n"));
    const QCommandLineOption database(QStringLiteral("database"), QStringLiteral("zrdata.mdb"),
                                      QStringLiteral("path"));
    const QCommandLineOption stopFile(QStringLiteral("stop-file"), QStringLiteral("stop file"),
                                      QStringLiteral("path"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("log file"), QStringLiteral("path"));
    const QCommandLineOption hold(QStringLiteral("long-hold-ms"), QStringLiteral("lock held"),
                                  QStringLiteral("ms"));
    parser.addOptions({tool, customers, kills, runs, seed, database, stopFile, log, hold});
    parser.process(app);

    const QString drill = parser.positionalArguments().value(0);
    if (drill == u"other-program")
        return runOtherProgram(
            {parser.value(database), parser.value(stopFile), parser.value(log), parser.value(hold).toInt()});

    Options options;
    options.tool = parser.value(tool);
    if (parser.isSet(customers))
        options.customers = parser.value(customers).toInt();
    options.seed = parser.value(seed).toUInt();
    if (drill == u"kill") {
        options.count = parser.isSet(kills) ? parser.value(kills).toInt() : 20;
        return killDrill(options);
    }
    if (drill == u"concurrent") {
        options.count = parser.isSet(runs) ? parser.value(runs).toInt() : 5;
        return concurrentDrill(options);
    }
    if (drill == u"locked") {
        if (!parser.isSet(customers))
            options.customers = 20000;
        return lockedDrill(options);
    }
    std::fputs(qPrintable(parser.helpText()), stderr);
    return 2;
}
