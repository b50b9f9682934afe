#include "stripsupport.h"
#include "writer/testdatabase.h"

#include "app/forms.h"
#include "import/writer/backup.h"
#include "import/writer/customerlist.h"
#include "import/writer/importplan.h"
#include "import/writer/restore.h"
#include "platform/savefiledialog.h"
#include "windows/customertablemodel.h"
#include "windows/frmbackups.h"
#include "windows/frmpreview.h"

#include <QAction>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTreeWidget>

using namespace brevik;
using namespace brevik::testing;

namespace {

const QString Sample = QStringLiteral(BREVIK_SOURCE_DIR "/tests/data/sample_customers.iif");

// The rows of a list as the tool's CSV gives them.
QByteArray csvOf(const std::vector<CustomerRecord>& records, Tense tense)
{
    QByteArray csv = csvHeader();
    for (const CustomerRecord& record : records)
        csv += csvLine(record, tense);
    return csv;
}

// The same CSV, as the window shows its rows: one line per row of the table, its columns joined.
QStringList shownRows(const QTableView& view)
{
    QStringList rows;
    const QAbstractItemModel& model = *view.model();
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

QStringList rowsOf(const std::vector<CustomerRecord>& records)
{
    QStringList rows;
    for (const CustomerRecord& record : records)
        rows << QStringList{QString::number(record.row), record.name, actionOf(record.outcome, Tense::Plan),
                            record.clientNumber, notesOf(record).join(QStringLiteral("; "))}
                    .join(u'|');
    return rows;
}

} // namespace

// The windows that make an import safe at the window: the preview before STRIP, and the backups
// that can be put back after it. Both drive the core the tool drives and must show its rows.
class tst_PreviewAndBackups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void previewShowsThePlanAndWritesNothing()
    {
        MainWindowFixture f;
        {
            TestDatabase db(f.dataDir.path());
            db.addCustomer(QStringLiteral("000100"), QStringLiteral("Customer Name"));
        }
        const QByteArray before = readBytes(databaseIn(f.dataDir.path()));
        ui::frmBrevik& w = f.showMainWindow();
        QVERIFY(!w.mnuPreview->isEnabled());
        f.dialogAnswer = Sample;
        w.Command1_Click();
        QVERIFY(w.mnuPreview->isEnabled());

        w.mnuPreview->trigger();
        ui::frmPreview* preview = ui::Forms::existingPreview();
        QVERIFY(preview && preview->isVisible());
        QSignalSpy finished(preview, &ui::frmPreview::planFinished);
        QVERIFY(finished.wait(20000));

        // The plan of the core, as the tool makes it.
        PlanRequest request;
        request.exportFile = Sample;
        request.dataFolder = f.dataDir.path();
        request.gOpt = w.gOpt;
        CapturingReporter planMessages;
        std::vector<CustomerRecord> planned;
        const StripSummary summary = planImport(
            request, planMessages, [&planned](const CustomerRecord& record) { planned.push_back(record); });
        QVERIFY(planned.size() > 20);
        QCOMPARE(shownRows(*preview->grdCustomers), rowsOf(planned));
        QCOMPARE(preview->lblSummary->text(), summaryLine(summary));
        QCOMPARE(f.messages.messages(), planMessages.messages());
        QCOMPARE(readBytes(databaseIn(f.dataDir.path())), before);

        // Saved, the list is the CSV of the tool's plan.
        QTemporaryDir saved;
        const QString csv = saved.filePath(QStringLiteral("plan.csv"));
        ui::setSaveFileDialog(
            [&csv](QWidget*, const ui::SaveFileRequest&) { return std::optional<QString>(csv); });
        QTest::mouseClick(preview->cmdSave, Qt::LeftButton);
        ui::setSaveFileDialog({});
        QCOMPARE(readBytes(csv), csvOf(planned, Tense::Plan));

        // Asked again for the same export, the window keeps what it shows.
        w.mnuPreview->trigger();
        QVERIFY(!preview->planning());
        QCOMPARE(ui::Forms::existingPreview(), preview);
    }

    void stripEndsWithItsOutcomeAndItsReport()
    {
        MainWindowFixture f;
        createDatabase(f.dataDir.path());
        ui::frmBrevik& w = f.showMainWindow();
        QVERIFY(!w.mnuSaveReport->isEnabled());
        selectAndStart(f, w, Sample);

        // The preview is a step between START and STRIP: coming back from it keeps STRIP in view.
        w.mnuPreview->trigger();
        ui::frmPreview* preview = ui::Forms::existingPreview();
        QVERIFY(preview);
        QSignalSpy finished(preview, &ui::frmPreview::planFinished);
        QVERIFY(finished.wait(20000));
        preview->close();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.heightTwips(), 7320);
        QVERIFY(w.cmdStrip->mapTo(&w, QPoint(0, 0)).y() < w.height());

        QTest::mouseClick(w.cmdStrip, Qt::LeftButton);

        // One box at the end names the counts and the backup made before the first write.
        const QList<db::BackupFacts> backups = db::describeBackups(databaseIn(f.dataDir.path()));
        QCOMPARE(backups.size(), 1);
        const QString outcome = f.messages.messages().constLast();
        QVERIFY2(outcome.startsWith(u"The import is complete."), qPrintable(outcome));
        QVERIFY2(outcome.contains(displayPath(backups.first().path)), qPrintable(outcome));
        const int rows = int(readBytes(f.quickBooksFile()).count('\n'));
        QVERIFY2(outcome.contains(QStringLiteral("Rows read: %1\n").arg(rows)), qPrintable(outcome));
        // The next step is EXIT, not the record fields out of sight.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.cmdExit));

        // The report holds a line for every customer row, as --report writes it.
        QVERIFY(w.mnuSaveReport->isEnabled());
        QTemporaryDir saved;
        const QString report = saved.filePath(QStringLiteral("report.csv"));
        ui::setSaveFileDialog(
            [&report](QWidget*, const ui::SaveFileRequest&) { return std::optional<QString>(report); });
        w.mnuSaveReport->trigger();
        ui::setSaveFileDialog({});
        const QList<QByteArray> lines = readBytes(report).split('\n');
        QCOMPARE(lines.first(), csvHeader().chopped(1));
        QCOMPARE(lines.size() - 2, rows);
        QVERIFY(lines.at(1).contains(",added,"));
    }

    void backupsWindowPutsTheChosenOneBack()
    {
        MainWindowFixture f;
        const QString database = databaseIn(f.dataDir.path());
        {
            TestDatabase db(f.dataDir.path());
            db.addCustomer(QStringLiteral("000100"), QStringLiteral("Earlier Client"));
        }
        const QDateTime earlier = QDateTime::currentDateTime().addSecs(-3600);
        const db::Backup made = db::backUpDatabase(database, earlier);
        QVERIFY(!made.failed());
        db::settleBackup(made, database, true);
        {
            TestDatabase db(f.dataDir.path(), TestDatabase::Open::Existing);
            db.addCustomer(QStringLiteral("000101"), QStringLiteral("Later Client"));
        }

        ui::frmBrevik& w = f.showMainWindow();
        w.mnuBackups->trigger();
        ui::frmBackups* window = ui::Forms::existingBackups();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->lstBackups->topLevelItemCount(), 1);
        const QTreeWidgetItem* item = window->lstBackups->topLevelItem(0);
        QCOMPARE(item->text(0), earlier.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        QCOMPARE(item->text(2), QStringLiteral("1"));
        QCOMPARE(item->text(3), displayPath(made.path));

        // Answered No, the confirmation leaves the database as it is.
        f.messages.clear();
        f.messages.setAnswer(false);
        QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
        QCOMPARE(f.messages.messages().size(), 1);
        const QString question = f.messages.messages().first();
        QVERIFY2(question.contains(displayPath(made.path)) && question.contains(u"holding 1 clients") &&
                     question.contains(u"holds 2 clients now"),
                 qPrintable(question));
        QCOMPARE(TestDatabase(f.dataDir.path(), TestDatabase::Open::Existing).count(QStringLiteral("CLIENT")),
                 1 + 1);

        // Answered Yes, the backup is back, and the database as it was is itself backed up.
        f.messages.clear();
        f.messages.setAnswer(true);
        QTest::mouseClick(window->cmdRestore, Qt::LeftButton);
        QCOMPARE(f.messages.messages().size(), 2);
        QCOMPARE(TestDatabase(f.dataDir.path(), TestDatabase::Open::Existing).count(QStringLiteral("CLIENT")),
                 1);
        QCOMPARE(window->lstBackups->topLevelItemCount(), 2);
    }
};

QTEST_MAIN(tst_PreviewAndBackups)
#include "tst_previewandbackups.moc"
