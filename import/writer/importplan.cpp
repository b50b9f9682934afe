#include "importplan.h"

#include "import/engine/database.h"
#include "import/export/extraction.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/backup.h"
#include "import/writer/callmessages.h"
#include "import/writer/planfolder.h"

#include <QDir>

#include <limits>
#include <utility>

namespace brevik {
namespace {

// The sentences of the run's own messages that speak of the import, as a plan says them.
constexpr std::pair<QLatin1StringView, QLatin1StringView> PlanWording[] = {
    {QLatin1StringView("The import stopped"), QLatin1StringView("The plan stopped")},
    {QLatin1StringView("Nothing was imported; press START to make it again."),
     QLatin1StringView("Nothing was planned.")},
    {QLatin1StringView("The customers before that row were imported."),
     QLatin1StringView("The customers before that row were planned.")},
};

// Passes each message of the run on the private copy on as the plan gives it: naming the
// database where it names the copy, the export where it names the plan's own QBCUST.TXT, and
// the plan where it speaks of the import.
class PlanReporter final : public Reporter
{
public:
    PlanReporter(Reporter& next, const QString& copy, const QString& database, const QString& customerFile,
                 const QString& exportFile)
        : m_next(next)
        , m_copy(displayPath(copy))
        , m_database(displayPath(database))
        , m_customerFile(displayPath(customerFile))
        , m_exportFile(displayPath(exportFile))
    {}

    [[nodiscard]] QString renamed(QString message) const
    {
        message.replace(m_copy, m_database).replace(m_customerFile, m_exportFile);
        for (const auto& [import, plan] : PlanWording)
            message.replace(import, plan);
        return message;
    }
    void report(const QString& message) override { m_next.report(renamed(message)); }

private:
    Reporter& m_next;
    QString m_copy;
    QString m_database;
    QString m_customerFile;
    QString m_exportFile;
};

// Why no copy of the database could be made for the plan, in the plan's words.
QString copyFailure(const db::Backup& made, const QString& database)
{
    using Cause = db::Backup::Cause;
    switch (made.cause) {
    case Cause::Locked:
        return QStringLiteral("The Orvella database %1 is locked by another program, so no plan can be made. "
                              "Nothing was changed; plan again once the other program has finished.")
            .arg(displayPath(database));
    case Cause::Damaged:
        return QStringLiteral(
                   "The Orvella database %1 is damaged (%2), so no plan can be made. Put one of its "
                   "backups in its place, or have the database repaired.")
            .arg(displayPath(database), clause(made.reason));
    case Cause::CannotCopy:
        break;
    }
    return QStringLiteral("The plan works on a copy of the Orvella database %1, and that copy could not be "
                          "made: %2. Nothing was changed.")
        .arg(displayPath(database), clause(made.reason));
}

} // namespace

StripSummary planImport(const PlanRequest& request, Reporter& reporter,
                        const std::function<void(const CustomerRecord&)>& onRecord)
{
    const QString parent = request.workFolder.isEmpty() ? QDir::tempPath() : request.workFolder;
    PlanFolder::removeEndedPlans(parent);
    const PlanFolder work(parent);
    if (!work.isValid()) {
        reporter.report(
            QStringLiteral("The plan needs a folder of its own in %1, and none can be made there: %2.")
                .arg(displayPath(parent), clause(work.errorString())));
        return {};
    }

    const QString database = databaseIn(request.dataFolder);
    const QString copyFolder = QDir(work.path()).filePath(QStringLiteral("data"));
    const QString copy = databaseIn(copyFolder);
    PlanReporter planReporter(reporter, copy, database, customerFileIn(work.path()), request.exportFile);

    std::vector<qint64> exportRows;
    const ExtractionResult extraction =
        extractCustomerRows(request.exportFile, work.path(),
                            [&exportRows](QByteArrayView, qint64 row) { exportRows.push_back(row); });
    if (!extraction.succeeded()) {
        if (extraction.failure->cause == ExtractionFailure::Cause::OutputUnwritable)
            reporter.report(
                QStringLiteral("The plan could not copy the customer rows into its folder in %1: %2.")
                    .arg(displayPath(parent), clause(extraction.failure->reason)));
        else
            reporter.report(extraction.failure->message());
        return {};
    }

    if (extraction.rowsCopied > 0) {
        if (!QDir().mkpath(copyFolder)) {
            reporter.report(
                QStringLiteral("The plan cannot make a folder for its copy of the database in %1.")
                    .arg(displayPath(parent)));
            return {};
        }
        const db::Backup made = db::copyForPlan(database, copy);
        if (made.outcome == db::Backup::Outcome::NotAttempted) {
            const db::Status refusal = db::checkOpenable(database);
            reporter.report(CallMessages::cannotOpen(
                database, refusal.ok()
                              ? db::Status::failure(db::ErrCannotOpen, QStringLiteral("It cannot be read."))
                              : refusal));
            return {};
        }
        if (made.failed()) {
            planReporter.report(copyFailure(made, database));
            return {};
        }
    }

    WindowValues values;
    values.txtHold1 = copyFolder;
    values.txtHold2 = work.path();
    values.gM = values.txtHold1;
    values.gQ = values.txtHold2;
    values.gOpt = request.gOpt;
    StripObserver none;
    StripObserver& following = request.observer ? *request.observer : none;
    following.rowsToRead(extraction.rowsCopied);
    ClientWriter writer(planReporter);
    // No other program uses the copy: no commits for others' sake and no pauses to let them in.
    // Commits come every so many customers all the same, as the writer keeps each customer's
    // record until its commit, which on a single commit would hold every customer of the plan.
    constexpr int CustomersPerCommit = 50000;
    writer.setBatchLimits(CustomersPerCommit, std::numeric_limits<int>::max());
    writer.setPausesForOthers(false);
    writer.setRecordObserver([&](const CustomerRecord& record) {
        CustomerRecord named = record;
        // A row that an interrupted plan never reached was not planned, rather than not imported.
        for (QString& refusal : named.refusals)
            refusal = refusal == notImportedNote() ? QStringLiteral("not planned: the plan was interrupted")
                                                   : planReporter.renamed(refusal);
        onRecord(named);
    });
    StripOptions options;
    options.backUp = false;
    options.exportRows = std::move(exportRows);
    options.stopRequested = request.stopRequested;
    StripRun run(values, writer, planReporter, std::move(options));
    return run.run(customerFileIn(values.gQ), extraction.layout, following);
}

} // namespace brevik
