#include "toolrun.h"

#include "support/sqlitefile.h"
#include "support/testexport.h"
#include "support/testsupport.h"
#include "writer/referencewriter.h"
#include "writer/testdatabase.h"

#include "import/export/cp1252.h"
#include "import/export/extraction.h"
#include "import/export/rowreader.h"
#include "import/rules/rowscan.h"
#include "rules/plainscan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace brevik;
using namespace brevik::testing;

// brevik-import import and strip, end to end: an export goes in, the four tables and the
// messages come out as the rules say.
class tst_ImportCommand : public QObject
{
    Q_OBJECT

private:
    static QString ourSample()
    {
        return QStringLiteral(BREVIK_SOURCE_DIR "/tests/data/sample_customers.iif");
    }

    struct Folders
    {
        QTemporaryDir root;
        QString data;
        QString quickBooks;
        Folders()
        {
            QDir(root.path()).mkpath(QStringLiteral("data"));
            QDir(root.path()).mkpath(QStringLiteral("qb"));
            data = root.filePath(QStringLiteral("data"));
            quickBooks = root.filePath(QStringLiteral("qb"));
        }
        QStringList options(const QString& version = QString()) const
        {
            QStringList o{QStringLiteral("--data-folder"), data, QStringLiteral("--quickbooks-folder"),
                          quickBooks};
            if (!version.isNull())
                o << QStringLiteral("--qb-version") << version;
            return o;
        }
    };

    static void createDatabase(const QString& folder)
    {
        const ToolRun run = runTool({QStringLiteral("create-database"), folder});
        QCOMPARE(run.status, 0);
    }

    // The rules applied by hand: the rows of QBCUST.TXT scanned and written by the plain writer.
    static QStringList importPlainly(const QString& exportFile, const QString& qbcust,
                                     const QString& dataFolder, const QString& version)
    {
        // The columns of each customer row: those of the last header before it.
        QList<ExportColumns> rowColumns;
        QFile exportDevice(exportFile);
        if (exportDevice.open(QIODevice::ReadOnly)) {
            RowReader reader(exportDevice);
            ExportColumns columns;
            QByteArrayView row;
            while (reader.next(row)) {
                if (isCustomerRow(row))
                    rowColumns << columns;
                else if (isCustomerHeaderRow(row))
                    columns = headerColumns(row);
            }
        }
        ReferenceWriter writer;
        QFile file(qbcust);
        if (!file.open(QIODevice::ReadOnly))
            return {QStringLiteral("cannot read ") + qbcust};
        RowReader reader(file);
        QByteArrayView row;
        QSet<QString> written; // the names of the clients written so far
        while (reader.next(row)) {
            WindowValues values;
            values.txtHold1 = dataFolder;
            values.gOpt = version;
            const ExportColumns columns = rowColumns.value(reader.rowsRead() - 1);
            // UTF-8 where the row is UTF-8 with a byte above 127, else Windows-1252.
            const QString utf8 = QString::fromUtf8(row);
            const QString text =
                utf8.toUtf8() == row && utf8.size() < row.size() ? utf8 : fromCp1252(row.data(), row.size());
            scanRow(text, {version, columns}, values.Text1);
            const QString name = values.Text1[FieldName];
            if (PlainScan::isJob(text, columns) && written.contains(name))
                continue;
            if (!name.isEmpty())
                written.insert(name);
            writer.AddClient(values);
        }
        return writer.messages;
    }

private Q_SLOTS:
    void ourSampleArrivesWhole()
    {
        Folders f;
        createDatabase(f.data);
        const ToolRun run = runTool(QStringList{QStringLiteral("import"), ourSample()} + f.options());
        QCOMPARE(run.status, 0);
        QCOMPARE(run.errLines, QStringList());
        QCOMPARE(run.lastLine(),
                 QStringLiteral(
                     "rows read: 32, clients added: 29, clients updated: 1, rows that wrote nothing: 2, "
                     "customers refused: 0, jobs passed over: 0"));

        TestDatabase db(f.data, TestDatabase::Open::Existing);
        auto client = [&](const QString& name, const char* field) {
            return db.value(
                QStringLiteral("SELECT %1 FROM CLIENT WHERE Name = ?1").arg(QLatin1StringView(field)),
                {name});
        };
        // An 8-bit letter decoded, the contact taken from the column the header names.
        QCOMPARE(client(QStringLiteral("Caf\u00e9 Ros\u00e9"), "Contact").toString(),
                 QStringLiteral("Ren\u00e9 Aubert"));
        QCOMPARE(client(QStringLiteral("Caf\u00e9 Ros\u00e9"), "Tax").toLongLong(), 1);
        // Quotes dropped, a comma inside a quoted name kept, a second address line joined.
        QCOMPARE(client(QStringLiteral("Best Bakery"), "City").toString(), QStringLiteral("Boston"));
        QCOMPARE(client(QStringLiteral("Lindqvist, Maja"), "Zip").toString(), QStringLiteral("55802"));
        QCOMPARE(client(QStringLiteral("Hillside Dental Group"), "Addr2").toString(),
                 QStringLiteral("Floor 3, Suite 310"));
        // The long name cut to 40; the second Acme row rewrote the first.
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM CLIENT WHERE length(Name) = 40")).toLongLong(),
                 1);
        QCOMPARE(client(QStringLiteral("Acme Supply"), "Addr2").toString(), QStringLiteral("Suite 5"));
        QCOMPARE(db.count(QStringLiteral("CONTACTS")), 29);

        // A second import finds every client but the one whose long name was cut, which comes
        // in anew; nothing is said, and a quiet one prints the summary alone.
        const ToolRun again = runTool(
            QStringList{QStringLiteral("import"), ourSample(), QStringLiteral("--quiet")} + f.options());
        QCOMPARE(again.status, 0);
        QCOMPARE(again.errLines, QStringList());
        QCOMPARE(again.out,
                 QStringLiteral(
                     "rows read: 32, clients added: 1, clients updated: 29, rows that wrote nothing: 2, "
                     "customers refused: 0, jobs passed over: 0\n"));
    }

    void exportsMatchThePlainRules_data()
    {
        QTest::addColumn<QString>("exportFile");
        QTest::addColumn<QString>("version");
        QTest::newRow("our sample") << ourSample() << QStringLiteral("0");
        QTest::newRow("our sample, version 2") << ourSample() << QStringLiteral("2");
        const QString samples = samplesFolder();
        if (samples.isEmpty())
            return;
        for (const QString& name : QDir(samples).entryList({QStringLiteral("*.iif")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << QDir(samples).filePath(name) << QStringLiteral("1");
    }

    void exportsMatchThePlainRules()
    {
        QFETCH(QString, exportFile);
        QFETCH(QString, version);
        Folders tool;
        Folders plain;
        createDatabase(tool.data);
        createDatabase(plain.data);
        // Imported twice, so that the second run takes the update path for every client.
        for (int pass = 0; pass < 2; ++pass) {
            const ToolRun run =
                runTool(QStringList{QStringLiteral("import"), exportFile} + tool.options(version));
            QCOMPARE(run.status, 0);
            const QString qbcust = tool.quickBooks + QStringLiteral("/QBCUST.TXT");
            // Each message is a line of its own, after the tool's name.
            QStringList said = importPlainly(exportFile, qbcust, plain.data, version);
            for (QString& message : said)
                message.prepend(QStringLiteral("brevik-import: "));
            QCOMPARE(run.errLines, said);
        }
        TestDatabase a(tool.data, TestDatabase::Open::Existing);
        TestDatabase b(plain.data, TestDatabase::Open::Existing);
        for (const char* table : {"CLIENT", "CUSTOMERS", "ADDRESSES", "CONTACTS"})
            QCOMPARE(a.rows(QString::fromLatin1(table)), b.rows(QString::fromLatin1(table)));
    }

    void realWindowsExport()
    {
        BREVIK_REQUIRE_SAMPLES(samples);
        Folders f;
        createDatabase(f.data);
        const QString exportFile =
            samples + QStringLiteral("/Pewejekubam__qbd-to-gnucash__sample-qbd-customers.iif");
        const ToolRun run =
            runTool(QStringList{QStringLiteral("import"), exportFile} + f.options(QStringLiteral("1")));
        QCOMPARE(run.status, 0);
        // 20 of its rows are jobs; all but one follow a row that wrote their client.
        QCOMPARE(run.lastLine(),
                 QStringLiteral("rows read: 65, clients added: 46, clients updated: 0, rows "
                                "that wrote nothing: 0, customers refused: 0, jobs passed over: 19"));
        // Its header puts the contact in field 20 and the tax mark in field 24.
        TestDatabase db(f.data, TestDatabase::Open::Existing);
        QCOMPARE(db.value(QStringLiteral("SELECT Contact FROM CLIENT WHERE Name = 'Adam''s Candy Shop'"))
                     .toString(),
                 QStringLiteral("Adam Bradley"));
        // Mike Balak is taxable; his jobs are not, and one ships to "Hair, Nails and Supply".
        QCOMPARE(db.value(QStringLiteral("SELECT Tax || '/' || City || '/' || Addr2 FROM CLIENT WHERE Name = "
                                         "'Mike Balak'"))
                     .toString(),
                 QStringLiteral("1//Bayshore CA 94326"));
    }

    // An export in the shape of the 1998 import example: no REFNUM or TIMESTAMP, so every
    // column stands elsewhere, and its header says where.
    void importExampleOf1998()
    {
        Folders f;
        createDatabase(f.data);
        const QString exportFile = f.root.filePath(QStringLiteral("example.iif"));
        QVERIFY(TestExport()
                    .header(Example1998Header)
                    .customer({{2, "Customer Name"},
                               {3, "Customer Name"},
                               {4, "123 Main St"},
                               {5, "\"Anywhere, AZ 85740\""},
                               {6, "USA"},
                               {13, "520-555-1212"},
                               {15, "520-555-1213"},
                               {18, "Sam Sample"},
                               {21, "Net 30"},
                               {22, "Y"}})
                    .customer({{2, "Customer Name:Job 1"},
                               {3, "Customer Name"},
                               {4, "123 Main St"},
                               {5, "\"Anywhere, AZ 85740\""},
                               {6, "USA"},
                               {8, "\"Site, Inc.\""},
                               {9, "9 Job Rd"},
                               {10, "\"Elsewhere, AZ 85701\""},
                               {13, "520-555-1212"},
                               {18, "Sam Sample"},
                               {21, "Net 30"},
                               {22, "N"}})
                    .writeTo(exportFile));
        const ToolRun run =
            runTool(QStringList{QStringLiteral("import"), exportFile} + f.options(QStringLiteral("1")));
        QCOMPARE(run.status, 0);
        QCOMPARE(run.errLines, QStringList());
        QCOMPARE(run.lastLine(),
                 QStringLiteral("rows read: 2, clients added: 1, clients updated: 0, rows that "
                                "wrote nothing: 0, customers refused: 0, jobs passed over: 1"));
        TestDatabase db(f.data, TestDatabase::Open::Existing);
        QCOMPARE(db.rows(QStringLiteral("CLIENT")).size(), 1);
        QCOMPARE(
            db.value(QStringLiteral("SELECT Name || '/' || Addr1 || '/' || Addr2 || '/' || City || '/' || "
                                    "State || '/' || Zip || '/' || Phone || '/' || Contact || '/' || Tax "
                                    "FROM CLIENT"))
                .toString(),
            QStringLiteral("Customer Name/123 Main St/USA/Anywhere/AZ/85740/520-555-1212/Sam Sample/1"));
    }

    // Without an export, STRIP reads each row of QBCUST.TXT by its own bytes, as the import
    // reads the rows of the export.
    void stripAloneReadsEachRowByItsBytes_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QStringList>("names");
        const QByteArray cafe = "CUST\t\t\t\tCaf\xc3\xa9 Zo\xc3\xab\t\r\n";
        const QByteArray euro = "CUST\t\t\t\tCaf\xe9 \x80\t\r\n";
        QTest::newRow("UTF-8") << cafe << QStringList{QStringLiteral("Caf\u00e9 Zo\u00eb")};
        QTest::newRow("Windows-1252") << euro << QStringList{QStringLiteral("Caf\u00e9 \u20ac")};
        QTest::newRow("UTF-8, then a Windows-1252 row")
            << cafe + euro
            << QStringList{QStringLiteral("Caf\u00e9 Zo\u00eb"), QStringLiteral("Caf\u00e9 \u20ac")};
        // A NUL is dropped as the scan drops quotes: it never reaches CLIENT.Name.
        QTest::newRow("UTF-8 with a NUL") << QByteArrayLiteral("CUST\t\t\t\tCaf\xc3\xa9\0 Zo\xc3\xab\t\r\n")
                                          << QStringList{QStringLiteral("Caf\u00e9 Zo\u00eb")};
        QTest::newRow("Windows-1252 with a NUL") << QByteArrayLiteral("CUST\t\t\t\t\0Caf\xe9 \x80\t\r\n")
                                                 << QStringList{QStringLiteral("Caf\u00e9 \u20ac")};
    }

    void stripAloneReadsEachRowByItsBytes()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QStringList, names);
        Folders f;
        createDatabase(f.data);
        QVERIFY(writeBytes(f.quickBooks + QStringLiteral("/QBCUST.TXT"), rows));
        QCOMPARE(runTool(QStringList{QStringLiteral("strip")} + f.options()).status, 0);
        TestDatabase db(f.data, TestDatabase::Open::Existing);
        QStringList stored;
        for (const QVariantList& row : db.rows(QStringLiteral("CLIENT")))
            stored << row.value(2).toString();
        QCOMPARE(stored, names);
    }

    void otherVersionTakesNoContact()
    {
        Folders f;
        createDatabase(f.data);
        QCOMPARE(runTool(QStringList{QStringLiteral("import"), ourSample()} + f.options(QStringLiteral("2")))
                     .status,
                 0);
        TestDatabase db(f.data, TestDatabase::Open::Existing);
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM CLIENT WHERE Contact <> '' OR Tax <> 0"))
                     .toLongLong(),
                 0);
    }

    void stripStops_data()
    {
        QTest::addColumn<bool>("withDatabase");
        QTest::addColumn<bool>("withCustomerFile");
        QTest::addColumn<QString>("named");
        QTest::newRow("no QBCUST.TXT") << true << false << QStringLiteral("QBCUST.TXT");
        QTest::newRow("no database") << false << true << QStringLiteral("zrdata.mdb");
    }

    void stripStops()
    {
        QFETCH(bool, withDatabase);
        QFETCH(bool, withCustomerFile);
        QFETCH(QString, named);
        Folders f;
        if (withDatabase)
            createDatabase(f.data);
        if (withCustomerFile)
            QVERIFY(writeBytes(f.quickBooks + QStringLiteral("/QBCUST.TXT"),
                               "CUST\t\t\t\tOne\t\r\nCUST\t\t\t\tTwo\t\r\nCUST\t\t\t\tThree\t\r\n"));
        const ToolRun run = runTool(QStringList{QStringLiteral("strip")} + f.options());
        QCOMPARE(run.status, 1);
        QCOMPARE(run.errLines.size(), 1);
        QVERIFY2(run.errLines.first().contains(named), qPrintable(run.errLines.first()));
        QVERIFY(run.lastLine().startsWith(u"rows read: "));
    }

    void interruptedRunStopsAfterACustomer_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("standardInput"); // the export comes on standard input
#ifdef Q_OS_UNIX
        QTest::newRow("import, Ctrl-C") << QStringLiteral("import") << int(SIGINT) << 130 << false;
        QTest::newRow("strip, SIGTERM") << QStringLiteral("strip") << int(SIGTERM) << 143 << false;
        QTest::newRow("import, terminal closed") << QStringLiteral("import") << int(SIGHUP) << 129 << false;
        QTest::newRow("import from standard input, Ctrl-C")
            << QStringLiteral("import") << int(SIGINT) << 130 << true;
#endif
    }

    // A signal ends the run after the customer being written: what is committed stays, each
    // customer whole; the report accounts for every row, the summary counts what is stored, one
    // message says how far the run went, and the exit status names the signal.
    void interruptedRunStopsAfterACustomer()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, command);
        QFETCH(int, signal);
        QFETCH(int, status);
        QFETCH(bool, standardInput);
        constexpr int Customers = 100000; // some seconds of work, of which the signal stops most
        Folders f;
        createDatabase(f.data);
        const QString exportFile = f.root.filePath(QStringLiteral("export.iif"));
        {
            TestExport rows;
            for (int i = 1; i <= Customers; ++i)
                rows.customer(QStringLiteral("Customer %1").arg(i), QStringLiteral("%1 Oak St").arg(i));
            QVERIFY(rows.writeTo(exportFile));
        }
        if (command == u"strip")
            QCOMPARE(runTool({QStringLiteral("extract"), exportFile, QStringLiteral("--quickbooks-folder"),
                              f.quickBooks})
                         .status,
                     0);
        QStringList arguments{command};
        if (command == u"import")
            arguments << (standardInput ? QStringLiteral("-") : exportFile);
        const QString report = f.root.filePath(QStringLiteral("report.csv"));
        arguments << f.options(QStringLiteral("0")) << QStringLiteral("--report") << report;

        QProcess process;
        // The copy of standard input goes with the run.
        const QString temporary = f.root.filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkpath(temporary));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temporary);
        process.setProcessEnvironment(environment);
        if (standardInput)
            process.setStandardInputFile(exportFile);
        process.start(QStringLiteral(BREVIK_BIN_DIR "/brevik-import"), arguments);
        QVERIFY(process.waitForStarted());
        {
            // The signal comes once the run's first commit shows.
            SqliteFile watch(f.data + QStringLiteral("/zrdata.mdb"));
            QElapsedTimer waited;
            waited.start();
            while (process.state() == QProcess::Running &&
                   watch.number(QStringLiteral("SELECT count(*) FROM CLIENT")) == 0 &&
                   waited.elapsed() < 60000)
                QThread::msleep(2);
        }
        QCOMPARE(::kill(pid_t(process.processId()), signal), 0);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);

        const QStringList out =
            QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        const QStringList err =
            QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(err.size(), 1);
        QVERIFY(QDir(temporary).isEmpty());
        const QRegularExpressionMatch said =
            QRegularExpression(
                QStringLiteral(
                    "^brevik-import: The import was interrupted: row (\\d+) was the last stored, and "
                    "every customer up to it is stored whole; nothing was stored from "
                    "row (\\d+) on\\. "))
                .match(err.first());
        QVERIFY2(said.hasMatch(), qPrintable(err.first()));
        const qint64 last = said.captured(1).toLongLong();
        QCOMPARE(said.captured(2).toLongLong(), last + 1);
        QVERIFY2(last > 0 && last < Customers, qPrintable(err.first()));
        QCOMPARE(out.last(), QStringLiteral("rows read: %1, clients added: %2, clients updated: 0, rows that "
                                            "wrote nothing: 0, customers refused: 0, jobs passed over: 0")
                                 .arg(Customers)
                                 .arg(last));

        TestDatabase db(f.data, TestDatabase::Open::Existing);
        for (const char* table : {"CLIENT", "CUSTOMERS", "ADDRESSES", "CONTACTS"})
            QCOMPARE(db.count(QLatin1StringView(table)), last);
        QCOMPARE(db.value(QStringLiteral("SELECT max(CAST(substr(Name, 10) AS INTEGER)) FROM CLIENT"))
                     .toLongLong(),
                 last);

        const QList<QStringList> reported = csvRows(readBytes(report));
        QCOMPARE(reported.size(), Customers + 1);
        for (qint64 row = 1; row <= Customers; ++row) {
            const QStringList& line = reported.at(row);
            const QStringList expected =
                row <= last ? QStringList{QString::number(row), QStringLiteral("Customer %1").arg(row),
                                          QStringLiteral("added"), line.value(3), QString()}
                            : QStringList{QString::number(row), QStringLiteral("Customer %1").arg(row),
                                          QStringLiteral("refused"), QString(),
                                          QStringLiteral("not imported: the run was interrupted")};
            if (line != expected)
                QCOMPARE(line, expected);
        }
#else
        QSKIP("The signals are a Unix matter.");
#endif
    }

    void foldersComeFromTheSettingsFile()
    {
        // The tool reads zrQBck.dat and QBvers.Dat in its own folder.
        Folders f;
        createDatabase(f.data);
        const QString tool = f.root.filePath(QStringLiteral("brevik-import"));
        QVERIFY(QFile::copy(QStringLiteral(BREVIK_BIN_DIR "/brevik-import"), tool));
        QVERIFY(QFile::setPermissions(tool, QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner));
        QVERIFY(
            writeBytes(f.root.filePath(QStringLiteral("zrQBck.dat")),
                       toCp1252(f.data + QStringLiteral("\r\n") + f.quickBooks + QStringLiteral("\r\n"))));
        QVERIFY(writeBytes(f.root.filePath(QStringLiteral("QBvers.Dat")), "2\r\n"));
        const ToolRun run = runTool({QStringLiteral("import"), ourSample()}, tool);
        QCOMPARE(run.status, 0);
        TestDatabase db(f.data, TestDatabase::Open::Existing);
        QCOMPARE(db.count(QStringLiteral("CLIENT")), 29);
        // Version 2 from QBvers.Dat: no contacts taken.
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM CLIENT WHERE Contact <> ''")).toLongLong(), 0);

        // An empty folder option, as a script with an unset variable gives it, is a usage error:
        // it never falls back to the database that zrQBck.dat names.
        for (const QStringList& empty : {QStringList{QStringLiteral("--data-folder"), QString()},
                                         QStringList{QStringLiteral("--quickbooks-folder=")}}) {
            const ToolRun refused = runTool(QStringList{QStringLiteral("import"), ourSample()} + empty, tool);
            QCOMPARE(refused.status, 2);
            QVERIFY2(refused.errLines.first().contains(u"is given an empty folder"),
                     qPrintable(refused.errLines.first()));
        }
        QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM CLIENT WHERE Contact <> ''")).toLongLong(), 0);
        QCOMPARE(db.count(QStringLiteral("CLIENT")), 29);

        QFile::remove(f.root.filePath(QStringLiteral("zrQBck.dat")));
        const ToolRun missing = runTool({QStringLiteral("strip")}, tool);
        QCOMPARE(missing.status, 2);
        QVERIFY(missing.errLines.join(u' ').contains(QStringLiteral("data folder")));
    }
};

QTEST_GUILESS_MAIN(tst_ImportCommand)
#include "tst_importcommand.moc"
