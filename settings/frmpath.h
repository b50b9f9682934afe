#pragma once

#include "platform/formdesign.h"
#include "settings/settingsfile.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace brevik::ui {

class DriveList;
class FolderList;

// The folder-settings window: where the operator names the Orvella data folder and the
// QuickBooks folder. Continue saves them in zrQBck.dat and hands them on (see continued).
class frmPath final : public QWidget
{
    Q_OBJECT

public:
    explicit frmPath(QWidget* parent = nullptr);

    [[nodiscard]] const DesignedControls& controls() const { return m_controls; }

    // The two folders the window remembers. They live for the whole run, also while the window
    // is closed, and change only when the window loads the settings file or Continue accepts the
    // fields.
    [[nodiscard]] static FolderSettings remembered();
    static void resetRememberedForTesting();

    DriveList* drvBox = nullptr;
    FolderList* dirBox = nullptr;
    QLineEdit* Text1 = nullptr;
    DriveList* Drive1 = nullptr;
    FolderList* Dir1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* cmdPath = nullptr;

Q_SIGNALS:
    // Continue was pressed: the folders the window remembers now, to be handed to the main
    // window. The window closes after the signal has been handled.
    void continued(const brevik::FolderSettings& folders);
    // The window was closed without Continue; nothing was saved or handed over.
    void closedWithoutContinuing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // One column of the window: a drive list, its folder list and the result field.
    struct Group
    {
        DriveList* drive;
        FolderList* folder;
        QLineEdit* field;
    };
    [[nodiscard]] Group dataGroup() const { return {drvBox, dirBox, Text1}; }
    [[nodiscard]] Group quickBooksGroup() const { return {Drive1, Dir1, Text2}; }

    void Form_Load();
    void drvBox_Change();
    void dirBox_Change();
    void Drive1_Change();
    void Dir1_Change();
    void cmdPath_Click();

    static bool followDrive(const Group& group);
    static void changeDrive(const Group& group);
    static bool showStored(const Group& group, const QString& folder);

    QWidget* m_client = nullptr;
    DesignedControls m_controls;
    bool m_continuing = false;
};

} // namespace brevik::ui
