#include "frmbrevik.h"

#include "app/forms.h"
#include "app/frmbrevik_design.h"
#include "app/frmsplash.h"
#include "app/stripoutcome.h"
#include "app/stripprogress.h"
#include "import/export/extraction.h"
#include "import/export/quickbooksfolderlock.h"
#include "import/export/rowreader.h"
#include "import/export/textencoding.h"
#include "import/paths.h"
#include "import/remedies.h"
#include "import/writer/clientwriter.h"
#include "import/writer/customerlist.h"
#include "import/writer/importplan.h"
#include "import/writer/striprun.h"
#include "platform/beep.h"
#include "platform/messagebox.h"
#include "platform/openfiledialog.h"
#include "platform/savefiledialog.h"
#include "platform/textlist.h"
#include "platform/userinputblocker.h"
#include "settings/frmpath.h"
#include "settings/programfolder.h"
#include "settings/versionfile.h"
#include "windows/frmabout.h"
#include "windows/frmbackups.h"
#include "windows/frmexport.h"
#include "windows/frmpreview.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QWindow>

namespace brevik::ui {
namespace {

// What the file field holds when no file was chosen.
const QString NoFileChosen = QStringLiteral("*.iif");

// Heights of the window, in twips, frame and menu bar included.
constexpr int ActiveHeight = 3900;
constexpr int SelectedHeight = 4260;
constexpr int ExtractedHeight = 7320;

} // namespace

frmBrevik::frmBrevik(QWidget* parent)
    : QMainWindow(parent)
{
    const WindowDesign& design = frmBrevikDesign();
    m_client = new QWidget(this);
    setCentralWidget(m_client);
    m_controls.build(m_client, design);
    m_controls.name(frmBrevikNames());
    applyWindowDesign(this, m_client, design);
    // The window is sizable and the import steps set heights that cut the client area off;
    // the controls keep their design positions whatever the size.
    m_client->setMinimumSize(0, 0);
    m_client->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    buildMenus();
    resize(pixels(design.clientWidth), pixels(design.clientHeight) + menuBar()->sizeHint().height());

    txtHold1 = m_controls.get<QLineEdit>(u"txtHold1");
    txtHold2 = m_controls.get<QLineEdit>(u"txtHold2");
    for (std::size_t i = 0; i < Text1.size(); ++i)
        Text1[i] = m_controls.get<QLineEdit>(QStringLiteral("Text1(%1)").arg(i));
    txtCustIIF = m_controls.get<QLineEdit>(u"txtCustIIF");
    Command1 = m_controls.get<QPushButton>(u"Command1");
    cmdStart = m_controls.get<QPushButton>(u"cmdStart");
    cmdStrip = m_controls.get<QPushButton>(u"cmdStrip");
    cmdExit = m_controls.get<QPushButton>(u"cmdExit");
    lstCust = m_controls.get<TextList>(u"lstCust");
    pb1 = m_controls.get<QProgressBar>(u"pb1");
    Label2 = m_controls.get<QLabel>(u"Label2");
    Label3 = m_controls.get<QLabel>(u"Label3");
    opt2000 = m_controls.get<QRadioButton>(u"opt2000");
    opt2002 = m_controls.get<QRadioButton>(u"opt2002");
    // Every item has the height of one line of text, which keeps long lists quick.
    lstCust->setUniformItemSizes(true);
    // The caption stands in the frame's top line rather than above it, so that the two options
    // fit inside the frame's designed height.
    if (auto* frame = m_controls.get<QGroupBox>(u"Frame1"))
        frame->setStyleSheet(QStringLiteral(
            "QGroupBox { border: 1px solid palette(mid); border-radius: 0px; margin-top: 6px; }"
            "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 8px;"
            " padding: 0px 2px; }"));

    connectControls();
    // A failed step's message says where in the program it can be mended.
    setRemedies({QStringLiteral("Choose the folders with File > Path Names."),
                 QStringLiteral("File > Backups puts one of its backups back.")});
    if (QWidget* first = m_controls.firstFocusable())
        first->setFocus();
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &frmBrevik::noteFocusWindow);
}

void frmBrevik::buildMenus()
{
    const auto named = [](QAction* action, const QString& name) {
        action->setObjectName(name);
        return action;
    };
    // Every menu and entry has its access key, so that the program can be used without a mouse.
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFile->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    mnuPathNames = named(mnuFile->addAction(QStringLiteral("&Path Names")), QStringLiteral("mnuPathNames"));
    mnuPreview =
        named(mnuFile->addAction(QStringLiteral("Pre&view Import...")), QStringLiteral("mnuPreview"));
    mnuSaveReport =
        named(mnuFile->addAction(QStringLiteral("Save &Report...")), QStringLiteral("mnuSaveReport"));
    mnuBackups = named(mnuFile->addAction(QStringLiteral("&Backups...")), QStringLiteral("mnuBackups"));
    mnusep2 = named(mnuFile->addSeparator(), QStringLiteral("mnusep2"));
    mnuExit = named(mnuFile->addAction(QStringLiteral("E&xit")), QStringLiteral("mnuExit"));
    // A preview needs a chosen export, a report a STRIP behind it.
    mnuPreview->setEnabled(false);
    mnuSaveReport->setEnabled(false);

    mnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->menuAction()->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = named(mnuHelp->addAction(QStringLiteral("&About")), QStringLiteral("mnuAbout"));
    mnuSep1 = named(mnuHelp->addSeparator(), QStringLiteral("mnuSep1"));
    mnuExport = named(mnuHelp->addAction(QStringLiteral("&Export Details")), QStringLiteral("mnuExport"));

    // F10 opens the first menu, as on the desktops the operators know; a lone Alt reaches the
    // menu bar through the program's style.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, [this] { menuBar()->setActiveAction(mnuFile->menuAction()); });
}

void frmBrevik::connectControls()
{
    connect(Command1, &QPushButton::clicked, this, &frmBrevik::Command1_Click);
    connect(cmdStart, &QPushButton::clicked, this, &frmBrevik::cmdStart_Click);
    connect(cmdStrip, &QPushButton::clicked, this, &frmBrevik::cmdStrip_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmBrevik::cmdExit_Click);
    // clicked, not toggled: only the operator's choice stores the version, never the
    // selection that becoming active makes.
    connect(opt2000, &QRadioButton::clicked, this, &frmBrevik::opt2000_Click);
    connect(opt2002, &QRadioButton::clicked, this, &frmBrevik::opt2002_Click);
    connect(mnuPathNames, &QAction::triggered, this, &frmBrevik::mnuPathNames_Click);
    connect(mnuPreview, &QAction::triggered, this, &frmBrevik::mnuPreview_Click);
    connect(mnuSaveReport, &QAction::triggered, this, &frmBrevik::mnuSaveReport_Click);
    connect(mnuBackups, &QAction::triggered, this, &frmBrevik::mnuBackups_Click);
    connect(mnuExit, &QAction::triggered, this, &frmBrevik::mnuExit_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmBrevik::mnuAbout_Click);
    connect(mnuExport, &QAction::triggered, this, &frmBrevik::mnuExport_Click);
}

void frmBrevik::setHeightTwips(int twips)
{
    const int frame = frameGeometry().height() - geometry().height();
    resize(width(), pixels(twips) - frame);
}

int frmBrevik::heightTwips() const
{
    return frameGeometry().height() * TwipsPerPixel;
}

// The window "becomes active" when it is first shown and when the operator comes back to it
// from another window of the program. Coming back from a message box, from the file dialog
// or from another program does not count: the height would otherwise fall back to 3900 after
// every message, and STRIP would vanish whenever the operator looked at another program.
void frmBrevik::noteFocusWindow(QWindow* window)
{
    if (!window || window == windowHandle())
        return;
    // The preview and the backups are steps between START and STRIP or after it: coming back
    // from them keeps the height, so that STRIP and EXIT stay in view.
    const QList<QWidget*> others = {Forms::existingPath(), Forms::existingAbout(), Forms::existingExport(),
                                    Forms::existingSplash()};
    for (QWidget* other : others)
        if (other && other->windowHandle() == window)
            m_otherWindowWasActive = true;
}

bool frmBrevik::fileChosen() const
{
    return !txtCustIIF->text().isEmpty() && txtCustIIF->text() != NoFileChosen;
}

bool frmBrevik::event(QEvent* event)
{
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate && (!m_activatedBefore || m_otherWindowWasActive)) {
        m_activatedBefore = true;
        m_otherWindowWasActive = false;
        Form_Activate();
    }
    return handled;
}

void frmBrevik::Form_Activate()
{
    gM = txtHold1->text();
    gQ = txtHold2->text();
    setHeightTwips(ActiveHeight);
    const std::optional<QString> version = VersionFile::ofProgram().read();
    // Selecting the option here does not run its click procedure, so becoming active never
    // writes QBvers.Dat: a missing file stays missing, and a folder that cannot be written does
    // not bring a message each time the window comes forward.
    if (version && *version == u"1")
        opt2002->setChecked(true);
    else
        opt2000->setChecked(true);
    gOpt = version.value_or(QStringLiteral("0"));
}

void frmBrevik::storeVersion(const QString& value)
{
    const VersionFile file = VersionFile::ofProgram();
    if (const std::optional<QString> reason = file.write(value))
        operatorMessages().report(QStringLiteral("The QuickBooks version could not be saved in %1: %2")
                                      .arg(displayPath(file.writtenPath()), *reason));
    gOpt = value;
}

void frmBrevik::opt2000_Click()
{
    storeVersion(QStringLiteral("0"));
}

void frmBrevik::opt2002_Click()
{
    storeVersion(QStringLiteral("1"));
}

void frmBrevik::Command1_Click()
{
    const OpenFileRequest request{QStringLiteral("Open QB Customer File"), NoFileChosen, gQ,
                                  QStringLiteral("iif")};
    const std::optional<QString> chosen = askOpenFile(this, request);
    txtCustIIF->clear();
    txtCustIIF->setText(chosen.value_or(NoFileChosen));
    mnuPreview->setEnabled(fileChosen());
    Command1->setText(QStringLiteral("Customer File to Import"));
    for (QWidget* control : QWidgetList{cmdStart, lstCust, pb1, Label2})
        control->setVisible(true);
    setHeightTwips(SelectedHeight);
}

void frmBrevik::cmdStart_Click()
{
    setHeightTwips(ExtractedHeight);
    const QString chosen = txtCustIIF->text();
    // No other run may replace QBCUST.TXT while it is written and listed. A refusal has said
    // why, and hides an earlier STRIP, which would import the other run's rows.
    QuickBooksFolderLock lock(gQ);
    if (chosen != NoFileChosen && !lock.take(operatorMessages())) {
        cmdStrip->setVisible(false);
    } else if (chosen != NoFileChosen) {
        std::vector<qint64> exportRows;
        const ExtractionResult result = extractCustomerRows(
            chosen, gQ, [&exportRows](QByteArrayView, qint64 row) { exportRows.push_back(row); });
        if (result.succeeded()) {
            m_exportLayout = result.layout;
            m_exportRows = std::move(exportRows);
            listCopiedRows(result.outputPath);
            cmdStrip->setVisible(true);
            cmdStart->setVisible(false);
            cmdStrip->move(pixels(3360), pixels(5760));
            // EXIT, shown by an earlier STRIP, would stand under the new STRIP; it comes back
            // when this one is over.
            cmdExit->setVisible(false);
        } else {
            // A STRIP still showing from an earlier run would import a file that no longer
            // belongs to the chosen export.
            cmdStrip->setVisible(false);
            lock.release();
            operatorMessages().report(result.failure->message());
        }
    }
    beep();
    beep();
}

// The rows are listed from the copy once it is complete, so that a START that fails lists
// nothing. Each row is read by its own bytes; they are appended a batch at a time, as one item
// at a time is slow on exports of many thousand customers.
void frmBrevik::listCopiedRows(const QString& customerFile)
{
    constexpr qsizetype BatchSize = 5000;
    QFile file(customerFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    RowReader reader(file);
    QStringList batch;
    for (QByteArrayView row; reader.next(row);) {
        batch.append(decodeRow(row));
        if (batch.size() >= BatchSize) {
            lstCust->addItems(batch);
            batch.clear();
        }
    }
    lstCust->addItems(batch);
}

// The import run. The core works on a copy of the window's values; the controls follow the run
// through StripProgress, and the fields of the last customer come back to the window at its end.
// A run that could not read the customer file or stopped at the database has said why in one
// message and leaves STRIP on view, so that the operator can run it again once the cause is
// mended; customers already stored are then found and rewritten, not added twice. Closing the
// window during the run ends it after the customer being written; the operator is told how far
// it went, and the window then closes.
void frmBrevik::cmdStrip_Click()
{
    WindowValues values{txtHold1->text(), txtHold2->text(), gM, gQ, gOpt, {}};
    for (std::size_t i = 0; i < CustomerFieldCount; ++i)
        values.Text1[i] = Text1[i]->text();

    // No other run may replace QBCUST.TXT while it is read; a refusal has said why.
    QuickBooksFolderLock lock(gQ);
    if (!lock.take(operatorMessages()))
        return;
    // STRIP cannot be pressed again during the run, and would stand over the note.
    cmdStrip->setVisible(false);
    bool closeRequested = false;
    StripProgress progress(*this, values);
    StripProgress::Messages reporter(progress, operatorMessages());
    StripSummary summary;
    m_report.clear();
    {
        ClientWriter writer(reporter);
        writer.setRecordObserver(
            [this](const CustomerRecord& record) { m_report += csvLine(record, Tense::Done); });
        StripOptions options;
        options.exportRows = m_exportRows;
        options.stopRequested = [&closeRequested] {
            return closeRequested;
        };
        StripRun run(values, writer, reporter, std::move(options));
        // No command can be given while the run holds the window, only painting goes on; a
        // request to close the window is kept for when the run has stopped.
        const UserInputBlocker blocker([this, &closeRequested](QWindow* window) {
            if (window && window == windowHandle())
                closeRequested = true;
        });
        summary = run.run(customerFileIn(gQ), m_exportLayout, progress);
        progress.showCurrent();
    }
    gM = values.gM;
    gQ = values.gQ;
    // A run that stopped at the database or the file can be run again once the cause is mended.
    if (!summary.completed && !summary.interrupted)
        cmdStrip->setVisible(true);
    mnuSaveReport->setEnabled(!m_report.isEmpty());
    showOutcome(summary);
    if (closeRequested) {
        close();
        return;
    }
    // After the run the next step is EXIT, not the record fields out of sight.
    if (cmdExit->isVisible())
        cmdExit->setFocus();
}

// One box tells what the run did, as the tool's summary does, and where the copy of the database
// made before it stands; a run that stopped early says from which row on nothing was stored.
void frmBrevik::showOutcome(const StripSummary& summary)
{
    const qint64 settled = summary.clientsAdded + summary.clientsUpdated + summary.rowsWithoutWrite +
                           summary.customersRefused + summary.jobsPassedOver;
    // A run that stopped before it settled a customer has said why, and that nothing was imported.
    if (!summary.completed && !summary.interrupted && settled == 0)
        return;
    operatorMessages().report(stripOutcomeText(summary));
}

void frmBrevik::mnuPreview_Click()
{
    if (!fileChosen())
        return;
    PlanRequest request;
    request.exportFile = txtCustIIF->text();
    request.dataFolder = gM;
    request.gOpt = gOpt;
    frmPreview& preview = Forms::preview();
    Forms::showModeless(&preview);
    preview.preview(request);
}

void frmBrevik::mnuSaveReport_Click()
{
    if (m_report.isEmpty())
        return;
    const std::optional<QString> chosen =
        askSaveFile(this, {QStringLiteral("Save the Report of the Import"),
                           QDir(gQ).filePath(QStringLiteral("import-report.csv")), QStringLiteral("csv")});
    if (!chosen)
        return;
    ReportFile file(*chosen);
    QString why;
    bool saved = file.open(why);
    if (saved) {
        file.addLines(m_report);
        saved = file.commit(why);
    }
    if (!saved)
        operatorMessages().report(
            QStringLiteral("The report cannot be saved as %1: %2.").arg(displayPath(*chosen), clause(why)));
}

void frmBrevik::mnuBackups_Click()
{
    frmBackups& backups = Forms::backups();
    backups.showBackupsOf(gM);
    Forms::showModeless(&backups);
}

void frmBrevik::cmdExit_Click()
{
    Forms::endProgram();
}

void frmBrevik::mnuExit_Click()
{
    Forms::endProgram();
}

void frmBrevik::mnuPathNames_Click()
{
    Forms::showModeless(&Forms::path());
}

void frmBrevik::mnuAbout_Click()
{
    Forms::showModeless(&Forms::about());
}

void frmBrevik::mnuExport_Click()
{
    Forms::showModeless(&Forms::exportWindow());
}

// The close is never refused: every other open window closes, running its own closing
// procedures, and then the program ends.
void frmBrevik::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_closing)
        return;
    m_closing = true;
    Forms::closeAll();
    Forms::endProgram();
}

} // namespace brevik::ui
