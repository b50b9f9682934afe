#include "commandsupport.h"

#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/customerlist.h"
#include "import/writer/striprun.h"
#include "settings/versionfile.h"
#include "tools/commands.h"

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace brevik::tool {

namespace {

// Why the first write to standard output that failed, failed; empty while none has.
QString& standardOutputFailure()
{
    static QString failure;
    return failure;
}

} // namespace

void printLine(std::FILE* stream, const QString& line)
{
    printBytes(stream, (line + u'\n').toLocal8Bit());
}

void printBytes(std::FILE* stream, const QByteArray& bytes)
{
    const std::size_t size = std::size_t(bytes.size());
    // A full disk or a closed terminal shows only when the text leaves the buffer: flushed here.
    if ((std::fwrite(bytes.constData(), 1, size, stream) == size && std::fflush(stream) == 0) ||
        stream != stdout || !standardOutputFailure().isEmpty())
        return;
    const int cause = errno;
    standardOutputFailure() =
        cause == ENOSPC ? QStringLiteral("the disk is full") : QString::fromLocal8Bit(std::strerror(cause));
}

QString outputFailure()
{
    return standardOutputFailure();
}

int usageError(const QString& error)
{
    std::fputs(usageErrorText(error).toLocal8Bit().constData(), stderr);
    return ExitUsage;
}

void printSummary(const StripSummary& summary, std::FILE* stream)
{
    printLine(stream, summaryLine(summary));
}

int exitStatusOf(const StripSummary& summary)
{
    if (!summary.completed)
        return ExitFailed;
    return summary.customersRefused == 0 ? ExitCompleted : ExitRefused;
}

void writeStandardOutputAsIs()
{
#ifdef Q_OS_WIN
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

std::optional<int> folderRefusal(const ToolFolders& folders, Reporter& reporter)
{
    if (!folders.unreadable.isEmpty()) {
        reporter.report(folders.unreadable);
        return ExitFailed;
    }
    if (!folders.missing.isEmpty())
        return usageError(folders.missing);
    return std::nullopt;
}

QString versionValue(const Invocation& invocation, Reporter& reporter)
{
    if (invocation.qbVersion)
        return *invocation.qbVersion;
    const VersionFile file = VersionFile::ofProgram();
    QString failure;
    const std::optional<QString> value = file.read(failure);
    if (!failure.isEmpty())
        reporter.report(QStringLiteral("The version file %1 cannot be read: %2. The version value 0 is used.")
                            .arg(displayPath(file.path()), clause(failure)));
    return value.value_or(QStringLiteral("0"));
}

} // namespace brevik::tool
