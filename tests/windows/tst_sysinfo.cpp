#include "import/paths.h"
#include "import/reporter.h"
#include "windows/sysinfo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>

using namespace brevik::ui;

namespace {

// A registry of the test's own: keys hold typed values; every call is recorded.
class FakeRegistry final : public RegistryApi
{
public:
    struct Value
    {
        std::uint32_t type = RegistryString;
        QByteArray bytes;
    };
    struct OpenCall
    {
        RegistryKey root;
        QByteArray subKey;
        std::uint32_t options;
        std::uint32_t access;
    };

    void set(const QByteArray& key, const QByteArray& name, std::uint32_t type, const QByteArray& bytes)
    {
        m_keys[key][name] = Value{type, bytes};
    }
    void addKey(const QByteArray& key) { m_keys[key]; }

    std::int32_t openKey(RegistryKey root, const QByteArray& subKey, std::uint32_t options,
                         std::uint32_t access, RegistryKey& key) override
    {
        opens.append({root, subKey, options, access});
        key = 0;
        if (!m_keys.contains(subKey))
            return RegistryNotFound;
        m_handles.append(subKey);
        key = 0x1000 + RegistryKey(m_handles.size());
        return RegistrySuccess;
    }

    std::int32_t queryValue(RegistryKey key, const QByteArray& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override
    {
        announced.append(size);
        bufferWasZero =
            bufferWasZero && std::all_of(data, data + size, [](unsigned char b) { return b == 0; });
        const auto& values = m_keys[m_handles.value(qsizetype(key - 0x1001))];
        if (!values.contains(valueName))
            return RegistryNotFound;
        const Value& value = values[valueName];
        if (value.bytes.size() > qsizetype(size)) {
            size = std::uint32_t(value.bytes.size());
            return RegistryMoreData;
        }
        std::memcpy(data, value.bytes.constData(), std::size_t(value.bytes.size()));
        type = value.type;
        size = std::uint32_t(value.bytes.size());
        return RegistrySuccess;
    }

    std::int32_t closeKey(RegistryKey key) override
    {
        closes.append(key);
        return key ? RegistrySuccess : 6; // an invalid handle
    }

    QList<OpenCall> opens;
    QList<std::uint32_t> announced;
    QList<RegistryKey> closes;
    bool bufferWasZero = true;

private:
    QHash<QByteArray, QHash<QByteArray, Value>> m_keys;
    QList<QByteArray> m_handles;
};

// Records what would start; a program starts when its file exists, unless told to fail.
class FakeStarter final : public ProgramStarter
{
public:
    bool start(const QString& program) override
    {
        started.append(program);
        return !failAll && QFileInfo(program).isFile();
    }
    QStringList started;
    bool failAll = false;
};

const QByteArray PathKey(SysInfoPathKey);
const QByteArray FolderKey(SysInfoFolderKey);

QByteArray zeroEnded(const QByteArray& text)
{
    return text + '\0';
}

} // namespace

// Reading a value from the registry, and finding and starting the system's information program.
class tst_SysInfo : public QObject
{
    Q_OBJECT

private:
    QByteArray m_savedPath;

    static bool makeFile(const QTemporaryDir& dir, const QString& relative, bool executable = false)
    {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.close();
        return !executable || file.setPermissions(file.permissions() | QFile::ExeOwner);
    }

private Q_SLOTS:
    void initTestCase() { m_savedPath = qgetenv("PATH"); }
    void cleanup() { qputenv("PATH", m_savedPath); }

    void valueRules_data()
    {
        QTest::addColumn<std::uint32_t>("type");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("keyVal");
        const QString before = QStringLiteral("before");
        const QByteArray a1023(1023, 'a');
        QTest::newRow("string with its zero") << RegistryString << zeroEnded("C:\\Info\\msinfo32.exe") << true
                                              << QStringLiteral("C:\\Info\\msinfo32.exe");
        QTest::newRow("string without a zero keeps all")
            << RegistryString << QByteArray("abc") << true << QStringLiteral("abc");
        QTest::newRow("only the last zero goes")
            << RegistryString << QByteArray("ab\0\0", 4) << true << QString(QStringLiteral("ab") + QChar(0));
        QTest::newRow("empty value") << RegistryString << QByteArray() << true << QString();
        QTest::newRow("8-bit text") << RegistryString << zeroEnded("Caf\xe9") << true
                                    << QStringLiteral("Café");
        QTest::newRow("number 261") << RegistryNumber << QByteArray("\x05\x01\x00\x00", 4) << true
                                    << QStringLiteral("&h000105");
        QTest::newRow("number with a top byte")
            << RegistryNumber << QByteArray("\x78\x56\x34\x12", 4) << true << QStringLiteral("&h12345678");
        QTest::newRow("number zero") << RegistryNumber << QByteArray(4, '\0') << true
                                     << QStringLiteral("&h000000");
        QTest::newRow("expandable string left")
            << RegistryExpandString << zeroEnded("%SystemRoot%\\x.exe") << true << before;
        QTest::newRow("binary left") << std::uint32_t(3) << QByteArray("\x01\x02", 2) << true << before;
        QTest::newRow("1024 bytes with the zero")
            << RegistryString << zeroEnded(a1023) << true << QString::fromLatin1(a1023);
        QTest::newRow("1024 bytes without a zero")
            << RegistryString << QByteArray(1024, 'b') << true << QString(1024, u'b');
        QTest::newRow("1025 bytes not found")
            << RegistryString << QByteArray(1025, 'c') << false << QString();
    }
    void valueRules()
    {
        QFETCH(std::uint32_t, type);
        QFETCH(QByteArray, stored);
        QFETCH(bool, found);
        QFETCH(QString, keyVal);
        FakeRegistry registry;
        registry.set("Some\\Key", "Name", type, stored);
        QString value = QStringLiteral("before");
        QCOMPARE(GetKeyValue(registry, KeyRootLocalMachine, QStringLiteral("Some\\Key"),
                             QStringLiteral("Name"), value),
                 found);
        QCOMPARE(value, keyVal);
    }

    void callsTheRegistryAsTheSystemExpects()
    {
        FakeRegistry registry;
        registry.set("Some\\Key", "Name", RegistryString, zeroEnded("x"));
        QString value;
        QVERIFY(GetKeyValue(registry, KeyRootLocalMachine, QStringLiteral("Some\\Key"),
                            QStringLiteral("Name"), value));
        QCOMPARE(registry.opens.size(), 1);
        QCOMPARE(registry.opens[0].root, RegistryKey(std::intptr_t(std::int32_t(0x80000002u))));
        QCOMPARE(registry.opens[0].subKey, QByteArray("Some\\Key"));
        QCOMPARE(registry.opens[0].options, 0u);
        QCOMPARE(registry.opens[0].access, 0x2003Fu);
        QCOMPARE(registry.announced, QList<std::uint32_t>{1024});
        QVERIFY(registry.bufferWasZero);
        QCOMPARE(registry.closes, QList<RegistryKey>{0x1001});
    }

    void missingKeyOrValueIsNotFound_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<qsizetype>("queries");
        QTest::newRow("missing key") << QByteArray("No\\Such\\Key") << qsizetype(0);
        QTest::newRow("missing value") << QByteArray("Some\\Key") << qsizetype(1);
    }
    void missingKeyOrValueIsNotFound()
    {
        QFETCH(QByteArray, key);
        QFETCH(qsizetype, queries);
        FakeRegistry registry;
        registry.set("Some\\Key", "Other", RegistryString, zeroEnded("x"));
        QString value = QStringLiteral("before");
        QVERIFY(!GetKeyValue(registry, KeyRootLocalMachine, QString::fromLatin1(key), QStringLiteral("Name"),
                             value));
        QCOMPARE(value, QString());
        QCOMPARE(registry.announced.size(), queries);
        QCOMPARE(registry.closes.size(), 1); // closed also when the key did not open
    }

    void startsTheProgramTheRegistryNames_data()
    {
        QTest::addColumn<int>("pathType"); // 0: no value
        QTest::addColumn<QString>("pathValue");
        QTest::addColumn<QString>("folderValue"); // empty: no value
        QTest::addColumn<bool>("folderHoldsProgram");
        QTest::addColumn<QString>("started"); // what start was asked for; "-" for nothing
        QTest::addColumn<bool>("message");
        QTest::addColumn<int>("keysOpened");
        const QString program = QStringLiteral("tools/msinfo.exe");
        const QString folder = QStringLiteral("shared");
        const QString inFolder = brevik::joinFolderAndFile(folder, QStringLiteral("MSINFO32.EXE"));
        const QString none = QStringLiteral("-");
        QTest::newRow("step 1 found")
            << int(RegistryString) << program << folder << true << program << false << 1;
        QTest::newRow("step 2 folder holds the file")
            << 0 << QString() << folder << true << inFolder << false << 2;
        QTest::newRow("step 2 folder without it") << 0 << QString() << folder << false << none << true << 2;
        QTest::newRow("neither value") << 0 << QString() << QString() << false << none << true << 2;
        QTest::newRow("step 1 names a missing file")
            << int(RegistryString) << QStringLiteral("gone/msinfo.exe") << folder << true
            << QStringLiteral("gone/msinfo.exe") << true << 1;
        QTest::newRow("step 1 of another type")
            << int(RegistryExpandString) << program << folder << true << QString() << true << 1;
    }
    void startsTheProgramTheRegistryNames()
    {
        QFETCH(int, pathType);
        QFETCH(QString, pathValue);
        QFETCH(QString, folderValue);
        QFETCH(bool, folderHoldsProgram);
        QFETCH(QString, started);
        QFETCH(bool, message);
        QFETCH(int, keysOpened);
        QTemporaryDir dir;
        auto inDir = [&](const QString& relative) {
            return relative.isEmpty() ? relative : dir.filePath(relative);
        };
        QVERIFY(makeFile(dir, QStringLiteral("tools/msinfo.exe")));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("shared")));
        if (folderHoldsProgram)
            QVERIFY(makeFile(
                dir, brevik::joinFolderAndFile(QStringLiteral("shared"), QStringLiteral("MSINFO32.EXE"))));

        FakeRegistry registry;
        registry.addKey(PathKey);
        if (pathType)
            registry.set(PathKey, SysInfoPathValue, std::uint32_t(pathType),
                         zeroEnded(inDir(pathValue).toLatin1()));
        if (!folderValue.isEmpty())
            registry.set(FolderKey, SysInfoFolderValue, RegistryString,
                         zeroEnded(inDir(folderValue).toLatin1()));
        FakeStarter starter;
        brevik::CapturingReporter reporter;
        StartSysInfo(&registry, starter, reporter);

        QCOMPARE(starter.started, started == u"-" ? QStringList() : QStringList{inDir(started)});
        QCOMPARE(reporter.messages(),
                 message ? QStringList{QStringLiteral("System Information Is Unavailable At This Time")}
                         : QStringList());
        QCOMPARE(registry.opens.size(), keysOpened);
        QCOMPARE(registry.closes.size(), keysOpened);
    }

    void withoutRegistryLooksOnThePath_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<bool>("startFails");
        QTest::addColumn<QString>("started"); // empty: nothing
        QTest::addColumn<bool>("message");
        QTest::newRow("none installed") << QStringList() << false << QString() << true;
        QTest::newRow("first of the list wins")
            << QStringList{QStringLiteral("gnome-system-monitor"), QStringLiteral("hardinfo")} << false
            << QStringLiteral("hardinfo") << false;
        QTest::newRow("the last of the list")
            << QStringList{sysInfoPrograms().constLast()} << false << sysInfoPrograms().constLast() << false;
        QTest::newRow("starting fails")
            << QStringList{QStringLiteral("kinfocenter")} << true << QStringLiteral("kinfocenter") << true;
    }
    void withoutRegistryLooksOnThePath()
    {
        QFETCH(QStringList, installed);
        QFETCH(bool, startFails);
        QFETCH(QString, started);
        QFETCH(bool, message);
        QTemporaryDir bin;
        for (const QString& program : installed)
            QVERIFY(makeFile(bin, program, true));
        qputenv("PATH", QFile::encodeName(bin.path()));
        FakeStarter starter;
        starter.failAll = startFails;
        brevik::CapturingReporter reporter;
        StartSysInfo(nullptr, starter, reporter);
        QCOMPARE(starter.started, started.isEmpty() ? QStringList() : QStringList{bin.filePath(started)});
        QCOMPARE(reporter.messages().size(), message ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(tst_SysInfo)
#include "tst_sysinfo.moc"
