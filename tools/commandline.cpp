#include "commandline.h"

#include "brevik/version.h"
#include "import/paths.h"
#include "settings/programfolder.h"

#include <QCommandLineParser>

#include <array>

namespace brevik::tool {
namespace {

// The options of the commands. A command takes those whose bits it names.
struct OptionSpec
{
    QLatin1StringView name;
    QLatin1StringView valueName;
    QLatin1StringView description;
    std::optional<QString> Invocation::*slot;
    bool folder; // an empty value is refused: it would leave the folder to zrQBck.dat
};

enum OptionBit : unsigned
{
    DataFolder = 1u << 0,
    QuickBooksFolder = 1u << 1,
    QbVersion = 1u << 2,
};

const std::array<OptionSpec, 3> Options{{
    {QLatin1StringView("data-folder"), QLatin1StringView("DIR"),
     QLatin1StringView("The Orvella data folder, which holds zrdata.mdb."), &Invocation::dataFolder, true},
    {QLatin1StringView("quickbooks-folder"), QLatin1StringView("DIR"),
     QLatin1StringView("The QuickBooks folder, where QBCUST.TXT is written and read."),
     &Invocation::quickBooksFolder, true},
    {QLatin1StringView("qb-version"), QLatin1StringView("VALUE"),
     QLatin1StringView("The QuickBooks version value: 0 for V5.0-V2000, 1 for V2001-V2005."),
     &Invocation::qbVersion, false},
}};

// One command: its name, its one file or folder (if any), its options and its lines of help.
// A new command is a row here and a case in runCommand.
struct CommandSpec
{
    Command command;
    QLatin1StringView name;
    QLatin1StringView argument;        // "EXPORT_FILE", "DIR", or empty for none
    QLatin1StringView argumentMissing; // the usage error when the file or folder is not one
    QString Invocation::*argumentSlot;
    unsigned options;
    QLatin1StringView summary; // its lines in the usage text, broken where they break there
};

const std::array<CommandSpec, 4> Commands{{
    {Command::Extract, QLatin1StringView("extract"), QLatin1StringView("EXPORT_FILE"),
     QLatin1StringView("extract needs one export file"), &Invocation::exportFile, QuickBooksFolder,
     QLatin1StringView("copies the customer rows of a QuickBooks export into QBCUST.TXT in the\n"
                       "QuickBooks folder, as START does")},
    {Command::Strip, QLatin1StringView("strip"), QLatin1StringView(),
     QLatin1StringView("strip takes no file name"), nullptr, DataFolder | QuickBooksFolder | QbVersion,
     QLatin1StringView("imports QBCUST.TXT of the QuickBooks folder into zrdata.mdb of the data\n"
                       "folder, as STRIP does")},
    {Command::Import, QLatin1StringView("import"), QLatin1StringView("EXPORT_FILE"),
     QLatin1StringView("import needs one export file"), &Invocation::exportFile,
     DataFolder | QuickBooksFolder | QbVersion, QLatin1StringView("extract, then strip")},
    {Command::CreateDatabase, QLatin1StringView("create-database"), QLatin1StringView("DIR"),
     QLatin1StringView("create-database needs one folder"), &Invocation::folder, 0,
     QLatin1StringView("creates a new, empty zrdata.mdb in DIR")},
}};

constexpr int SummaryColumn = 17;

const CommandSpec* findCommand(const QString& name)
{
    for (const CommandSpec& spec : Commands)
        if (spec.name == name)
            return &spec;
    return nullptr;
}

QString option(const OptionSpec& spec)
{
    return QStringLiteral("--") + spec.name;
}

// "brevik-import import EXPORT_FILE [--data-folder DIR] ..."
QString synopsis(const CommandSpec& spec)
{
    QString line = QStringLiteral("brevik-import ") + spec.name;
    if (!spec.argument.isEmpty())
        line += u' ' + spec.argument;
    for (std::size_t i = 0; i < Options.size(); ++i)
        if (spec.options & (1u << i))
            line += QStringLiteral(" [%1 %2]").arg(option(Options[i]), Options[i].valueName);
    return line;
}

QString indented(QLatin1StringView text, int column)
{
    return QString(text).replace(u'\n', u'\n' + QString(column, u' '));
}

// The help of one command: how to call it, what it does and what each option means.
QString commandHelp(const CommandSpec& spec)
{
    QString text = QStringLiteral("Usage: %1\n\n").arg(synopsis(spec));
    text += QString(spec.summary).replace(u'\n', u' ') + QStringLiteral(".\n\nOptions:\n");
    QStringList names;
    QStringList descriptions;
    for (std::size_t i = 0; i < Options.size(); ++i) {
        if (!(spec.options & (1u << i)))
            continue;
        names << QStringLiteral("%1 %2").arg(option(Options[i]), Options[i].valueName);
        descriptions << QString(Options[i].description);
    }
    names << QStringLiteral("-h, --help");
    descriptions << QStringLiteral("Shows this help.");
    qsizetype width = 0;
    for (const QString& name : names)
        width = std::max(width, name.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        text += QStringLiteral("  %1  %2\n").arg(names.at(i).leftJustified(width), descriptions.at(i));
    text += QStringLiteral("\nAn option's value follows it after a blank or '='; \"--\" ends the options.\n");
    return text;
}

// Whether the argument names an option of the command that takes a value.
bool takesValue(const CommandSpec& spec, const QString& argument)
{
    for (std::size_t i = 0; i < Options.size(); ++i)
        if ((spec.options & (1u << i)) && argument == option(Options[i]))
            return true;
    return false;
}

QString unknownOption(const QString& name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

} // namespace

QString usageText()
{
    QString text = QStringLiteral("Usage:\n");
    for (const CommandSpec& spec : Commands)
        text += QStringLiteral("  ") + synopsis(spec) + u'\n';
    text += QStringLiteral("  brevik-import COMMAND --help\n"
                           "  brevik-import --help\n"
                           "  brevik-import --version\n\n"
                           "An option's value follows it after a blank or '='; \"--\" ends the options.\n\n");
    for (const CommandSpec& spec : Commands)
        text +=
            QString(spec.name).leftJustified(SummaryColumn) + indented(spec.summary, SummaryColumn) + u'\n';
    text += QStringLiteral(
                "\n"
                "Folders not given come from zrQBck.dat, the version value from QBvers.Dat (else \"0\").\n"
                "Both files lie in the tool's folder when it can be written. Otherwise they are written in\n"
                "  %1\n"
                "and read from there; a file without a copy there is read from the tool's folder.\n"
                "\n"
                "Messages go to standard error, one line each; the last line on standard output sums up\n"
                "the run. Exit status: 0 the run completed, 1 it could not run or stopped, 2 a usage\n"
                "error.\n")
                .arg(displayPath(userSettingsFolder()));
    return text;
}

QString versionLine()
{
    return QStringLiteral("brevik-import ") + versionNumber();
}

ParseResult parseCommandLine(const QStringList& arguments)
{
    ParseResult result;
    if (arguments.isEmpty()) {
        result.error = QStringLiteral("no command given");
        return result;
    }
    Invocation inv;
    const QString& verb = arguments.first();
    if (verb == u"--help" || verb == u"-h" || verb == u"help") {
        inv.command = Command::Help;
        inv.helpText = usageText();
        result.invocation = inv;
        return result;
    }
    if (verb == u"--version") {
        inv.command = Command::Version;
        result.invocation = inv;
        return result;
    }
    const CommandSpec* spec = findCommand(verb);
    if (!spec) {
        result.error = QStringLiteral("unknown command: %1").arg(verb);
        return result;
    }
    inv.command = spec->command;

    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    parser.addOption(help);
    std::array<std::optional<QCommandLineOption>, Options.size()> taken;
    for (std::size_t i = 0; i < Options.size(); ++i) {
        if (!(spec->options & (1u << i)))
            continue;
        taken[i].emplace(QString(Options[i].name), QString(Options[i].description),
                         QString(Options[i].valueName));
        parser.addOption(*taken[i]);
    }
    // The parser takes the program's name first; the command stands in for it.
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            result.error =
                QStringLiteral("unknown option for %1: %2").arg(verb, unknownOption(unknown.first()));
        else if (const QString& last = arguments.last(); takesValue(*spec, last))
            result.error = QStringLiteral("%1 needs a value").arg(last); // the only place a value can lack
        else
            result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        inv.command = Command::Help;
        inv.helpText = commandHelp(*spec);
        result.invocation = inv;
        return result;
    }
    for (std::size_t i = 0; i < Options.size(); ++i) {
        if (!taken[i] || !parser.isSet(*taken[i]))
            continue;
        const QStringList values = parser.values(*taken[i]);
        if (values.size() > 1) {
            result.error = QStringLiteral("%1 is given more than once").arg(option(Options[i]));
            return result;
        }
        // A script whose variable is unset must not fall back to the folders of zrQBck.dat.
        if (Options[i].folder && values.first().isEmpty()) {
            result.error = QStringLiteral("%1 is given an empty folder").arg(option(Options[i]));
            return result;
        }
        inv.*(Options[i].slot) = values.first();
    }

    const QStringList positional = parser.positionalArguments();
    const qsizetype wanted = spec->argument.isEmpty() ? 0 : 1;
    if (positional.size() != wanted) {
        result.error = spec->argumentMissing;
        return result;
    }
    // As with the folder options, an empty folder would mean the root of the disk.
    if (spec->argumentSlot == &Invocation::folder && positional.first().isEmpty()) {
        result.error = QStringLiteral("%1 is given an empty folder").arg(verb);
        return result;
    }
    if (spec->argumentSlot)
        inv.*(spec->argumentSlot) = positional.first();
    result.invocation = inv;
    return result;
}

} // namespace brevik::tool
