#include "drill.h"
#include "drillrun.h"
#include "support/sqlitefile.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>

#include <array>

namespace brevik::drill {
namespace {

// One of the two imports of a round: its own export and database, the shared QuickBooks folder.
struct Side
{
    QString exportFile;
    QString data;
    QSet<QString> names; // the customers of its export
    QProcess process;
    Workspace::Run result;
};

QStringList importArguments(const Side& side, const QString& quickBooksFolder)
{
    return {QStringLiteral("import"),
            side.exportFile,
            QStringLiteral("--data-folder"),
            side.data,
            QStringLiteral("--quickbooks-folder"),
            quickBooksFolder,
            QStringLiteral("--qb-version"),
            QStringLiteral("1")};
}

// What went wrong with one side: it stored a customer of the other's export, or it completed
// without all of its own.
QStringList swapsOf(const Side& side, const Side& other)
{
    QStringList found;
    SqliteFile db(side.data + QStringLiteral("/zrdata.mdb"));
    const QStringList stored = db.rows(QStringLiteral("SELECT Name FROM CLIENT"));
    qint64 own = 0;
    for (const QString& name : stored) {
        if (other.names.contains(name))
            found.append(QStringLiteral("stored %1 of the other export").arg(name));
        own += side.names.contains(name) ? 1 : 0;
    }
    if (side.result.exitCode == 0 && own != side.names.size())
        found.append(QStringLiteral("completed with %1 of its %2 customers").arg(own).arg(side.names.size()));
    return found;
}

bool stoppedByTheLock(const Side& side)
{
    return side.result.exitCode == 1 && side.result.messages.size() == 1 &&
           side.result.messages.first().startsWith(
               u"brevik-import: Another import is using the QuickBooks folder");
}

} // namespace

// Two imports of different exports into different databases, sharing one QuickBooks folder and
// started together, round after round. Neither may import the other's QBCUST.TXT: each either
// imports its own export whole, or stops at once because the other holds the folder.
int raceDrill(const Options& options)
{
    const quint32 seed = options.seed ? options.seed : QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    print(QStringLiteral("%1 rounds of two imports of %2 customers each into one QuickBooks folder; "
                         "start offsets from seed %3 (--seed repeats them)")
              .arg(options.count)
              .arg(options.customers)
              .arg(seed));
    int clean = 0;
    int bothImported = 0;
    int oneStopped = 0;
    for (int round = 1; round <= options.count; ++round) {
        QTemporaryDir dir;
        const QString quickBooks = dir.filePath(QStringLiteral("qb"));
        QDir(dir.path()).mkpath(QStringLiteral("qb"));
        std::array<Side, 2> sides;
        for (int i = 0; i < 2; ++i) {
            Side& side = sides.at(std::size_t(i));
            const int first = 1 + i * options.customers;
            const int last = first + options.customers - 1;
            side.exportFile = dir.filePath(QStringLiteral("export%1.iif").arg(i));
            side.data = dir.filePath(QStringLiteral("data%1").arg(i));
            side.names = customerNames(first, last);
            QDir(dir.path()).mkpath(QStringLiteral("data%1").arg(i));
            QProcess create;
            create.start(options.tool, {QStringLiteral("create-database"), side.data});
            if (!writeExport(side.exportFile, first, last, round) || !create.waitForFinished() ||
                create.exitCode() != 0)
                return fail(QStringLiteral("round %1 could not be prepared").arg(round));
        }
        // The second starts within a few milliseconds of the first, either way round.
        const int offsetMs = int(random.bounded(4));
        const std::size_t early = random.bounded(2);
        sides.at(early).process.start(options.tool, importArguments(sides.at(early), quickBooks));
        QThread::msleep(unsigned(offsetMs));
        sides.at(1 - early).process.start(options.tool, importArguments(sides.at(1 - early), quickBooks));
        for (Side& side : sides) {
            if (!side.process.waitForFinished(120000)) {
                side.process.kill();
                side.process.waitForFinished();
            }
            side.result = Workspace::finished(side.process);
            if (side.result.crashed)
                return fail(QStringLiteral("round %1: an import crashed or hung").arg(round));
        }
        const QStringList swaps = swapsOf(sides[0], sides[1]) + swapsOf(sides[1], sides[0]);
        const bool bothDone = sides[0].result.exitCode == 0 && sides[1].result.exitCode == 0;
        const bool oneLocked = stoppedByTheLock(sides[0]) != stoppedByTheLock(sides[1]);
        QString outcome = bothDone    ? QStringLiteral("both imported their own export")
                          : oneLocked ? QStringLiteral("one imported, the other stopped by the lock")
                                      : QStringLiteral("unexpected exit statuses %1 and %2")
                                            .arg(sides[0].result.exitCode)
                                            .arg(sides[1].result.exitCode);
        if (swaps.isEmpty() && (bothDone || oneLocked)) {
            ++clean;
            bothImported += bothDone ? 1 : 0;
            oneStopped += oneLocked ? 1 : 0;
        } else {
            outcome =
                QStringLiteral("SWAPPED: ") +
                (swaps + sides[0].result.messages + sides[1].result.messages).join(QStringLiteral("; "));
        }
        print(
            QStringLiteral("round %1 (second start after %2 ms): %3").arg(round).arg(offsetMs).arg(outcome));
    }
    print(QStringLiteral("rounds without a swap: %1 of %2 (both imported: %3, one stopped by the lock: %4)")
              .arg(clean)
              .arg(options.count)
              .arg(bothImported)
              .arg(oneStopped));
    return clean == options.count ? 0 : 1;
}

} // namespace brevik::drill
