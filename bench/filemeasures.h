#pragma once

// The bench's other work, each in a process of its own: writing the generated exports, the
// extraction against a plain read and write of the same file, and the main window's share of
// a STRIP run.

#include <QString>
#include <QtGlobal>

#include <optional>

namespace brevik::bench {

struct GeneratedExport
{
    int ok = 0;
    qint64 customers = 0;
    qint64 bytes = 0;
    char error[256] = {};
};

// Writes an export of that many customers, or of about that many bytes where customers is 0.
[[nodiscard]] std::optional<GeneratedExport> generate(const QString& path, qint64 customers, qint64 bytes,
                                                      quint64 seed);

// The extraction against a plain read and write of the same file, the best of five rounds each.
struct ExtractionFigures
{
    int ok = 0;
    double plainSeconds = 0;   // the best of the rounds
    double extractSeconds = 0; // the best of the rounds
    qint64 rows = 0;
};

[[nodiscard]] std::optional<ExtractionFigures> measureExtraction(const QString& exportFile,
                                                                 const QString& folder);

// The share of a STRIP run that the main window's progress updates take (the bar is updated at
// most about 30 times a second, at under 5% of the run), measured by bench_stripwindow with the
// window's own observer on the offscreen platform.
struct ProgressFigures
{
    double share = 0; // of the run's processor time spent in the window's progress updates
    double updatesPerSecond = 0;
};

// bench_stripwindow, which the build puts in programFolder beside this program, measures it.
[[nodiscard]] std::optional<ProgressFigures>
measureWindowProgress(const QString& exportFile, const QString& folder, const QString& programFolder);

} // namespace brevik::bench
