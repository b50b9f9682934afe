#pragma once

#include "tools/commandline.h"
#include "tools/folderdefaults.h"

#include <QString>

#include <cstdio>
#include <optional>

namespace brevik {
class Reporter;
struct StripSummary;
} // namespace brevik

// What the commands share.
namespace brevik::tool {

// Writes a line, and bytes as they are (UTF-8 text for one). A write to standard output that
// fails is remembered for outputFailure().
void printLine(std::FILE* stream, const QString& line);
void printBytes(std::FILE* stream, const QByteArray& bytes);
// Why text printed on standard output was lost (a full disk, a closed terminal); empty when all
// of it was written.
[[nodiscard]] QString outputFailure();
// The summary line of a run that imports or plans.
void printSummary(const StripSummary& summary, std::FILE* stream = stdout);
// The exit status of a run that imports or plans, unless a signal ended it: completed, completed
// with customers refused, or stopped.
[[nodiscard]] int exitStatusOf(const StripSummary& summary);
// Standard output takes bytes as they are, so that a CSV's own CR LF is not doubled on Windows.
void writeStandardOutputAsIs();
// Prints the error and where to find the usage; the exit status of a usage error.
int usageError(const QString& error);

// Stops a command before it starts: the exit status after a usage error, or after the message
// when zrQBck.dat was needed and could not be read.
[[nodiscard]] std::optional<int> folderRefusal(const ToolFolders& folders, Reporter& reporter);

// The version value as the main window reads it: the first item of QBvers.Dat, else "0". A
// file that is there but cannot be read is named, and "0" stands.
[[nodiscard]] QString versionValue(const Invocation& invocation, Reporter& reporter);

// The commands beyond extract, strip and import.
[[nodiscard]] int runPlan(const Invocation& invocation, Reporter& reporter);
[[nodiscard]] int runBackups(const Invocation& invocation, Reporter& reporter);
[[nodiscard]] int runRestore(const Invocation& invocation, Reporter& reporter);

} // namespace brevik::tool
