#pragma once

#include "tools/commandline.h"

namespace brevik {
class Reporter;
}

namespace brevik::tool {

// Exit status of the tool.
enum ExitStatus : int
{
    ExitCompleted = 0,
    ExitFailed = 1,
    ExitUsage = 2
};

// Runs one command; messages go to the reporter, the summary line to standard output.
[[nodiscard]] int runCommand(const Invocation& invocation, Reporter& reporter);

} // namespace brevik::tool
