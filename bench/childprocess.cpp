#include "childprocess.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace brevik::bench {

ChildRun runInChild(void* result, std::size_t size, const std::function<void(void* result)>& work)
{
    ChildRun run;
    int fds[2];
    if (pipe(fds) != 0)
        return run;
    std::fflush(stdout); // the child must not print what the parent has buffered
    std::fflush(stderr);
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return run;
    }
    if (pid == 0) {
        close(fds[0]);
        std::vector<char> bytes(size);
        std::memcpy(bytes.data(), result, size);
        work(bytes.data());
        std::size_t sent = 0;
        while (sent < size) {
            const ssize_t n = write(fds[1], bytes.data() + sent, size - sent);
            if (n <= 0)
                _exit(2);
            sent += std::size_t(n);
        }
        close(fds[1]);
        std::fflush(stdout);
        std::fflush(stderr);
        _exit(0);
    }
    close(fds[1]);
    std::vector<char> bytes(size);
    std::size_t got = 0;
    for (;;) {
        const ssize_t n = read(fds[0], bytes.data() + got, size - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += std::size_t(n);
        if (got == size)
            break;
    }
    close(fds[0]);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.peakRssKb = usage.ru_maxrss; // KiB on Linux
    run.ok = got == size && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (run.ok)
        std::memcpy(result, bytes.data(), size);
    return run;
}

double ownCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

qint64 ownWrittenBytes()
{
    std::FILE* io = std::fopen("/proc/self/io", "r");
    if (!io)
        return 0;
    long long written = 0;
    char line[128];
    while (std::fgets(line, sizeof line, io)) {
        if (std::sscanf(line, "wchar: %lld", &written) == 1)
            break;
    }
    std::fclose(io);
    return written;
}

long ownPeakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace brevik::bench
