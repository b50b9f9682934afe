#pragma once

#include <QString>

namespace brevik::tool {

// While it lives, SIGINT, SIGTERM and SIGHUP (Ctrl-C, kill, a closed terminal) do not end the
// process: the first of them is noted, so that a run can stop after the customer it is writing
// and tidy up. One that comes a second or more after the first ends the process at once, as
// the signals otherwise would; those that come together with the first are the same request. The
// earlier handling comes back when it goes. One made while another lives changes nothing, so
// that a command can hold its own within a run that holds one from its start. Only the
// handler's flag and the files named below are shared with it, so it stays safe to run between
// any two instructions of the program.
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
    // A file and its folder that the process removes when a later signal ends it at once: a
    // private copy that nothing else would ever remove. Empty names: none.
    static void removeWhenEndedAtOnce(const QString& file, const QString& folder);
};

} // namespace brevik::tool
