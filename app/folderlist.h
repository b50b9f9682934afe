#pragma once

#include <QListWidget>
#include <QString>

namespace brevik::ui {

// The platform's folder list: the current folder's path from its root, one row per folder,
// then its subfolders. A double-click opens a folder and makes it current.
class FolderList final : public QListWidget
{
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);

    [[nodiscard]] QString path() const { return m_path; }
    // Makes the folder current; false when it cannot be read.
    bool setPath(const QString& path);

Q_SIGNALS:
    void pathChanged(const QString& path);

private:
    QString m_path;
};

} // namespace brevik::ui
