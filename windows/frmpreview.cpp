#include "frmpreview.h"

#include "import/paths.h"
#include "import/writer/customerlist.h"
#include "platform/formdesign.h"
#include "platform/messagebox.h"
#include "platform/savefiledialog.h"
#include "windows/customertablemodel.h"
#include "windows/planrunner.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>

namespace brevik::ui {
namespace {

// How often the list takes the customers the plan has settled, and the bar its progress.
constexpr int PollMs = 100;

const WindowDesign& previewDesign()
{
    static const WindowDesign design{QLatin1StringView("frmPreview"),
                                     QStringLiteral("Preview Import"),
                                     FrameKind::Sizable,
                                     true,
                                     9600,
                                     6000,
                                     colours::Beige,
                                     {}};
    return design;
}

bool sameRequest(const PlanRequest& a, const PlanRequest& b)
{
    return a.exportFile == b.exportFile && a.dataFolder == b.dataFolder && a.gOpt == b.gOpt &&
           a.workFolder == b.workFolder;
}

} // namespace

frmPreview::frmPreview(QWidget* parent)
    : QWidget(parent)
    , m_model(new CustomerTableModel(Tense::Plan, this))
    , m_runner(new PlanRunner(this))
    , m_poll(new QTimer(this))
{
    applyWindowDesign(this, this, previewDesign());
    setFont(designFont({}));

    lblExport = wrappedCaption(this);
    grdCustomers = new QTableView(this);
    grdCustomers->setObjectName(QStringLiteral("grdCustomers"));
    grdCustomers->setModel(m_model);
    grdCustomers->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdCustomers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdCustomers->setAlternatingRowColors(true);
    grdCustomers->verticalHeader()->hide();
    // Every row has the height of one line, so the view never measures the rows out of sight.
    grdCustomers->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdCustomers->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    grdCustomers->horizontalHeader()->setStretchLastSection(true);
    grdCustomers->setColumnWidth(0, pixels(900));
    grdCustomers->setColumnWidth(1, pixels(3000));
    grdCustomers->setColumnWidth(2, pixels(900));
    grdCustomers->setColumnWidth(3, pixels(1000));
    grdCustomers->setAccessibleName(QStringLiteral("Customers of the export"));
    lblExport->setBuddy(grdCustomers);
    pbPlan = new QProgressBar(this);
    pbPlan->setObjectName(QStringLiteral("pbPlan"));
    pbPlan->setAccessibleName(QStringLiteral("Progress of the preview"));
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lblSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdSave = commandButton(QStringLiteral("&Save List..."), QStringLiteral("cmdSave"), this);
    cmdClose = commandButton(QStringLiteral("&Close"), QStringLiteral("cmdClose"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblExport);
    layout->addWidget(grdCustomers, 1);
    layout->addWidget(pbPlan);
    layout->addWidget(lblSummary);
    layout->addLayout(buttonRow({cmdSave, cmdClose}));

    connect(cmdSave, &QPushButton::clicked, this, &frmPreview::cmdSave_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    m_poll->setInterval(PollMs);
    connect(m_poll, &QTimer::timeout, this, &frmPreview::takeSettled);
    connect(m_runner, &PlanRunner::finished, this, &frmPreview::showFinished);
}

frmPreview::~frmPreview() = default;

bool frmPreview::planning() const
{
    return m_runner->running();
}

void frmPreview::preview(const PlanRequest& request)
{
    if (m_shown && sameRequest(request, m_request))
        return;
    m_shown = true;
    m_request = request;
    m_model->clear();
    lblExport->setText(
        QStringLiteral("What an import of %1 would do to %2, customer by customer. "
                       "Nothing is written until STRIP.")
            .arg(displayPath(request.exportFile), displayPath(databaseIn(request.dataFolder))));
    lblSummary->setText(QStringLiteral("The preview is working..."));
    pbPlan->setRange(0, 0);
    pbPlan->setVisible(true);
    cmdSave->setEnabled(false);
    m_runner->start(request);
    m_poll->start();
}

void frmPreview::takeSettled()
{
    m_model->append(m_runner->takeRecords());
    const qint64 maximum = m_runner->progressMaximum();
    if (maximum > 0) {
        // The bar holds an int; both ends go down alike for a file of more than 2 GB.
        int shift = 0;
        while ((maximum >> shift) > std::numeric_limits<int>::max())
            ++shift;
        pbPlan->setRange(0, static_cast<int>(maximum >> shift));
        pbPlan->setValue(static_cast<int>(m_runner->progressValue() >> shift));
    }
}

void frmPreview::showFinished(const StripSummary& summary, const QStringList& messages, bool stopped)
{
    m_poll->stop();
    takeSettled();
    pbPlan->setVisible(false);
    if (stopped) {
        lblSummary->setText(QStringLiteral("The preview was stopped."));
        return;
    }
    lblSummary->setText(summaryLine(summary));
    cmdSave->setEnabled(m_model->rowCount() > 0);
    for (const QString& message : messages)
        operatorMessages().report(message);
    Q_EMIT planFinished();
}

void frmPreview::cmdSave_Click()
{
    const QString suggested =
        QFileInfo(m_request.exportFile)
            .absoluteDir()
            .filePath(QFileInfo(m_request.exportFile).completeBaseName() + QStringLiteral("-preview.csv"));
    const std::optional<QString> chosen =
        askSaveFile(this, {QStringLiteral("Save the Preview as CSV"), suggested, QStringLiteral("csv")});
    if (!chosen)
        return;
    ReportFile file(*chosen, Tense::Plan);
    QString why;
    bool saved = file.open(why);
    if (saved) {
        for (const CustomerRecord& record : m_model->records())
            file.add(record);
        saved = file.commit(why);
    }
    if (!saved)
        operatorMessages().report(
            QStringLiteral("The preview cannot be saved as %1: %2.").arg(displayPath(*chosen), clause(why)));
}

void frmPreview::closeEvent(QCloseEvent* event)
{
    // A plan still running is of no use once its window is gone; it leaves nothing behind.
    m_poll->stop();
    m_runner->stop();
    m_shown = false;
    event->accept();
}

} // namespace brevik::ui
