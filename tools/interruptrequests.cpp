#include "interruptrequests.h"

#include "tools/commands.h"

#include <QFile>

#include <csignal>
#include <cstring>
#include <iterator>

#ifdef Q_OS_UNIX
#include <time.h>
#include <unistd.h>
#else
#include <cstdlib>
#endif

namespace brevik::tool {
namespace {

// The first signal that came, 0 before one came.
volatile std::sig_atomic_t g_signal = 0;
// How many InterruptRequests live; only the first sets the handling up.
int g_holders = 0;

// What a signal that ends the process at once removes first: a file, then its folder, each a
// name ended by NUL, set while g_leftBehind is 0.
constexpr std::size_t NameRoom = 4096;
char g_leftFile[NameRoom] = {};
char g_leftFolder[NameRoom] = {};
volatile std::sig_atomic_t g_leftBehind = 0;

void removeLeftBehind()
{
    if (!g_leftBehind)
        return;
#ifdef Q_OS_UNIX
    ::unlink(g_leftFile);
    ::rmdir(g_leftFolder);
#endif
}

#ifdef Q_OS_UNIX
// When the first signal came, on the monotonic clock. Signals that come together
// are one request: timeout(1) sends its signal to the run and then to its whole process group,
// and a shell's kill may meet the same.
constexpr long TogetherNs = 1'000'000'000;
struct timespec g_first = {};

bool longAfterFirst()
{
    struct timespec now = {};
    if (::clock_gettime(CLOCK_MONOTONIC, &now) != 0)
        return true;
    const long long ns = (now.tv_sec - g_first.tv_sec) * 1'000'000'000LL + (now.tv_nsec - g_first.tv_nsec);
    return ns >= TogetherNs;
}

void noteFirst()
{
    (void)::clock_gettime(CLOCK_MONOTONIC, &g_first);
}
#else
bool longAfterFirst()
{
    return true;
}

void noteFirst() {}
#endif

extern "C" void noteSignal(int signal)
{
    if (g_signal != 0) {
        // A later one: the operator will not wait for the tidying up.
        if (longAfterFirst()) {
            removeLeftBehind();
            ::_exit(128 + signal);
        }
        return;
    }
    noteFirst();
    g_signal = signal;
}

#ifdef Q_OS_UNIX
constexpr int Caught[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction g_earlier[std::size(Caught)] = {};
#else
constexpr int Caught[] = {SIGINT, SIGTERM};
void (*g_earlier[std::size(Caught)])(int) = {};
#endif

} // namespace

InterruptRequests::InterruptRequests()
{
    if (g_holders++ > 0)
        return;
    g_signal = 0;
    for (std::size_t i = 0; i < std::size(Caught); ++i) {
#ifdef Q_OS_UNIX
        struct sigaction action = {};
        action.sa_handler = noteSignal;
        // One handler at a time, so that the first signal is noted whole before the next.
        sigemptyset(&action.sa_mask);
        for (const int other : Caught)
            sigaddset(&action.sa_mask, other);
        // The run goes on after the handler: calls it interrupted are taken up again.
        action.sa_flags = SA_RESTART;
        ::sigaction(Caught[i], &action, &g_earlier[i]);
#else
        g_earlier[i] = std::signal(Caught[i], noteSignal);
#endif
    }
}

InterruptRequests::~InterruptRequests()
{
    if (--g_holders > 0)
        return;
    for (std::size_t i = 0; i < std::size(Caught); ++i) {
#ifdef Q_OS_UNIX
        ::sigaction(Caught[i], &g_earlier[i], nullptr);
#else
        std::signal(Caught[i], g_earlier[i]);
#endif
    }
}

void InterruptRequests::removeWhenEndedAtOnce(const QString& file, const QString& folder)
{
    g_leftBehind = 0;
    const QByteArray fileName = QFile::encodeName(file);
    const QByteArray folderName = QFile::encodeName(folder);
    if (file.isEmpty() || fileName.size() >= qsizetype(NameRoom) || folderName.size() >= qsizetype(NameRoom))
        return;
    std::memcpy(g_leftFile, fileName.constData(), std::size_t(fileName.size()) + 1);
    std::memcpy(g_leftFolder, folderName.constData(), std::size_t(folderName.size()) + 1);
    g_leftBehind = 1;
}

bool InterruptRequests::requested()
{
    return g_signal != 0;
}

int InterruptRequests::exitStatus()
{
    switch (g_signal) {
    case 0:
        return 0;
    case SIGINT:
        return ExitInterrupted;
    case SIGTERM:
        return ExitTerminated;
#ifdef SIGHUP
    case SIGHUP:
        return ExitHungUp;
#endif
    }
    return 128 + g_signal;
}

} // namespace brevik::tool
