#pragma once

#include "app/formdesign.h"
#include "import/customerfields.h"

#include <QMainWindow>

#include <array>

class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QLabel;
class QAction;
class QMenu;

namespace brevik::ui {

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

    // Controls the other windows and the import read and write.
    QLineEdit* txtHold1 = nullptr;
    QLineEdit* txtHold2 = nullptr;
    std::array<QLineEdit*, CustomerFieldCount> Text1{};

    // The window's values.
    QString gM;
    QString gQ;
    QString gOpt;

    QMenu* mnuFile = nullptr;
    QMenu* mnuHelp = nullptr;

public Q_SLOTS:
    void Form_Activate();

private:
    QWidget* m_client = nullptr;
    DesignedControls m_controls;
};

} // namespace brevik::ui
