#include "support/testexport.h"
#include "support/testsupport.h"
#include "tool/toolrun.h"
#include "writer/testdatabase.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace brevik;
using namespace brevik::testing;

// Exports that are not what they seem, through brevik-import import: each gives the designed
// result or one clear message, never a crash or a hang.
class tst_BadExports : public QObject
{
    Q_OBJECT

private:
    // The bytes of a literal, NUL bytes included.
    template<std::size_t N> static QByteArray bytes(const char (&literal)[N])
    {
        return QByteArray(literal, qsizetype(N - 1));
    }

    static QByteArray utf16(const QString& text, bool bigEndian)
    {
        QByteArray out(bigEndian ? "\xfe\xff" : "\xff\xfe");
        for (const QChar c : text) {
            const char high = char(c.unicode() >> 8);
            const char low = char(c.unicode() & 0xff);
            out.append(bigEndian ? high : low).append(bigEndian ? low : high);
        }
        return out;
    }

    static QByteArray randomBytes(qsizetype size)
    {
        QRandomGenerator random(20261208);
        QByteArray bytes(size, '\0');
        for (char& byte : bytes)
            byte = char(random.bounded(256));
        return bytes;
    }

    // Contact and tax mark in columns 10 and 11 of the header.
    static QByteArray header()
    {
        return "!CUST\tNAME\tREFNUM\tTIMESTAMP\tBADDR1\tBADDR2\tBADDR3\tBADDR4\tBADDR5\tCONT1\tTAXABLE\r\n";
    }
    static QByteArray customer(const QByteArray& name)
    {
        return TestExport()
            .customer({{2, name},
                       {3, "1"},
                       {4, "0"},
                       {5, name},
                       {6, "1 Oak St"},
                       {10, "Dana Whitfield"},
                       {11, "Y"}})
            .bytes();
    }

private Q_SLOTS:
    void importsOrSaysWhy_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("version");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");   // what the one message says; empty: no message
        QTest::addColumn<QByteArray>("copied"); // QBCUST.TXT afterwards
        QTest::addColumn<QStringList>("names"); // the clients stored, in table order

        const QString v0 = QStringLiteral("0");
        const QString none;
        const QByteArray earlier = "earlier\r\n"; // QBCUST.TXT of an earlier START
        const QByteArray acme = customer("Acme Supply");
        const QByteArray bayshore = customer("Bayshore Cafe");
        const QString text = QString::fromLatin1(header() + acme);

        QTest::newRow("binary") << randomBytes(1 << 20) << v0 << 0 << none << QByteArray() << QStringList();
        QTest::newRow("UTF-16 LE with BOM")
            << utf16(text, false) << v0 << 1 << QStringLiteral("UTF-16") << earlier << QStringList();
        QTest::newRow("UTF-16 BE with BOM")
            << utf16(text, true) << v0 << 1 << QStringLiteral("UTF-16") << earlier << QStringList();
        // Without a mark it is known by its first row, in which every other byte is 0.
        QTest::newRow("UTF-16 LE without BOM")
            << utf16(text, false).mid(2) << v0 << 1 << QStringLiteral("UTF-16") << earlier << QStringList();
        QTest::newRow("UTF-16 BE without BOM")
            << utf16(text, true).mid(2) << v0 << 1 << QStringLiteral("UTF-16") << earlier << QStringList();
        // The mark belongs to the file: the header in the first row still names the columns.
        QTest::newRow("UTF-8 BOM before the header") << "\xef\xbb\xbf" + header() + acme << v0 << 0 << none
                                                     << acme << QStringList{QStringLiteral("Acme Supply")};
        QTest::newRow("UTF-8 BOM before a customer")
            << "\xef\xbb\xbf" + acme + bayshore << v0 << 0 << none << acme + bayshore
            << QStringList{QStringLiteral("Acme Supply"), QStringLiteral("Bayshore Cafe")};
        // Saved as UTF-8 without a mark: read as UTF-8 when every customer row is, and still
        // copied byte for byte.
        const QByteArray cafe = customer("Caf\xc3\xa9 Zo\xc3\xab");
        QTest::newRow("UTF-8 without a mark")
            << header() + cafe + acme << v0 << 0 << none << cafe + acme
            << QStringList{QStringLiteral("Caf\u00e9 Zo\u00eb"), QStringLiteral("Acme Supply")};
        // Rows saved by different programs: each is read by its own bytes, and a mark changes
        // nothing of that.
        const QByteArray muller = customer("M\xfcller");
        QTest::newRow("UTF-8 but one row")
            << header() + cafe + muller << v0 << 0 << none << cafe + muller
            << QStringList{QStringLiteral("Caf\u00e9 Zo\u00eb"), QStringLiteral("M\u00fcller")};
        QTest::newRow("UTF-8 mark and one Windows-1252 row")
            << "\xef\xbb\xbf" + header() + cafe + muller << v0 << 0 << none << cafe + muller
            << QStringList{QStringLiteral("Caf\u00e9 Zo\u00eb"), QStringLiteral("M\u00fcller")};
        // Each header names the columns of the rows after it, up to the next header.
        const QByteArray twoCo = TestExport()
                                     .header(Example1998Header)
                                     .customer({{2, "Two Co"}, {3, "Two Co"}, {4, "2 Oak St"}})
                                     .bytes();
        const QByteArray twoCoRow = twoCo.sliced(twoCo.indexOf("\r\nCUST") + 2);
        QTest::newRow("two exports end to end")
            << header() + acme + twoCo << v0 << 0 << none << acme + twoCoRow
            << QStringList{QStringLiteral("Acme Supply"), QStringLiteral("Two Co")};
        QTest::newRow("a header in the middle")
            << bayshore + twoCo << v0 << 0 << none << bayshore + twoCoRow
            << QStringList{QStringLiteral("Bayshore Cafe"), QStringLiteral("Two Co")};
        // TABs turned into blanks: not one field can be read.
        const QByteArray blanks = QByteArray(header() + acme + bayshore).replace('\t', ' ');
        QTest::newRow("rows without TABs")
            << blanks << v0 << 1 << QStringLiteral("holds 2 customer rows, but they are not TAB-separated")
            << earlier << QStringList();
        QTest::newRow("one row of two without TABs")
            << header() + QByteArray(acme).replace('\t', ' ') + bayshore << v0 << 0 << none
            << QByteArray(acme).replace('\t', ' ') + bayshore << QStringList{QStringLiteral("Bayshore Cafe")};
        QTest::newRow("empty") << QByteArray() << v0 << 0 << none << QByteArray() << QStringList();
        QTest::newRow("only row ends")
            << QByteArray(100000, '\n') << v0 << 0 << none << QByteArray() << QStringList();
        // No export holds a row of a megabyte: the reading stops there rather than fill the
        // memory, and the earlier copy stays.
        const QByteArray hugeRow = acme + "CUST\tx\t\t\tHuge Row\t" + QByteArray(10 << 20, 'x') + "\t\r\n";
        QTest::newRow("a row of 10 MB")
            << hugeRow << v0 << 1 << QStringLiteral("row 2: the row is longer than 1 MiB") << earlier
            << QStringList();
        const QByteArray hugeLine = "CUST\tx\t\t\tNo Row End\t" + QByteArray(10 << 20, ',');
        QTest::newRow("10 MB without a row end")
            << hugeLine << v0 << 1 << QStringLiteral("row 1: the row is longer") << earlier << QStringList();
        const QByteArray tabs = "CUST\tx\t\t\tTabs\t" + QByteArray(1000000, '\t') + "\r\n";
        QTest::newRow("a million TABs")
            << tabs << v0 << 0 << none << tabs << QStringList{QStringLiteral("Tabs")};
        QTest::newRow("a million TABs, whole row scanned")
            << tabs << QStringLiteral("2") << 0 << none << tabs << QStringList{QStringLiteral("Tabs")};
        const QByteArray commas = "CUST\tx\t\t\tCommas\t" + QByteArray("a, b 1\t").repeated(140000) + "\r\n";
        QTest::newRow("140000 city lines")
            << commas << QStringLiteral("2") << 0 << none << commas << QStringList{QStringLiteral("Commas")};
        const QByteArray nulName = bytes("CUST\tx\t\t\tNul\0Name\t1\0Oak\t\r\n");
        const QByteArray nulEverywhere = bytes("CUST\0\t\t\t\t\0\t\r\n");
        // A NUL is copied as it stands, and dropped by the scan: a name of NUL alone is empty.
        QTest::newRow("NUL bytes") << nulName + bytes("\0\0\r\n") + nulEverywhere << v0 << 0 << none
                                   << nulName + nulEverywhere << QStringList{QStringLiteral("NulName")};
    }

    void importsOrSaysWhy()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, version);
        QFETCH(int, status);
        QFETCH(QString, message);
        QFETCH(QByteArray, copied);
        QFETCH(QStringList, names);

        QTemporaryDir dir;
        const QString exportFile = dir.filePath(QStringLiteral("export.iif"));
        const QString qbcust = dir.filePath(QStringLiteral("QBCUST.TXT"));
        QVERIFY(writeBytes(exportFile, content));
        QVERIFY(writeBytes(qbcust, "earlier\r\n"));
        {
            TestDatabase db(dir.path());
        }
        const QStringList arguments{QStringLiteral("import"),
                                    exportFile,
                                    QStringLiteral("--data-folder"),
                                    dir.path(),
                                    QStringLiteral("--quickbooks-folder"),
                                    dir.path(),
                                    QStringLiteral("--qb-version"),
                                    version};
        // Twice: a second import of the same export finds every client it stored.
        for (int pass = 0; pass < 2; ++pass) {
            QElapsedTimer timer;
            timer.start();
            const ToolRun run = runTool(arguments);
            QVERIFY2(run.status >= 0, "brevik-import crashed or hung");
            QVERIFY2(timer.elapsed() < 60000, "brevik-import took more than a minute");
            QCOMPARE(run.status, status);
            if (message.isEmpty()) {
                QCOMPARE(run.errLines, QStringList());
            } else {
                QCOMPARE(run.errLines.size(), 1);
                QVERIFY2(run.errLines.first().contains(message), qPrintable(run.errLines.first()));
                QVERIFY2(run.errLines.first().contains(QDir::toNativeSeparators(exportFile)),
                         qPrintable(run.errLines.first()));
            }
        }
        QCOMPARE(readBytes(qbcust), copied);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("QBCUST.TXT?*")}), QStringList()); // no half copy
        TestDatabase db(dir.path(), TestDatabase::Open::Existing);
        QStringList stored;
        for (const QVariantList& row : db.rows(QStringLiteral("CLIENT")))
            stored << row.value(2).toString();
        QCOMPARE(stored, names);
        QCOMPARE(db.count(QStringLiteral("CONTACTS")), names.size());
    }

    // The header behind a UTF-8 mark still moves the contact and the tax mark.
    void markedHeaderNamesTheColumns()
    {
        QTemporaryDir dir;
        const QString exportFile = dir.filePath(QStringLiteral("export.iif"));
        QVERIFY(writeBytes(exportFile, "\xef\xbb\xbf" + header() + customer("Acme Supply")));
        {
            TestDatabase db(dir.path());
        }
        const ToolRun run = runTool({QStringLiteral("import"), exportFile, QStringLiteral("--data-folder"),
                                     dir.path(), QStringLiteral("--quickbooks-folder"), dir.path(),
                                     QStringLiteral("--qb-version"), QStringLiteral("1")});
        QCOMPARE(run.status, 0);
        TestDatabase db(dir.path(), TestDatabase::Open::Existing);
        QCOMPARE(db.value(QStringLiteral("SELECT Contact FROM CLIENT")).toString(),
                 QStringLiteral("Dana Whitfield"));
        QCOMPARE(db.value(QStringLiteral("SELECT Tax FROM CLIENT")).toLongLong(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_BadExports)
#include "tst_badexports.moc"
