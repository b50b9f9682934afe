#pragma once

#include <QComboBox>
#include <QString>

namespace brevik::ui {

// The platform's drive list: the drives of the machine (the mounted volumes where there are no
// drive letters), one of them current. It starts on the drive of the program's working folder.
class DriveList final : public QComboBox
{
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    // The current drive: "C:" with drive letters, else the root folder of the volume.
    [[nodiscard]] QString drive() const;
    // Makes the drive current; false when the machine has no such drive. A change of drive,
    // by the operator or by the program, is told by driveChanged.
    bool setDrive(const QString& drive);

    // Lists the drives afresh, keeping the current one where it is still there.
    void refresh();

    // The folder a folder list shows when it is moved to the drive: the program's working
    // folder when it lies on that drive, else the drive's root.
    [[nodiscard]] static QString currentFolder(const QString& drive);

Q_SIGNALS:
    void driveChanged(const QString& drive);

protected:
    void showPopup() override;
};

} // namespace brevik::ui
