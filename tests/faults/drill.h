#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace brevik::testing {
class SqliteFile;
}

namespace brevik::drill {

using testing::SqliteFile;

// The customers of the drills' exports: names unique and at most 40 characters, so that a
// re-import finds every client it stored and never adds one twice.
[[nodiscard]] QString customerName(int index);
[[nodiscard]] QSet<QString> customerNames(int first, int last);

// Writes an export of the customers first to last as QuickBooks lays it out. The street and
// the contact carry the round, so a customer rewritten by a later round only in part shows:
// its address and its contact would tell different rounds.
bool writeExport(const QString& path, int first, int last, int round);

// The round an import customer's street or contact tells; -1 when it tells none.
[[nodiscard]] int roundOf(const QString& text);

// What is wrong with the database: the file damaged, a client number or a name twice, a
// client without exactly one account, an account without exactly one client, one address and
// one contact, rows that belong to no one, the rows of a customer that disagree, a customer
// rewritten in part, a name no program wrote. Empty when every customer is whole.
[[nodiscard]] QStringList problems(SqliteFile& db, const QSet<QString>& importNames,
                                   const QString& otherProgramPrefix);

// Every row of one client and of its account, address and contact, as text.
[[nodiscard]] QStringList customerRows(SqliteFile& db, const QString& name);

// How many of the import's customers are stored.
[[nodiscard]] qint64 storedCount(SqliteFile& db, const QSet<QString>& importNames);

} // namespace brevik::drill
