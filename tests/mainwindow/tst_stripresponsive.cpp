#include "platform/textlist.h"
#include "stripsupport.h"
#include "writer/testdatabase.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>

#include <optional>

using namespace brevik;
using namespace brevik::testing;

namespace {

// Watches a run from inside: counts the paintings of one control and how often the event loop
// is given a turn (it posts itself an event, and each turn delivers the one posted before it).
// At the first turn it notes the cursor and acts as an impatient operator: clicks "Customer
// File to Import", once through the window as the window system delivers a click and once
// straight to the button; where told to, it then asks to close the window as the title bar does.
class RunWatch final : public QObject
{
public:
    RunWatch(QWidget* painted, QPushButton* clicked, bool closes = false)
        : m_clicked(clicked)
        , m_closes(closes)
    {
        painted->installEventFilter(this);
        post();
    }

    int paints = 0;
    int turns = 0;
    bool waitCursor = false; // at the first turn

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
        if (++turns == 1) {
            const QCursor* cursor = QApplication::overrideCursor();
            waitCursor = cursor && cursor->shape() == Qt::WaitCursor;
            interfere();
        }
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
        if (m_closes)
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
    bool m_closes;
};

} // namespace

// While STRIP holds the main window: the message boxes it shows take their answer, the window
// repaints at intervals, and what the operator clicks meanwhile is not carried out.
class tst_StripResponsive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The run's messages appear as modal boxes, in their order, and the operator can answer
    // each although the run holds the window; the run then goes on to its end. The boxes have no
    // minimise or maximise button. While a box is
    // open the window shows which customer it is about: the list holds every name taken so far,
    // the current one last and in view, and the bar stands at the current row.
    void messageBoxesTakeTheirAnswerDuringTheRun()
    {
        MainWindowFixture f;
        {
            TestDatabase data(f.dataDir.path());
            data.exec(QStringLiteral("INSERT INTO CLIENT (ClientID, Name) VALUES ('000100', 'Customer 4')"));
        }
        // The client of the fifth row has no account, address or contact: three messages, all
        // about that customer, whose name lies below the names the list shows at once.
        constexpr int Rows = 6;
        constexpr int MessageRow = 5;
        QTemporaryDir exports;
        const QString exportFile = writeExport(exports, customerRows(Rows));
        ui::frmBrevik& w = f.showMainWindow();
        selectAndStart(f, w, exportFile);
        ui::setOperatorMessages(nullptr);

        QStringList shown;
        QStringList wrongWindow;
        int unanswered = 0;
        QTimer answer;
        answer.setInterval(5);
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            shown.append(box->text());
            // A title and a close button, neither minimise nor maximise.
            const Qt::WindowFlags frame =
                box->windowFlags() & (Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
            if (frame != (Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint))
                wrongWindow.append(
                    QStringLiteral("box %1: window flags %2").arg(shown.size()).arg(int(frame)));
            QStringList names;
            for (int i = 0; i < MessageRow; ++i)
                names.append(QStringLiteral("Customer %1").arg(i));
            // Every row is as long as the first; the bar counts no row ends.
            const qint64 rowLength = customerRows(1).size() - 2;
            const int last = w.lstCust->count() - 1;
            const QCursor* cursor = QApplication::overrideCursor();
            // The box of the outcome comes once the run is over, with the whole list shown.
            const bool outcome = box->text().startsWith(u"The import is complete.");
            if (!outcome && (listedNames(w) != names || w.pb1->value() != MessageRow * rowLength ||
                             last < 0 || !w.lstCust->viewport()->rect().contains(w.lstCust->rowRect(last)) ||
                             (cursor && cursor->shape() != Qt::ArrowCursor)))
                wrongWindow.append(QStringLiteral("box %1: %2 listed, bar at %3, cursor %4")
                                       .arg(shown.size())
                                       .arg(listedNames(w).join(u", "))
                                       .arg(w.pb1->value())
                                       .arg(cursor ? int(cursor->shape()) : -1));
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
        QCOMPARE(shown.size(), 4);
        QVERIFY(shown.takeLast().startsWith(u"The import is complete."));
        QCOMPARE(shown, QStringList(3, QStringLiteral("Record Not Found... Creating New Record")));
        QVERIFY2(wrongWindow.isEmpty(), qPrintable(wrongWindow.join(u"\n")));
        QVERIFY(!w.cmdExit->isHidden());
        TestDatabase data(f.dataDir.path(), TestDatabase::Open::Existing);
        QCOMPARE(data.count(QStringLiteral("CLIENT")), Rows);
        QCOMPARE(data.count(QStringLiteral("CONTACTS")), Rows);
    }

    // A long run repaints the window a few times a second at most under a wait cursor, and a
    // click made meanwhile is not carried out, neither during the run nor after it.
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
        const bool waitCursor = watch->waitCursor;
        watch.reset();
        QCoreApplication::processEvents();

        QVERIFY(!f.lastRequest);
        QVERIFY(waitCursor);
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(w.isVisible());
        QVERIFY(w.cmdStart->isHidden());
        QCOMPARE(w.lstCust->count(), Rows);
        const QString counts =
            QStringLiteral("%1 paints, %2 turns in %3 ms").arg(paints).arg(turns).arg(elapsed);
        QVERIFY2(paints > 1, qPrintable(counts));
        QVERIFY2(turns <= 3 + elapsed * 30 / 1000, qPrintable(counts));
        QVERIFY2(paints <= turns, qPrintable(counts));
        QCOMPARE(f.messages.messages().size(), 1);
        QVERIFY(f.messages.messages().first().startsWith(u"The import is complete."));
    }

    // Closing the window during the run ends the run after the customer being written: every
    // customer stored is whole, none after the row the message names, and the window closes as
    // a close does once the operator has read how far the run went.
    void closeDuringTheRunEndsItAfterACustomer()
    {
        MainWindowFixture f;
        createDatabase(f.dataDir.path());
        constexpr int Rows = 8000;
        QTemporaryDir exports;
        const QString exportFile = writeExport(exports, customerRows(Rows));
        ui::frmBrevik& w = f.showMainWindow();
        selectAndStart(f, w, exportFile);
        QCoreApplication::processEvents();

        int ends = 0;
        ui::Forms::setEndHook([&ends] { ++ends; });
        std::optional<RunWatch> watch(std::in_place, w.pb1, w.Command1, true);
        w.cmdStrip_Click();
        watch.reset();

        QCOMPARE(ends, 1);
        QVERIFY(!ui::Forms::existingBrevik());
        QCOMPARE(f.messages.messages().size(), 1);
        const QString said = f.messages.messages().first();
        const QRegularExpression howFar(QStringLiteral(
            "The import was interrupted: row (\\d+) was the last stored, and every customer up "
            "to it is stored whole; nothing was stored from row (\\d+) on\\."));
        const QRegularExpressionMatch match = howFar.match(said);
        QVERIFY2(match.hasMatch(), qPrintable(said));
        const int last = match.captured(1).toInt();
        QCOMPARE(match.captured(2).toInt(), last + 1);
        QVERIFY2(last < Rows, qPrintable(said));
        TestDatabase data(f.dataDir.path(), TestDatabase::Open::Existing);
        for (const char* table : {"CLIENT", "CUSTOMERS", "ADDRESSES", "CONTACTS"})
            QCOMPARE(data.count(QLatin1StringView(table)), last);
        // The rows name the customers 0, 1, ... in their order.
        const QString stored = QStringLiteral("SELECT count(*) FROM CLIENT WHERE Name = 'Customer %1'");
        QCOMPARE(data.value(stored.arg(last - 1)).toLongLong(), 1);
        QCOMPARE(data.value(stored.arg(last)).toLongLong(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(tst_StripResponsive)
#include "tst_stripresponsive.moc"
