#include "databasemeasures.h"

#include "childprocess.h"

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

#include <cstdio>
#include <vector>

namespace brevik::bench {
namespace {

// A fresh database in place of whatever an earlier run left there.
db::Status freshDatabase(const QString& folder, const QString& path)
{
    QDir().mkpath(folder);
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
    return db::createDatabase(path);
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

} // namespace

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

} // namespace brevik::bench
