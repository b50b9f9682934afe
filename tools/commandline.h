#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace brevik::tool {

enum class Command
{
    Help,
    Extract,
    Strip,
    Import,
    CreateDatabase
};

// What the operator asked the tool to do.
struct Invocation
{
    Command command = Command::Help;
    QString exportFile;                      // extract, import
    QString folder;                          // create-database
    std::optional<QString> dataFolder;       // --data-folder
    std::optional<QString> quickBooksFolder; // --quickbooks-folder
    std::optional<QString> qbVersion;        // --qb-version
};

struct ParseResult
{
    std::optional<Invocation> invocation;
    QString error; // the usage error, when there is no invocation
};

[[nodiscard]] ParseResult parseCommandLine(const QStringList& arguments);
[[nodiscard]] QString usageText();

} // namespace brevik::tool
