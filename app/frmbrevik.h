#pragma once

#include "import/export/exportlayout.h"
#include "import/rules/customerfields.h"
#include "import/writer/striprun.h"
#include "platform/formdesign.h"

#include <QMainWindow>

#include <array>
#include <vector>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QLabel;
class QAction;
class QMenu;
class QWindow;

namespace brevik::ui {

class TextList;

// The main window: the three import commands, the QuickBooks version choice, the menus, the
// hidden fields through which the other windows hand over the two folders, and the customer
// fields that carry one record from the import run to the database writer.
class frmBrevik final : public QMainWindow
{
    Q_OBJECT

public:
    explicit frmBrevik(QWidget* parent = nullptr);

    [[nodiscard]] const DesignedControls& controls() const { return m_controls; }

    // The window's height in twips, its frame included, as the import steps set it.
    void setHeightTwips(int twips);
    [[nodiscard]] int heightTwips() const;

    // Where each row of the export that START copied keeps its columns, for the STRIP that
    // follows.
    [[nodiscard]] const ExportLayout& exportLayout() const { return m_exportLayout; }

    // Controls the other windows and the import read and write.
    QLineEdit* txtHold1 = nullptr;
    QLineEdit* txtHold2 = nullptr;
    std::array<QLineEdit*, CustomerFieldCount> Text1{};
    QLineEdit* txtCustIIF = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStrip = nullptr;
    QPushButton* cmdExit = nullptr;
    TextList* lstCust = nullptr;
    QProgressBar* pb1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QRadioButton* opt2000 = nullptr;
    QRadioButton* opt2002 = nullptr;

    // The window's values.
    QString gM;
    QString gQ;
    QString gOpt;

    QMenu* mnuFile = nullptr;
    QAction* mnuPathNames = nullptr;
    QAction* mnuPreview = nullptr;
    QAction* mnuSaveReport = nullptr;
    QAction* mnuBackups = nullptr;
    QAction* mnusep2 = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;
    QAction* mnuSep1 = nullptr;
    QAction* mnuExport = nullptr;

public Q_SLOTS:
    void Form_Activate();
    void Command1_Click();
    void cmdStart_Click();
    void cmdStrip_Click();
    void cmdExit_Click();
    void opt2000_Click();
    void opt2002_Click();
    void mnuPathNames_Click();
    void mnuPreview_Click();
    void mnuSaveReport_Click();
    void mnuBackups_Click();
    void mnuExit_Click();
    void mnuAbout_Click();
    void mnuExport_Click();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override; // Form_QueryUnload

private:
    void buildMenus();
    void connectControls();
    void storeVersion(const QString& value);
    void noteFocusWindow(QWindow* window);
    void listCopiedRows(const QString& customerFile);
    void showOutcome(const StripSummary& summary);
    [[nodiscard]] bool fileChosen() const;

    QWidget* m_client = nullptr;
    DesignedControls m_controls;
    ExportLayout m_exportLayout;
    // The export's row of each row of QBCUST.TXT, from START, so that STRIP's report and
    // messages name the rows the operator sees in the export.
    std::vector<qint64> m_exportRows;
    // The lines of the report of the last STRIP, as the tool's --report writes them.
    QByteArray m_report;
    bool m_activatedBefore = false;
    bool m_otherWindowWasActive = false;
    bool m_closing = false;
};

} // namespace brevik::ui
