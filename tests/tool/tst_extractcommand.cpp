#include "brevik/version.h"
#include "support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using brevik::testing::readBytes;
using brevik::testing::writeBytes;

// brevik-import extract: what it writes, what it prints, and how it exits.
class tst_ExtractCommand : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int status = -1;
        QString out;
        QStringList errLines;
    };

    // A copy of the tool in a folder of its own, so that no settings file beside the built
    // tool gives it folders these tests do not expect.
    static QString toolCopy()
    {
        static QTemporaryDir folder;
        static const QString path = [] {
            const QString copy = folder.filePath(QStringLiteral("brevik-import"));
            QFile::copy(QStringLiteral(BREVIK_BIN_DIR "/brevik-import"), copy);
            QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            return copy;
        }();
        return path;
    }

    static Run tool(const QStringList& arguments)
    {
        QProcess process;
        process.start(toolCopy(), arguments);
        Run run;
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
            return run;
        run.status = process.exitCode();
        run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
        run.errLines =
            QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        return run;
    }

    static QString lastLine(const QString& text)
    {
        const QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
        return lines.isEmpty() ? QString() : lines.last();
    }

private Q_SLOTS:
    void copiesAndSumsUp()
    {
        QTemporaryDir dir;
        const QString exportFile = dir.filePath(QStringLiteral("list.iif"));
        QVERIFY(writeBytes(exportFile, "!CUST\tNAME\nCUSTNAME\tx\nCUST\t\xe9t\xe9\nCUSTOMER\ty\n"));
        // An option's value may follow an '='.
        const Run run = tool({QStringLiteral("extract"), exportFile, u"--quickbooks-folder=" + dir.path()});
        QCOMPARE(run.status, 0);
        QVERIFY(run.errLines.isEmpty());
        const QString qbcust = dir.filePath(QStringLiteral("QBCUST.TXT"));
        QCOMPARE(readBytes(qbcust), QByteArray("CUST\t\xe9t\xe9\r\nCUSTOMER\ty\r\n"));
        QCOMPARE(lastLine(run.out),
                 QStringLiteral("2 customer rows copied to %1").arg(QDir::toNativeSeparators(qbcust)));
    }

    void noCustomersStillCompletes()
    {
        QTemporaryDir dir;
        // "--" ends the options: what follows is the export, whatever its name.
        const QString exportFile = dir.filePath(QStringLiteral("list.iif"));
        QVERIFY(writeBytes(exportFile, "!HDR\tPROD\r\n"));
        const Run run = tool({QStringLiteral("extract"), QStringLiteral("--quickbooks-folder"), dir.path(),
                              QStringLiteral("--"), exportFile});
        QCOMPARE(run.status, 0);
        QVERIFY(lastLine(run.out).startsWith(u"0 customer rows copied to "));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("QBCUST.TXT"))), QByteArray());
    }

    void failures_data()
    {
        QTest::addColumn<bool>("exportExists");
        QTest::addColumn<QString>("folder"); // below the temporary folder
        QTest::addColumn<QString>("named");  // the file the message names, below the temporary folder
        QTest::newRow("export unreadable") << false << QString() << QStringLiteral("gone.iif");
        QTest::newRow("QuickBooks folder missing")
            << true << QStringLiteral("missing") << QStringLiteral("missing/QBCUST.TXT");
    }

    void failures()
    {
        QFETCH(bool, exportExists);
        QFETCH(QString, folder);
        QFETCH(QString, named);
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("QBCUST.TXT")), "CUST\tearlier\r\n"));
        const QString exportFile =
            dir.filePath(exportExists ? QStringLiteral("list.iif") : QStringLiteral("gone.iif"));
        if (exportExists)
            QVERIFY(writeBytes(exportFile, "CUST\tnew\r\n"));
        const QString target = folder.isEmpty() ? dir.path() : dir.filePath(folder);
        const Run run =
            tool({QStringLiteral("extract"), exportFile, QStringLiteral("--quickbooks-folder"), target});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.errLines.size(), 1);
        QVERIFY2(run.errLines.first().contains(QDir::toNativeSeparators(dir.filePath(named))),
                 qPrintable(run.errLines.first()));
        QVERIFY(!lastLine(run.out).isEmpty());
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("QBCUST.TXT"))), QByteArray("CUST\tearlier\r\n"));
    }

    void usageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("no folder") << QStringList{QStringLiteral("extract"), QStringLiteral("a.iif")}
                                   << QStringLiteral("--quickbooks-folder");
        QTest::newRow("no export") << QStringList{QStringLiteral("extract")} << QStringLiteral("export file");
        QTest::newRow("folder without value")
            << QStringList{QStringLiteral("extract"), QStringLiteral("a.iif"),
                           QStringLiteral("--quickbooks-folder")}
            << QStringLiteral("--quickbooks-folder");
        QTest::newRow("no command") << QStringList{} << QStringLiteral("no command");
        QTest::newRow("folder given twice") << QStringList{QStringLiteral("extract"),
                                                           QStringLiteral("a.iif"),
                                                           QStringLiteral("--quickbooks-folder"),
                                                           QStringLiteral("/a"),
                                                           QStringLiteral("--quickbooks-folder"),
                                                           QStringLiteral("/b")}
                                            << QStringLiteral("--quickbooks-folder is given more than once");
        QTest::newRow("empty folder to create a database in")
            << QStringList{QStringLiteral("create-database"), QString()}
            << QStringLiteral("create-database is given an empty folder");
        QTest::newRow("option of another command")
            << QStringList{QStringLiteral("extract"), QStringLiteral("a.iif"),
                           QStringLiteral("--data-folder"), QStringLiteral("/a")}
            << QStringLiteral("unknown option for extract: --data-folder");
        QTest::newRow("empty report file")
            << QStringList{QStringLiteral("strip"), QStringLiteral("--report=")}
            << QStringLiteral("--report is given an empty file name");
        QTest::newRow("csv of an import")
            << QStringList{QStringLiteral("import"), QStringLiteral("a.iif"), QStringLiteral("--csv")}
            << QStringLiteral("unknown option for import: --csv");
        QTest::newRow("csv with a value")
            << QStringList{QStringLiteral("plan"), QStringLiteral("a.iif"), QStringLiteral("--csv=yes")}
            << QStringLiteral("--csv");
        QTest::newRow("restore without a backup")
            << QStringList{QStringLiteral("restore")} << QStringLiteral("restore needs one backup file");
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const Run run = tool(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY(!run.errLines.isEmpty());
        QVERIFY2(run.errLines.first().contains(mentions), qPrintable(run.errLines.first()));
        QVERIFY(run.errLines.join(u'\n').contains(u"Usage:"));
    }

    void helpExitsZero()
    {
        const Run run = tool({QStringLiteral("--help")});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.contains(u"brevik-import extract EXPORT_FILE"));

        // Each command has help of its own, wherever --help stands among its arguments.
        const Run import =
            tool({QStringLiteral("import"), QStringLiteral("a.iif"), QStringLiteral("--help")});
        QCOMPARE(import.status, 0);
        QVERIFY2(import.out.startsWith(u"Usage: brevik-import import EXPORT_FILE"), qPrintable(import.out));
        QVERIFY(import.out.contains(u"--data-folder DIR"));
        QVERIFY(!tool({QStringLiteral("extract"), QStringLiteral("-h")}).out.contains(u"--data-folder"));

        // The help of a command says what it does beyond its summary, and its lines fit a terminal.
        const Run plan = tool({QStringLiteral("plan"), QStringLiteral("--help")});
        QCOMPARE(plan.status, 0);
        QVERIFY2(
            plan.out.startsWith(u"Usage: brevik-import plan EXPORT_FILE [--data-folder DIR] [--qb-version "
                                u"VALUE] [--csv]\n\nShows what import would do"),
            qPrintable(plan.out));
        QVERIFY(plan.out.simplified().contains(u"and writes nothing."));
        for (const QString& line : plan.out.split(u'\n').mid(1))
            QVERIFY2(line.size() <= 80, qPrintable(line));
    }

    void versionComesFromTheBuild()
    {
        const Run run = tool({QStringLiteral("--version")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("brevik-import %1\n").arg(brevik::versionNumber()));
        QCOMPARE(brevik::versionText(), QStringLiteral("Version 1.50.109"));
    }

    // The manual page keeps up with the tool: every command and option of the help has an entry
    // of its own there (a tagged paragraph).
    void manualPageNamesEveryCommandAndOption()
    {
        const Run run = tool({QStringLiteral("--help")});
        QCOMPARE(run.status, 0);
        QString page =
            QString::fromUtf8(readBytes(QStringLiteral(BREVIK_SOURCE_DIR "/packaging/brevik-import.1.in")));
        page.replace(QStringLiteral("\\-"), QStringLiteral("-"));
        QStringList entries;
        const QStringList lines = page.split(u'\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            if (lines.at(i) == u".TP")
                entries.append(lines.at(i + 1).section(u' ', 1, 1)); // ".BI extract ..." gives "extract"

        QStringList names;
        const QRegularExpression command(QStringLiteral("^  brevik-import ([a-z-]+)"),
                                         QRegularExpression::MultilineOption);
        for (const auto& match : command.globalMatch(run.out))
            names.append(match.captured(1));
        for (const auto& match : QRegularExpression(QStringLiteral("--[a-z-]+")).globalMatch(run.out))
            names.append(match.captured());
        QVERIFY(names.contains(QStringLiteral("create-database")));
        QVERIFY(names.contains(QStringLiteral("--qb-version")));
        for (const QString& name : names)
            QVERIFY2(entries.contains(name),
                     qPrintable(name + QStringLiteral(" has no entry in brevik-import.1")));
    }
};

QTEST_GUILESS_MAIN(tst_ExtractCommand)
#include "tst_extractcommand.moc"
