#include "importplan.h"

#include "import/engine/database.h"
#include "import/export/extraction.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/backup.h"
#include "import/writer/callmessages.h"

#include <QDir>
#include <QTemporaryDir>

#include <limits>

namespace brevik {
namespace {

// Passes each message on, naming the database where it names the private copy.
class RenamingReporter final : public Reporter
{
public:
    RenamingReporter(Reporter& next, const QString& copy, const QString& database)
        : m_next(next)
        , m_copy(displayPath(copy))
        , m_database(displayPath(database))
    {}

    [[nodiscard]] QString renamed(QString message) const { return message.replace(m_copy, m_database); }
    void report(const QString& message) override { m_next.report(renamed(message)); }

private:
    Reporter& m_next;
    QString m_copy;
    QString m_database;
};

} // namespace

StripSummary planImport(const PlanRequest& request, Reporter& reporter,
                        const std::function<void(const CustomerRecord&)>& onRecord)
{
    const QString parent = request.workFolder.isEmpty() ? QDir::tempPath() : request.workFolder;
    QTemporaryDir work(QDir(parent).filePath(QStringLiteral("brevik-plan-XXXXXX")));
    if (!work.isValid()) {
        reporter.report(
            QStringLiteral("The plan needs a folder of its own in %1, and none can be made there: %2.")
                .arg(displayPath(parent), clause(work.errorString())));
        return {};
    }

    std::vector<qint64> exportRows;
    const ExtractionResult extraction =
        extractCustomerRows(request.exportFile, work.path(),
                            [&exportRows](QByteArrayView, qint64 row) { exportRows.push_back(row); });
    if (!extraction.succeeded()) {
        reporter.report(extraction.failure->message());
        return {};
    }

    const QString database = databaseIn(request.dataFolder);
    const QString copyFolder = QDir(work.path()).filePath(QStringLiteral("data"));
    const QString copy = databaseIn(copyFolder);
    if (extraction.rowsCopied > 0) {
        if (!QDir().mkpath(copyFolder)) {
            reporter.report(
                QStringLiteral("The plan cannot make the folder %1.").arg(displayPath(copyFolder)));
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
            reporter.report(made.cause == db::Backup::Cause::Locked ? CallMessages::locked(database)
                                                                    : made.message(database));
            return {};
        }
    }

    WindowValues values;
    values.txtHold1 = copyFolder;
    values.txtHold2 = work.path();
    values.gM = values.txtHold1;
    values.gQ = values.txtHold2;
    values.gOpt = request.gOpt;
    RenamingReporter renaming(reporter, copy, database);
    StripObserver following;
    ClientWriter writer(renaming);
    // No other program uses the copy: one commit at the end, and no pauses to let others in.
    writer.setBatchLimits(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    writer.setRecordObserver([&](const CustomerRecord& record) {
        CustomerRecord named = record;
        for (QString& refusal : named.refusals)
            refusal = renaming.renamed(refusal);
        onRecord(named);
    });
    StripOptions options;
    options.backUp = false;
    options.exportRows = std::move(exportRows);
    StripRun run(values, writer, renaming, std::move(options));
    return run.run(customerFileIn(values.gQ), extraction.layout, following);
}

} // namespace brevik
