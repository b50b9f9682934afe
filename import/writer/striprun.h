#pragma once

#include "import/export/exportlayout.h"
#include "import/rules/customerfields.h"

#include <QString>

#include <functional>
#include <vector>

namespace brevik {

class ClientWriter;
class Reporter;

// How a window or the tool follows an import run. Every call comes on the run's own thread,
// between two rows.
class StripObserver
{
public:
    virtual ~StripObserver() = default;
    // The run starts: the list of names is cleared.
    virtual void cleared() {}
    // The number of rows the file holds, where the caller knows it (the extraction that wrote
    // it counted them); told before the run starts.
    virtual void rowsToRead(qint64 rows) { (void)rows; }
    // The file is open; its size in bytes is the progress bar's maximum.
    virtual void started(qint64 maximum) { (void)maximum; }
    // A row was read: the running total of the lengths of the rows read so far.
    virtual void progressed(qint64 value) { (void)value; }
    // A row gave a name, which joins the list of customers taken.
    virtual void nameTaken(const QString& name) { (void)name; }
    // The run went through the whole file.
    virtual void finished() {}
};

// What a run did, for the tool's summary line. The customers are counted once their rows are
// committed; customers lost with a transaction that the database gave up are not counted.
struct StripSummary
{
    bool completed = false; // the whole file was read and every row written as the rules say
    qint64 rowsRead = 0;
    qint64 clientsAdded = 0;
    qint64 clientsUpdated = 0;
    qint64 rowsWithoutWrite = 0;
    qint64 customersRefused = 0; // the database refused a row of each of these
    qint64 jobsPassedOver = 0;   // jobs whose customer's client an earlier row had written
    // The run was asked to stop before its last row (StripOptions::stopRequested). The rows are
    // named as the writer's messages name them: the last row handed to the writer, whose
    // customer and every one before it is committed (0: none), and the first row read without
    // being written, from which on nothing was written.
    bool interrupted = false;
    qint64 lastStoredRow = 0;
    qint64 firstUnstoredRow = 0;
    // The copy of the database made before the first write, where the run wrote and kept it.
    QString backupPath;

    // Completed, with no customer refused.
    [[nodiscard]] bool clean() const { return completed && customersRefused == 0; }
};

// What a run does beyond STRIP's own.
struct StripOptions
{
    // Whether zrdata.mdb is copied beside itself before the first row. A run against a private
    // copy of the database that goes away after it needs no such copy.
    bool backUp = true;
    // The export's row of each row of QBCUST.TXT in turn, for a run that has the export: the
    // writer's messages and records then name the row the operator sees in the export. Empty:
    // the rows of QBCUST.TXT are named.
    std::vector<qint64> exportRows;
    // Asked before each row; once it answers true, the run ends after the customer being
    // written: what is pending is committed, and the rest of the rows are read without being
    // written, each told to the writer's record observer as not imported. Empty: never.
    std::function<bool()> stopRequested;
};

// The note of a row that an interrupted run read without writing it.
[[nodiscard]] QString notImportedNote();
// What the operator is told of an interrupted run: how far it went, in rows.
[[nodiscard]] QString interruptedRunMessage(const StripSummary& summary);

// The import run: reads QBCUST.TXT row by row, cuts each row into the customer fields and
// hands each customer to the writer. Before the first row it copies zrdata.mdb beside itself
// (see db::backUpDatabase). It stops after the one message when the file cannot be read or
// other users could have changed it, the copy cannot be made, or the database cannot be opened
// or saved.
class StripRun
{
public:
    StripRun(WindowValues& values, ClientWriter& writer, Reporter& reporter, StripOptions options = {});

    // The layout is the one START found in the export: the columns of each row.
    [[nodiscard]] StripSummary run(const QString& customerFile, const ExportLayout& layout,
                                   StripObserver& observer);

private:
    WindowValues& m_values;
    ClientWriter& m_writer;
    Reporter& m_reporter;
    StripOptions m_options;
};

} // namespace brevik
