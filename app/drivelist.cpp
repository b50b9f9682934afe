#include "drivelist.h"

namespace brevik::ui {

DriveList::DriveList(QWidget* parent)
    : QComboBox(parent)
{}

QString DriveList::drive() const
{
    return currentText();
}

bool DriveList::setDrive(const QString& drive)
{
    const int index = findText(drive);
    if (index < 0)
        return false;
    setCurrentIndex(index);
    return true;
}

} // namespace brevik::ui
