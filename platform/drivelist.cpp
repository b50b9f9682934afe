#include "drivelist.h"

#include "platform/drives.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>

namespace brevik::ui {
namespace {

struct Drive
{
    QString key; // what drive() returns
    QString label;
};

QList<Drive> machineDrives()
{
    QList<Drive> drives;
#ifdef Q_OS_WIN
    for (const QFileInfo& root : QDir::drives()) {
        const QString key = QDir::toNativeSeparators(root.absolutePath()).left(2);
        const QStorageInfo volume(root.absolutePath());
        const QString name = volume.isReady() ? volume.name() : QString();
        drives.append({key, name.isEmpty() ? key : key + QStringLiteral(" [") + name + u']'});
    }
#else
    for (const QString& root : mountedVolumeRoots()) {
        const QString name = QStorageInfo(root).name();
        drives.append({root, name.isEmpty() ? root : root + QStringLiteral(" [") + name + u']'});
    }
#endif
    return drives;
}

bool sameDrive(const QString& a, const QString& b)
{
    return nativePathStyle() == PathStyle::DriveLetters ? a.compare(b, Qt::CaseInsensitive) == 0 : a == b;
}

QString workingFolder()
{
    return QDir::toNativeSeparators(QDir::currentPath());
}

} // namespace

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent)
{
    refresh();
    setDrive(driveOf(workingFolder()));
    connect(this, &QComboBox::currentIndexChanged, this, [this] { Q_EMIT driveChanged(drive()); });
}

QString DriveList::drive() const
{
    return currentData().toString();
}

bool DriveList::setDrive(const QString& drive)
{
    if (drive.isEmpty())
        return false;
    for (int i = 0; i < count(); ++i) {
        if (sameDrive(itemData(i).toString(), drive)) {
            setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void DriveList::refresh()
{
    const QString current = drive();
    const QSignalBlocker quiet(this);
    clear();
    for (const Drive& d : machineDrives())
        addItem(d.label, d.key);
    if (!current.isEmpty() && !setDrive(current))
        setCurrentIndex(-1);
}

void DriveList::showPopup()
{
    // Drives come and go (a stick plugged in, a share mounted); the list shows them as they are now.
    const QString before = drive();
    refresh();
    if (drive() != before)
        Q_EMIT driveChanged(drive());
    QComboBox::showPopup();
}

QString DriveList::currentFolder(const QString& drive)
{
    const QString working = workingFolder();
    if (sameDrive(driveOf(working), drive))
        return working;
    return nativePathStyle() == PathStyle::DriveLetters ? drive + u'\\' : drive;
}

} // namespace brevik::ui
