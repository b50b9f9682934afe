#pragma once

#include "database.h"
#include "status.h"

#include <QHash>
#include <QString>

#include <map>
#include <memory>

namespace brevik::db {

// Holds the open databases of one import run, one connection per file, so that the four data
// controls of the writer share one connection and one transaction. Opening the same file again
// reuses the connection; rows stored through it are visible to every recordset at once.
class Workspace
{
public:
    Workspace() = default;
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;

    // Opens the file as Database::open does with OpenExisting, or returns its open connection.
    [[nodiscard]] Status open(const QString& path, Database*& out);
    // Closes every connection; recordsets opened through them must not be used afterwards.
    void closeAll();

private:
    std::map<QString, std::unique_ptr<Database>> m_databases; // by the file's canonical path
    QHash<QString, Database*> m_byName;                       // by the path as it was given
    // The path asked for last: the writer asks for the same one four times for every customer.
    QString m_lastName;
    Database* m_last = nullptr;
};

} // namespace brevik::db
