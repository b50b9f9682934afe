#include "striprun.h"

#include "import/export/otherwriters.h"
#include "import/export/regularfile.h"
#include "import/export/rowreader.h"
#include "import/export/textencoding.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "import/rules/rowscan.h"
#include "import/writer/backup.h"
#include "import/writer/clientwriter.h"

#include <QFile>
#include <QScopeGuard>

namespace brevik {

QString notImportedNote()
{
    return QStringLiteral("not imported: the run was interrupted");
}

QString interruptedRunMessage(const StripSummary& summary)
{
    if (summary.lastStoredRow <= 0)
        return QStringLiteral("The import was interrupted before its first customer: nothing was stored.");
    return QStringLiteral("The import was interrupted: row %1 was the last stored, and every customer up to "
                          "it is stored whole; nothing was stored from row %2 on. Import the file again to "
                          "take the rest; the customers already stored are then found and rewritten, not "
                          "added twice.")
        .arg(summary.lastStoredRow)
        .arg(summary.firstUnstoredRow);
}

StripRun::StripRun(WindowValues& values, ClientWriter& writer, Reporter& reporter, StripOptions options)
    : m_values(values)
    , m_writer(writer)
    , m_reporter(reporter)
    , m_options(std::move(options))
{}

StripSummary StripRun::run(const QString& customerFile, const ExportLayout& layout, StripObserver& observer)
{
    StripSummary summary;
    db::Backup backup; // the copy made before the first row
    // Whatever ends the run, the summary holds the customers whose rows were committed.
    const auto counted = [&summary, &backup, this]() -> StripSummary& {
        const WriteTally& tally = m_writer.committed();
        summary.clientsAdded = tally.added;
        summary.clientsUpdated = tally.updated;
        summary.rowsWithoutWrite = tally.nothingWritten;
        summary.customersRefused = tally.refused;
        summary.jobsPassedOver = tally.jobsPassedOver;
        // The copy made before the first row is kept only by a run that wrote (see settleBackup).
        summary.backupPath =
            backup.outcome == db::Backup::Outcome::Made && m_writer.committedRows() ? backup.path : QString();
        return summary;
    };
    observer.cleared();

    // The copy made before the first row stays only if the run wrote; the run's last commit is
    // made first, so that the copy is settled on what the database holds.
    const auto settleBackup = qScopeGuard([&backup, this] {
        (void)m_writer.finish();
        db::settleBackup(backup, databaseIn(m_values.txtHold1), m_writer.committedRows());
    });

    QFile file(customerFile);
    if (QString why; !openRegularFile(file, why)) {
        m_reporter.report(
            QStringLiteral("The customer file %1 cannot be read: %2. Nothing was imported; press "
                           "START to make it again.")
                .arg(displayPath(customerFile), clause(why)));
        return summary;
    }
    // Another user who may write to the file could have put rows of its own in it since START.
    if (const QString others = otherWriters(file); !others.isEmpty()) {
        m_reporter.report(QStringLiteral("The customer file %1 may have been changed by another user: %2. "
                                         "Nothing was imported; press START to make it again.")
                              .arg(displayPath(customerFile), others));
        return summary;
    }
    observer.started(file.size());

    ScanSettings settings{m_values.gOpt, {}};
    CustomerFields& fields = m_values.Text1;
    RowReader reader(file);
    QByteArrayView row;
    qint64 total = 0;
    bool backedUp = !m_options.backUp;
    const std::vector<qint64>& exportRows = m_options.exportRows;
    const auto stopRequested = [this] {
        return m_options.stopRequested && m_options.stopRequested();
    };
    while (reader.next(row)) {
        // Asked to stop, the run commits the customers written so far and reads the rest of the
        // rows without writing them, so that each is accounted for.
        if (!summary.interrupted && stopRequested()) {
            if (!m_writer.finish())
                return counted();
            summary.interrupted = true;
        }
        const bool writing = !summary.interrupted;
        // The operator's data is copied before the first row can change it; without a copy
        // nothing is written.
        if (writing && !backedUp) {
            const QString database = databaseIn(m_values.txtHold1);
            if (backup = db::backUpDatabase(database); backup.failed()) {
                m_reporter.report(backup.message(database));
                return summary;
            }
            backedUp = true;
        }
        ++summary.rowsRead;
        total += row.size();
        if (writing)
            observer.progressed(total);

        // Emptied in place, so that the fields keep their buffers from row to row.
        for (QString& field : fields)
            field.truncate(0);
        const QString text = decodeRow(row);
        settings.columns = layout.columnsOf(reader.rowsRead());
        RowNotes notes;
        if (scanRow(text, settings, fields, &notes) && writing)
            observer.nameTaken(fields[FieldName]);
        const RowKind kind = isJobRow(text, settings.columns) ? RowKind::Job : RowKind::Customer;

        const auto rowNumber = std::size_t(reader.rowsRead());
        const qint64 named = rowNumber <= exportRows.size() ? exportRows[rowNumber - 1] : qint64(rowNumber);
        if (!writing) {
            if (summary.firstUnstoredRow == 0)
                summary.firstUnstoredRow = named;
            m_writer.tellNotImported(named, fields[FieldName], notImportedNote());
            continue;
        }
        m_writer.setRow(named, notes);
        if (m_writer.AddClient(m_values, kind) == WriteOutcome::Stopped)
            return counted();
        summary.lastStoredRow = named;
        fields[FieldCreditLimit].clear();
    }
    if (!m_writer.finish())
        return counted();
    if (reader.failed()) {
        // A row that the reading broke off is never imported.
        m_reporter.report(QStringLiteral("The customer file %1 could not be read to its end: %2. The "
                                         "customers before that row were imported.")
                              .arg(displayPath(customerFile), clause(reader.errorString())));
        return counted();
    }
    if (summary.interrupted)
        return counted();
    summary.completed = true;
    observer.finished();
    return counted();
}

} // namespace brevik
