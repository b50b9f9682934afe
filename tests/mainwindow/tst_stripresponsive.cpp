#include "stripsupport.h"
#include "writer/testdatabase.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <optional>

using namespace brevik;
using namespace brevik::testing;

namespace {

// Watches a run from inside: counts the paintings of one control and how often the event loop
// is given a turn (it posts itself an event, and each turn delivers the one posted before it).
// At the first turn it acts as an impatient operator: clicks "Customer File to Import", once
// through the window as the window system delivers a click and once straight to the button,
// and asks to close the window as the title bar does.
class RunWatch final : public QObject
{
public:
    RunWatch(QWidget* painted, QPushButton* clicked)
        : m_clicked(clicked)
    {
        painted->installEventFilter(this);
        post();
    }

    int paints = 0;
    int turns = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }

    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        if (++turns == 1)
            interfere();
        post();
        return true;
    }

private:
    void post() { QCoreApplication::postEvent(this, new QEvent(QEvent::User)); }

    void interfere() const
    {
        QWidget* window = m_clicked->window();
        const QPoint inButton = m_clicked->rect().center();
        click(window->windowHandle(), m_clicked->mapTo(window, inButton));
        click(m_clicked, inButton);
        window->windowHandle()->close();
    }

    void click(QObject* target, QPoint at) const
    {
        const QPoint global = m_clicked->mapToGlobal(m_clicked->rect().center());
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                target, new QMouseEvent(type, at, global, Qt::LeftButton,
                                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                        Qt::NoModifier));
    }

    QPushButton* m_clicked;
};

} // namespace

// While STRIP holds the main window: the message boxes it shows take their answer, the window
// repaints at intervals, and what the operator clicks meanwhile is not carried out.
class tst_StripResponsive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The run's messages appear as modal boxes, in their order, and the operator can answer
    // each although the run holds the window; the run then goes on to its end.
    void messageBoxesTakeTheirAnswerDuringTheRun()
    {
        MainWindowFixture f;
        {
            TestDatabase data(f.dataDir.path());
            data.exec(QStringLiteral("INSERT INTO CLIENT (ClientID, Name) VALUES ('000100', 'Customer 1')"));
        }
        QTemporaryDir exports;
        const QString exportFile = writeExport(exports, customerRows(3));
        ui::frmBrevik& w = f.showMainWindow();
        selectAndStart(f, w, exportFile);
        ui::setOperatorMessages(nullptr);

        QStringList shown;
        int unanswered = 0;
        QTimer answer;
        answer.setInterval(5);
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            shown.append(box->text());
            QTest::keyClick(box->windowHandle(), Qt::Key_Return);
            if (box->isVisible()) {
                ++unanswered;
                box->hide(); // ends the box's own event loop, whatever happens to input
            }
        });
        answer.start();
        w.cmdStrip_Click();
        answer.stop();

        QCOMPARE(unanswered, 0);
        const QString notFound = QStringLiteral("Record Not Found... Creating New Record");
        QCOMPARE(shown, (QStringList{notFound, notFound, notFound}));
        QVERIFY(!w.cmdExit->isHidden());
        TestDatabase data(f.dataDir.path(), TestDatabase::Open::Existing);
        QCOMPARE(data.count(QStringLiteral("CLIENT")), 3);
        QCOMPARE(data.count(QStringLiteral("CONTACTS")), 3);
    }

    // A long run repaints the window a few times a second at most, and a click made meanwhile
    // is not carried out, neither during the run nor after it.
    void longRunRepaintsButTakesNoCommand()
    {
        MainWindowFixture f;
        createDatabase(f.dataDir.path());
        constexpr int Rows = 8000;
        QTemporaryDir exports;
        const QString exportFile = writeExport(exports, customerRows(Rows));
        ui::frmBrevik& w = f.showMainWindow();
        selectAndStart(f, w, exportFile);
        QCoreApplication::processEvents();
        f.lastRequest.reset();

        std::optional<RunWatch> watch(std::in_place, w.pb1, w.Command1);
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(w.cmdStrip, Qt::LeftButton);
        const qint64 elapsed = clock.elapsed();
        const int paints = watch->paints;
        const int turns = watch->turns;
        watch.reset();
        QCoreApplication::processEvents();

        QVERIFY(!f.lastRequest);
        QVERIFY(w.isVisible());
        QVERIFY(w.cmdStart->isHidden());
        QCOMPARE(w.lstCust->count(), Rows);
        const QString counts =
            QStringLiteral("%1 paints, %2 turns in %3 ms").arg(paints).arg(turns).arg(elapsed);
        QVERIFY2(paints > 1, qPrintable(counts));
        QVERIFY2(turns <= 3 + elapsed * 30 / 1000, qPrintable(counts));
        QVERIFY2(paints <= turns, qPrintable(counts));
        QVERIFY(f.messages.messages().isEmpty());
    }
};

QTEST_MAIN(tst_StripResponsive)
#include "tst_stripresponsive.moc"
