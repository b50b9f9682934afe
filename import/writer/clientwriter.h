#pragma once

#include "import/engine/datacontrol.h"
#include "import/engine/workspace.h"
#include "import/rules/customerfields.h"
#include "import/rules/fieldrules.h"
#include "import/rules/rownotes.h"
#include "import/writer/callmessages.h"
#include "import/writer/clientnumbers.h"
#include "import/writer/commitpacing.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace brevik {

class Reporter;

// Whether a row is a customer's own or one of its jobs ("customer:job" in QuickBooks).
enum class RowKind
{
    Customer,
    Job,
};

// What one AddClient call did.
enum class WriteOutcome
{
    Added,          // a new client with its account, address and contact
    Updated,        // the rows of an existing client rewritten
    NothingWritten, // an empty name
    JobPassedOver,  // a job whose client an earlier customer of the run has written
    Refused,        // the database refused a row of the customer, or no client number was left
    Stopped,        // the database could not be opened or saved: the run must stop
};

// One customer as the writer dealt with it. It counts once its rows are committed; a customer
// that a stop lost instead has the outcome Stopped, with the stop's message as its refusal.
struct CustomerRecord
{
    qint64 row = 0; // its row as the caller numbers it, from 1; 0 where the caller gave none
    WriteOutcome outcome = WriteOutcome::NothingWritten;
    QString name;         // the client's name as stored
    QString clientNumber; // the client added or rewritten
    QStringList refusals; // why the database refused it, in words
    RowNotes notes;       // what its row's scan and the writer's rules noted
};

// The customers whose rows are committed, by outcome.
struct WriteTally
{
    qint64 added = 0;
    qint64 updated = 0;
    qint64 nothingWritten = 0;
    qint64 jobsPassedOver = 0;
    qint64 refused = 0;

    void count(WriteOutcome outcome);
    [[nodiscard]] qint64 total() const { return added + updated + nothingWritten + jobsPassedOver + refused; }
};

// Writes one customer at a time into zrdata.mdb: looks the client up by name, and either adds
// a new client with its account, main address and contact, or rewrites the client it found.
//
// Results and messages are those of a writer that reads each table from start to end for every
// customer, but the look-ups go through the database's indexes and the highest client number
// is kept between calls, so the cost of a call does not grow with the tables.
//
// One customer's rows are committed together, and no row is ever stored outside a transaction
// that covers its whole customer. Several customers may share a commit; every commit happens
// before a message is shown, so no message box holds the database locked. When the database
// gives up a transaction, or a commit fails, the customers since the last commit are lost: the
// writer says which, and writes nothing more.
class ClientWriter
{
public:
    explicit ClientWriter(Reporter& reporter);
    ClientWriter(const ClientWriter&) = delete;
    ClientWriter& operator=(const ClientWriter&) = delete;
    ~ClientWriter();

    // Writes the customer held in values.Text1. It refreshes gM and gQ from the hidden fields
    // and writes back the name, state and telephone rules' results into Text1(0), Text1(4) and
    // Text1(9).
    //
    // A job shares its customer's billing name, and so its client. A job whose client an
    // earlier call of this writer added or rewrote is passed over without a word and writes
    // nothing, so that the job's own marks (its tax mark above all) never overwrite its
    // customer's. A job whose client this writer has not written yet is written as a customer.
    [[nodiscard]] WriteOutcome AddClient(WindowValues& values, RowKind kind = RowKind::Customer);

    // Commits what is pending; false (after a message) when the database refused it.
    [[nodiscard]] bool finish();

    // The row that the next AddClient writes, which messages name, and what the scan of that
    // row noted, which its record carries.
    void setRow(qint64 row, RowNotes scanNotes = {})
    {
        m_row = row;
        m_scanNotes = scanNotes;
    }
    // The customers committed so far.
    [[nodiscard]] const WriteTally& committed() const { return m_committed; }
    // Whether a commit stored or changed a row: customers with empty names, jobs passed over
    // and customers whose every row the database refused change none.
    [[nodiscard]] bool committedRows() const { return m_committedRows; }
    // Each customer once its fate is settled, in the order they were written: as its commit
    // succeeds, or as a stop loses it. So every customer handed to AddClient is told once. The
    // writer's destructor commits what is pending, so the observer must outlive the writer.
    void setRecordObserver(std::function<void(const CustomerRecord&)> observer)
    {
        m_recordObserver = std::move(observer);
    }

    // Tells the record observer of a row that the run read but did not hand over to be written,
    // as a customer that was not stored, with the note why.
    void tellNotImported(qint64 row, const QString& name, const QString& note)
    {
        tell({row, WriteOutcome::Stopped, name, QString(), QStringList{note}, {}});
    }

    // How many customers may share one commit, and for how long a commit may wait.
    void setBatchLimits(int customers, int milliseconds);
    // Whether the database is left free to other programs for a moment now and then.
    void setPausesForOthers(bool pauses);

private:
    [[nodiscard]] bool open(WindowValues& values);
    [[nodiscard]] bool beginCustomer();
    [[nodiscard]] bool endCustomer(WriteOutcome outcome, const CustomerFields& fields,
                                   const QString& clientNumber);
    [[nodiscard]] bool commit();
    // Stops the run after the message; the customers since the last commit are lost, and so is
    // the current one when it has not yet been written.
    void stopWith(const QString& message);
    void tell(const CustomerRecord& customer);
    // What became of the customers since the last commit, for a stop that loses them.
    [[nodiscard]] QString lostCustomers() const;
    // Notes a failed write of the current customer as the database's refusal of it.
    bool stored(const db::Status& status);

    bool findClient(const QString& name, QString& clientNumber);
    std::optional<QString> allocate();
    WriteOutcome insertClient(CustomerFields& f, const std::optional<QString>& clientNumber);
    WriteOutcome updateClient(CustomerFields& f, const QString& clientNumber);
    // The key of the account row that the last Update of rs stored, when it stored one.
    [[nodiscard]] std::optional<QVariant> storedKey(db::Recordset& rs);
    // The account of an existing client, found by its number or created; its key, when the
    // account row stands.
    [[nodiscard]] std::optional<QVariant> rewriteAccount(CustomerFields& f, const QString& clientNumber);
    void rewriteAddress(const CustomerFields& f, const QVariant& key);
    void rewriteContact(const CustomerFields& f, const QVariant& key);
    // Sets the client's name, address, telephone and contact, applying the state and
    // telephone rules to the fields as it goes.
    void setClientAddress(db::Recordset& client, CustomerFields& f, PhoneVariant phone);
    // Set the fields that follow the account key, then store the row.
    void storeAddress(db::Recordset& rs, const CustomerFields& f);
    void storeContact(db::Recordset& rs, const CustomerFields& f, const std::optional<QVariant>& key);
    template<std::size_t N> void set(db::Recordset& rs, const char (&field)[N], QVariant value)
    {
        setField(rs, QLatin1StringView(field, N - 1), std::move(value));
    }
    void setField(db::Recordset& rs, QLatin1StringView field, QVariant value);

    Reporter& m_reporter;
    db::Workspace m_workspace;
    db::DataControl Data1{m_workspace, QStringLiteral("Data1")};
    db::DataControl Data2{m_workspace, QStringLiteral("Data2")};
    db::DataControl Data3{m_workspace, QStringLiteral("Data3")};
    db::DataControl Data4{m_workspace, QStringLiteral("Data4")};

    db::Database* m_database = nullptr; // the database the data controls share
    QString m_preparedPath;             // the file whose tables and indexes were checked
    ClientNumbers m_numbers;
    CallMessages m_messages;
    QSet<QString> m_written; // the names, as the rows gave them, of the clients written so far

    qint64 m_row = 0;
    RowNotes m_scanNotes;                  // what the scan noted of the current customer's row
    RowNotes m_notes;                      // and what the rules noted as they were applied
    bool m_currentWritten = true;          // the current customer is pending or committed
    QString m_customerName;                // the current customer, as the file names it
    QStringList m_refusals;                // the current customer's refused writes
    std::optional<db::Status> m_lossCause; // the failure after which the transaction was gone
    std::vector<CustomerRecord> m_pending; // written since the last commit
    WriteTally m_committed;
    qint64 m_changesAtBegin = 0; // the connection's count of changed rows when the batch began
    bool m_committedRows = false;
    std::function<void(const CustomerRecord&)> m_recordObserver;
    bool m_stopped = false; // after a stop nothing more is written

    CommitPacing m_pacing;
};

} // namespace brevik
