#pragma once

// Measurements of the import against the storage engine's own limit, each in a child process of
// its own: raw inserts through the C API, the import as the tool's import command runs it, and
// a plan of the same export as the tool's plan command runs it.

#include "rawbaseline.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace brevik::bench {

// The engine's own limit: the rows of the same customers inserted through the C API.
struct RawFigures
{
    int ok = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    qint64 writtenBytes = 0;
    qint64 customers = 0;
    char journalMode[32] = {};
    int synchronous = -1;
    qint64 cacheSize = 0;
    qint64 walAutoCheckpoint = 0;
    char error[256] = {};
};

[[nodiscard]] std::optional<RawFigures> measureRaw(const QString& exportFile, const QString& folder,
                                                   Commits commits, long& peakRssKb);

// Our import, as the tool's import command runs it: the extraction, then the strip run.
struct ImportFigures
{
    int ok = 0;
    double seconds = 0;        // extraction and strip run together
    double cpuSeconds = 0;     // processor time of the same
    qint64 writtenBytes = 0;   // handed to write calls by the same
    double extractSeconds = 0; // of which the extraction
    qint64 rowsRead = 0;
    qint64 added = 0;
    qint64 updated = 0;
    qint64 nothingWritten = 0;
    qint64 messages = 0;
    char firstMessage[512] = {};
    long peakRssKb = 0;
};

enum class Target
{
    Fresh,  // a new database made by createDatabase
    Filled, // the database as an earlier run left it
};

[[nodiscard]] std::optional<ImportFigures> measureImport(const QString& exportFile,
                                                         const QString& quickBooksFolder,
                                                         const QString& dataFolder, Target database);

// A plan of the same export, against the database a re-import met.
struct PlanFigures
{
    int ok = 0;
    double seconds = 0; // extraction, private copy and the run on it, as brevik-import plan
    double cpuSeconds = 0;
    qint64 writtenBytes = 0;
    qint64 rows = 0; // customer records the plan gave
    long peakRssKb = 0;
    char firstMessage[512] = {};
};

[[nodiscard]] std::optional<PlanFigures> measurePlan(const QString& exportFile, const QString& dataFolder,
                                                     const QString& workFolder);

} // namespace brevik::bench
