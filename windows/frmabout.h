#pragma once

#include "platform/formdesign.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace brevik::ui {

// The about box: title, version, description and legal notice; it can start the system's
// information program. It is shown without modality, like every window of the program.
class frmAbout final : public QDialog
{
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);

    [[nodiscard]] const DesignedControls& controls() const { return m_controls; }

    QLabel* lblVersion = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

public Q_SLOTS:
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    void Form_Load();

    DesignedControls m_controls;
};

} // namespace brevik::ui
