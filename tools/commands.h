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
    ExitFailed = 1, // the run could not run, or it stopped
    ExitUsage = 2,
    ExitRefused = 3, // the run went through every row, and the database refused some customers
    // A run that a signal ended after the customer it was writing: 128 and the signal's number,
    // as a shell reports a program that the signal ended.
    ExitHungUp = 129,      // SIGHUP
    ExitInterrupted = 130, // SIGINT
    ExitTerminated = 143,  // SIGTERM
};

// Runs one command; messages go to the reporter, the summary line to standard output.
[[nodiscard]] int runCommand(const Invocation& invocation, Reporter& reporter);

} // namespace brevik::tool
