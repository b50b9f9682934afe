#pragma once

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <type_traits>

namespace brevik::bench {

// Runs work in a child process of its own, so that the child's peak resident memory is the
// work's own and nothing it leaves behind disturbs the next measurement. The child hands its
// result back through a pipe.
struct ChildRun
{
    bool ok = false;    // the child ran to its end and handed back a whole result
    long peakRssKb = 0; // the child's peak resident memory, in KiB
};

// Forks, runs work in the child and waits for it. The parent should hold little memory when
// it calls this, since a forked child starts out with the parent's pages.
[[nodiscard]] ChildRun runInChild(void* result, std::size_t size,
                                  const std::function<void(void* result)>& work);

template<typename Result>
[[nodiscard]] ChildRun runInChild(Result& result, const std::function<void(Result&)>& work)
{
    static_assert(std::is_trivially_copyable_v<Result>);
    return runInChild(&result, sizeof(Result), [&work](void* out) { work(*static_cast<Result*>(out)); });
}

// Puts text into a fixed field of a result, cut to fit, for the way back from the child.
inline void copyText(char* out, std::size_t size, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::snprintf(out, size, "%s", bytes.constData());
}

// Processor time this process has used so far, in seconds; beside the elapsed time it tells
// whether a measurement waited for the processor or the disk.
[[nodiscard]] double ownCpuSeconds();

// Bytes this process has handed to write calls so far (files, the database and its journal).
[[nodiscard]] qint64 ownWrittenBytes();

// Peak resident memory of this process so far, in KiB.
[[nodiscard]] long ownPeakRssKb();

} // namespace brevik::bench
