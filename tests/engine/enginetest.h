#pragma once

#include "import/engine/database.h"
#include "import/engine/datacontrol.h"
#include "import/engine/status.h"
#include "import/engine/workspace.h"
#include "import/writer/schema.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Fails the test, showing the error number and description, unless the status is a success.
#define QVERIFY_OK(expression)                                                                               \
    do {                                                                                                     \
        const ::brevik::db::Status status_ = (expression);                                                   \
        QVERIFY2(status_.ok(),                                                                               \
                 qPrintable(QString::number(status_.number()) + u' ' + status_.description()));              \
    } while (false)

namespace brevik::testing {

// A new customer database in the folder, as create-database makes it.
inline QString createCustomerDatabase(const QString& folder)
{
    const QString path = QDir(folder).filePath(QStringLiteral("zrdata.mdb"));
    return db::createDatabase(path).ok() ? path : QString();
}

inline std::unique_ptr<db::Database> openDatabase(const QString& path)
{
    std::unique_ptr<db::Database> database;
    (void)db::Database::open(path, db::Database::Mode::OpenExisting, database);
    return database;
}

// A database of the test's own, reached through a workspace and data controls as the writer
// reaches it.
class EngineFixture
{
protected:
    QTemporaryDir m_dir;
    QString m_path;
    db::Workspace m_workspace;

    db::Database& database()
    {
        db::Database* db = nullptr;
        (void)m_workspace.open(m_path, db);
        return *db;
    }

    // A data control refreshed on a table, as the writer opens one.
    std::unique_ptr<db::DataControl> control(const QString& table)
    {
        auto data = std::make_unique<db::DataControl>(m_workspace, QStringLiteral("Data"));
        data->setDatabaseName(m_path);
        data->setRecordSource(table);
        return data->Refresh().ok() ? std::move(data) : nullptr;
    }
};

} // namespace brevik::testing
