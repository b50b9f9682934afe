#pragma once

namespace brevik::tool {

// While it lives, SIGINT, SIGTERM and SIGHUP (Ctrl-C, kill, a closed terminal) do not end the
// process: the first of them is noted, so that a run can stop after the customer it is writing
// and tidy up. One that comes a second or more after the first ends the process at once, as
// the signals otherwise would; those that come together with the first are the same request. The
// earlier handling comes back when it goes. Only the handler's flag is shared with it, so it
// stays safe to run between any two instructions of the program.
class InterruptRequests
{
public:
    InterruptRequests();
    ~InterruptRequests();
    InterruptRequests(const InterruptRequests&) = delete;
    InterruptRequests& operator=(const InterruptRequests&) = delete;

    // Whether a signal came.
    [[nodiscard]] static bool requested();
    // The exit status of a run that the first signal ended (ExitInterrupted, ExitTerminated or
    // ExitHungUp); 0 when none came.
    [[nodiscard]] static int exitStatus();
};

} // namespace brevik::tool
