#include "settings/settingsfile.h"
#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QTest>

using brevik::FolderSettings;
using brevik::SettingsFile;
using brevik::SettingsRead;
using brevik::testing::readBytes;
using brevik::testing::writeBytes;

Q_DECLARE_METATYPE(brevik::FolderSettings)

// zrQBck.dat: what a reading makes of the bytes on disk, and the exact bytes a writing leaves.
class tst_SettingsFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    [[nodiscard]] SettingsFile file() const { return SettingsFile(m_dir.path()); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(file().path());
    }

    void readsLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("linesRead");
        QTest::addColumn<QString>("dataFolder");
        QTest::addColumn<QString>("quickBooksFolder");
        const QString data = QStringLiteral("C:\\Orvella\\Data");
        const QString qb = QStringLiteral("C:\\QB");
        QTest::newRow("two crlf lines") << QByteArray("C:\\Orvella\\Data\r\nC:\\QB\r\n") << 2 << data << qb;
        QTest::newRow("lone lf") << QByteArray("C:\\Orvella\\Data\nC:\\QB\n") << 2 << data << qb;
        QTest::newRow("lone cr") << QByteArray("C:\\Orvella\\Data\rC:\\QB\r") << 2 << data << qb;
        QTest::newRow("second line without its end")
            << QByteArray("C:\\Orvella\\Data\r\nC:\\QB") << 2 << data << qb;
        QTest::newRow("lines after the second ignored")
            << QByteArray("C:\\Orvella\\Data\r\nC:\\QB\r\nC:\\Other\r\nmore") << 2 << data << qb;
        QTest::newRow("empty first line") << QByteArray("\r\nC:\\QB\r\n") << 2 << QString() << qb;
        QTest::newRow("empty second line")
            << QByteArray("C:\\Orvella\\Data\r\n\r\n") << 2 << data << QString();
        QTest::newRow("one line") << QByteArray("C:\\Orvella\\Data\r\n") << 1 << data << QString();
        QTest::newRow("one line without its end")
            << QByteArray("C:\\Orvella\\Data") << 1 << data << QString();
        QTest::newRow("empty file") << QByteArray() << 0 << QString() << QString();
        QTest::newRow("comma and leading spaces kept")
            << QByteArray("  C:\\Orvella, Data\r\n C:\\Q,B \r\n") << 2
            << QStringLiteral("  C:\\Orvella, Data") << QStringLiteral(" C:\\Q,B ");
        QTest::newRow("quotes kept") << QByteArray("\"C:\\A\"\r\n\"C:\\B\"\r\n") << 2
                                     << QStringLiteral("\"C:\\A\"") << QStringLiteral("\"C:\\B\"");
        QTest::newRow("windows-1252 bytes")
            << QByteArray("C:\\Caf\xe9\r\nC:\\\x80\r\n") << 2 << QStringLiteral("C:\\Caf\u00e9")
            << QStringLiteral("C:\\\u20ac");
        QTest::newRow("garbage with tabs")
            << QByteArray("\x01\txy\r\n\xff\xfe", 8) << 2 << QString::fromLatin1("\x01\txy", 4)
            << QStringLiteral("\u00ff\u00fe");
        // No folder holds a NUL: such a file (UTF-16 text, say) is refused whole.
        QTest::newRow("garbage with nul")
            << QByteArray("\x01\tx\0y\r\n\xff\xfe", 9) << 0 << QString() << QString();
    }

    void readsLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, linesRead);
        QFETCH(QString, dataFolder);
        QFETCH(QString, quickBooksFolder);
        QVERIFY(writeBytes(file().path(), content));
        const SettingsRead read = file().read();
        QCOMPARE(read.linesRead, linesRead);
        QCOMPARE(read.whole(), linesRead == 2);
        QCOMPARE(read.folders.dataFolder, dataFolder);
        QCOMPARE(read.folders.quickBooksFolder, quickBooksFolder);
    }

    void missingOrUnreadableFileReadsNothing()
    {
        const SettingsRead missing = file().read();
        QCOMPARE(missing.linesRead, 0);
        QVERIFY(!missing.whole());
        QCOMPARE(missing.failure, QString());

        // A folder where the file should be cannot be read as one.
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("zrQBck.dat")));
        const SettingsRead folder = file().read();
        QCOMPARE(folder.linesRead, 0);
        QCOMPARE(folder.folders.dataFolder, QString());
        QCOMPARE(folder.failure, QStringLiteral("it is a folder, not a file"));
        QVERIFY(QDir(file().path()).removeRecursively());
    }

    void veryLongLinesAreNotRead()
    {
        // A first line far longer than any folder, without a line end in reach, is no line at all.
        const QByteArray huge(3 << 20, 'x');
        QVERIFY(writeBytes(file().path(), huge + "\r\nC:\\QB\r\n"));
        QCOMPARE(file().read().linesRead, 0);

        QVERIFY(writeBytes(file().path(), QByteArray("C:\\Data\r\n") + huge));
        const SettingsRead cut = file().read();
        QCOMPARE(cut.linesRead, 1);
        QCOMPARE(cut.folders.dataFolder, QStringLiteral("C:\\Data"));

        // Two good lines are read whatever follows them.
        QVERIFY(writeBytes(file().path(), QByteArray("C:\\Data\r\nC:\\QB\r\n") + huge));
        const SettingsRead whole = file().read();
        QVERIFY(whole.whole());
        QCOMPARE(whole.folders.quickBooksFolder, QStringLiteral("C:\\QB"));
    }

    void writesExactlyTwoCrLfLines()
    {
        const FolderSettings folders{QStringLiteral("C:\\Orvella\\Data"),
                                     QStringLiteral("D:\\Quick Books\\caf\u00e9")};
        QCOMPARE(file().write(folders), std::nullopt);
        QCOMPARE(readBytes(file().path()), QByteArray("C:\\Orvella\\Data\r\nD:\\Quick Books\\caf\xe9\r\n"));

        // Writing replaces the file whole: nothing of a longer earlier file is left.
        QVERIFY(writeBytes(file().path(), QByteArray(5000, 'z')));
        QCOMPARE(file().write({QStringLiteral("/a"), QStringLiteral("/b")}), std::nullopt);
        QCOMPARE(readBytes(file().path()), QByteArray("/a\r\n/b\r\n"));
    }

    void writtenValuesReadBackWhole_data()
    {
        QTest::addColumn<QString>("dataFolder");
        QTest::addColumn<QString>("quickBooksFolder");
        QTest::newRow("drive letters") << QStringLiteral("C:\\Orvella") << QStringLiteral("C:\\QB");
        QTest::newRow("comma") << QStringLiteral("C:\\Orvella, Inc\\Data") << QStringLiteral("C:\\a,b,c");
        QTest::newRow("leading and trailing spaces")
            << QStringLiteral("   C:\\Data ") << QStringLiteral(" /qb");
        QTest::newRow("quote marks") << QStringLiteral("C:\\\"Data\"") << QStringLiteral("\"");
        QTest::newRow("empty values") << QString() << QString();
    }

    void writtenValuesReadBackWhole()
    {
        QFETCH(QString, dataFolder);
        QFETCH(QString, quickBooksFolder);
        QCOMPARE(file().write({dataFolder, quickBooksFolder}), std::nullopt);
        const SettingsRead read = file().read();
        QVERIFY(read.whole());
        QCOMPARE(read.folders.dataFolder, dataFolder);
        QCOMPARE(read.folders.quickBooksFolder, quickBooksFolder);
    }

    void writeFailuresGiveTheReason_data()
    {
        QTest::addColumn<QString>("subfolder");
        QTest::addColumn<FolderSettings>("folders");
        const FolderSettings good{QStringLiteral("C:\\Data"), QStringLiteral("C:\\QB")};
        QTest::newRow("folder missing") << QStringLiteral("no/such/folder") << good;
        QTest::newRow("file where the folder should be") << QStringLiteral("plainfile") << good;
        QTest::newRow("line break in a value")
            << QString() << FolderSettings{QStringLiteral("C:\\Da\r\nta"), QStringLiteral("C:\\QB")};
        QTest::newRow("character outside the code page")
            << QString() << FolderSettings{QStringLiteral("C:\\Data"), QStringLiteral("C:\\\u0416")};
    }

    void writeFailuresGiveTheReason()
    {
        QFETCH(QString, subfolder);
        QFETCH(FolderSettings, folders);
        QVERIFY(writeBytes(m_dir.filePath(QStringLiteral("plainfile")), "x"));
        const SettingsFile target(subfolder.isEmpty() ? m_dir.path() : m_dir.filePath(subfolder));
        QVERIFY(writeBytes(file().path(), "C:\\Old\r\nC:\\OldQB\r\n"));

        const auto failure = target.write(folders);
        QVERIFY(failure.has_value());
        QVERIFY(!failure->isEmpty());
        // A refused write leaves the earlier file as it was.
        QCOMPARE(readBytes(file().path()), QByteArray("C:\\Old\r\nC:\\OldQB\r\n"));
    }
};

QTEST_GUILESS_MAIN(tst_SettingsFile)
#include "tst_settingsfile.moc"
