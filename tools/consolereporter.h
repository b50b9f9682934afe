#pragma once

#include "import/reporter.h"

namespace brevik::tool {

// Prints each message to the operator as one line on standard error: "brevik-import: ", then its
// text, with its line ends as blanks and its control characters as marks (see terminalText).
class ConsoleReporter final : public Reporter
{
public:
    void report(const QString& message) override;
};

} // namespace brevik::tool
