#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace brevik::tool {

enum class Command
{
    Help,
    Version,
    Extract,
    Strip,
    Import,
    Plan,
    Backups,
    Restore,
    CreateDatabase
};

// The export file that stands for standard input.
inline constexpr QLatin1StringView StandardInputFile("-");

// What the operator asked the tool to do.
struct Invocation
{
    Command command = Command::Help;
    QString helpText;                        // help: the text to print
    QString exportFile;                      // extract, import, plan; "-" for standard input
    QString folder;                          // create-database
    QString backupFile;                      // restore
    std::optional<QString> dataFolder;       // --data-folder
    std::optional<QString> quickBooksFolder; // --quickbooks-folder
    std::optional<QString> qbVersion;        // --qb-version
    std::optional<QString> report;           // --report: the file that tells what was done
    bool csv = false;                        // --csv: the plan or the backups as CSV
    bool quiet = false;                      // --quiet: no progress and no line but the summary
    // Set by the run, not the operator: exportFile is the private copy of standard input, which
    // messages name "standard input".
    bool exportCopiedFromStandardInput = false;
};

struct ParseResult
{
    std::optional<Invocation> invocation;
    QString error; // the usage error, when there is no invocation
};

// The arguments after the program's name: a command first, then its file or folder and its
// options, as "--option value" or "--option=value", in any order; "--" ends the options. Each
// command answers --help with its own help, as "help COMMAND" does. An option given twice, an
// option the command does not take, an empty folder or file name, and "-" for anything but the
// export file (which it makes standard input) are usage errors.
[[nodiscard]] ParseResult parseCommandLine(const QStringList& arguments);
[[nodiscard]] QString usageText();
// What a usage error prints on standard error: a line that names the fault, and one that points
// to --help.
[[nodiscard]] QString usageErrorText(const QString& error);
// "brevik-import 1.50.109"
[[nodiscard]] QString versionLine();

} // namespace brevik::tool
