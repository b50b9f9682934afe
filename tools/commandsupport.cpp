#include "commandsupport.h"

#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/striprun.h"
#include "settings/versionfile.h"
#include "tools/commands.h"

namespace brevik::tool {

void printLine(std::FILE* stream, const QString& line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void printBytes(std::FILE* stream, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

int usageError(const QString& error)
{
    std::fprintf(stderr, "brevik-import: %s\n\n%s", error.toLocal8Bit().constData(),
                 usageText().toLocal8Bit().constData());
    return ExitUsage;
}

void printSummary(const StripSummary& summary, std::FILE* stream)
{
    printLine(stream, QStringLiteral("rows read: %1, clients added: %2, clients updated: %3, rows that wrote "
                                     "nothing: %4, customers refused: %5, jobs passed over: %6")
                          .arg(summary.rowsRead)
                          .arg(summary.clientsAdded)
                          .arg(summary.clientsUpdated)
                          .arg(summary.rowsWithoutWrite)
                          .arg(summary.customersRefused)
                          .arg(summary.jobsPassedOver));
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
