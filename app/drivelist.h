#pragma once

#include <QComboBox>
#include <QString>

namespace brevik::ui {

// The platform's drive list: the drives of the machine (the mounted volumes where there are no
// drive letters), one of them current.
class DriveList final : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    [[nodiscard]] QString drive() const;
    // Makes the drive current; false when the machine has no such drive.
    bool setDrive(const QString& drive);

Q_SIGNALS:
    void driveChanged(const QString& drive);
};

} // namespace brevik::ui
