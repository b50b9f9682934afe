#include "referencewriter.h"

#include "support/sqlitefile.h"

#include "import/engine/status.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "import/rules/numberreading.h"
#include "import/writer/callmessages.h"
#include "import/writer/clientwriter.h"

#include <QList>
#include <QVariantList>

namespace brevik::testing {
namespace {

QString trimBlanks(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == u' ')
        ++begin;
    while (end > begin && s.at(end - 1) == u' ')
        --end;
    return s.mid(begin, end - begin);
}

// A stored client number as text; the error number when it has none.
int textOf(const QVariant& stored, QString& text)
{
    if (stored.isNull())
        return db::ErrInvalidUseOfNull;
    text = stored.typeId() == QMetaType::Double ? QString::number(stored.toDouble(), 'g', 15)
                                                : stored.toString();
    return 0;
}

// What the plain rules make of a customer on the table as it stands: "client N" for the first
// client in table order whose name is the customer's, or whose name without blanks at either
// end is the first 25 characters of it; else "new client N" with one more than the highest
// number, or "no number left". Each number that cannot be read is said, as a reading of the
// table says it.
QString decide(const QString& database, const QString& name, QStringList& said)
{
    SqliteFile file(database);
    QList<QVariantList> clients;
    if (!file.query(QStringLiteral("SELECT Name, ClientID FROM CLIENT ORDER BY rowid"), {}, &clients))
        return QStringLiteral("unreadable: ") + file.error();
    for (const QVariantList& client : clients) {
        const QVariant& stored = client.at(0);
        if (stored.isNull())
            continue;
        if (stored.toString() == name ||
            (name.size() >= 25 && trimBlanks(stored.toString()) == name.left(25))) {
            QString number;
            if (const int error = textOf(client.at(1), number))
                said.append(CallMessages::errorNumber(error));
            return name.isEmpty() ? QStringLiteral("nothing") : QStringLiteral("client ") + number;
        }
    }
    qint64 highest = 0;
    for (const QVariantList& client : clients) {
        QString text;
        int error = textOf(client.at(1), text);
        const std::optional<double> number = error ? std::nullopt : leadingNumber(text);
        const std::optional<qint32> whole = number ? roundToInt32(*number) : std::nullopt;
        if (!error && !whole)
            error = db::ErrOverflow;
        if (error)
            said.append(CallMessages::errorNumber(error));
        else
            highest = std::max<qint64>(highest, *whole);
    }
    if (name.isEmpty())
        return QStringLiteral("nothing");
    // A number past 2147483647 would not read back, and would be given again.
    if (highest >= 2147483647)
        return QStringLiteral("no number left");
    return QStringLiteral("new client ") +
           (highest > 0 ? QString::number(highest + 1).rightJustified(6, u'0') : QStringLiteral("000100"));
}

QString described(const CustomerRecord& record)
{
    switch (record.outcome) {
    case WriteOutcome::Added:
        return QStringLiteral("new client ") + record.clientNumber;
    case WriteOutcome::Updated:
        return QStringLiteral("client ") + record.clientNumber;
    case WriteOutcome::NothingWritten:
        return QStringLiteral("nothing");
    default:
        return QStringLiteral("no number left");
    }
}

} // namespace

bool ReferenceWriter::AddClient(WindowValues& values)
{
    QStringList expected;
    const QString decided = decide(joinFolderAndFile(values.txtHold1, QStringLiteral("zrdata.mdb")),
                                   values.Text1[FieldName], expected);
    CapturingReporter said;
    CustomerRecord record;
    {
        ClientWriter writer(said);
        writer.setRecordObserver([&record](const CustomerRecord& written) { record = written; });
        if (writer.AddClient(values) == WriteOutcome::Stopped || !writer.finish())
            return false;
    }
    messages += said.messages();
    if (described(record) != decided)
        messages.append(QStringLiteral("the writer wrote %1 where the plain rules decided %2")
                            .arg(described(record), decided));
    if (said.messages().mid(0, expected.size()) != expected)
        messages.append(
            QStringLiteral("the writer first said \"%1\" where a reading of the table says \"%2\"")
                .arg(said.messages().join(u'|'), expected.join(u'|')));
    return true;
}

} // namespace brevik::testing
