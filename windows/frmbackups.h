#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace brevik::ui {

// The copies of zrdata.mdb that runs make before they write, newest first, as the tool's list
// of backups gives them; the chosen one is put back by the core's restore, once the operator
// has confirmed it against the database as it stands.
class frmBackups final : public QWidget
{
    Q_OBJECT

public:
    explicit frmBackups(QWidget* parent = nullptr);

    // Lists the backups of the database in the data folder.
    void showBackupsOf(const QString& dataFolder);

    QLabel* lblBackups = nullptr;
    QTreeWidget* lstBackups = nullptr;
    QPushButton* cmdRestore = nullptr;
    QPushButton* cmdClose = nullptr;

public Q_SLOTS:
    void cmdRestore_Click();

private:
    void refresh();

    QString m_database;
};

} // namespace brevik::ui
