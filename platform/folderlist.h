#pragma once

#include <QListWidget>
#include <QString>

namespace brevik::ui {

// The platform's folder list: the current folder's path from its root, one row per folder and
// each indented one step further, then the current folder's subfolders. A double-click (or
// Enter) on a row opens that folder and makes it current. It starts on the program's working
// folder.
class FolderList final : public QListWidget
{
    Q_OBJECT

public:
    explicit FolderList(QWidget* parent = nullptr);

    // The current folder as the platform writes a full path: "C:\Orvella\Data", "C:\",
    // "/srv/orvella", "/".
    [[nodiscard]] QString path() const { return m_path; }
    // Makes the folder current; false, leaving the list as it was, when it is not a folder that
    // can be read. A change of folder is told by pathChanged.
    bool setPath(const QString& path);

    // The folder a row stands for.
    [[nodiscard]] static QString rowPath(const QListWidgetItem* row);
    // The row of the current folder.
    [[nodiscard]] QListWidgetItem* currentFolderRow() const;

Q_SIGNALS:
    void pathChanged(const QString& path);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fill();
    void scrollToCurrentFolder();
    void open(const QListWidgetItem* row);

    QString m_path;
    int m_currentRow = -1;
};

} // namespace brevik::ui
