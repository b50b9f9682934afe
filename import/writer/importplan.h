#pragma once

#include "import/writer/clientwriter.h"
#include "import/writer/striprun.h"

#include <QString>

#include <functional>

namespace brevik {

class Reporter;

// An import to plan: the export, the data folder whose zrdata.mdb it would write, the version
// value, where the plan may work (the system's temporary folder when empty), what asks it to
// stop early (see StripOptions::stopRequested) and what follows its run (none when null).
struct PlanRequest
{
    QString exportFile;
    QString dataFolder;
    QString gOpt;
    QString workFolder;
    std::function<bool()> stopRequested;
    StripObserver* observer = nullptr;
};

// Shows what an import of the export would do to the database, changing nothing: the very
// extraction, strip run and writer of an import run against a private copy of zrdata.mdb in a
// temporary folder of their own (see PlanFolder), with QBCUST.TXT there too and no backup of
// the copy; the folder goes away at the end, and that of a plan that was killed goes when the
// next plan starts. The copy is made through SQLite's online backup from a connection that
// cannot change a row (see db::copyForPlan), and only once the export holds a customer row, as
// an import first touches the database at its first row; a user who may only read the
// database gets its plan too. Each customer is handed to onRecord as the writer settles it,
// named by its row in the export. The messages are those an import gives, in the plan's words,
// naming the database where they would name its copy and the export where they would name the
// plan's QBCUST.TXT. The summary is that of the run on the copy.
[[nodiscard]] StripSummary planImport(const PlanRequest& request, Reporter& reporter,
                                      const std::function<void(const CustomerRecord&)>& onRecord);

} // namespace brevik
