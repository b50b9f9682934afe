#include "clientwriter.h"

#include "import/engine/schema.h"
#include "import/engine/value.h"
#include "import/fieldrules.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "import/writervalues.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

namespace brevik {
namespace {

using db::Recordset;
using Criterion = Recordset::Criterion;
using L = QLatin1StringView;
using namespace writervalues;

QString openFailure(const QString& path, const db::Status& status)
{
    return QStringLiteral("The Orvella database %1 cannot be opened: %2")
        .arg(displayPath(path), status.description());
}

} // namespace

ClientWriter::ClientWriter(Reporter& reporter)
    : m_reporter(reporter)
{}

ClientWriter::~ClientWriter()
{
    (void)finish();
}

void ClientWriter::setBatchLimits(int customers, int milliseconds)
{
    m_batchLimit = std::max(1, customers);
    m_batchMilliseconds = std::max(0, milliseconds);
}

void ClientWriter::stopWith(const QString& message)
{
    // Messages about rows that were not committed would mislead; only the cause is shown.
    (void)m_messages.take();
    if (m_database && m_database->inTransaction())
        m_database->rollback();
    m_reporter.report(message);
}

bool ClientWriter::open(WindowValues& values)
{
    values.gM = values.txtHold1;
    values.gQ = values.txtHold2;
    const QString path = joinFolderAndFile(values.gM, QStringLiteral("zrdata.mdb"));

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
            stopWith(openFailure(path, status));
            return false;
        }
    }
    m_database = Data1.database();
    if (m_preparedPath != path) {
        if (const db::Status status = db::prepareForImport(*m_database); !status.ok()) {
            stopWith(openFailure(path, status));
            return false;
        }
        m_preparedPath = path;
        m_numbers.invalidate();
        m_dataVersion = -1;
    }
    for (const auto& [control, table] : tables) {
        if (const db::Status status = moveLast(*control->Recordset()); !status.ok()) {
            stopWith(openFailure(path, status));
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
            stopWith(
                QStringLiteral("The Orvella database %1 is locked by another program. The import stopped; "
                               "every customer stored so far is complete. Run it again once the "
                               "other program has finished.")
                    .arg(displayPath(m_database->path())));
        else
            stopWith(openFailure(m_database->path(), status));
        return false;
    }
    m_batchCustomers = 0;
    m_batchTimer.start();
    // Another program that committed since our last look may have added client numbers.
    qint64 version = 0;
    if (m_database->dataVersion(version).ok()) {
        if (version != m_dataVersion) {
            m_numbers.invalidate();
            m_othersWriting = m_othersWriting || m_dataVersion != -1;
        }
        m_dataVersion = version;
    } else {
        m_numbers.invalidate();
    }
    return true;
}

bool ClientWriter::commit()
{
    if (!m_database || !m_database->inTransaction())
        return true;
    if (const db::Status status = m_database->commit(); !status.ok()) {
        stopWith(
            QStringLiteral("The changes to the Orvella database %1 could not be saved: %2. The customers "
                           "since the last save were not stored.")
                .arg(displayPath(m_database->path()), status.description()));
        return false;
    }
    return true;
}

bool ClientWriter::endCustomer()
{
    if (!m_database->inTransaction()) {
        // The engine gave up the transaction after a failure (a full disk, say): the rows of
        // this batch are gone, and going on would report them as stored.
        stopWith(QStringLiteral("The Orvella database %1 refused the changes. The customers since the last "
                                "save were not stored.")
                     .arg(displayPath(m_database->path())));
        return false;
    }
    ++m_batchCustomers;
    const bool due = !m_messages.isEmpty() || m_batchCustomers >= m_batchLimit ||
                     m_batchTimer.elapsed() >= m_batchMilliseconds;
    if (due) {
        if (!commit())
            return false;
        pauseForOthers();
    }
    for (const QString& message : m_messages.take())
        m_reporter.report(message);
    return true;
}

void ClientWriter::pauseForOthers()
{
    if (!m_sincePause.isValid()) {
        m_sincePause.start();
        return;
    }
    if (m_sincePause.elapsed() < (m_othersWriting ? 500 : 2000))
        return;
    std::this_thread::sleep_for(std::chrono::milliseconds(PauseMs));
    m_sincePause.restart();
}

bool ClientWriter::finish()
{
    return commit();
}

WriteOutcome ClientWriter::AddClient(WindowValues& values, RowKind kind)
{
    if (kind == RowKind::Job && m_written.contains(values.Text1[FieldName]))
        return WriteOutcome::JobPassedOver;
    if (!open(values) || !beginCustomer())
        return WriteOutcome::Stopped;

    CustomerFields& fields = values.Text1;
    // As the row gave it: the insert path cuts the name, and a later job carries it uncut.
    const QString name = fields[FieldName];
    QString clientNumber;
    WriteOutcome outcome;
    if (findClient(name, clientNumber))
        outcome = updateClient(fields, clientNumber);
    else
        outcome = insertClient(fields, allocate());

    if (!endCustomer())
        return WriteOutcome::Stopped;
    if (outcome == WriteOutcome::Added || outcome == WriteOutcome::Updated)
        m_written.insert(name);
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
                m_messages.ok(clients.Edit());
                m_messages.ok(clients.setValue(L("Name"), text(name)));
                rewritten = m_messages.ok(clients.Update());
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

// One more than the highest client number. Each row whose number cannot be read is reported,
// in table order, as a scan of the table reports it.
QString ClientWriter::allocate()
{
    if (!m_numbers.isValid()) {
        m_messages.ok(m_numbers.refresh(*Data1.Recordset()));
        // On a long table the reading takes a good part of a batch's time; the batch's
        // customers get their full time after it, or every commit would carry one customer and
        // another program's next write would have the table read again for the next one.
        m_batchTimer.start();
    }
    for (const int error : m_numbers.rowErrors())
        m_messages.add(CallMessages::errorNumber(error));
    return m_numbers.next();
}

} // namespace brevik
