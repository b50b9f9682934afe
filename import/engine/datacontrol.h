#pragma once

#include "recordset.h"
#include "status.h"

#include <QString>

#include <memory>

namespace brevik::db {

class Workspace;

// A data control as the writer uses one: a database name (the full path of the file), shared
// and writable use, a record source naming one table, and, once refreshed, the recordset of
// that table. Each Refresh opens the table afresh.
class DataControl
{
public:
    DataControl(Workspace& workspace, QString name);

    [[nodiscard]] const QString& name() const { return m_name; }

    void setDatabaseName(const QString& path) { m_databaseName = path; }
    [[nodiscard]] const QString& DatabaseName() const { return m_databaseName; }
    void setExclusive(bool exclusive) { m_exclusive = exclusive; }
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }
    void setRecordSource(const QString& table) { m_recordSource = table; }
    [[nodiscard]] const QString& RecordSource() const { return m_recordSource; }

    // Opens the database (shared, writable) and the table of the record source, positioned on
    // its first row. Fails with ErrFileNotFound, ErrNotADatabase, ErrCorrupt, ErrCannotOpen,
    // ErrLocked or ErrTableNotFound, and then holds no recordset. Exclusive use is refused; a
    // read-only control gives a recordset that refuses changes.
    [[nodiscard]] Status Refresh();

    // The open recordset; null before the first successful Refresh.
    [[nodiscard]] db::Recordset* Recordset() { return m_recordset.get(); }
    [[nodiscard]] Database* database() { return m_database; }

private:
    Workspace& m_workspace;
    QString m_name;
    QString m_databaseName;
    bool m_exclusive = false;
    bool m_readOnly = false;
    QString m_recordSource;
    Database* m_database = nullptr;
    std::unique_ptr<db::Recordset> m_recordset;
    std::unique_ptr<db::Recordset> m_kept; // the previous recordset, while Refresh runs
};

} // namespace brevik::db
