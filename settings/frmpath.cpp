#include "frmpath.h"

#include "import/paths.h"
#include "platform/drivelist.h"
#include "platform/drives.h"
#include "platform/folderlist.h"
#include "platform/messagebox.h"
#include "settings/frmpath_design.h"
#include "settings/programfolder.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace brevik::ui {
namespace {

FolderSettings& rememberedFolders()
{
    static FolderSettings folders;
    return folders;
}

} // namespace

FolderSettings frmPath::remembered()
{
    return rememberedFolders();
}

void frmPath::resetRememberedForTesting()
{
    rememberedFolders() = {};
}

frmPath::frmPath(QWidget* parent)
    : QWidget(parent)
{
    m_client = new QWidget(this);
    m_controls.build(m_client, frmPathDesign());
    m_controls.name(frmPathNames());
    applyWindowDesign(this, m_client, frmPathDesign());
    // The window may be sized freely; the controls keep their places on the beige ground.
    QPalette ground = palette();
    ground.setColor(QPalette::Window, colours::Beige);
    setPalette(ground);
    setAutoFillBackground(true);
    resize(m_client->size());

    drvBox = m_controls.get<DriveList>(u"drvBox");
    dirBox = m_controls.get<FolderList>(u"dirBox");
    Text1 = m_controls.get<QLineEdit>(u"Text1");
    Drive1 = m_controls.get<DriveList>(u"Drive1");
    Dir1 = m_controls.get<FolderList>(u"Dir1");
    Text2 = m_controls.get<QLineEdit>(u"Text2");
    cmdPath = m_controls.get<QPushButton>(u"cmdPath");

    connect(drvBox, &DriveList::driveChanged, this, &frmPath::drvBox_Change);
    connect(dirBox, &FolderList::pathChanged, this, &frmPath::dirBox_Change);
    connect(Drive1, &DriveList::driveChanged, this, &frmPath::Drive1_Change);
    connect(Dir1, &FolderList::pathChanged, this, &frmPath::Dir1_Change);
    connect(cmdPath, &QPushButton::clicked, this, &frmPath::cmdPath_Click);
    if (QWidget* first = m_controls.firstFocusable())
        first->setFocus();

    Form_Load();
}

void frmPath::Form_Load()
{
    FolderSettings& kept = rememberedFolders();
    const SettingsRead read = SettingsFile::ofProgram().read();
    // A failed load forgets the data folder; the QuickBooks folder keeps its earlier value, as
    // its line was never reached.
    if (!read.whole()) {
        kept.dataFolder.clear();
        return;
    }
    kept = read.folders;
    // A stored folder that cannot be selected stops the loading where it is; what the controls
    // show by then stays.
    if (isValidFolder(kept.dataFolder) && !showStored(dataGroup(), kept.dataFolder)) {
        kept.dataFolder.clear();
        return;
    }
    if (isValidFolder(kept.quickBooksFolder) && !showStored(quickBooksGroup(), kept.quickBooksFolder))
        kept.dataFolder.clear();
}

// Selects the folder's drive (the folder list follows it), then the folder itself, and leaves
// the field showing the folder exactly as stored.
bool frmPath::showStored(const Group& group, const QString& folder)
{
    {
        const QSignalBlocker quiet(group.drive);
        if (!group.drive->setDrive(driveOf(folder)))
            return false;
    }
    if (!followDrive(group))
        return false;
    if (!group.folder->setPath(folder))
        return false;
    group.field->setText(folder);
    return true;
}

bool frmPath::followDrive(const Group& group)
{
    return group.folder->setPath(DriveList::currentFolder(group.drive->drive()));
}

void frmPath::changeDrive(const Group& group)
{
    if (followDrive(group))
        return;
    // A drive that cannot be read (a removable drive without a medium): the drive list goes
    // back to the drive of the folder shown.
    const QSignalBlocker quiet(group.drive);
    group.drive->setDrive(driveOf(group.folder->path()));
}

void frmPath::drvBox_Change()
{
    changeDrive(dataGroup());
}

void frmPath::dirBox_Change()
{
    Text1->setText(dirBox->path());
}

void frmPath::Drive1_Change()
{
    changeDrive(quickBooksGroup());
}

void frmPath::Dir1_Change()
{
    Text2->setText(Dir1->path());
}

void frmPath::cmdPath_Click()
{
    FolderSettings& kept = rememberedFolders();
    const QString dataField = Text1->text();
    const QString quickBooksField = Text2->text();
    if (isValidFolder(dataField) && isValidFolder(quickBooksField)) {
        kept = {dataField, quickBooksField};
        const SettingsFile file = SettingsFile::ofProgram();
        if (const auto failure = file.write(kept))
            operatorMessages().report(QStringLiteral("The folders could not be saved in %1.\n%2")
                                          .arg(displayPath(file.writtenPath()), *failure));
    }

    // The hand-over happens while this window is still open, so that the main window opens
    // before this one closes.
    Q_EMIT continued(kept);
    m_continuing = true;
    close();
}

void frmPath::closeEvent(QCloseEvent* event)
{
    event->accept();
    // The close button saves and hands over nothing.
    if (!m_continuing)
        Q_EMIT closedWithoutContinuing();
}

} // namespace brevik::ui
