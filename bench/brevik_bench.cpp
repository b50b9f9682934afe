// The import at scale, measured against what the storage engine itself can do on this machine
// in the same run. Every measured import runs in a child process of its own, through the
// same code as the tool's import command: the extraction, then the strip run with the writer.
// A plan of the same export against the database that the re-import met runs the same way, as
// the tool's plan command, and is set against that re-import.
//
// Usage: brevik_bench [--customers N] [--extract-mb M] [--seed S] [--dir FOLDER] [--no-per-customer]
//   N customers (100000 unless given), an export of M megabytes for the extraction (100),
//   working files in FOLDER (a temporary folder, removed at the end, unless given);
//   --no-per-customer leaves out the raw run with one transaction per customer (for quick looks).

#include "databasemeasures.h"
#include "filemeasures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

using namespace brevik::bench;

namespace {

struct Options
{
    qint64 customers = 100000;
    qint64 extractMegabytes = 100;
    quint64 seed = 20260101;
    QString folder;
    bool perCustomer = true; // the raw run with one transaction per customer, the longest part
};

double megabytes(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    const QList<QByteArray> parts = file.readAll().split(' ');
    return parts.size() >= 3 ? QString::fromLatin1(parts[0] + ' ' + parts[1] + ' ' + parts[2])
                             : QStringLiteral("unknown");
}

// ---- Report -----------------------------------------------------------------------------

template<typename Figures>
void printRow(const char* what, qint64 customers, const Figures& f, double rawRate, long peakRssKb)
{
    const double rate = double(customers) / f.seconds;
    std::printf("  %-40s %9.0f  %5.2f  %7.2f  %6.2f  %7.1f  %6.1f\n", what, rate, rate / rawRate, f.seconds,
                f.cpuSeconds, megabytes(f.writtenBytes), double(peakRssKb) / 1024.0);
}

bool parse(int argc, char* argv[], Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == "--customers" && hasValue)
            options.customers = QByteArray(argv[++i]).toLongLong();
        else if (arg == "--extract-mb" && hasValue)
            options.extractMegabytes = QByteArray(argv[++i]).toLongLong();
        else if (arg == "--seed" && hasValue)
            options.seed = QByteArray(argv[++i]).toULongLong();
        else if (arg == "--dir" && hasValue)
            options.folder = QString::fromLocal8Bit(argv[++i]);
        else if (arg == "--no-per-customer")
            options.perCustomer = false;
        else
            return false;
    }
    return options.customers >= 10 && options.extractMegabytes > 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const QString programFolder = QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath();
    Options options;
    if (!parse(argc, argv, options)) {
        std::fprintf(stderr, "usage: brevik_bench [--customers N (>= 10)] [--extract-mb M] [--seed S] "
                             "[--dir FOLDER] [--no-per-customer]\n");
        return 2;
    }
    std::optional<QTemporaryDir> temporary;
    if (options.folder.isEmpty()) {
        temporary.emplace();
        if (!temporary->isValid()) {
            std::fprintf(stderr, "brevik_bench: no temporary folder\n");
            return 1;
        }
        options.folder = temporary->path();
    } else if (!QDir().mkpath(options.folder)) {
        std::fprintf(stderr, "brevik_bench: cannot make %s\n", qPrintable(options.folder));
        return 1;
    }
    const auto in = [&](const QString& name) {
        return QDir(options.folder).filePath(name);
    };
    const qint64 n = options.customers;
    const qint64 small = n / 10;

    std::printf("Brevik import benchmark: N = %lld customers, seed %llu, in %s\n", static_cast<long long>(n),
                static_cast<unsigned long long>(options.seed), qPrintable(options.folder));
    std::printf("load average at start: %s\n", qPrintable(loadAverage()));

    const QString bigExport = in(QStringLiteral("export-n.iif"));
    const QString smallExport = in(QStringLiteral("export-n10.iif"));
    const QString extractExport = in(QStringLiteral("export-extract.iif"));
    const auto big = generate(bigExport, n, 0, options.seed);
    const auto little = big ? generate(smallExport, small, 0, options.seed) : std::nullopt;
    const auto large =
        little ? generate(extractExport, 0, options.extractMegabytes << 20, options.seed + 1) : std::nullopt;
    if (!large)
        return 1;
    std::printf("exports: N %lld rows (%.1f MB), N/10 %lld rows (%.1f MB), for the extraction %lld rows "
                "(%.1f MB)\n\n",
                static_cast<long long>(big->customers), megabytes(big->bytes),
                static_cast<long long>(little->customers), megabytes(little->bytes),
                static_cast<long long>(large->customers), megabytes(large->bytes));
    std::fflush(stdout);

    long rawRss = 0;
    const auto rawFirst =
        measureRaw(bigExport, in(QStringLiteral("raw-single-1")), Commits::OneTransaction, rawRss);
    if (!rawFirst)
        return 1;
    const auto fresh =
        measureImport(bigExport, in(QStringLiteral("qb")), in(QStringLiteral("data-n")), Target::Fresh);
    const auto again = fresh ? measureImport(bigExport, in(QStringLiteral("qb")),
                                             in(QStringLiteral("data-n")), Target::Filled)
                             : std::nullopt;
    const auto plan =
        again ? measurePlan(bigExport, in(QStringLiteral("data-n")), in(QStringLiteral("plan-work")))
              : std::nullopt;
    const auto smallRun = plan ? measureImport(smallExport, in(QStringLiteral("qb")),
                                               in(QStringLiteral("data-n10")), Target::Fresh)
                               : std::nullopt;
    if (!smallRun)
        return 1;
    const auto extraction = measureExtraction(extractExport, in(QStringLiteral("extract")));
    if (!extraction)
        return 1;
    const auto progress = measureWindowProgress(bigExport, in(QStringLiteral("progress")), programFolder);
    long rawSecondRss = 0;
    const auto rawSecond =
        measureRaw(bigExport, in(QStringLiteral("raw-single-2")), Commits::OneTransaction, rawSecondRss);
    if (!rawSecond)
        return 1;
    long rawEachRss = 0;
    std::optional<RawFigures> rawEach;
    if (options.perCustomer) {
        rawEach = measureRaw(bigExport, in(QStringLiteral("raw-each")), Commits::PerCustomer, rawEachRss);
        if (!rawEach)
            return 1;
    }

    // The engine's limit is the better of the two single-transaction runs.
    const double rawFirstRate = double(n) / rawFirst->seconds;
    const double rawSecondRate = double(n) / rawSecond->seconds;
    const double rawRate = std::max(rawFirstRate, rawSecondRate);
    std::printf(
        "engine settings of our connections, used by the raw runs too: journal_mode=%s synchronous=%d "
        "cache_size=%lld wal_autocheckpoint=%lld\n",
        rawFirst->journalMode, rawFirst->synchronous, static_cast<long long>(rawFirst->cacheSize),
        static_cast<long long>(rawFirst->walAutoCheckpoint));
    std::printf(
        "rates are customers of the export per second, with their ratio to the raw single-transaction\n"
        "rate; cpu s is the processor time and MB out the bytes written (the database, its journal\n"
        "and QBCUST.TXT) in the same measured span\n\n");
    std::printf("  %-40s %9s  %5s  %7s  %6s  %7s  %6s\n", "", "cust/s", "ratio", "seconds", "cpu s", "MB out",
                "RSS MB");
    printRow("raw C API, one transaction (first)", n, *rawFirst, rawRate, rawRss);
    printRow("raw C API, one transaction (last)", n, *rawSecond, rawRate, rawSecondRss);
    if (rawEach)
        printRow("raw C API, one transaction per customer", n, *rawEach, rawRate, rawEachRss);
    else
        std::printf("  %-40s (not run: --no-per-customer)\n", "raw C API, one transaction per customer");
    printRow("import, new customers (N)", n, *fresh, rawRate, fresh->peakRssKb);
    printRow("re-import into the filled database (N)", n, *again, rawRate, again->peakRssKb);
    printRow("plan of the same export against it (N)", n, *plan, rawRate, plan->peakRssKb);
    printRow("import, new customers (N/10)", small, *smallRun, rawRate, smallRun->peakRssKb);
    std::printf("\n");

    const auto outcome = [](const char* what, const ImportFigures& f) {
        std::printf("  %s: %lld rows, %lld added, %lld updated, %lld wrote nothing; %lld messages%s%s%s; "
                    "extraction %.2f s of it\n",
                    what, static_cast<long long>(f.rowsRead), static_cast<long long>(f.added),
                    static_cast<long long>(f.updated), static_cast<long long>(f.nothingWritten),
                    static_cast<long long>(f.messages), f.messages ? " (first: \"" : "", f.firstMessage,
                    f.messages ? "\")" : "", f.extractSeconds);
    };
    outcome("new (N)", *fresh);
    outcome("re-import (N)", *again);
    outcome("new (N/10)", *smallRun);
    std::printf("  plan (N): %lld customer rows planned\n", static_cast<long long>(plan->rows));
    std::printf("  raw runs insert the four rows of each of %lld named customers\n",
                static_cast<long long>(rawFirst->customers));

    const double growth = (fresh->seconds / double(n)) / (smallRun->seconds / double(small));
    const double planShare = plan->seconds / again->seconds;
    std::printf(
        "\nplan of N against N clients: %.2f s; re-import of the same export: %.2f s; plan / re-import: "
        "%.2f (at most 1.00 wanted)\n",
        plan->seconds, again->seconds, planShare);
    std::printf("cost per customer at N / at N/10: %.2f\n", growth);
    const double extractRatio = extraction->plainSeconds / extraction->extractSeconds;
    std::printf("extraction of %.1f MB (%lld customer rows): %.3f s (%.0f MB/s); plain read and write %.3f s "
                "(%.0f MB/s); ratio %.2f\n",
                megabytes(large->bytes), static_cast<long long>(extraction->rows), extraction->extractSeconds,
                megabytes(large->bytes) / extraction->extractSeconds, extraction->plainSeconds,
                megabytes(large->bytes) / extraction->plainSeconds, extractRatio);
    if (progress)
        std::printf("window progress updates during STRIP: %.1f%% of the run, %.0f updates a second\n",
                    progress->share * 100.0, progress->updatesPerSecond);
    else
        std::printf("window progress updates during STRIP: could not be measured\n");
    std::printf("peak resident memory of the import at N: %.1f MB (at N/10: %.1f MB)\n",
                double(fresh->peakRssKb) / 1024.0, double(smallRun->peakRssKb) / 1024.0);
    std::printf("load average at end: %s\n", qPrintable(loadAverage()));
    const double spread = std::abs(rawFirstRate - rawSecondRate) / rawRate;
    if (spread > 0.10)
        std::printf("warning: the two raw runs differ by %.0f%%; the machine was busy, run again\n",
                    spread * 100.0);

    std::printf("\nratios: new=%.2f update=%.2f plan_vs_reimport=%.2f growth=%.2f extract=%.2f rss_mb=%.0f",
                (n / fresh->seconds) / rawRate, (n / again->seconds) / rawRate, planShare, growth,
                extractRatio, double(fresh->peakRssKb) / 1024.0);
    if (progress)
        std::printf(" progress=%.3f", progress->share);
    std::printf("\n");
    return 0;
}
