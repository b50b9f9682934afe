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

// What the operator asked the tool to do.
struct Invocation
{
    Command command = Command::Help;
    QString helpText;                        // help: the text to print
    QString exportFile;                      // extract, import, plan
    QString folder;                          // create-database
    QString backupFile;                      // restore
    std::optional<QString> dataFolder;       // --data-folder
    std::optional<QString> quickBooksFolder; // --quickbooks-folder
    std::optional<QString> qbVersion;        // --qb-version
    std::optional<QString> report;           // --report: the file that tells what was done
    bool csv = false;                        // --csv: the plan as CSV
};

struct ParseResult
{
    std::optional<Invocation> invocation;
    QString error; // the usage error, when there is no invocation
};

// The arguments after the program's name: a command first, then its file or folder and its
// options, as "--option value" or "--option=value", in any order; "--" ends the options. Each
// command answers --help with its own help. An option given twice, an option the command does
// not take and an empty folder or file name are usage errors.
[[nodiscard]] ParseResult parseCommandLine(const QStringList& arguments);
[[nodiscard]] QString usageText();
// "brevik-import 1.50.109"
[[nodiscard]] QString versionLine();

} // namespace brevik::tool
