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
    m_recordset.reset();
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

    m_recordset = std::make_unique<db::Recordset>(*database, std::move(table));
    m_recordset->setReadOnly(m_readOnly);
    m_database = database;
    return {};
}

} // namespace brevik::db
