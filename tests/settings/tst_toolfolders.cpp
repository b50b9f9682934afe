#include "support/testsupport.h"
#include "tools/folderdefaults.h"

#include <QTemporaryDir>
#include <QTest>

using brevik::tool::NeedsDataFolder;
using brevik::tool::NeedsQuickBooksFolder;
using brevik::tool::resolveFolders;
using Option = std::optional<QString>;

Q_DECLARE_METATYPE(std::optional<QString>)

// The tool's folders: an option wins; a folder not given comes from zrQBck.dat,
// and a needed folder that neither gives is named in the usage error.
class tst_ToolFolders : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resolves_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: no zrQBck.dat
        QTest::addColumn<Option>("dataOption");
        QTest::addColumn<Option>("quickBooksOption");
        QTest::addColumn<unsigned>("needs");
        QTest::addColumn<QString>("dataFolder");
        QTest::addColumn<QString>("quickBooksFolder");
        QTest::addColumn<QStringList>("missing"); // words the usage error holds; empty: no error
        const unsigned both = NeedsDataFolder | NeedsQuickBooksFolder;
        const QString fileData = QStringLiteral("/srv/data");
        const QString fileQb = QStringLiteral("/srv/qb");
        const QByteArray twoLines = "/srv/data\r\n/srv/qb\r\n";
        const Option none;
        const QStringList noError;

        QTest::newRow("both from the file")
            << twoLines << none << none << both << fileData << fileQb << noError;
        QTest::newRow("options win") << twoLines << Option(QStringLiteral("/d"))
                                     << Option(QStringLiteral("/q")) << both << QStringLiteral("/d")
                                     << QStringLiteral("/q") << noError;
        QTest::newRow("one option, one from the file") << twoLines << none << Option(QStringLiteral("/q"))
                                                       << both << fileData << QStringLiteral("/q") << noError;
        QTest::newRow("one-line file keeps its data folder")
            << QByteArray("/srv/data\r\n") << none << Option(QStringLiteral("/q")) << both << fileData
            << QStringLiteral("/q") << noError;
        QTest::newRow("one-line file lacks the QuickBooks folder")
            << QByteArray("/srv/data\r\n") << none << none << both << fileData << QString()
            << QStringList{QStringLiteral("QuickBooks folder"), QStringLiteral("--quickbooks-folder")};
        QTest::newRow("no file, both missing")
            << QByteArray() << none << none << both << QString() << QString()
            << QStringList{QStringLiteral("data folder"), QStringLiteral("QuickBooks folder"),
                           QStringLiteral("zrQBck.dat")};
        QTest::newRow("extract needs only the QuickBooks folder")
            << QByteArray("\r\n/srv/qb\r\n") << none << none << unsigned(NeedsQuickBooksFolder) << QString()
            << fileQb << noError;
        // An unset variable in a script must not send the import to the file's database.
        QTest::newRow("empty option does not fall back to the file")
            << twoLines << Option(QString()) << none << both << QString() << QString()
            << QStringList{QStringLiteral("--data-folder"), QStringLiteral("empty folder")};
        QTest::newRow("empty line is missing")
            << QByteArray("\r\n/srv/qb\r\n") << none << none << both << QString() << fileQb
            << QStringList{QStringLiteral("data folder"), QStringLiteral("--data-folder")};
    }

    void resolves()
    {
        QFETCH(QByteArray, file);
        QFETCH(Option, dataOption);
        QFETCH(Option, quickBooksOption);
        QFETCH(unsigned, needs);
        QFETCH(QString, dataFolder);
        QFETCH(QString, quickBooksFolder);
        QFETCH(QStringList, missing);

        QTemporaryDir toolFolder;
        QVERIFY(toolFolder.isValid());
        if (!file.isEmpty())
            QVERIFY(brevik::testing::writeBytes(toolFolder.filePath(QStringLiteral("zrQBck.dat")), file));

        const auto folders =
            resolveFolders(dataOption, quickBooksOption, brevik::SettingsFile(toolFolder.path()), needs);
        QCOMPARE(folders.dataFolder, dataFolder);
        QCOMPARE(folders.quickBooksFolder, quickBooksFolder);
        QCOMPARE(folders.missing.isEmpty(), missing.isEmpty());
        for (const QString& word : missing)
            QVERIFY2(folders.missing.contains(word), qPrintable(folders.missing));
        if (!missing.contains(QStringLiteral("data folder")))
            QVERIFY(!folders.missing.contains(QStringLiteral("data folder")));
    }
};

QTEST_GUILESS_MAIN(tst_ToolFolders)
#include "tst_toolfolders.moc"
