#include "app/forms.h"
#include "import/reporter.h"
#include "platform/messagebox.h"
#include "platform/windowprinting.h"
#include "windows/frmexport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace brevik::ui;

namespace {

// The pages of a PDF file: its page objects, not the page tree.
qsizetype pageCount(const QByteArray& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return QString::fromLatin1(pdf).count(page);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The export-instructions window: its text, its printing, and that it exists once.
class tst_ExportWindow : public QObject
{
    Q_OBJECT

private:
    brevik::CapturingReporter m_messages;
    QTemporaryDir m_dir;
    int m_dialogs = 0;

    // Answers the print dialog as the operator would: a PDF file in the test's folder, or cancel.
    void answerPrintDialog(const QString& file, bool accept)
    {
        setPrinterChooser([this, file, accept](QPrinter& printer, QWidget*) {
            ++m_dialogs;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            return accept;
        });
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        setOperatorMessages(&m_messages);
    }
    void init()
    {
        m_messages.clear();
        m_dialogs = 0;
    }
    void cleanup()
    {
        setPrinterChooser({});
        Forms::resetForTesting();
    }
    void cleanupTestCase() { setOperatorMessages(nullptr); }

    void instructionsAreTheTenPiecesJoined()
    {
        const QString expected = QStringLiteral(
            "To create a QuickBooks Export File, you must first be in QuickBooks. Click on the header called "
            "File and look for Utilities or Export. After you click on the word Export, you will be asked "
            "which "
            "item you wish to export. Click on the item called Customers. Next you will be asked to name the "
            "export file.  This is best when you identify it as the word Customer. Be sure it is placed into "
            "the QuickBooks folder. Remember that you must specify the correct location for this file when "
            "you "
            "Import this data to Orvella. The Location is specified in this application under the menu item "
            "called File and then Path Names.");
        frmExport window;
        QCOMPARE(window.lblInstruct->text(), expected);
        QVERIFY(window.lblInstruct->text().contains(u"file.  This"));
        QVERIFY(window.lblInstruct->text().endsWith(u"Path Names."));
        QVERIFY(window.lblInstruct->wordWrap());
    }

    void printingPutsTheWindowOnOnePage()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("instructions.pdf"));
        answerPrintDialog(pdf, true);
        frmExport window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::mouseClick(window.cmdPrint, Qt::LeftButton);
        QCOMPARE(m_dialogs, 1);
        QCOMPARE(m_messages.messages(), QStringList());
        const QByteArray bytes = fileBytes(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(pageCount(bytes), 1);
        QVERIFY2(bytes.contains("/Subtype /Image"), "the page carries the window's image");
    }

    void cancelledDialogPrintsNothing()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("cancelled.pdf"));
        answerPrintDialog(pdf, false);
        frmExport window;
        window.cmdPrint_Click();
        QCOMPARE(m_dialogs, 1);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(m_messages.messages(), QStringList());
    }

    void failedPrintingIsReported()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("no/such/folder/out.pdf"));
        answerPrintDialog(pdf, true);
        frmExport window;
        window.cmdPrint_Click();
        QCOMPARE(m_messages.messages().size(), 1);
        QVERIFY2(m_messages.messages().constFirst().startsWith(u"The instructions could not be printed"),
                 qPrintable(m_messages.messages().constFirst()));
    }

    void imageKeepsItsScreenSizeOnThePage_data()
    {
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QSizeF>("page");
        QTest::addColumn<QRectF>("placed");
        const QSizeF a4At600(4725, 6897);
        QTest::newRow("at 96 dpi as on screen")
            << QSizeF(312, 237) << 96 << QSizeF(756, 1103) << QRectF(0, 0, 312, 237);
        QTest::newRow("at 600 dpi enlarged")
            << QSizeF(312, 237) << 600 << a4At600 << QRectF(0, 0, 1950, 1481.25);
        QTest::newRow("too wide is fitted")
            << QSizeF(1200, 300) << 600 << a4At600 << QRectF(0, 0, 4725, 1181.25);
        QTest::newRow("too tall is fitted")
            << QSizeF(300, 1200) << 600 << a4At600 << QRectF(0, 0, 1724.25, 6897);
    }
    void imageKeepsItsScreenSizeOnThePage()
    {
        QFETCH(QSizeF, image);
        QFETCH(int, dpi);
        QFETCH(QSizeF, page);
        QFETCH(QRectF, placed);
        QCOMPARE(imagePlacement(image, dpi, page), placed);
    }

    void showingTwiceLeavesOneWindow()
    {
        Forms::showModeless(&Forms::exportWindow());
        frmExport* first = Forms::existingExport();
        QVERIFY(first);
        first->lblInstruct->setText(QStringLiteral("changed"));
        Forms::showModeless(&Forms::exportWindow());
        QCOMPARE(Forms::existingExport(), first);
        QCOMPARE(first->lblInstruct->text(), QStringLiteral("changed")); // not loaded again
        int open = 0;
        for (QWidget* window : QApplication::topLevelWidgets())
            open += qobject_cast<frmExport*>(window) && window->isVisible();
        QCOMPARE(open, 1);
    }
};

QTEST_MAIN(tst_ExportWindow)
#include "tst_exportwindow.moc"
