#include "clientwriter.h"

#include "import/engine/value.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "import/rules/fieldrules.h"
#include "import/writer/schema.h"
#include "import/writer/writervalues.h"

#include <array>

namespace brevik {
namespace {

using db::Recordset;
using Criterion = Recordset::Criterion;
using L = QLatin1StringView;
using namespace writervalues;

// A cause as the end of a sentence.
QString sentence(QString text)
{
    if (!text.endsWith(u'.'))
        text.append(u'.');
    return text;
}

} // namespace

void WriteTally::count(WriteOutcome outcome)
{
    switch (outcome) {
    case WriteOutcome::Added:
        ++added;
        break;
    case WriteOutcome::Updated:
        ++updated;
        break;
    case WriteOutcome::NothingWritten:
        ++nothingWritten;
        break;
    case WriteOutcome::JobPassedOver:
        ++jobsPassedOver;
        break;
    case WriteOutcome::Refused:
        ++refused;
        break;
    case WriteOutcome::Stopped:
        break;
    }
}

ClientWriter::ClientWriter(Reporter& reporter)
    : m_reporter(reporter)
{}

ClientWriter::~ClientWriter()
{
    (void)finish();
}

void ClientWriter::setBatchLimits(int customers, int milliseconds)
{
    m_pacing.setLimits(customers, milliseconds);
}

void ClientWriter::setPausesForOthers(bool pauses)
{
    m_pacing.setPauses(pauses);
}

void ClientWriter::stopWith(const QString& message)
{
    // Messages about rows that were not committed would mislead; only the cause is shown.
    (void)m_messages.take();
    if (m_database && m_database->inTransaction())
        m_database->rollback();
    for (CustomerRecord& customer : m_pending) {
        customer.outcome = WriteOutcome::Stopped;
        customer.clientNumber.clear(); // nothing of it was stored
        customer.refusals = QStringList{message};
        tell(customer);
    }
    m_pending.clear();
    if (!m_currentWritten) {
        tell({m_row, WriteOutcome::Stopped, m_customerName, QString(), QStringList{message}, m_scanNotes});
        m_currentWritten = true;
    }
    m_stopped = true;
    m_reporter.report(message);
}

void ClientWriter::tell(const CustomerRecord& customer)
{
    if (m_recordObserver)
        m_recordObserver(customer);
}

QString ClientWriter::lostCustomers() const
{
    const QString before =
        QStringLiteral("%1 customers before them were stored, each one whole.").arg(m_committed.total());
    if (m_pending.empty())
        return before;
    const CustomerRecord& first = m_pending.front();
    const CustomerRecord& last = m_pending.back();
    if (first.row <= 0)
        return QStringLiteral("The last %1 customers were not stored; %2").arg(m_pending.size()).arg(before);
    if (first.row == last.row)
        return QStringLiteral("The customer of row %1 was not stored; %2").arg(first.row).arg(before);
    return QStringLiteral("The customers of rows %1 to %2 were not stored; %3")
        .arg(first.row)
        .arg(last.row)
        .arg(before);
}

bool ClientWriter::stored(const db::Status& status)
{
    if (status.ok())
        return true;
    if (!m_lossCause && !m_database->inTransaction())
        m_lossCause = status;
    const QString refusal =
        QStringLiteral("The database refused %1: %2")
            .arg(CallMessages::customerCalled(m_customerName, m_row), sentence(status.description()));
    m_refusals.append(refusal);
    m_messages.add(CallMessages::errorNumber(status.number()) + u'\n' + refusal);
    return false;
}

bool ClientWriter::open(WindowValues& values)
{
    values.gM = values.txtHold1;
    values.gQ = values.txtHold2;
    const QString path = databaseIn(values.gM);

    if (m_database && m_database->path() != path && m_database->inTransaction() && !commit())
        return false;

    const std::array<std::pair<db::DataControl*, QString>, 4> tables = {{
        {&Data1, QStringLiteral("CLIENT")},
        {&Data2, QStringLiteral("CUSTOMERS")},
        {&Data3, QStringLiteral("ADDRESSES")},
        {&Data4, QStringLiteral("CONTACTS")},
    }};
    for (const auto& [control, table] : tables) {
        control->setDatabaseName(path);
        control->setExclusive(false);
        control->setReadOnly(false);
        control->setRecordSource(table);
        if (const db::Status status = control->Refresh(); !status.ok()) {
            stopWith(CallMessages::cannotOpen(path, status));
            return false;
        }
    }
    m_database = Data1.database();
    if (m_preparedPath != path) {
        if (const db::Status status = db::prepareForImport(*m_database); !status.ok()) {
            stopWith(CallMessages::cannotOpen(path, status));
            return false;
        }
        m_preparedPath = path;
        m_numbers.invalidate();
        m_pacing.forgetDatabase();
    }
    for (const auto& [control, table] : tables) {
        if (const db::Status status = moveLast(*control->Recordset()); !status.ok()) {
            stopWith(CallMessages::cannotOpen(path, status));
            return false;
        }
    }
    return true;
}

bool ClientWriter::beginCustomer()
{
    if (m_database->inTransaction())
        return true;
    if (const db::Status status = m_database->begin(); !status.ok()) {
        if (status.number() == db::ErrLocked)
            stopWith(CallMessages::locked(m_database->path()));
        else
            stopWith(CallMessages::cannotOpen(m_database->path(), status));
        return false;
    }
    m_database->setWritesNeedTransaction(true);
    m_changesAtBegin = m_database->changeCount();
    m_lossCause.reset();
    m_pacing.batchBegun();
    // Another program that committed since our last look may have added client numbers.
    if (m_pacing.databaseChanged(*m_database))
        m_numbers.invalidate();
    return true;
}

bool ClientWriter::commit()
{
    if (!m_database || !m_database->inTransaction())
        return true;
    const bool changed = m_database->changeCount() != m_changesAtBegin;
    if (const db::Status status = m_database->commit(); !status.ok()) {
        stopWith(QStringLiteral("The changes to the Orvella database %1 could not be saved: %2 %3 The "
                                "import stopped.")
                     .arg(displayPath(m_database->path()), sentence(status.description()), lostCustomers()));
        return false;
    }
    m_committedRows = m_committedRows || changed;
    for (const CustomerRecord& customer : m_pending) {
        m_committed.count(customer.outcome);
        tell(customer);
    }
    m_pending.clear();
    return true;
}

bool ClientWriter::endCustomer(WriteOutcome outcome, const CustomerFields& fields,
                               const QString& clientNumber)
{
    m_pending.push_back({m_row, outcome, fields[FieldName], clientNumber, m_refusals, m_notes});
    m_currentWritten = true;
    if (!m_database->inTransaction()) {
        // The engine gave up the transaction after a failure (a full disk, a trigger's
        // ROLLBACK): the rows of this batch are gone, and going on would report them as stored
        // or write the next customers without a transaction.
        stopWith(QStringLiteral("The Orvella database %1 gave up the changes after a failure: %2 %3 The "
                                "import stopped.")
                     .arg(displayPath(m_database->path()),
                          sentence(m_lossCause ? m_lossCause->description() : QStringLiteral("unknown")),
                          lostCustomers()));
        return false;
    }
    if (m_pacing.customerAdded(!m_messages.isEmpty())) {
        if (!commit())
            return false;
        m_pacing.afterCommit();
    }
    for (const QString& message : m_messages.take())
        m_reporter.report(message);
    return true;
}

bool ClientWriter::finish()
{
    return commit();
}

WriteOutcome ClientWriter::AddClient(WindowValues& values, RowKind kind)
{
    if (m_stopped)
        return WriteOutcome::Stopped;
    CustomerFields& fields = values.Text1;
    m_customerName = fields[FieldName];
    m_refusals.clear();
    m_notes = m_scanNotes;
    m_currentWritten = false;
    if (!open(values) || !beginCustomer())
        return WriteOutcome::Stopped;

    // A job shares its customer's billing name; once the run has written that client, the
    // job's own marks (its tax mark above all) must not overwrite the customer's.
    if (kind == RowKind::Job && m_written.contains(m_customerName)) {
        if (!endCustomer(WriteOutcome::JobPassedOver, fields, QString()))
            return WriteOutcome::Stopped;
        return WriteOutcome::JobPassedOver;
    }
    QString clientNumber;
    WriteOutcome outcome;
    if (findClient(fields[FieldName], clientNumber)) {
        outcome = updateClient(fields, clientNumber);
    } else {
        const std::optional<QString> allocated = allocate();
        outcome = insertClient(fields, allocated);
        clientNumber = allocated.value_or(QString());
    }
    if (!m_refusals.isEmpty())
        outcome = WriteOutcome::Refused;
    if (outcome != WriteOutcome::Added && outcome != WriteOutcome::Updated)
        clientNumber.clear();

    if (!endCustomer(outcome, fields, clientNumber))
        return WriteOutcome::Stopped;
    // As the row gave it: the insert path cuts the name, and a later job carries it uncut.
    if (outcome == WriteOutcome::Added || outcome == WriteOutcome::Updated)
        m_written.insert(m_customerName);
    return outcome;
}

// The first client in table order whose name is the customer's name, or whose name, without
// blanks at either end, is the first 25 characters of it: such a name was cut short by an
// older import and is completed here. The client found becomes the current row.
bool ClientWriter::findClient(const QString& name, QString& clientNumber)
{
    Recordset& clients = *Data1.Recordset();
    const Criterion exact[] = {{L("Name"), Criterion::Test::Equals, QVariant(name)}};
    const bool mayBeCut = name.size() >= 25;
    const Criterion cut[] = {{L("Name"), Criterion::Test::TrimmedEquals, QVariant(name.left(25))}};

    // A row found by a search; rowids may be any number, so "none" is kept apart.
    struct Found
    {
        bool any = false;
        qint64 rowid = 0;
    };
    auto locate = [&](std::span<const Criterion> criteria, const Found* after) -> Found {
        bool found = false;
        db::Status status;
        if (after) {
            status = clients.moveTo(after->rowid);
            if (status.ok())
                status = clients.FindNext(criteria, found);
        } else {
            status = clients.FindFirst(criteria, found);
        }
        if (!m_messages.ok(status) || !found)
            return {};
        return {true, clients.currentRowid()};
    };

    Found exactRow = locate(exact, nullptr);
    Found cutRow = mayBeCut ? locate(cut, nullptr) : Found{};
    Found match;
    while (!match.any && (exactRow.any || cutRow.any)) {
        if (cutRow.any && (!exactRow.any || cutRow.rowid < exactRow.rowid)) {
            bool rewritten = m_messages.ok(clients.moveTo(cutRow.rowid));
            if (rewritten) {
                stored(clients.Edit());
                m_messages.ok(clients.setValue(L("Name"), text(name)));
                rewritten = stored(clients.Update());
            }
            if (rewritten) {
                match = cutRow;
            } else {
                const Found failed = cutRow;
                cutRow = locate(cut, &failed);
            }
        } else {
            match = exactRow;
        }
    }
    if (!match.any)
        return false;

    m_messages.ok(clients.moveTo(match.rowid));
    QVariant clientId;
    QString number;
    if (m_messages.ok(clients.value(L("ClientID"), clientId)) &&
        m_messages.ok(db::valueAsText(clientId, number)))
        clientNumber = number;
    else
        clientNumber.clear();
    return true;
}

// One more than the highest client number, when there is one to give. Each row whose number
// cannot be read is reported, in table order, as a scan of the table reports it.
std::optional<QString> ClientWriter::allocate()
{
    if (!m_numbers.isValid()) {
        m_messages.ok(m_numbers.refresh(*Data1.Recordset()));
        // On a long table the reading takes a good part of a batch's time; the batch's
        // customers get their full time after it, or every commit would carry one customer and
        // another program's next write would have the table read again for the next one.
        m_pacing.restartBatchTime();
    }
    for (const int error : m_numbers.rowErrors())
        m_messages.add(CallMessages::errorNumber(error));
    return m_numbers.next();
}

} // namespace brevik
