#include "workspace.h"

#include <QDir>
#include <QFileInfo>

namespace brevik::db {

// One file may be named in several ways ("data/zrdata.mdb", "./data/zrdata.mdb"); all of them
// must reach the one connection, or rows stored through one would wait on the other's lock.
static QString fileKey(const QString& path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

Status Workspace::open(const QString& path, Database*& out)
{
    out = nullptr;
    if (m_last && path == m_lastName) {
        out = m_last;
        return {};
    }
    if (const auto named = m_byName.constFind(path); named != m_byName.cend()) {
        out = named.value();
        m_lastName = path;
        m_last = out;
        return {};
    }
    const QString key = fileKey(path);
    auto it = m_databases.find(key);
    if (it == m_databases.end()) {
        std::unique_ptr<Database> db;
        if (Status s = Database::open(path, Database::Mode::OpenExisting, db); !s)
            return s;
        it = m_databases.emplace(key, std::move(db)).first;
    }
    out = it->second.get();
    m_byName.insert(path, out);
    m_lastName = path;
    m_last = out;
    return {};
}

void Workspace::closeAll()
{
    m_last = nullptr;
    m_lastName.clear();
    m_byName.clear();
    m_databases.clear();
}

} // namespace brevik::db
