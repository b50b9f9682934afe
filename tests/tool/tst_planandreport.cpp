#include "toolrun.h"

#include "support/testexport.h"
#include "support/testsupport.h"
#include "writer/testdatabase.h"

#include "import/export/cp1252.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>
#endif

using namespace brevik;
using namespace brevik::testing;

namespace {

// A plan's rows with the actions of a report: add becomes added, update updated.
QList<QStringList> asDone(QList<QStringList> rows)
{
    for (QStringList& row : rows) {
        if (row.size() == 5 && row[2] == u"add")
            row[2] = QStringLiteral("added");
        else if (row.size() == 5 && row[2] == u"update")
            row[2] = QStringLiteral("updated");
    }
    return rows;
}

// A customer list without a header: names that repeat, jobs, names longer than 40 characters,
// states written out, city lines with and without a comma, empty names and a row without a TAB.
QByteArray randomExport(quint32 seed, int rows)
{
    QRandomGenerator random(seed);
    QStringList names;
    for (int i = 0; i < 40; ++i)
        names << QStringLiteral("Customer %1 of Springfield").arg(i);
    names << QStringLiteral("Springfield Hardware & Lumber Company of Illinois")
          << QStringLiteral("Caf\u00e9 Ros\u00e9") << QStringLiteral("\"Lindqvist, Maja\"") << QString()
          << QStringLiteral("Earlier Client 2");
    const QStringList cityLines{
        QStringLiteral("\"Nome, AK 99762\""), QStringLiteral("\"Fairbanks, Alaska 99701\""),
        QStringLiteral("Nome AK 99762"), QString(), QStringLiteral("\"Boise,ID 83701\"")};
    TestExport out;
    for (int i = 0; i < rows; ++i) {
        if (random.bounded(60) == 0) {
            out.row("CUST without a single tab");
            continue;
        }
        const QString name = names.at(random.bounded(int(names.size())));
        const QString fullName = random.bounded(5) == 0 ? name + QStringLiteral(":Job %1").arg(i) : name;
        // The fields in the order the random choices are made, left to right.
        out.customer({{2, fullName},
                      {3, QString::number(i)},
                      {5, name},
                      {6, QStringLiteral("%1 Oak St").arg(random.bounded(900))},
                      {7, cityLines.at(random.bounded(int(cityLines.size())))},
                      {15, random.bounded(2) ? QStringLiteral("(305) 555-0147 ext %1").arg(i)
                                             : QStringLiteral("555-0100")},
                      {19, QStringLiteral("Contact %1").arg(i)},
                      {23, random.bounded(2) ? QStringLiteral("Y") : QStringLiteral("N")},
                      {30, ""}});
    }
    return out.bytes();
}

struct Folders
{
    QTemporaryDir root;
    QString data = folder(QStringLiteral("data"));
    QString quickBooks = folder(QStringLiteral("qb"));

    QString folder(const QString& name) const
    {
        QDir(root.path()).mkpath(name);
        return root.filePath(name);
    }
    QString database() const { return data + QStringLiteral("/zrdata.mdb"); }
};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// Clients that some rows of the exports meet: one stored with the first 25 characters of its
// name, as older imports left long names, and numbers with a gap.
void fillEarlier(const QString& folder)
{
    TestDatabase db(folder);
    db.addCustomer(QStringLiteral("000100"), QStringLiteral("Earlier Client 1"));
    db.addCustomer(QStringLiteral("000250"), QStringLiteral("Earlier Client 2"), QStringLiteral("Pat"));
    db.addCustomer(QStringLiteral("000101"), QStringLiteral("Springfield Hardware & Lu"));
    db.addCustomer(QStringLiteral("000102"), QStringLiteral("Customer 3 of Springfield"));
}

} // namespace

// brevik-import plan and --report: the plan shows, row for row, what an import does, and
// changes nothing; the report tells what the import did.
class tst_PlanAndReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void planAgreesWithTheImport_data()
    {
        QTest::addColumn<QString>("exportFile");
        QTest::addColumn<QString>("version");
        const QString ours = QStringLiteral(BREVIK_SOURCE_DIR "/tests/data/sample_customers.iif");
        QTest::newRow("our sample") << ours << QStringLiteral("0");
        QTest::newRow("random rows with repeated names") << QString() << QStringLiteral("1");
        const QString samples = samplesFolder();
        for (const QString& name : QDir(samples).entryList({QStringLiteral("*.iif")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << QDir(samples).filePath(name) << QStringLiteral("1");
    }

    // Two copies of one database: the plan of the first and the report of an import into the
    // second agree row for row, client numbers and notes included; then again, against the
    // database as the import left it, where most rows update.
    void planAgreesWithTheImport()
    {
        QFETCH(QString, exportFile);
        QFETCH(QString, version);
        Folders planned;
        Folders imported;
        if (exportFile.isEmpty()) {
            exportFile = planned.root.filePath(QStringLiteral("random.iif"));
            QVERIFY(writeBytes(exportFile, randomExport(20261208, 400)));
        }
        fillEarlier(planned.data);
        QVERIFY(QFile::copy(planned.database(), imported.database()));

        for (int pass = 0; pass < 2; ++pass) {
            const ToolRun plan =
                runTool({QStringLiteral("plan"), exportFile, QStringLiteral("--data-folder"), planned.data,
                         QStringLiteral("--qb-version"), version, QStringLiteral("--csv")});
            const QString report = imported.root.filePath(QStringLiteral("report.csv"));
            const ToolRun import =
                runTool({QStringLiteral("import"), exportFile, QStringLiteral("--data-folder"), imported.data,
                         QStringLiteral("--quickbooks-folder"), imported.quickBooks,
                         QStringLiteral("--qb-version"), version, QStringLiteral("--report"), report});
            QCOMPARE(plan.status, import.status);
            // The summary of the plan stands on standard error, below the messages of the import.
            QCOMPARE(plan.errLines, import.errLines + QStringList{import.lastLine()});

            const QList<QStringList> planRows = csvRows(plan.out.toUtf8());
            const QList<QStringList> reportRows = csvRows(readBytes(report));
            QVERIFY2(!reportRows.isEmpty(), "the report is not RFC 4180 CSV");
            QCOMPARE(asDone(planRows), reportRows);
            QCOMPARE(reportRows.first(),
                     (QStringList{QStringLiteral("row"), QStringLiteral("name"), QStringLiteral("action"),
                                  QStringLiteral("client_number"), QStringLiteral("notes")}));
            // Every row read is accounted for.
            QCOMPARE(QStringLiteral("rows read: %1,").arg(reportRows.size() - 1),
                     import.lastLine().section(u',', 0, 0) + u',');
            QVERIFY(QFile::remove(planned.database()));
            QVERIFY(QFile::copy(imported.database(), planned.database()));
        }
    }

    // What the plan of our sample says, row by row of the export: its rows stand below a header
    // of three rows, and the notes come from the scan and the rules.
    void planOfOurSample()
    {
        Folders f;
        {
            TestDatabase db(f.data);
            db.addCustomer(QStringLiteral("000100"), QStringLiteral("Earlier Client 1"));
            db.addCustomer(QStringLiteral("000250"), QStringLiteral("Earlier Client 2"));
        }
        const ToolRun plan = runTool({QStringLiteral("plan"),
                                      QStringLiteral(BREVIK_SOURCE_DIR "/tests/data/sample_customers.iif"),
                                      QStringLiteral("--data-folder"), f.data, QStringLiteral("--qb-version"),
                                      QStringLiteral("0"), QStringLiteral("--csv")});
        QCOMPARE(plan.status, 0);
        const QStringList lines = plan.out.split(QStringLiteral("\r\n"));
        for (const char* line :
             {"4,Acme Supply,add,000251,", "6,\"Lindqvist, Maja\",add,000253,",
              "8,Northern Lights Outfitters,add,000255,state cut to 2 characters from a longer text",
              "9,Springfield Hardware & Lumber Company of,add,000256,\"name cut to 40 characters, so the "
              "next "
              "import adds it again\"",
              "10,,nothing,,", "11,,nothing,,",
              "12,Hillside Dental Group,add,000257,\"city line without a comma, not split into city, state "
              "and "
              "zip\"",
              "30,Acme Supply,update,000251,"})
            QVERIFY2(lines.contains(QString::fromUtf8(line)), line);

        // A row without a TAB is named as such.
        const QString exportFile = f.root.filePath(QStringLiteral("tabless.iif"));
        QVERIFY(writeBytes(exportFile, "CUST\t\t\t\tAcme\t\r\nCUST Acme Supply 12 Oak St\r\n"));
        const ToolRun tabless =
            runTool({QStringLiteral("plan"), exportFile, QStringLiteral("--data-folder"), f.data,
                     QStringLiteral("--qb-version"), QStringLiteral("0"), QStringLiteral("--csv")});
        QVERIFY2(
            tabless.out.contains(u"\r\n2,,nothing,,\"no TAB in the row, so no field could be read\"\r\n"),
            qPrintable(tabless.out));
    }

    // The plan reads the database through a connection that cannot change it: zrdata.mdb stays
    // byte for byte, and no file is added to the data folder, the QuickBooks folder or beside
    // the tool, also where the folders come from zrQBck.dat.
    void planChangesNothing()
    {
        Folders f;
        fillEarlier(f.data);
        QVERIFY(writeBytes(f.quickBooks + QStringLiteral("/QBCUST.TXT"), "CUST\t\t\t\tEarlier\t\r\n"));
        const QString tool = f.folder(QStringLiteral("tool")) + QStringLiteral("/brevik-import");
        QVERIFY(QFile::copy(QStringLiteral(BREVIK_BIN_DIR "/brevik-import"), tool));
        QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner));
        QVERIFY(
            writeBytes(f.root.filePath(QStringLiteral("tool/zrQBck.dat")),
                       toCp1252(f.data + QStringLiteral("\r\n") + f.quickBooks + QStringLiteral("\r\n"))));

        const QByteArray database = readBytes(f.database());
        QVERIFY(database.startsWith("SQLite format 3"));
        QCOMPARE(database.at(18), '\x02'); // a write-ahead database
        const QStringList before{filesIn(f.data).join(u'/'), filesIn(f.quickBooks).join(u'/'),
                                 filesIn(f.root.filePath(QStringLiteral("tool"))).join(u'/')};
        const QString exportFile = QStringLiteral(BREVIK_SOURCE_DIR "/tests/data/sample_customers.iif");
        for (const QStringList& options : {QStringList(), QStringList{QStringLiteral("--csv")}}) {
            const ToolRun plan = runTool(QStringList{QStringLiteral("plan"), exportFile} + options, tool);
            QCOMPARE(plan.status, 0);
            QCOMPARE(readBytes(f.database()), database);
            const QStringList after{filesIn(f.data).join(u'/'), filesIn(f.quickBooks).join(u'/'),
                                    filesIn(f.root.filePath(QStringLiteral("tool"))).join(u'/')};
            QCOMPARE(after, before);
        }
        const ToolRun columns = runTool({QStringLiteral("plan"), exportFile}, tool);
        QVERIFY2(columns.out.contains(u"\n 30  Acme Supply "), qPrintable(columns.out));
        QVERIFY(columns.lastLine().startsWith(u"rows read: 32, clients added: 28, clients updated: 2,"));
    }

    // Names from web sign-ups: a spreadsheet must not run one as a formula, and a terminal must
    // neither take a control sequence from one nor have its columns turned around.
    void hostileNames()
    {
        Folders f;
        {
            // No client number is left, so every customer is refused with a message that quotes
            // its name, on standard error and in the notes.
            TestDatabase db(f.data);
            db.addCustomer(QStringLiteral("2147483647"), QStringLiteral("Last Number"));
        }
        const QStringList names{
            QStringLiteral("=1+2"),        QStringLiteral("+1 555"),           QStringLiteral("-5"),
            QStringLiteral("@SUM(A1:A9)"), QStringLiteral("Evil\u009b31mRed"), QStringLiteral("\u202eKCAB"),
            QStringLiteral("Bell\u0007")};
        TestExport signups;
        for (const QString& name : names)
            signups.customer({{5, name.toUtf8()}});
        const QString exportFile = f.root.filePath(QStringLiteral("signups.iif"));
        QVERIFY(signups.writeTo(exportFile));
        const QStringList plan{QStringLiteral("plan"), exportFile, QStringLiteral("--data-folder"), f.data};

        const QList<QStringList> rows =
            csvRows(runTool(plan + QStringList{QStringLiteral("--csv")}).out.toUtf8());
        QCOMPARE(rows.size(), names.size() + 1);
        QStringList inCsv;
        for (qsizetype i = 1; i < rows.size(); ++i)
            inCsv << rows.at(i).at(1);
        QCOMPARE(inCsv,
                 (QStringList{QStringLiteral("'=1+2"), QStringLiteral("'+1 555"), QStringLiteral("'-5"),
                              QStringLiteral("'@SUM(A1:A9)"), names.at(4), names.at(5), names.at(6)}));

        // A plan that goes through every row, in which the database would refuse customers.
        const ToolRun columns = runTool(plan);
        QCOMPARE(columns.status, 3);
        QString shown = columns.out + columns.errLines.join(u'\n');
        // On a terminal, the CSV shows them as marks too (saved, it holds them as they are).
        if (!QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty()) {
            QStringList command;
            for (const QString& argument : QStringList{QStringLiteral(BREVIK_BIN_DIR "/brevik-import")} +
                                               plan + QStringList{QStringLiteral("--csv")})
                command << u'\'' + argument + u'\'';
            const ToolRun terminal =
                runTool({QStringLiteral("-qec"), command.join(u' '), QStringLiteral("/dev/null")},
                        QStringLiteral("script"));
            QVERIFY2(terminal.out.contains(u",Evil\uFFFD31mRed,"), qPrintable(terminal.out));
            shown += terminal.out;
        }
        for (const char16_t c : {u'\u0007', u'\u009b', u'\u202e'})
            QVERIFY2(!shown.contains(QChar(c)), qPrintable(QString::number(c, 16)));
        // Each shown as a mark, one for one, so the columns stay aligned.
        QVERIFY2(columns.out.contains(u"  Evil\uFFFD31mRed  "), qPrintable(columns.out));
        QVERIFY(columns.errLines.at(4).contains(u"\"Evil\uFFFD31mRed\""));
        const QStringList lines = columns.out.split(u'\n');
        for (qsizetype i = 1; i <= names.size(); ++i)
            QCOMPARE(lines.at(i).indexOf(u" refused "), lines.first().indexOf(u" action "));
    }

    void progressOnATerminal_data()
    {
        QTest::addColumn<QStringList>("arguments"); // after our sample and the folders
        QTest::addColumn<QString>("shown");         // what the progress line shows; nothing when empty
        QTest::newRow("import") << QStringList{QStringLiteral("import")}
                                << QStringLiteral("] 100%  32 of 32 rows");
        QTest::newRow("plan") << QStringList{QStringLiteral("plan")}
                              << QStringLiteral("] 100%  32 of 32 rows");
        QTest::newRow("quiet import")
            << QStringList{QStringLiteral("import"), QStringLiteral("--quiet")} << QString();
        QTest::newRow("quiet plan") << QStringList{QStringLiteral("plan"), QStringLiteral("--quiet")}
                                    << QString();
    }

    // On a terminal the run shows how many of the rows it has done; a quiet run shows nothing but
    // the summary.
    void progressOnATerminal()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, shown);
        if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
            QSKIP("No script(1) to give the tool a terminal.");
        Folders f;
        fillEarlier(f.data);
        arguments.insert(1, QStringLiteral(BREVIK_SOURCE_DIR "/tests/data/sample_customers.iif"));
        arguments << QStringLiteral("--data-folder") << f.data;
        if (arguments.first() == u"import")
            arguments << QStringLiteral("--quickbooks-folder") << f.quickBooks;
        QStringList command;
        for (const QString& argument :
             QStringList{QStringLiteral(BREVIK_BIN_DIR "/brevik-import")} + arguments)
            command << u'\'' + argument + u'\'';
        const ToolRun terminal =
            runTool({QStringLiteral("-qec"), command.join(u' '), QStringLiteral("/dev/null")},
                    QStringLiteral("script"));
        QCOMPARE(terminal.status, 0);
        const bool drawn = terminal.out.contains(QRegularExpression(QStringLiteral("\\[[#.]{20}\\]")));
        QVERIFY2(drawn == !shown.isEmpty() && terminal.out.contains(shown), qPrintable(terminal.out));
        QVERIFY2(!shown.isEmpty() || !terminal.out.contains(u"copied to"), qPrintable(terminal.out));
    }

    void lostOutputIsAFailure_data()
    {
        QTest::addColumn<QStringList>("arguments"); // a plan is given our sample and its data folder
        QTest::newRow("plan") << QStringList{QStringLiteral("plan")};
        QTest::newRow("plan --csv") << QStringList{QStringLiteral("plan"), QStringLiteral("--csv")};
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")};
    }

    // Output that a full disk swallows is said, and the run fails.
    void lostOutputIsAFailure()
    {
        QFETCH(QStringList, arguments);
        if (!QFileInfo::exists(QStringLiteral("/dev/full")))
            QSKIP("This system has no /dev/full, the device that is always full.");
        Folders f;
        fillEarlier(f.data);
        if (arguments.first() == u"plan")
            arguments = QStringList{QStringLiteral("plan"),
                                    QStringLiteral(BREVIK_SOURCE_DIR "/tests/data/sample_customers.iif"),
                                    QStringLiteral("--data-folder"), f.data} +
                        arguments.mid(1);
        QProcess tool;
        tool.setStandardOutputFile(QStringLiteral("/dev/full"));
        tool.start(QStringLiteral(BREVIK_BIN_DIR "/brevik-import"), arguments);
        QVERIFY(tool.waitForFinished(120000));
        QCOMPARE(tool.exitCode(), 1);
        const QStringList said =
            QString::fromLocal8Bit(tool.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(
            said.filter(QStringLiteral("Standard output could not be written: the disk is full.")).size(), 1);
    }

    void planLeavesNothingBehind_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("status"); // -1: the signal ends the process itself
#ifdef Q_OS_UNIX
        QTest::newRow("Ctrl-C") << int(SIGINT) << 130;
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
        QTest::newRow("SIGHUP") << int(SIGHUP) << 129;
        QTest::newRow("killed") << int(SIGKILL) << -1;
#endif
    }

    // Nothing of a plan outlives it: a signal ends it after the customer it is planning and its
    // folder goes with it; the folder of a plan that was killed goes when the next plan starts,
    // while that of a plan that still runs stays.
    void planLeavesNothingBehind()
    {
#ifdef Q_OS_UNIX
        QFETCH(int, signal);
        QFETCH(int, status);
        Folders f;
        fillEarlier(f.data);
        const QString temporary = f.folder(QStringLiteral("tmp"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temporary);
        const QString exportFile = f.root.filePath(QStringLiteral("export.iif"));
        {
            TestExport rows;
            for (int i = 1; i <= 100000; ++i)
                rows.customer(QStringLiteral("Customer %1").arg(i), QStringLiteral("%1 Oak St").arg(i));
            QVERIFY(rows.writeTo(exportFile));
        }
        // A plan that still runs, one killed as it began a day ago, and one that is beginning.
        const QString live = QDir(temporary).filePath(QStringLiteral("brevik-plan-live01"));
        const QString old = QDir(temporary).filePath(QStringLiteral("brevik-plan-old002"));
        const QString young = QDir(temporary).filePath(QStringLiteral("brevik-plan-new003"));
        for (const QString& folder : {live, old, young})
            QVERIFY(QDir().mkpath(folder + QStringLiteral("/data")));
        QLockFile running(live + QStringLiteral("/plan.lock"));
        QVERIFY(running.tryLock(0));
        const struct timeval dayAgo[2] = {{time(nullptr) - 25 * 3600, 0}, { time(nullptr) - 25 * 3600, 0 }};
        QCOMPARE(::utimes(QFile::encodeName(old).constData(), dayAgo), 0);
        const QStringList before = QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        // Removed as the plan starts: only the folders of plans that may still run stay.
        const QStringList kept{QStringLiteral("brevik-plan-live01"), QStringLiteral("brevik-plan-new003")};

        QProcess plan;
        plan.setProcessEnvironment(environment);
        plan.start(QStringLiteral(BREVIK_BIN_DIR "/brevik-import"),
                   {QStringLiteral("plan"), exportFile, QStringLiteral("--data-folder"), f.data,
                    QStringLiteral("--csv")});
        QVERIFY(plan.waitForStarted());
        // The signal comes once the plan's copy of the database stands in its folder.
        QElapsedTimer waited;
        waited.start();
        const auto copyStands = [&] {
            for (const QString& name : QDir(temporary).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                if (!before.contains(name) &&
                    QFileInfo(QDir(temporary).filePath(name + QStringLiteral("/data/zrdata.mdb"))).size() > 0)
                    return true;
            return false;
        };
        while (plan.state() == QProcess::Running && !copyStands() && waited.elapsed() < 60000)
            QThread::msleep(2);
        QVERIFY(copyStands());
        QCOMPARE(::kill(pid_t(plan.processId()), signal), 0);
        QVERIFY(plan.waitForFinished(60000));
        const QStringList left = QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        if (status < 0) {
            QCOMPARE(plan.exitStatus(), QProcess::CrashExit);
            QCOMPARE(left.size(), kept.size() + 1);
        } else {
            QCOMPARE(plan.exitStatus(), QProcess::NormalExit);
            QCOMPARE(plan.exitCode(), status);
            const QStringList err =
                QString::fromLocal8Bit(plan.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
            QVERIFY(!err.isEmpty());
            QVERIFY2(err.last().startsWith(u"brevik-import: The plan was interrupted"),
                     qPrintable(err.join(u'\n')));
            // The rows it never reached are accounted for in the plan's own words.
            const QStringList lines = QString::fromUtf8(plan.readAllStandardOutput())
                                          .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            QCOMPARE(lines.value(lines.size() - 1),
                     QStringLiteral("100000,Customer 100000,refused,,not planned: the plan was interrupted"));
            QCOMPARE(left, kept);
        }

        // The next plan removes what the killed plans left, and nothing of a plan that runs.
        const QString small = f.root.filePath(QStringLiteral("small.iif"));
        QVERIFY(writeBytes(
            small, TestExport().customer(QStringLiteral("Acme"), QStringLiteral("1 Oak St")).bytes()));
        QProcess next;
        next.setProcessEnvironment(environment);
        next.start(QStringLiteral(BREVIK_BIN_DIR "/brevik-import"),
                   {QStringLiteral("plan"), small, QStringLiteral("--data-folder"), f.data});
        QVERIFY(next.waitForFinished(60000));
        QCOMPARE(next.exitCode(), 0);
        QCOMPARE(next.readAllStandardError(), QByteArray());
        QCOMPARE(QDir(temporary).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), kept);
        QVERIFY(QFile::exists(live + QStringLiteral("/plan.lock")));
#else
        QSKIP("The signals are a Unix matter.");
#endif
    }

    void planOfADatabaseTheUserMayOnlyRead_data()
    {
        QTest::addColumn<bool>("databaseReadOnly");
        QTest::addColumn<bool>("folderReadOnly");
        QTest::addColumn<bool>("openElsewhere"); // another program has it open, a client in its journal
        QTest::newRow("database and folder read-only") << true << true << false;
        QTest::newRow("folder read-only") << false << true << false;
        QTest::newRow("database read-only") << true << false << false;
        QTest::newRow("open elsewhere, database and folder read-only") << true << true << true;
    }

    // A user who may read zrdata.mdb and nothing more gets the plan as anyone else does, and no
    // file is made beside the database; changes that another program keeps in the journal are
    // seen. scripts/test.sh runs this as the user nobody.
    void planOfADatabaseTheUserMayOnlyRead()
    {
#ifdef Q_OS_UNIX
        QFETCH(bool, databaseReadOnly);
        QFETCH(bool, folderReadOnly);
        QFETCH(bool, openElsewhere);
        if (::geteuid() == 0)
            QSKIP("Root may write every file; scripts/test.sh runs this test as the user nobody.");
        Folders f;
        fillEarlier(f.data);
        std::optional<TestDatabase> other;
        if (openElsewhere) {
            other.emplace(f.data, TestDatabase::Open::Existing);
            other->addCustomer(QStringLiteral("000300"), QStringLiteral("Journal Client"));
            QVERIFY(QFile::exists(f.database() + QStringLiteral("-wal")));
        }
        const QString exportFile = f.root.filePath(QStringLiteral("export.iif"));
        QVERIFY(writeBytes(exportFile,
                           TestExport()
                               .customer(QStringLiteral("Earlier Client 1"), QStringLiteral("1 Oak St"))
                               .customer(QStringLiteral("Journal Client"), QStringLiteral("2 Oak St"))
                               .bytes()));
        const QByteArray database = readBytes(f.database());
        const QStringList files = filesIn(f.data);
        const QByteArray data = QFile::encodeName(f.data);
        const QByteArray file = QFile::encodeName(f.database());
        if (databaseReadOnly)
            QCOMPARE(::chmod(file.constData(), 0444), 0);
        if (folderReadOnly)
            QCOMPARE(::chmod(data.constData(), 0555), 0);

        const ToolRun plan =
            runTool({QStringLiteral("plan"), exportFile, QStringLiteral("--data-folder"), f.data,
                     QStringLiteral("--qb-version"), QStringLiteral("0"), QStringLiteral("--csv")});
        ::chmod(data.constData(), 0755);
        ::chmod(file.constData(), 0644);
        QCOMPARE(plan.errLines.size(), 1);
        QVERIFY2(plan.errLines.first().startsWith(u"rows read: 2,"), qPrintable(plan.errLines.first()));
        QCOMPARE(plan.status, 0);
        const QStringList lines = plan.out.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.value(1), QStringLiteral("1,Earlier Client 1,update,000100,"));
        QCOMPARE(lines.value(2), openElsewhere ? QStringLiteral("2,Journal Client,update,000300,")
                                               : QStringLiteral("2,Journal Client,add,000251,"));
        QCOMPARE(filesIn(f.data), files);
        QCOMPARE(readBytes(f.database()), database);
#else
        QSKIP("The permissions of files are a Unix matter.");
#endif
    }

    void reportThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("report");  // in the temporary folder
        QTest::addColumn<QString>("planted"); // what stands in the report's place: a link or a pipe
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::newRow("folder missing") << QStringLiteral("no such folder/report.csv") << QString() << 1
                                        << QStringLiteral("cannot be written");
        QTest::newRow("a folder") << QStringLiteral("data") << QString() << 1
                                  << QStringLiteral("cannot be written");
        QTest::newRow("the database") << QStringLiteral("data/zrdata.mdb") << QString() << 2
                                      << QStringLiteral("which the import reads or writes");
        QTest::newRow("QBCUST.TXT") << QStringLiteral("qb/../qb/QBCUST.TXT") << QString() << 2
                                    << QStringLiteral("which the import reads or writes");
        // Another user may plant a link in a shared folder, to a file only the operator may write.
        QTest::newRow("a link to another file")
            << QStringLiteral("report.csv") << QStringLiteral("link") << 1 << QStringLiteral("is a link");
        QTest::newRow("a link to no file") << QStringLiteral("report.csv") << QStringLiteral("dangling link")
                                           << 1 << QStringLiteral("is a link");
        QTest::newRow("a named pipe") << QStringLiteral("report.csv") << QStringLiteral("pipe") << 1
                                      << QStringLiteral("is a pipe or a device");
    }

    // Said once, before any customer is imported: no backup, no QBCUST.TXT, no row changed, and
    // nothing written where a link leads.
    void reportThatCannotBeWritten()
    {
        QFETCH(QString, report);
        QFETCH(QString, planted);
        QFETCH(int, status);
        QFETCH(QString, said);
        Folders f;
        fillEarlier(f.data);
        const QString reportPath = f.root.filePath(report);
        const QString other = f.root.filePath(QStringLiteral("operator only.txt"));
        if (planted == u"link") {
            QVERIFY(writeBytes(other, "kept\n"));
            QVERIFY(QFile::link(other, reportPath));
        } else if (planted == u"dangling link") {
            QVERIFY(QFile::link(other, reportPath));
        } else if (planted == u"pipe") {
#ifdef Q_OS_UNIX
            QCOMPARE(::mkfifo(QFile::encodeName(reportPath).constData(), 0600), 0);
#else
            QSKIP("Named pipes in a folder are a Unix matter.");
#endif
        }
        const QByteArray database = readBytes(f.database());
        const ToolRun run = runTool(
            {QStringLiteral("import"), QStringLiteral(BREVIK_SOURCE_DIR "/tests/data/sample_customers.iif"),
             QStringLiteral("--data-folder"), f.data, QStringLiteral("--quickbooks-folder"), f.quickBooks,
             QStringLiteral("--report"), reportPath});
        QCOMPARE(run.status, status);
        QVERIFY2(!run.errLines.isEmpty() && run.errLines.first().contains(said),
                 qPrintable(run.errLines.join(u'\n')));
        if (status == 1)
            QCOMPARE(run.errLines.size(), 1);
        QCOMPARE(readBytes(f.database()), database);
        QCOMPARE(filesIn(f.data), QStringList{QStringLiteral("zrdata.mdb")});
        QCOMPARE(filesIn(f.quickBooks), QStringList());
        if (!planted.isEmpty()) {
            QVERIFY(!QFileInfo(reportPath).isFile() || QFileInfo(reportPath).isSymLink());
            QCOMPARE(readBytes(other), planted == u"link" ? QByteArray("kept\n") : QByteArray());
        }
    }

    void reportOnAFullDisk_data()
    {
        QTest::addColumn<int>("room"); // KiB left on the disk
        QTest::addColumn<QString>("said");
        QTest::newRow("no room for the header")
            << 0 << QStringLiteral("the disk is full. Nothing was imported.");
        QTest::newRow("room for the first customers")
            << 4 << QStringLiteral("could not be written: the disk is full.");
    }

    // A report on a disk without room is said before the first customer: its header is written
    // through to the disk first. One that fills the disk is said at the end, and the run fails.
    // The disk is a tmpfs in a mount namespace of the test's own.
    void reportOnAFullDisk()
    {
        QFETCH(int, room);
        QFETCH(QString, said);
        const auto unshare = [room](const QStringList& arguments) {
            return runTool(QStringList{QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                                       QStringLiteral("mount -t tmpfs -o size=%1k tmpfs \"$0\" && "
                                                      "dd if=/dev/zero of=\"$0/fill\" bs=1k count=4 "
                                                      "2>/dev/null; exec \"$@\"")
                                           .arg(4 + room)} +
                               arguments,
                           QStringLiteral("unshare"));
        };
        Folders f;
        const QString full = f.folder(QStringLiteral("full"));
        if (unshare({full, QStringLiteral("true")}).status != 0)
            QSKIP("No mount namespace of our own can be made here (unshare -rm), so no disk can be filled.");
        fillEarlier(f.data);
        // A report of several times 4 KiB.
        const QString exportFile = f.root.filePath(QStringLiteral("random.iif"));
        QVERIFY(writeBytes(exportFile, randomExport(20261209, 150)));
        const QByteArray database = readBytes(f.database());
        const ToolRun run = unshare({full, QStringLiteral(BREVIK_BIN_DIR "/brevik-import"),
                                     QStringLiteral("import"), exportFile, QStringLiteral("--data-folder"),
                                     f.data, QStringLiteral("--quickbooks-folder"), f.quickBooks,
                                     QStringLiteral("--report"), full + QStringLiteral("/report.csv")});
        QCOMPARE(run.status, 1);
        QVERIFY2(!run.errLines.isEmpty() && run.errLines.last().contains(said),
                 qPrintable(run.errLines.join(u'\n')));
        QCOMPARE(run.errLines.filter(QStringLiteral("report")).size(), 1);
        if (room == 0) {
            QCOMPARE(readBytes(f.database()), database);
            QCOMPARE(filesIn(f.data), QStringList{QStringLiteral("zrdata.mdb")});
        }
    }
};

QTEST_GUILESS_MAIN(tst_PlanAndReport)
#include "tst_planandreport.moc"
