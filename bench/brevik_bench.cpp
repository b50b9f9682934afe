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

#include "childprocess.h"
#include "exportgenerator.h"
#include "rawbaseline.h"

#include "import/engine/database.h"
#include "import/export/extraction.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/clientwriter.h"
#include "import/writer/importplan.h"
#include "import/writer/schema.h"
#include "import/writer/striprun.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include <unistd.h>

using namespace brevik;
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

void copyText(char* out, std::size_t size, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::snprintf(out, size, "%s", bytes.constData());
}

// A fresh database in place of whatever an earlier run left there.
db::Status freshDatabase(const QString& folder, const QString& path)
{
    QDir().mkpath(folder);
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
    return db::createDatabase(path);
}

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

// Counts the messages of a run; the first one is kept for the report.
class CountingReporter final : public Reporter
{
public:
    void report(const QString& message) override
    {
        if (m_count++ == 0)
            m_first = message;
    }
    [[nodiscard]] qint64 count() const { return m_count; }
    [[nodiscard]] const QString& first() const { return m_first; }

private:
    qint64 m_count = 0;
    QString m_first;
};

// ---- Generating the exports -------------------------------------------------------------

struct GeneratedExport
{
    int ok = 0;
    qint64 customers = 0;
    qint64 bytes = 0;
    char error[256] = {};
};

std::optional<GeneratedExport> generate(const QString& path, qint64 customers, qint64 bytes, quint64 seed)
{
    GeneratedExport result;
    const ChildRun run = runInChild<GeneratedExport>(result, [&](GeneratedExport& out) {
        QString error;
        const bool written = customers > 0 ? writeExport(path, customers, seed, error)
                                           : writeExportOfSize(path, bytes, seed, out.customers, error);
        if (customers > 0)
            out.customers = customers;
        out.bytes = QFile(path).size();
        out.ok = written ? 1 : 0;
        copyText(out.error, sizeof out.error, error);
    });
    if (!run.ok || !result.ok) {
        std::fprintf(stderr, "brevik_bench: cannot write %s: %s\n", qPrintable(path), result.error);
        return std::nullopt;
    }
    return result;
}

// ---- The engine's own limit -------------------------------------------------------------

struct RawFigures
{
    int ok = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    qint64 writtenBytes = 0;
    qint64 customers = 0;
    char journalMode[32] = {};
    int synchronous = -1;
    qint64 cacheSize = 0;
    qint64 walAutoCheckpoint = 0;
    char error[256] = {};
};

std::optional<RawFigures> measureRaw(const QString& exportFile, const QString& folder, Commits commits,
                                     long& peakRssKb)
{
    const QString database = databaseIn(folder);
    RawFigures result;
    const ChildRun run = runInChild<RawFigures>(result, [&](RawFigures& out) {
        QString error;
        std::vector<StoredCustomer> customers;
        EngineSettings settings;
        if (const db::Status s = freshDatabase(folder, database); !s) {
            error = s.description();
        } else if (storedCustomers(exportFile, customers, error) &&
                   ourEngineSettings(database, settings, error) &&
                   insertRaw(database, customers, commits, out.seconds, out.cpuSeconds, out.writtenBytes,
                             error)) {
            out.ok = 1;
            out.customers = qint64(customers.size());
            copyText(out.journalMode, sizeof out.journalMode, settings.journalMode);
            out.synchronous = settings.synchronous;
            out.cacheSize = settings.cacheSize;
            out.walAutoCheckpoint = settings.walAutoCheckpoint;
        }
        copyText(out.error, sizeof out.error, error);
    });
    peakRssKb = run.peakRssKb;
    if (!run.ok || !result.ok) {
        std::fprintf(stderr, "brevik_bench: the raw inserts failed: %s\n", result.error);
        return std::nullopt;
    }
    return result;
}

// ---- Our import, as the tool's import command runs it -----------------------------------

struct ImportFigures
{
    int ok = 0;
    double seconds = 0;        // extraction and strip run together
    double cpuSeconds = 0;     // processor time of the same
    qint64 writtenBytes = 0;   // handed to write calls by the same
    double extractSeconds = 0; // of which the extraction
    qint64 rowsRead = 0;
    qint64 added = 0;
    qint64 updated = 0;
    qint64 nothingWritten = 0;
    qint64 messages = 0;
    char firstMessage[512] = {};
    long peakRssKb = 0;
};

enum class Target
{
    Fresh,  // a new database made by createDatabase
    Filled, // the database as an earlier run left it
};

std::optional<ImportFigures> measureImport(const QString& exportFile, const QString& quickBooksFolder,
                                           const QString& dataFolder, Target database)
{
    ImportFigures result;
    const ChildRun run = runInChild<ImportFigures>(result, [&](ImportFigures& out) {
        const QString path = databaseIn(dataFolder);
        if (database == Target::Fresh) {
            if (const db::Status s = freshDatabase(dataFolder, path); !s) {
                copyText(out.firstMessage, sizeof out.firstMessage, s.description());
                return;
            }
        }
        QDir().mkpath(quickBooksFolder);
        CountingReporter reporter;
        StripObserver observer; // follows nothing: the window's progress is measured on its own

        QElapsedTimer timer;
        timer.start();
        const double cpuStart = ownCpuSeconds();
        const qint64 writtenStart = ownWrittenBytes();
        const ExtractionResult extraction = extractCustomerRows(exportFile, quickBooksFolder);
        out.extractSeconds = double(timer.nsecsElapsed()) / 1e9;
        if (!extraction.succeeded()) {
            copyText(out.firstMessage, sizeof out.firstMessage, extraction.failure->message());
            return;
        }
        WindowValues values;
        values.txtHold1 = dataFolder;
        values.txtHold2 = quickBooksFolder;
        values.gM = dataFolder;
        values.gQ = quickBooksFolder;
        values.gOpt = QStringLiteral("0");
        StripSummary summary;
        {
            ClientWriter writer(reporter);
            StripRun strip(values, writer, reporter);
            summary = strip.run(customerFileIn(values.gQ), extraction.layout, observer);
        }
        out.seconds = double(timer.nsecsElapsed()) / 1e9;
        out.cpuSeconds = ownCpuSeconds() - cpuStart;
        out.writtenBytes = ownWrittenBytes() - writtenStart;
        out.ok = summary.completed ? 1 : 0;
        out.rowsRead = summary.rowsRead;
        out.added = summary.clientsAdded;
        out.updated = summary.clientsUpdated;
        out.nothingWritten = summary.rowsWithoutWrite;
        out.messages = reporter.count();
        copyText(out.firstMessage, sizeof out.firstMessage, reporter.first());
    });
    result.peakRssKb = run.peakRssKb;
    if (!run.ok || !result.ok) {
        std::fprintf(stderr, "brevik_bench: the import into %s did not complete: %s\n",
                     qPrintable(dataFolder), result.firstMessage);
        return std::nullopt;
    }
    return result;
}

// ---- A plan of the same export, against the database a re-import met ---------------------

struct PlanFigures
{
    int ok = 0;
    double seconds = 0; // extraction, private copy and the run on it, as brevik-import plan
    double cpuSeconds = 0;
    qint64 writtenBytes = 0;
    qint64 rows = 0; // customer records the plan gave
    long peakRssKb = 0;
    char firstMessage[512] = {};
};

std::optional<PlanFigures> measurePlan(const QString& exportFile, const QString& dataFolder,
                                       const QString& workFolder)
{
    PlanFigures result;
    const ChildRun run = runInChild<PlanFigures>(result, [&](PlanFigures& out) {
        QDir().mkpath(workFolder);
        CountingReporter reporter;
        PlanRequest request;
        request.exportFile = exportFile;
        request.dataFolder = dataFolder;
        request.gOpt = QStringLiteral("0");
        request.workFolder = workFolder;     // on the same disk as the database, as the re-import's copy
        std::vector<CustomerRecord> records; // kept, as the tool keeps them for its columns
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = ownCpuSeconds();
        const qint64 writtenStart = ownWrittenBytes();
        const StripSummary summary = planImport(
            request, reporter, [&records](const CustomerRecord& record) { records.push_back(record); });
        out.seconds = double(timer.nsecsElapsed()) / 1e9;
        out.cpuSeconds = ownCpuSeconds() - cpuStart;
        out.writtenBytes = ownWrittenBytes() - writtenStart;
        out.rows = qint64(records.size());
        out.ok = summary.completed ? 1 : 0;
        copyText(out.firstMessage, sizeof out.firstMessage, reporter.first());
    });
    result.peakRssKb = run.peakRssKb;
    if (!run.ok || !result.ok) {
        std::fprintf(stderr, "brevik_bench: the plan against %s did not complete: %s\n",
                     qPrintable(dataFolder), result.firstMessage);
        return std::nullopt;
    }
    return result;
}

// ---- Extraction against a plain read and write of the same file -------------------------

struct ExtractionFigures
{
    int ok = 0;
    double plainSeconds = 0;   // the best of the rounds
    double extractSeconds = 0; // the best of the rounds
    qint64 rows = 0;
};

double plainCopy(const QString& from, const QString& to)
{
    QFile::remove(to);
    QElapsedTimer timer;
    timer.start();
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return -1;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 got; (got = in.read(chunk.data(), chunk.size())) > 0;) {
        if (out.write(chunk.constData(), got) != got)
            return -1;
    }
    out.close();
    return double(timer.nsecsElapsed()) / 1e9;
}

std::optional<ExtractionFigures> measureExtraction(const QString& exportFile, const QString& folder)
{
    ExtractionFigures result;
    const ChildRun run = runInChild<ExtractionFigures>(result, [&](ExtractionFigures& out) {
        QDir().mkpath(folder);
        const QString copy = joinFolderAndFile(folder, QStringLiteral("copy.iif"));
        out.plainSeconds = 1e9;
        out.extractSeconds = 1e9;
        // The databases of the runs before are still being written back to the disk; that
        // writing would slow whichever side happens to meet it, so it finishes first.
        ::sync();
        // Alternating rounds; the best of each, so that a passing disturbance does not count.
        for (int round = 0; round < 5; ++round) {
            const double plain = plainCopy(exportFile, copy);
            if (plain < 0)
                return;
            out.plainSeconds = std::min(out.plainSeconds, plain);
            QElapsedTimer timer;
            timer.start();
            const ExtractionResult extraction = extractCustomerRows(exportFile, folder);
            out.extractSeconds = std::min(out.extractSeconds, double(timer.nsecsElapsed()) / 1e9);
            if (!extraction.succeeded())
                return;
            out.rows = extraction.rowsCopied;
        }
        QFile::remove(copy);
        QFile::remove(customerFileIn(folder));
        out.ok = 1;
    });
    if (!run.ok || !result.ok) {
        std::fprintf(stderr, "brevik_bench: the extraction measurement failed\n");
        return std::nullopt;
    }
    return result;
}

// ---- The window's progress updates during STRIP ------------------------------------------
// The share of a STRIP run that the main window's progress updates take (the bar is updated at
// most about 30 times a second, at under 5% of the run), measured by bench_stripwindow with the
// window's own observer on the offscreen platform.
struct ProgressFigures
{
    double share = 0; // of the run's processor time spent in the window's progress updates
    double updatesPerSecond = 0;
};

// The folder of this program, where the build puts bench_stripwindow beside it.
QString& programFolder()
{
    static QString folder;
    return folder;
}

std::optional<ProgressFigures> measureWindowProgress(const QString& exportFile, const QString& folder)
{
    QDir().mkpath(folder);
    QProcess child;
    child.start(programFolder() + QStringLiteral("/bench_stripwindow"),
                {exportFile, folder, QStringLiteral("3")});
    if (!child.waitForFinished(600'000) || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_stripwindow failed: %s\n", child.readAllStandardError().constData());
        return std::nullopt;
    }
    const QString line = QString::fromLatin1(child.readAllStandardOutput()).trimmed();
    ProgressFigures figures;
    for (const QString& item : line.split(u' ')) {
        if (item.startsWith(u"share="))
            figures.share = item.mid(6).toDouble();
        else if (item.startsWith(u"updates_per_second="))
            figures.updatesPerSecond = item.mid(19).toDouble();
    }
    return figures;
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
    programFolder() = QFileInfo(QString::fromLocal8Bit(argv[0])).absolutePath();
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
    const auto progress = measureWindowProgress(bigExport, in(QStringLiteral("progress")));
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
