#include "app/forms.h"
#include "brevik/version.h"
#include "import/reporter.h"
#include "platform/messagebox.h"
#include "windows/frmabout.h"
#include "windows/sysinfo.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace brevik::ui;

namespace {

// Starts nothing; records what it was asked to start.
class RecordingStarter final : public ProgramStarter
{
public:
    bool start(const QString& program) override
    {
        started.append(program);
        return true;
    }
    QStringList started;
};

} // namespace

// The about box: its version line, its keys, and the System Info button.
class tst_AboutBox : public QObject
{
    Q_OBJECT

private:
    brevik::CapturingReporter m_messages;
    RecordingStarter m_starter;
    QTemporaryDir m_emptyPath;
    QByteArray m_savedPath;

    frmAbout& showAbout()
    {
        frmAbout& about = Forms::about();
        Forms::showModeless(&about);
        if (!QTest::qWaitForWindowActive(&about))
            qWarning("the about box did not become active");
        return about;
    }

private Q_SLOTS:
    void initTestCase()
    {
        setOperatorMessages(&m_messages);
        setProgramStarter(&m_starter);
        // No system-information program is found on this PATH, whatever the machine has.
        m_savedPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_emptyPath.path()));
    }
    void init()
    {
        m_messages.clear();
        m_starter.started.clear();
    }
    void cleanup() { Forms::resetForTesting(); }
    void cleanupTestCase()
    {
        qputenv("PATH", m_savedPath);
        setProgramStarter(nullptr);
        setOperatorMessages(nullptr);
    }

    void showsTheVersion()
    {
        frmAbout about;
        QCOMPARE(about.lblVersion->text(), brevik::versionText());
        QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 1.50.109"));
        // One line, whole, whatever face stands in for the design's.
        QVERIFY(!about.lblVersion->wordWrap());
        QVERIFY(about.lblVersion->width() >= about.lblVersion->sizeHint().width());
    }

    // Esc presses OK wherever the focus is; Enter presses the button that has the focus, which
    // is OK when the box opens.
    void keysPressOK_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("focusOnSysInfo");
        QTest::newRow("Enter") << int(Qt::Key_Return) << false;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false;
        QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
        QTest::newRow("Esc, focus on System Info") << int(Qt::Key_Escape) << true;
    }
    void keysPressOK()
    {
        QFETCH(int, key);
        QFETCH(bool, focusOnSysInfo);
        frmAbout& about = showAbout();
        QCOMPARE(about.focusWidget(), about.cmdOK);
        QSignalSpy ok(about.cmdOK, &QPushButton::clicked);
        QSignalSpy sysInfo(about.cmdSysInfo, &QPushButton::clicked);
        if (focusOnSysInfo)
            about.cmdSysInfo->setFocus();
        QTest::keyClick(about.focusWidget(), Qt::Key(key));
        QCOMPARE(ok.count(), 1);
        QCOMPARE(sysInfo.count(), 0);
        QTRY_VERIFY(!Forms::existingAbout()); // closed, and gone with its closing
    }

    void altSPressesSystemInfo()
    {
        frmAbout& about = showAbout();
        QCOMPARE(about.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QSignalSpy sysInfo(about.cmdSysInfo, &QPushButton::clicked);
        QTest::keyClick(&about, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(sysInfo.count(), 1); // an access key presses its button as a click would show
        if (systemRegistry())
            QSKIP("The outcome depends on this system's registry.");
        QCOMPARE(m_messages.messages(),
                 QStringList{QStringLiteral("System Information Is Unavailable At This Time")});
        QVERIFY2(Forms::existingAbout() && about.isVisible(), "the about box stays open");
    }

    void sKeyAloneDoesNothing()
    {
        frmAbout& about = showAbout();
        QSignalSpy sysInfo(about.cmdSysInfo, &QPushButton::clicked);
        QTest::keyClick(&about, Qt::Key_S);
        QTest::qWait(200); // longer than a pressed button takes to click
        QCOMPARE(sysInfo.count(), 0);
    }

    void okCloses()
    {
        frmAbout& about = showAbout();
        QTest::mouseClick(about.cmdOK, Qt::LeftButton);
        QTRY_VERIFY(!Forms::existingAbout());
    }

    void showingTwiceLeavesOne()
    {
        frmAbout* first = &showAbout();
        QCOMPARE(&showAbout(), first);
    }
};

QTEST_MAIN(tst_AboutBox)
#include "tst_aboutbox.moc"
