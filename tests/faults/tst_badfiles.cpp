#include "support/testexport.h"
#include "support/testsupport.h"
#include "tool/toolrun.h"
#include "writer/testdatabase.h"

#include "import/export/cp1252.h"
#include "settings/settingsfile.h"
#include "settings/versionfile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace brevik;
using namespace brevik::testing;

// The files around an import that another hand may have changed: QBCUST.TXT between START and
// STRIP, and the settings and version files beside the program.
class tst_BadFiles : public QObject
{
    Q_OBJECT

private:
    struct Folders
    {
        QTemporaryDir root;
        QString data = root.filePath(QStringLiteral("data"));
        QString quickBooks = root.filePath(QStringLiteral("qb"));
        QString tool = root.filePath(QStringLiteral("brevik-import")); // a copy with its own folder

        Folders()
        {
            QDir(root.path()).mkpath(QStringLiteral("data"));
            QDir(root.path()).mkpath(QStringLiteral("qb"));
            TestDatabase db(data);
            QFile::copy(QStringLiteral(BREVIK_BIN_DIR "/brevik-import"), tool);
            QFile::setPermissions(tool, QFile::ReadOwner | QFile::ExeOwner | QFile::WriteOwner);
        }
        [[nodiscard]] QString qbcust() const { return quickBooks + QStringLiteral("/QBCUST.TXT"); }
        [[nodiscard]] QString beside(const QString& name) const { return root.filePath(name); }
        [[nodiscard]] QStringList folders() const
        {
            return {QStringLiteral("--data-folder"), data, QStringLiteral("--quickbooks-folder"), quickBooks};
        }
        [[nodiscard]] QStringList names()
        {
            TestDatabase db(data, TestDatabase::Open::Existing);
            QStringList stored;
            for (const QVariantList& row : db.rows(QStringLiteral("CLIENT")))
                stored << row.value(2).toString();
            return stored;
        }
    };

    static QByteArray rows(const QStringList& names)
    {
        TestExport out;
        for (const QString& name : names)
            out.customer({{5, name}, {6, "1 Oak St"}, {15, "555-0100"}, {19, "Dana"}, {23, "Y"}});
        return out.bytes();
    }

private Q_SLOTS:
    void changedBetweenStartAndStrip_data()
    {
        QTest::addColumn<int>(
            "change"); // 0 removed, 1 replaced, 2 cut in a row, 3 emptied, 4 a folder, 5 garbage
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("removed") << 0 << 1 << QStringLiteral("QBCUST.TXT") << QStringList();
        QTest::newRow("replaced by other rows")
            << 1 << 0 << QString()
            << QStringList{QStringLiteral("Zenith Labs"), QStringLiteral("Young & Co")};
        QTest::newRow("cut in the middle of a row")
            << 2 << 0 << QString()
            << QStringList{QStringLiteral("Acme Supply"), QStringLiteral("Bayshore Cafe")};
        QTest::newRow("emptied") << 3 << 0 << QString() << QStringList();
        QTest::newRow("a folder in its place") << 4 << 1 << QStringLiteral("QBCUST.TXT") << QStringList();
        QTest::newRow("garbage") << 5 << 0 << QString() << QStringList();
    }

    // STRIP imports what the file holds when it is pressed; a file that cannot be read is named.
    void changedBetweenStartAndStrip()
    {
        QFETCH(int, change);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(QStringList, names);
        Folders f;
        const QString exportFile = f.beside(QStringLiteral("export.iif"));
        QVERIFY(writeBytes(exportFile, rows({QStringLiteral("Acme Supply"), QStringLiteral("Bayshore Cafe"),
                                             QStringLiteral("Cedar")})));
        QCOMPARE(runTool(QStringList{QStringLiteral("extract"), exportFile,
                                     QStringLiteral("--quickbooks-folder"), f.quickBooks})
                     .status,
                 0);
        const QByteArray extracted = readBytes(f.qbcust());
        switch (change) {
        case 0:
            QVERIFY(QFile::remove(f.qbcust()));
            break;
        case 1:
            QVERIFY(
                writeBytes(f.qbcust(), rows({QStringLiteral("Zenith Labs"), QStringLiteral("Young & Co")})));
            break;
        case 2:
            // The last row's address has no TAB behind it any more, so it is not taken.
            QVERIFY(writeBytes(
                f.qbcust(), extracted.left(extracted.indexOf("1 Oak", extracted.indexOf("Bayshore")) + 4)));
            break;
        case 3:
            QVERIFY(writeBytes(f.qbcust(), QByteArray()));
            break;
        case 4:
            QVERIFY(QFile::remove(f.qbcust()));
            QVERIFY(QDir(f.quickBooks).mkpath(QStringLiteral("QBCUST.TXT")));
            break;
        case 5: {
            QByteArray garbage(300000, '\0');
            for (qsizetype i = 0; i < garbage.size(); ++i)
                garbage[i] = char((i * 7919 + i / 13) % 251);
            QVERIFY(writeBytes(f.qbcust(), garbage));
            break;
        }
        }
        const ToolRun run = runTool(QStringList{QStringLiteral("strip")} + f.folders() +
                                    QStringList{QStringLiteral("--qb-version"), QStringLiteral("0")});
        QCOMPARE(run.status, status);
        if (said.isEmpty()) {
            QCOMPARE(run.errLines, QStringList());
        } else {
            QCOMPARE(run.errLines.size(), 1);
            QVERIFY2(run.errLines.first().contains(said), qPrintable(run.errLines.first()));
        }
        if (change != 5)
            QCOMPARE(f.names(), names);
    }

    void settingsFiles_data()
    {
        QTest::addColumn<QByteArray>("settings"); // zrQBck.dat; null: the folders come as options
        QTest::addColumn<QByteArray>("version");  // QBvers.Dat
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("clients");
        QTest::addColumn<QString>("contact"); // the contact stored

        const QByteArray garbage = QByteArray("\x01\xff\r\x80garbage\0\n\x7f\x9d", 14).repeated(300);
        const QByteArray longLine(3 << 20, 'x');
        const QString dana = QStringLiteral("Dana");
        const QString none;
        // A version value other than "0" and "1" takes no contact, as designed.
        QTest::newRow("version: garbage") << QByteArray() << garbage << 0 << none << 1 << none;
        QTest::newRow("version: a 3 MB line") << QByteArray() << longLine << 0 << none << 1 << none;
        QTest::newRow("version: no line end") << QByteArray() << QByteArray("1") << 0 << none << 1 << dana;
        QTest::newRow("settings: garbage")
            << garbage << QByteArray("1\r\n") << 1 << QStringLiteral("cannot be read") << 0 << none;
        // Saved as "Unicode" by a text editor: NUL bytes in every folder, which the tool must
        // not take for paths.
        QByteArray utf16("\xff\xfe");
        for (const char c : QByteArray("C:\\Orvella\r\nC:\\QuickBooks\r\n"))
            utf16.append(c).append('\0');
        QTest::newRow("settings: UTF-16")
            << utf16 << QByteArray("1\r\n") << 1
            << QStringLiteral("zrQBck.dat cannot be read: it holds NUL bytes") << 0 << none;
        QTest::newRow("settings: a 3 MB line")
            << longLine << QByteArray("1\r\n") << 2 << QStringLiteral("data folder") << 0 << none;
        QTest::newRow("settings: no line end")
            << QByteArray("DATA\r\nQB") << QByteArray("1\r\n") << 0 << none << 1 << dana;
    }

    // The tool reads both files as the window does; odd contents give a designed value, a
    // usage error or one message, and never hold the tool up.
    void settingsFiles()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, version);
        QFETCH(int, status);
        QFETCH(QString, said);
        QFETCH(int, clients);
        QFETCH(QString, contact);
        Folders f;
        QVERIFY(writeBytes(f.qbcust(), rows({QStringLiteral("Acme Supply")})));
        QVERIFY(writeBytes(f.beside(QStringLiteral("QBvers.Dat")), version));
        QStringList arguments{QStringLiteral("strip")};
        if (settings.isEmpty()) {
            arguments += f.folders();
        } else {
            settings.replace("DATA", toCp1252(f.data)).replace("QB", toCp1252(f.quickBooks));
            QVERIFY(writeBytes(f.beside(QStringLiteral("zrQBck.dat")), settings));
        }
        QElapsedTimer timer;
        timer.start();
        const ToolRun run = runTool(arguments, f.tool);
        QVERIFY2(timer.elapsed() < 30000, "brevik-import took more than half a minute");
        QCOMPARE(run.status, status);
        if (said.isEmpty()) {
            QCOMPARE(run.errLines, QStringList());
        } else {
            QVERIFY(!run.errLines.isEmpty());
            QVERIFY2(run.errLines.first().contains(said), qPrintable(run.errLines.first()));
            if (status == 1)
                QCOMPARE(run.errLines.size(), 1);
        }
        TestDatabase db(f.data, TestDatabase::Open::Existing);
        QCOMPARE(db.count(QStringLiteral("CLIENT")), clients);
        if (clients > 0)
            QCOMPARE(db.value(QStringLiteral("SELECT Contact FROM CLIENT")).toString(), contact);
    }

    // Only ordinary files are read: a named pipe in the place of any file the tool reads is
    // refused at once by name, where reading it would wait for a writer that may never come.
    void pipesAreRefusedAtOnce_data()
    {
        QTest::addColumn<QString>("pipe"); // below the temporary folder
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("names"); // the clients stored
        QTest::newRow("the export") << QStringLiteral("export.iif") << QStringLiteral("import") << 1
                                    << QStringList();
        QTest::newRow("QBCUST.TXT") << QStringLiteral("qb/QBCUST.TXT") << QStringLiteral("strip") << 1
                                    << QStringList();
        QTest::newRow("zrQBck.dat") << QStringLiteral("zrQBck.dat") << QStringLiteral("strip") << 1
                                    << QStringList();
        // The version value falls back to "0", as for a file that cannot be read.
        QTest::newRow("QBvers.Dat") << QStringLiteral("QBvers.Dat") << QStringLiteral("strip") << 0
                                    << QStringList{QStringLiteral("Acme Supply")};
    }

    void pipesAreRefusedAtOnce()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, pipe);
        QFETCH(QString, command);
        QFETCH(int, status);
        QFETCH(QStringList, names);
        Folders f;
        const QString exportFile = f.beside(QStringLiteral("export.iif"));
        QVERIFY(writeBytes(exportFile, rows({QStringLiteral("Acme Supply")})));
        QVERIFY(writeBytes(f.qbcust(), rows({QStringLiteral("Acme Supply")})));
        QStringList arguments{command};
        if (command == u"import")
            arguments << exportFile;
        if (pipe != u"zrQBck.dat")
            arguments += f.folders();
        const QString path = f.beside(pipe);
        QFile::remove(path);
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);

        QElapsedTimer timer;
        timer.start();
        const ToolRun run = runTool(arguments, f.tool);
        QVERIFY2(timer.elapsed() < 30000, "brevik-import waited on the pipe");
        QCOMPARE(run.status, status);
        QCOMPARE(run.errLines.size(), 1);
        QVERIFY2(run.errLines.first().contains(QDir::toNativeSeparators(path)),
                 qPrintable(run.errLines.first()));
        QVERIFY2(run.errLines.first().contains(u"not an ordinary file"), qPrintable(run.errLines.first()));
        QCOMPARE(f.names(), names);
#else
        QSKIP("Named pipes of this kind are a Unix matter.");
#endif
    }

    // The files' own readers stop early on a huge file and never take more than their lines.
    void readersStopEarly()
    {
        QTemporaryDir dir;
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("zrQBck.dat")), QByteArray(16 << 20, 'x')));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("QBvers.Dat")), "1" + QByteArray(16 << 20, ' ')));
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SettingsFile(dir.path()).read().whole());
        QCOMPARE(VersionFile(dir.path()).read()->left(1), QStringLiteral("1"));
        QVERIFY2(timer.elapsed() < 5000, "reading the settings files took more than five seconds");
    }
};

QTEST_GUILESS_MAIN(tst_BadFiles)
#include "tst_badfiles.moc"
