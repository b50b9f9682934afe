#include "support/testsupport.h"
#include "tool/toolrun.h"
#include "writer/testdatabase.h"

#include "import/engine/backup.h"

#include <QTemporaryDir>
#include <QTest>

using namespace brevik;
using namespace brevik::testing;

// A zrdata.mdb or a data folder that is not what it should be: brevik-import strip says so in
// one message naming the file, writes nothing and never changes a file that is not sound.
class tst_BadDatabase : public QObject
{
    Q_OBJECT

private:
    enum Setup
    {
        NoFile,
        TextFile,
        AccessFile,
        EmptyFile,
        Truncated,
        PageOverwritten,
        NoContactsTable,
        NoZipField,
        FolderNamedLikeTheFile,
        FolderInsideAFile,
    };

    static void fill(const QString& folder)
    {
        TestDatabase db(folder);
        db.exec(QStringLiteral("BEGIN"));
        for (int i = 0; i < 400; ++i)
            db.addCustomer(QStringLiteral("%1").arg(100 + i, 6, 10, QLatin1Char('0')),
                           QStringLiteral("Earlier Client %1 of some length").arg(i));
        db.exec(QStringLiteral("COMMIT"));
    }

    // Prepares the data folder; returns the data folder to give the tool.
    static QString prepare(Setup setup, const QTemporaryDir& dir)
    {
        const QString data = dir.filePath(QStringLiteral("data"));
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        const QString path = data + QStringLiteral("/zrdata.mdb");
        QByteArray access(2048, '\0');
        access.replace(4, 15, "Standard Jet DB");
        switch (setup) {
        case NoFile:
            break;
        case TextFile:
            writeBytes(path, "ClientID,Name\r\n000100,Acme\r\n");
            break;
        case AccessFile:
            writeBytes(path, access);
            break;
        case EmptyFile:
            writeBytes(path, QByteArray());
            break;
        case Truncated:
        case PageOverwritten: {
            fill(data);
            QByteArray bytes = readBytes(path);
            if (setup == Truncated)
                bytes.truncate(bytes.size() / 2);
            else
                bytes.replace(6 * 4096, 4096, QByteArray(4096, '\x33'));
            writeBytes(path, bytes);
            break;
        }
        case NoContactsTable:
        case NoZipField: {
            fill(data);
            TestDatabase db(data, TestDatabase::Open::Existing);
            db.exec(setup == NoContactsTable ? QStringLiteral("DROP TABLE CONTACTS")
                                             : QStringLiteral("ALTER TABLE CLIENT DROP COLUMN Zip"));
            break;
        }
        case FolderNamedLikeTheFile:
            QDir(data).mkpath(QStringLiteral("zrdata.mdb"));
            break;
        case FolderInsideAFile:
            writeBytes(dir.filePath(QStringLiteral("afile")), "a file, not a folder");
            return dir.filePath(QStringLiteral("afile/data"));
        }
        return data;
    }

private Q_SLOTS:
    void stripSaysWhyOnce_data()
    {
        QTest::addColumn<int>("setup");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("backups");    // copies made beside the database
        QTest::addColumn<bool>("unchanged"); // the file is left byte for byte

        QTest::newRow("no zrdata.mdb") << int(NoFile) << QStringLiteral("does not exist") << 0 << true;
        QTest::newRow("a text file") << int(TextFile) << QStringLiteral("not a database") << 0 << true;
        QTest::newRow("an Access file") << int(AccessFile) << QStringLiteral("Microsoft Access") << 0 << true;
        QTest::newRow("a file of no bytes") << int(EmptyFile) << QStringLiteral("empty") << 0 << true;
        QTest::newRow("truncated") << int(Truncated) << QStringLiteral("is damaged") << 0 << true;
        QTest::newRow("a page overwritten")
            << int(PageOverwritten) << QStringLiteral("is damaged") << 0 << true;
        QTest::newRow("no CONTACTS table")
            << int(NoContactsTable) << QStringLiteral("CONTACTS") << 1 << false;
        QTest::newRow("no Zip field") << int(NoZipField) << QStringLiteral("Zip") << 1 << false;
        QTest::newRow("a folder named zrdata.mdb")
            << int(FolderNamedLikeTheFile) << QStringLiteral("cannot be read") << 0 << true;
        QTest::newRow("data folder inside a file")
            << int(FolderInsideAFile) << QStringLiteral("does not exist") << 0 << true;
    }

    void stripSaysWhyOnce()
    {
        QFETCH(int, setup);
        QFETCH(QString, said);
        QFETCH(int, backups);
        QFETCH(bool, unchanged);

        QTemporaryDir dir;
        const QString data = prepare(Setup(setup), dir);
        const QString database = data + QStringLiteral("/zrdata.mdb");
        const QByteArray before = readBytes(database);
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("QBCUST.TXT")),
                           "CUST\t\t\t\tNew One\t1 Oak St\t\r\nCUST\t\t\t\tNew Two\t2 Oak St\t\r\n"));

        const ToolRun run = runTool({QStringLiteral("strip"), QStringLiteral("--data-folder"), data,
                                     QStringLiteral("--quickbooks-folder"), dir.path(),
                                     QStringLiteral("--qb-version"), QStringLiteral("0")});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.errLines.size(), 1);
        QVERIFY2(run.errLines.first().contains(said), qPrintable(run.errLines.first()));
        QVERIFY2(run.errLines.first().contains(QDir::toNativeSeparators(database)),
                 qPrintable(run.errLines.first()));
        QVERIFY(run.lastLine().startsWith(u"rows read: "));
        QCOMPARE(db::backupsOf(database).size(), backups);
        if (unchanged)
            QCOMPARE(readBytes(database), before);
        if (setup == NoContactsTable || setup == NoZipField) {
            TestDatabase db(data, TestDatabase::Open::Existing);
            QCOMPARE(db.count(QStringLiteral("CLIENT")), 400);
        }
    }
};

QTEST_GUILESS_MAIN(tst_BadDatabase)
#include "tst_baddatabase.moc"
