#pragma once

#include "import/writer/customerlist.h"

#include <QString>

#include <vector>

namespace brevik::tool {

// The customers in aligned columns for a terminal, a header first.
[[nodiscard]] QString columnsOf(const std::vector<CustomerRecord>& records, Tense tense);

} // namespace brevik::tool
