#pragma once

#include "import/writer/striprun.h"

#include <QString>

namespace brevik::ui {

// What STRIP did, in words, for the one box the operator sees when it ends: the counts of the
// tool's summary line, the copy of the database made before the first write, and for a run that
// stopped early, from which row on nothing was stored.
[[nodiscard]] QString stripOutcomeText(const StripSummary& summary);

} // namespace brevik::ui
