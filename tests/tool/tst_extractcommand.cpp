#include "brevik/version.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>

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

    void exportOnStandardInput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");   // a signal's: the signal comes while standard input stays open
        QTest::addColumn<QString>("said"); // how the one message begins; none when empty
        QTest::newRow("extract") << QStringLiteral("extract") << QByteArray("!CUST\tNAME\r\nCUST\tAcme\t\r\n")
                                 << 0 << QString();
        QTest::newRow("plan") << QStringLiteral("plan") << QByteArray("CUST\t\t\t\tAcme\t\r\n") << 0
                              << QString();
        QTest::newRow("UTF-16, named as standard input")
            << QStringLiteral("extract")
            << QByteArray("\xff\xfe"
                          "C\0U\0S\0T\0",
                          10)
            << 1
            << QStringLiteral("brevik-import: The customer file standard input is Unicode (UTF-16) text");
#ifdef Q_OS_UNIX
        QTest::newRow("SIGTERM while waiting for input")
            << QStringLiteral("extract") << QByteArray() << 143
            << QStringLiteral("brevik-import: The run was interrupted while it read the export");
#endif
    }

    // "-" reads the export from standard input, through a private copy in the temporary folder
    // that goes with the run, also when a signal ends it.
    void exportOnStandardInput()
    {
        QFETCH(QString, command);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString temporary = dir.filePath(QStringLiteral("tmp"));
        QVERIFY(QDir().mkpath(temporary));
        QStringList arguments{command, QStringLiteral("-")};
        if (command == u"plan") {
            QCOMPARE(tool({QStringLiteral("create-database"), dir.path()}).status, 0);
            arguments << QStringLiteral("--data-folder") << dir.path();
        } else {
            arguments << QStringLiteral("--quickbooks-folder") << dir.path();
        }
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TMPDIR"), temporary);
        process.setProcessEnvironment(environment);
        process.start(toolCopy(), arguments);
        QVERIFY(process.waitForStarted());
        if (status > 128) {
#ifdef Q_OS_UNIX
            QElapsedTimer waited;
            waited.start();
            while (QDir(temporary).isEmpty() && waited.elapsed() < 30000)
                QThread::msleep(2);
            QCOMPARE(::kill(pid_t(process.processId()), status - 128), 0);
#endif
        } else {
            process.write(input);
            process.closeWriteChannel();
        }
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), status);
        const QStringList err =
            QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        if (said.isEmpty())
            QCOMPARE(err, QStringList());
        else
            QVERIFY2(err.size() == 1 && err.first().startsWith(said), qPrintable(err.join(u'\n')));
        QVERIFY(QDir(temporary).isEmpty());
        if (command == u"extract" && status == 0)
            QCOMPARE(readBytes(dir.filePath(QStringLiteral("QBCUST.TXT"))), QByteArray("CUST\tAcme\t\r\n"));
        if (command == u"plan")
            QVERIFY2(process.readAllStandardOutput().contains("\n  1  Acme  add"), "the plan lists no row");
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
        QTest::newRow("unknown option before a command")
            << QStringList{QStringLiteral("--no-such-option")}
            << QStringLiteral("brevik-import: unknown option --no-such-option");
        QTest::newRow("help of an unknown command")
            << QStringList{QStringLiteral("help"), QStringLiteral("no-such-command")}
            << QStringLiteral("unknown command: no-such-command");
        // Only the export can be standard input.
        QTest::newRow("report to standard output")
            << QStringList{QStringLiteral("import"), QStringLiteral("-"), QStringLiteral("--report"),
                           QStringLiteral("-")}
            << QStringLiteral("--report cannot be \"-\"");
        QTest::newRow("backup from standard input")
            << QStringList{QStringLiteral("restore"), QStringLiteral("-")}
            << QStringLiteral("restore cannot take \"-\"");
        QTest::newRow("database in standard input")
            << QStringList{QStringLiteral("create-database"), QStringLiteral("-")}
            << QStringLiteral("create-database cannot take \"-\"");
    }

    void usageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, mentions);
        const Run run = tool(arguments);
        QCOMPARE(run.status, 2);
        // One line that names the fault, and one that points to the usage.
        QCOMPARE(run.errLines.size(), 2);
        QVERIFY2(run.errLines.first().startsWith(u"brevik-import: ") &&
                     run.errLines.first().contains(mentions),
                 qPrintable(run.errLines.first()));
        QCOMPARE(run.errLines.last(), QStringLiteral("Try 'brevik-import --help' for more information."));
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
        // "help COMMAND" gives the command's own help, "help" alone the usage.
        QCOMPARE(tool({QStringLiteral("help"), QStringLiteral("import")}).out, import.out);
        QCOMPARE(tool({QStringLiteral("help")}).out, run.out);

        // The help of a command says what it does beyond its summary, and its lines fit a terminal.
        const Run plan = tool({QStringLiteral("plan"), QStringLiteral("--help")});
        QCOMPARE(plan.status, 0);
        QVERIFY2(
            plan.out.startsWith(u"Usage: brevik-import plan EXPORT_FILE [--data-folder DIR] [--qb-version "
                                u"VALUE] [--csv] [--quiet]\n\nShows what import would do"),
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
