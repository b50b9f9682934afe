#include "frmabout.h"

#include "brevik/version.h"
#include "platform/messagebox.h"
#include "windows/frmabout_design.h"
#include "windows/sysinfo.h"

#include <QLabel>
#include <QPushButton>

namespace brevik::ui {

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent)
{
    m_controls.build(this, frmAboutDesign());
    applyWindowDesign(this, this, frmAboutDesign());
    lblVersion = m_controls.get<QLabel>(u"lblVersion");
    cmdOK = m_controls.get<QPushButton>(u"cmdOK");
    cmdSysInfo = m_controls.get<QPushButton>(u"cmdSysInfo");
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    Form_Load();
}

void frmAbout::Form_Load()
{
    lblVersion->setText(versionText());
    // The nearest installed face may be wider than the one the box was laid out for; the line
    // then widens to its text rather than lose the number.
    lblVersion->setWordWrap(false);
    if (lblVersion->sizeHint().width() > lblVersion->width())
        lblVersion->resize(lblVersion->sizeHint().width(), lblVersion->height());
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo(systemRegistry(), programStarter(), operatorMessages());
}

} // namespace brevik::ui
