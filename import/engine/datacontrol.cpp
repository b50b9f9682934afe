#include "datacontrol.h"

#include "database.h"
#include "tableinfo.h"
#include "workspace.h"

#include <utility>

namespace brevik::db {

DataControl::DataControl(Workspace& workspace, QString name)
    : m_workspace(workspace)
    , m_name(std::move(name))
{}

Status DataControl::Refresh()
{
    m_kept = std::move(m_recordset);
    m_database = nullptr;
    // The invoicing system keeps the database open while this program writes to it.
    if (m_exclusive)
        return Status::failure(ErrCannotOpen,
                               QStringLiteral("The database is only ever opened shared, never for "
                                              "exclusive use."));

    Database* database = nullptr;
    if (Status s = m_workspace.open(m_databaseName, database); !s)
        return s;
    std::shared_ptr<TableInfo> table;
    if (Status s = database->table(m_recordSource, table); !s)
        return s;

    // The same table of the same connection: the recordset is opened afresh in place, so that
    // refreshing for every customer costs no allocation.
    if (m_kept && m_kept->info() == table && &m_kept->database() == database) {
        m_recordset = std::move(m_kept);
        m_recordset->reopen();
    } else {
        m_recordset = std::make_unique<db::Recordset>(*database, std::move(table));
    }
    m_recordset->setReadOnly(m_readOnly);
    m_database = database;
    return {};
}

} // namespace brevik::db
