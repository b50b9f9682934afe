#include "frmbrevik.h"

#include "app/forms.h"
#include "app/frmbrevik_design.h"
#include "app/frmsplash.h"
#include "app/stripprogress.h"
#include "import/export/extraction.h"
#include "import/export/quickbooksfolderlock.h"
#include "import/export/rowreader.h"
#include "import/export/textencoding.h"
#include "import/paths.h"
#include "import/writer/clientwriter.h"
#include "import/writer/striprun.h"
#include "platform/beep.h"
#include "platform/messagebox.h"
#include "platform/openfiledialog.h"
#include "platform/userinputblocker.h"
#include "settings/frmpath.h"
#include "settings/programfolder.h"
#include "settings/versionfile.h"
#include "windows/frmabout.h"
#include "windows/frmexport.h"

#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
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
    lstCust = m_controls.get<QListWidget>(u"lstCust");
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
    mnuFile = menuBar()->addMenu(QStringLiteral("File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFile->menuAction()->setObjectName(QStringLiteral("mnuFile"));
    mnuPathNames = named(mnuFile->addAction(QStringLiteral("Path Names")), QStringLiteral("mnuPathNames"));
    mnusep2 = named(mnuFile->addSeparator(), QStringLiteral("mnusep2"));
    mnuExit = named(mnuFile->addAction(QStringLiteral("Exit")), QStringLiteral("mnuExit"));

    mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelp->menuAction()->setObjectName(QStringLiteral("mnuHelp"));
    mnuAbout = named(mnuHelp->addAction(QStringLiteral("About")), QStringLiteral("mnuAbout"));
    mnuSep1 = named(mnuHelp->addSeparator(), QStringLiteral("mnuSep1"));
    mnuExport = named(mnuHelp->addAction(QStringLiteral("Export Details")), QStringLiteral("mnuExport"));
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
    const QList<QWidget*> others = {Forms::existingPath(), Forms::existingAbout(), Forms::existingExport(),
                                    Forms::existingSplash()};
    for (QWidget* other : others)
        if (other && other->windowHandle() == window)
            m_otherWindowWasActive = true;
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
        const ExtractionResult result = extractCustomerRows(chosen, gQ);
        if (result.succeeded()) {
            m_exportLayout = result.layout;
            listCopiedRows(result.outputPath);
            cmdStrip->setVisible(true);
            cmdStart->setVisible(false);
            cmdStrip->move(pixels(3360), pixels(5760));
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
    bool closeRequested = false;
    StripProgress progress(*this, values);
    StripProgress::Messages reporter(progress, operatorMessages());
    StripSummary summary;
    {
        ClientWriter writer(reporter);
        StripOptions options;
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
    if (summary.interrupted)
        operatorMessages().report(interruptedRunMessage(summary));
    if (closeRequested)
        close();
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
