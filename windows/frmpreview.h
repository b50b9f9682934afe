#pragma once

#include "import/writer/importplan.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTimer;

namespace brevik::ui {

class CustomerTableModel;
class PlanRunner;

// What an import of the chosen export would do, customer by customer, before STRIP writes
// anything: the rows of the tool's plan, computed by the same core on a private copy of the
// database, with the summary under the list. The list can be saved as the plan's CSV.
class frmPreview final : public QWidget
{
    Q_OBJECT

public:
    explicit frmPreview(QWidget* parent = nullptr);
    ~frmPreview() override;

    // Plans the import of the export into the data folder's database, unless the window shows
    // that plan already or is working on it.
    void preview(const PlanRequest& request);

    [[nodiscard]] bool planning() const;
    [[nodiscard]] const CustomerTableModel& model() const { return *m_model; }

    QLabel* lblExport = nullptr;
    QTableView* grdCustomers = nullptr;
    QProgressBar* pbPlan = nullptr;
    QLabel* lblSummary = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;

Q_SIGNALS:
    // The plan is over and its rows are in the list.
    void planFinished();

public Q_SLOTS:
    void cmdSave_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void takeSettled();
    void showFinished(const StripSummary& summary, const QStringList& messages, bool stopped);

    CustomerTableModel* m_model = nullptr;
    PlanRunner* m_runner = nullptr;
    QTimer* m_poll = nullptr;
    PlanRequest m_request;
    bool m_shown = false;
};

} // namespace brevik::ui
