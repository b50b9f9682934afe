#include "faults/faultsupport.h"
#include "import/export/extraction.h"
#include "import/export/rowreader.h"
#include "import/export/textencoding.h"
#include "support/testsupport.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using brevik::ExtractionFailure;
using brevik::ExtractionResult;
using brevik::testing::FileSizeLimit;
using brevik::testing::readBytes;
using brevik::testing::writeBytes;
using namespace Qt::StringLiterals;

// START's copy: every customer row of the export, byte for byte and each followed by CR LF,
// in QBCUST.TXT of the QuickBooks folder; on failure the earlier file is left alone.
class tst_Extraction : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString qbcust() const { return m_dir.filePath(QStringLiteral("QBCUST.TXT")); }

    ExtractionResult run(const QByteArray& input, QList<QByteArray>* listed = nullptr)
    {
        const QString path = m_dir.filePath(QStringLiteral("export.iif"));
        if (!writeBytes(path, input))
            qWarning("Could not write the export");
        return brevik::extractCustomerRows(path, m_dir.path(), [listed](QByteArrayView row, qint64) {
            if (listed)
                listed->append(row.toByteArray());
        });
    }

    // The rule stated plainly: split at CR LF, lone CR and lone LF, keep the customer rows.
    static QByteArray plainRule(const QByteArray& input)
    {
        QByteArray out;
        qsizetype begin = 0;
        const auto take = [&](qsizetype end) {
            const QByteArray row = input.mid(begin, end - begin);
            const QByteArray first = row.left(row.indexOf('\t') < 0 ? row.size() : row.indexOf('\t'));
            if (row.startsWith("CUST") && !row.startsWith("CUSTNAME") && first != "CUSTITEMDICT" &&
                first != "CUSTOMPI")
                out += row + "\r\n";
        };
        for (qsizetype i = 0; i < input.size(); ++i) {
            if (input[i] != '\r' && input[i] != '\n')
                continue;
            take(i);
            if (input[i] == '\r' && i + 1 < input.size() && input[i + 1] == '\n')
                ++i;
            begin = i + 1;
        }
        if (begin < input.size())
            take(input.size());
        return out;
    }

private Q_SLOTS:
    void init() { QFile::remove(qbcust()); }

    void copiesCustomerRows_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("header, name lists, customers")
            << QByteArray(
                   "!CUST\tNAME\r\nCUSTNAME\ta\r\nCUSTNAMEDICT\tb\r\nCUST\t1\r\nCUST\t2\r\nCUST\t3\r\n")
            << QByteArray("CUST\t1\r\nCUST\t2\r\nCUST\t3\r\n");
        QTest::newRow("lone LF rows")
            << QByteArray("!CUST\tN\nCUST\ta\nCUST\tb\n") << QByteArray("CUST\ta\r\nCUST\tb\r\n");
        QTest::newRow("lone CR rows")
            << QByteArray("CUST\ta\rCUST\tb") << QByteArray("CUST\ta\r\nCUST\tb\r\n");
        QTest::newRow("LF CR is two row ends")
            << QByteArray("CUST\ta\n\rCUST\tb\r\n") << QByteArray("CUST\ta\r\nCUST\tb\r\n");
        QTest::newRow("last row without an end")
            << QByteArray("CUST\ta\r\nCUST") << QByteArray("CUST\ta\r\nCUST\r\n");
        QTest::newRow("bytes above 127 and NUL") << QByteArray("CUST\tCaf\xe9\t\x80\x9f\xff\0x\r\n", 17)
                                                 << QByteArray("CUST\tCaf\xe9\t\x80\x9f\xff\0x\r\n", 17);
        QTest::newRow("trailing tabs and quotes kept")
            << QByteArray("CUST\t\"Bayshore, CA  94482\"\t\t\t\r\n")
            << QByteArray("CUST\t\"Bayshore, CA  94482\"\t\t\t\r\n");
        QTest::newRow("list declarations passed over")
            << QByteArray("CUSTITEMDICT\t1\r\nCUSTOMPI\tx\r\nCUSTOMER\ty\r\n")
            << QByteArray("CUSTOMER\ty\r\n");
        QTest::newRow("no customers: empty file") << QByteArray("!HDR\tPROD\r\nVEND\tx\r\n") << QByteArray();
        QTest::newRow("empty export") << QByteArray() << QByteArray();
    }

    void copiesCustomerRows()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, expected);
        QList<QByteArray> listed;
        const ExtractionResult result = run(input, &listed);
        QVERIFY(result.succeeded());
        QCOMPARE(readBytes(qbcust()), expected);
        QCOMPARE(QByteArray(listed.join("\r\n") + (listed.isEmpty() ? "" : "\r\n")), expected);
        QCOMPARE(result.rowsCopied, listed.size());
        QCOMPARE(result.outputPath, qbcust());
    }

    // Each customer row is read by its own bytes: UTF-8 where it is valid UTF-8 with a
    // multi-byte sequence, else Windows-1252; the rows are copied as they are either way.
    void readsEachRowByItsOwnBytes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("ASCII") << QByteArray("CUST\tAcme\r\n") << QStringList{u"CUST\tAcme"_s};
        QTest::newRow("Windows-1252") << QByteArray("CUST\tCaf\xe9 Zo\xeb \x80\r\n")
                                      << QStringList{u"CUST\tCaf\u00e9 Zo\u00eb \u20ac"_s};
        QTest::newRow("UTF-8") << QByteArray("CUST\tAcme\r\nCUST\tCaf\xc3\xa9 Zo\xc3\xab\r\n")
                               << QStringList{u"CUST\tAcme"_s, u"CUST\tCaf\u00e9 Zo\u00eb"_s};
        QTest::newRow("UTF-8, four-byte sequence")
            << QByteArray("CUST\t\xf0\x9f\x8d\xb0\n") << QStringList{u"CUST\t\U0001F370"_s};
        QTest::newRow("marked, ASCII") << QByteArray("\xef\xbb\xbf"
                                                     "CUST\tAcme\r\n")
                                       << QStringList{u"CUST\tAcme"_s};
        QTest::newRow("marked, one Windows-1252 byte")
            << QByteArray("\xef\xbb\xbf"
                          "CUST\tCaf\xc3\xa9\r\nCUST\tCaf\xe9\r\n")
            << QStringList{u"CUST\tCaf\u00e9"_s, u"CUST\tCaf\u00e9"_s};
        QTest::newRow("UTF-8, then one Windows-1252 row")
            << QByteArray("CUST\tCaf\xc3\xa9\r\nCUST\tM\xfcller\r\n")
            << QStringList{u"CUST\tCaf\u00e9"_s, u"CUST\tM\u00fcller"_s};
        QTest::newRow("overlong slash") << QByteArray("CUST\tCaf\xc3\xa9\t\xc0\xaf\r\n")
                                        << QStringList{u"CUST\tCaf\u00c3\u00a9\t\u00c0\u00af"_s};
        QTest::newRow("encoded surrogate") << QByteArray("CUST\tCaf\xc3\xa9\t\xed\xa0\x80\r\n")
                                           << QStringList{u"CUST\tCaf\u00c3\u00a9\t\u00ed\u00a0\u20ac"_s};
        QTest::newRow("sequence cut by the row end")
            << QByteArray("CUST\tCaf\xc3\r\n\xa9\r\n") << QStringList{u"CUST\tCaf\u00c3"_s};
    }

    void readsEachRowByItsOwnBytes()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, texts);
        QVERIFY(run(input).succeeded());
        QCOMPARE(readBytes(qbcust()), plainRule(input.startsWith("\xef\xbb\xbf") ? input.mid(3) : input));
        QFile file(qbcust());
        QVERIFY(file.open(QIODevice::ReadOnly));
        brevik::RowReader reader(file);
        QStringList read;
        for (QByteArrayView row; reader.next(row);)
            read << brevik::decodeRow(row);
        QCOMPARE(read, texts);
    }

    // Each "!CUST" header gives its columns to the customer rows after it, up to the next one;
    // rows before the first have the designed columns. The client's name (BADDR1) shows where.
    void eachHeaderGovernsTheRowsAfterIt_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<int>>("nameFields"); // of each row of QBCUST.TXT
        QTest::addColumn<int>("changes");
        const QByteArray third = "!CUST\tNAME\tBADDR1\r\n";
        const QByteArray fourth = "!CUST\tNAME\tREFNUM\tBADDR1\r\n";
        const QByteArray designed = "!CUST\tNAME\tREFNUM\tTIMESTAMP\tBADDR1\r\n";
        const QByteArray row = "CUST\tx\r\n";
        QTest::newRow("no header") << row + row << QList<int>{5, 5} << 0;
        QTest::newRow("one header first") << third + row + row << QList<int>{3, 3} << 1;
        QTest::newRow("a header in the middle") << row + third + row << QList<int>{5, 3} << 1;
        QTest::newRow("two exports end to end") << third + row + fourth + row << QList<int>{3, 4} << 2;
        QTest::newRow("the header before every customer")
            << third + row + third + row + third + row << QList<int>{3, 3, 3} << 1;
        QTest::newRow("two headers in a row: the second counts")
            << fourth + third + row << QList<int>{3} << 1;
        QTest::newRow("back to the designed columns")
            << third + row + designed + row << QList<int>{3, 5} << 2;
        QTest::newRow("a header after the last customer") << row + third << QList<int>{5} << 0;
        QTest::newRow("other lists between")
            << third + "!VEND\tNAME\r\nVEND\tv\r\n" + row << QList<int>{3} << 1;
    }

    void eachHeaderGovernsTheRowsAfterIt()
    {
        QFETCH(QByteArray, input);
        QFETCH(QList<int>, nameFields);
        QFETCH(int, changes);
        const ExtractionResult result = run(input);
        QVERIFY(result.succeeded());
        QCOMPARE(result.rowsCopied, nameFields.size());
        QList<int> found;
        for (qsizetype row = 1; row <= result.rowsCopied; ++row)
            found << result.layout.columnsOf(row).nameField;
        QCOMPARE(found, nameFields);
        QCOMPARE(qsizetype(result.layout.changes().size()), changes);
    }

    void veryLongRowsAndLargeFilesMatchThePlainRule()
    {
        // A row as long as a row may be, across the buffers, and megabytes of every kind of row.
        QByteArray input = "CUST\t" + QByteArray(brevik::RowReader::MaxRowLength - 5, '\xe9') + "\r\n";
        auto* random = QRandomGenerator::global();
        const QByteArray starts[] = {"CUST\t", "CUSTNAME\t", "CUSTOMPI\t", "!CUST\t",
                                     "cust\t", "CUSTOMER\t", "VEND\t"};
        const QByteArray ends[] = {"\r\n", "\r", "\n"};
        while (input.size() < 8'000'000) {
            input += starts[random->bounded(7)];
            input += QByteArray(random->bounded(400), static_cast<char>(random->bounded(32, 256)));
            input += ends[random->bounded(3)];
        }
        QVERIFY(run(input).succeeded());
        QCOMPARE(readBytes(qbcust()), plainRule(input));
    }

    void writtenAnewEachRun()
    {
        QVERIFY(run("CUST\tfirst\r\nCUST\tsecond\r\n").succeeded());
        QVERIFY(run("CUST\tthird\r\n").succeeded());
        QCOMPARE(readBytes(qbcust()), QByteArray("CUST\tthird\r\n"));
    }

    // The half-written copy of a run that was stopped is removed by a later run once it is a
    // day old; a younger one may belong to a run still writing.
    void staleCopiesAreRemoved()
    {
        const QStringList stale{QStringLiteral("QBCUST.TXT.0badf00d.tmp")};
        const QStringList kept{QStringLiteral("QBCUST.TXT.12345678.tmp"),
                               QStringLiteral("QBCUST.TXT.mine.tmp")};
        for (const QString& name : stale + kept) {
            QFile file(m_dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            const bool young = name.contains(u"12345678");
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(young ? -3600 : -25 * 3600),
                                     QFileDevice::FileModificationTime));
        }
        QVERIFY(run("CUST\tx\r\n").succeeded());
        for (const QString& name : stale)
            QVERIFY2(!QFile::exists(m_dir.filePath(name)), qPrintable(name));
        for (const QString& name : kept) {
            QVERIFY2(QFile::exists(m_dir.filePath(name)), qPrintable(name));
            QFile::remove(m_dir.filePath(name));
        }
    }

    void newFileTakesNoModeFromOthers_data()
    {
        QTest::addColumn<int>("earlier");  // the mode of the file at the name; -1: no file
        QTest::addColumn<bool>("others");  // it belongs to another user
        QTest::addColumn<bool>("linked");  // the name is a link to it
        QTest::addColumn<int>("expected"); // the new file's mode; -1: the usual one under the umask
        QTest::newRow("no earlier file") << -1 << false << false << -1;
        QTest::newRow("own file, for its owner alone") << 0600 << false << false << 0600;
        QTest::newRow("own file, writable by every user") << 0666 << false << false << 0664;
        QTest::newRow("another user's file, writable by every user") << 0666 << true << false << -1;
        QTest::newRow("a link to an own file writable by every user") << 0666 << false << true << -1;
    }

    // A file that another user put at the name of QBCUST.TXT, or a link there, never chooses who
    // may write to the new one; no one but the user and its own groups ever may.
    void newFileTakesNoModeFromOthers()
    {
#ifdef Q_OS_UNIX
        QFETCH(int, earlier);
        QFETCH(bool, others);
        QFETCH(bool, linked);
        QFETCH(int, expected);
        if (others && ::geteuid() != 0)
            QSKIP("Only root can give a file to another user here.");
        const mode_t umask = ::umask(0);
        ::umask(umask);
        if (expected < 0)
            expected = int(0666 & ~umask & ~mode_t(S_IWOTH));
        if (earlier >= 0) {
            const QString target = linked ? m_dir.filePath(QStringLiteral("elsewhere.txt")) : qbcust();
            QVERIFY(writeBytes(target, "CUST\tearlier\r\n"));
            QCOMPARE(::chmod(QFile::encodeName(target).constData(), mode_t(earlier)), 0);
            if (others)
                QCOMPARE(::chown(QFile::encodeName(target).constData(), 65534, 65534), 0);
            if (linked)
                QVERIFY(QFile::link(target, qbcust()));
        }
        QVERIFY(run("CUST\tx\r\n").succeeded());
        struct stat made = {};
        QCOMPARE(::lstat(QFile::encodeName(qbcust()).constData(), &made), 0);
        QVERIFY(S_ISREG(made.st_mode));
        QCOMPARE(made.st_uid, ::geteuid());
        QCOMPARE(int(made.st_mode & 07777), expected);
        QFile::remove(m_dir.filePath(QStringLiteral("elsewhere.txt")));
#else
        QSKIP("The modes of files are a Unix matter.");
#endif
    }

    void unreadableExportLeavesTheEarlierFile()
    {
        QVERIFY(writeBytes(qbcust(), "CUST\tearlier\r\n"));
        const QString missing = m_dir.filePath(QStringLiteral("no such export.iif"));
        int listed = 0;
        const ExtractionResult result = brevik::extractCustomerRows(
            missing, m_dir.path(), [&listed](QByteArrayView, qint64) { ++listed; });
        QVERIFY(!result.succeeded());
        QCOMPARE(result.failure->cause, ExtractionFailure::Cause::ExportUnreadable);
        QVERIFY(result.failure->message().contains(QDir::toNativeSeparators(missing)));
        QVERIFY(result.failure->message().endsWith(u'.'));
        QVERIFY(!result.failure->reason.isEmpty());
        QCOMPARE(listed, 0);
        QCOMPARE(readBytes(qbcust()), QByteArray("CUST\tearlier\r\n"));

        // A folder is no export either.
        const ExtractionResult folder = brevik::extractCustomerRows(m_dir.path(), m_dir.path());
        QCOMPARE(folder.failure->cause, ExtractionFailure::Cause::ExportUnreadable);
        QCOMPARE(readBytes(qbcust()), QByteArray("CUST\tearlier\r\n"));
    }

    void unwritableOutput()
    {
        const QString exportFile = m_dir.filePath(QStringLiteral("export.iif"));
        QVERIFY(writeBytes(exportFile, "CUST\tx\r\n"));

        const QString missingFolder = m_dir.filePath(QStringLiteral("no such folder"));
        const ExtractionResult result = brevik::extractCustomerRows(exportFile, missingFolder);
        QCOMPARE(result.failure->cause, ExtractionFailure::Cause::OutputUnwritable);
        QVERIFY(result.failure->message().contains(QDir::toNativeSeparators(missingFolder + u"/QBCUST.TXT")));

        // A write the system stops short names its cause, not "Unknown error".
        {
            QVERIFY(writeBytes(exportFile, QByteArray("CUST\t") + QByteArray(200000, 'x') + "\r\n"));
            FileSizeLimit limit(64 * 1024);
            if (limit.active()) {
                const ExtractionResult cut = brevik::extractCustomerRows(exportFile, m_dir.path());
                QCOMPARE(cut.failure->cause, ExtractionFailure::Cause::OutputUnwritable);
                QCOMPARE(cut.failure->reason, QStringLiteral("File too large"));
            }
        }

        // QBCUST.TXT that is a folder cannot be replaced; nothing of the run is left behind.
        QTemporaryDir other;
        QVERIFY(QDir(other.path()).mkdir(QStringLiteral("QBCUST.TXT")));
        const ExtractionResult blocked = brevik::extractCustomerRows(exportFile, other.path());
        QCOMPARE(blocked.failure->cause, ExtractionFailure::Cause::OutputUnwritable);
        QCOMPARE(QDir(other.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{QStringLiteral("QBCUST.TXT")});
    }

    void realExports_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("rows");
        QTest::newRow("Mac 2019, LF only")
            << QStringLiteral("VonHoltenCodes__SlowBooks-Pro-2026__sample_qbmac_opening_balances.iif") << 65;
        QTest::newRow("Enterprise, LF only")
            << QStringLiteral("Pewejekubam__qbd-to-gnucash__sample-qbd-customers.iif") << 65;
        QTest::newRow("Mac 6.0, no customers") << QStringLiteral("gitpan__Finance-IIF__sample.iif") << 0;
        QTest::newRow("2006 kit, list declarations")
            << QStringLiteral(
                   "overhacked__square-bridge__Import_First_-_List_Declarations_Not_Version_Specific.iif")
            << 1;
    }

    void realExports()
    {
        BREVIK_REQUIRE_SAMPLES(samples);
        QFETCH(QString, file);
        QFETCH(int, rows);
        const QString path = samples + u'/' + file;
        const ExtractionResult result = brevik::extractCustomerRows(path, m_dir.path());
        QVERIFY(result.succeeded());
        QCOMPARE(result.rowsCopied, rows);
        const QByteArray written = readBytes(qbcust());
        QCOMPARE(written, plainRule(readBytes(path)));
        QCOMPARE(written.count("\r\n"), rows);
        QCOMPARE(written.count('\n'), rows);
    }
};

QTEST_GUILESS_MAIN(tst_Extraction)
#include "tst_extraction.moc"
