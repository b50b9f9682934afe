#include "frmbackups.h"

#include "import/paths.h"
#include "import/writer/restore.h"
#include "platform/formdesign.h"
#include "platform/messagebox.h"

#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brevik::ui {
namespace {

const WindowDesign& backupsDesign()
{
    static const WindowDesign design{QLatin1StringView("frmBackups"),
                                     QStringLiteral("Backups"),
                                     FrameKind::Sizable,
                                     true,
                                     8400,
                                     4200,
                                     colours::Beige,
                                     {}};
    return design;
}

constexpr int PathRole = Qt::UserRole;
const QString TimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString clientsText(const std::optional<qint64>& clients, const QString& problem)
{
    return clients ? QLocale::system().toString(*clients) : QStringLiteral("? (%1)").arg(problem);
}

} // namespace

frmBackups::frmBackups(QWidget* parent)
    : QWidget(parent)
{
    applyWindowDesign(this, this, backupsDesign());
    setFont(designFont({}));

    lblBackups = wrappedCaption(this);
    lstBackups = new QTreeWidget(this);
    lstBackups->setObjectName(QStringLiteral("lstBackups"));
    lstBackups->setRootIsDecorated(false);
    lstBackups->setUniformRowHeights(true);
    lstBackups->setHeaderLabels({QStringLiteral("Made"), QStringLiteral("Size"), QStringLiteral("Clients"),
                                 QStringLiteral("Backup")});
    lstBackups->setColumnWidth(0, pixels(2200));
    lstBackups->setColumnWidth(1, pixels(1100));
    lstBackups->setColumnWidth(2, pixels(1500));
    lstBackups->setAccessibleName(QStringLiteral("Backups of the database"));
    lblBackups->setBuddy(lstBackups);
    cmdRestore = commandButton(QStringLiteral("&Restore..."), QStringLiteral("cmdRestore"), this);
    cmdClose = commandButton(QStringLiteral("&Close"), QStringLiteral("cmdClose"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblBackups);
    layout->addWidget(lstBackups, 1);
    layout->addLayout(buttonRow({cmdRestore, cmdClose}));

    connect(cmdRestore, &QPushButton::clicked, this, &frmBackups::cmdRestore_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(lstBackups, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { cmdRestore->setEnabled(current != nullptr); });
    connect(lstBackups, &QTreeWidget::itemActivated, this, &frmBackups::cmdRestore_Click);
}

void frmBackups::showBackupsOf(const QString& dataFolder)
{
    m_database = databaseIn(dataFolder);
    refresh();
}

void frmBackups::refresh()
{
    lstBackups->clear();
    const QList<db::BackupFacts> backups = db::describeBackups(m_database);
    lblBackups->setText(backups.isEmpty()
                            ? QStringLiteral("No backups of %1. Every run that writes to it copies it first.")
                                  .arg(displayPath(m_database))
                            : QStringLiteral("The copies of %1 made before each run that wrote to it, newest "
                                             "first. The five newest are kept.")
                                  .arg(displayPath(m_database)));
    const QLocale locale = QLocale::system();
    for (const db::BackupFacts& backup : backups) {
        QString made = backup.made.toString(TimeFormat);
        if (backup.future)
            made += QStringLiteral(" (in the future)");
        auto* item = new QTreeWidgetItem(lstBackups, {made, locale.formattedDataSize(backup.bytes),
                                                      clientsText(backup.clients, backup.problem),
                                                      displayPath(backup.path)});
        item->setData(0, PathRole, backup.path);
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    if (lstBackups->topLevelItemCount() > 0)
        lstBackups->setCurrentItem(lstBackups->topLevelItem(0));
    cmdRestore->setEnabled(lstBackups->currentItem() != nullptr);
}

void frmBackups::cmdRestore_Click()
{
    const QTreeWidgetItem* item = lstBackups->currentItem();
    if (!item)
        return;
    const QString backup = item->data(0, PathRole).toString();
    const db::RestoreChoice choice = db::describeRestore(m_database, backup);
    const QString now =
        !choice.databaseExists
            ? QStringLiteral("%1 is not there now; it is made anew from the backup.")
                  .arg(displayPath(m_database))
            : QStringLiteral("%1 holds %2 clients now.")
                  .arg(displayPath(m_database), clientsText(choice.databaseClients, choice.databaseProblem));
    const QString question =
        QStringLiteral(
            "Put the backup %1, made %2 and holding %3 clients, back in place of the database?\n\n%4\n\n"
            "The database as it is now is backed up first.")
            .arg(displayPath(backup), choice.backup.made.toString(TimeFormat),
                 clientsText(choice.backup.clients, choice.backup.problem), now);
    if (!operatorMessages().confirm(question))
        return;
    const db::Restore restore = db::restoreBackup(m_database, backup);
    operatorMessages().report(restore.message);
    refresh();
}

} // namespace brevik::ui
