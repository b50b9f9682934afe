#pragma once

#include "import/engine/datacontrol.h"
#include "import/engine/workspace.h"
#include "import/rules/customerfields.h"
#include "import/rules/fieldrules.h"

#include <QStringList>

#include <optional>

namespace brevik::testing {

// The writer's rules as plainly as they can be written: every look-up reads its table from the
// first row to the last through the data controls, and every message is shown at once. The fast
// writer must give the same rows and the same messages on every table.
class ReferenceWriter
{
public:
    // Returns false when the database could not be opened.
    bool AddClient(WindowValues& values);

    QStringList messages;

private:
    bool ok(const db::Status& status);
    void set(db::Recordset& rs, const char* field, const QVariant& value);
    bool textOf(db::Recordset& rs, const char* field, QString& text, bool& isNull);

    bool findClient(const QString& name, QString& clientNumber);
    std::optional<QString> allocate();
    void insertClient(CustomerFields& f, const std::optional<QString>& clientNumber);
    void updateClient(CustomerFields& f, const QString& clientNumber);
    void setClientAddress(db::Recordset& client, CustomerFields& f, PhoneVariant phone);
    void storeAddress(db::Recordset& rs, const CustomerFields& f);
    void storeContact(db::Recordset& rs, const CustomerFields& f, const QVariant& key);

    db::Workspace m_workspace;
    db::DataControl Data1{m_workspace, QStringLiteral("Data1")};
    db::DataControl Data2{m_workspace, QStringLiteral("Data2")};
    db::DataControl Data3{m_workspace, QStringLiteral("Data3")};
    db::DataControl Data4{m_workspace, QStringLiteral("Data4")};
};

} // namespace brevik::testing
