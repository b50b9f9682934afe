#pragma once

#include "import/engine/database.h"
#include "import/engine/schema.h"
#include "import/engine/status.h"

#include <QDir>
#include <QString>
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

} // namespace brevik::testing
