#include "commandline.h"

#include "brevik/version.h"
#include "import/paths.h"
#include "settings/programfolder.h"

#include <QCommandLineParser>

#include <array>

namespace brevik::tool {
namespace {

// The options of the commands. A command takes those whose bits it names. An option without a
// value name is a switch.
struct OptionEntry
{
    QLatin1StringView name;
    QLatin1StringView valueName;
    QLatin1StringView description;
    std::optional<QString> Invocation::*slot;
    bool Invocation::*flag;
    // An empty value is refused: an empty folder would leave the folder to zrQBck.dat, an
    // empty file name names no file. So is "-", which stands for standard input only as the
    // export file.
    bool refuseEmpty;
    QLatin1StringView emptyWhat; // "folder" or "file name", for that usage error
};

enum OptionBit : unsigned
{
    DataFolder = 1u << 0,
    QuickBooksFolder = 1u << 1,
    QbVersion = 1u << 2,
    ReportFile = 1u << 3,
    Csv = 1u << 4,
    Quiet = 1u << 5,
};

const std::array<OptionEntry, 6> Options{{
    {QLatin1StringView("data-folder"), QLatin1StringView("DIR"),
     QLatin1StringView("The Orvella data folder, which holds zrdata.mdb."), &Invocation::dataFolder, nullptr,
     true, QLatin1StringView("folder")},
    {QLatin1StringView("quickbooks-folder"), QLatin1StringView("DIR"),
     QLatin1StringView("The QuickBooks folder, where QBCUST.TXT is written and read."),
     &Invocation::quickBooksFolder, nullptr, true, QLatin1StringView("folder")},
    {QLatin1StringView("qb-version"), QLatin1StringView("VALUE"),
     QLatin1StringView("The QuickBooks version value: 0 for V5.0-V2000, 1 for V2001-V2005."),
     &Invocation::qbVersion, nullptr, false, QLatin1StringView()},
    {QLatin1StringView("report"), QLatin1StringView("FILE"),
     QLatin1StringView("Also writes what was done with each customer row to FILE, as CSV with the "
                       "columns row,name,action,client_number,notes (actions: added, updated, nothing, "
                       "job, refused). A FILE that cannot be written is said before any customer is "
                       "imported."),
     &Invocation::report, nullptr, true, QLatin1StringView("file name")},
    {QLatin1StringView("csv"), QLatin1StringView(),
     QLatin1StringView("Prints CSV for scripts (RFC 4180, UTF-8, lines ended by CR LF) instead of "
                       "columns for a terminal."),
     nullptr, &Invocation::csv, false, QLatin1StringView()},
    {QLatin1StringView("quiet"), QLatin1StringView(),
     QLatin1StringView("Prints messages and the summary line only: no progress, and no line for the "
                       "customer rows copied."),
     nullptr, &Invocation::quiet, false, QLatin1StringView()},
}};

// One command: its name, its one file or folder (if any), its options and its lines of help.
// A new command is a row here and a case in runCommand.
struct CommandEntry
{
    Command command;
    QLatin1StringView name;
    QLatin1StringView argument;        // "EXPORT_FILE", "DIR", or empty for none
    QLatin1StringView argumentMissing; // the usage error when the file or folder is not one
    QString Invocation::*argumentSlot;
    unsigned options;
    QLatin1StringView summary; // its lines in the usage text, broken where they break there
    QLatin1StringView details; // more in its own help, broken where it breaks there
};

const std::array<CommandEntry, 7> Commands{{
    {Command::Extract, QLatin1StringView("extract"), QLatin1StringView("EXPORT_FILE"),
     QLatin1StringView("extract needs one export file"), &Invocation::exportFile, QuickBooksFolder,
     QLatin1StringView("copies the customer rows of a QuickBooks export into QBCUST.TXT in the\n"
                       "QuickBooks folder, as START does"),
     QLatin1StringView()},
    {Command::Strip, QLatin1StringView("strip"), QLatin1StringView(),
     QLatin1StringView("strip takes no file name"), nullptr,
     DataFolder | QuickBooksFolder | QbVersion | ReportFile | Quiet,
     QLatin1StringView("imports QBCUST.TXT of the QuickBooks folder into zrdata.mdb of the data\n"
                       "folder, as STRIP does"),
     QLatin1StringView("Before the first customer is written, zrdata.mdb is copied beside itself (see\n"
                       "the backups command). The rows of a report are those of QBCUST.TXT.")},
    {Command::Import, QLatin1StringView("import"), QLatin1StringView("EXPORT_FILE"),
     QLatin1StringView("import needs one export file"), &Invocation::exportFile,
     DataFolder | QuickBooksFolder | QbVersion | ReportFile | Quiet, QLatin1StringView("extract, then strip"),
     QLatin1StringView("Before the first customer is written, zrdata.mdb is copied beside itself (see\n"
                       "the backups command). Messages and the rows of a report name each customer by\n"
                       "its row in the export.")},
    {Command::Plan, QLatin1StringView("plan"), QLatin1StringView("EXPORT_FILE"),
     QLatin1StringView("plan needs one export file"), &Invocation::exportFile,
     DataFolder | QbVersion | Csv | Quiet,
     QLatin1StringView("shows what import would do with an export, customer by customer, and\n"
                       "writes nothing"),
     QLatin1StringView("For each customer row of the export it gives the row, the client's name as it\n"
                       "would be stored, the action (add, with the client number it would get; update,\n"
                       "with the number of the client it would rewrite; nothing, for an empty name; job,\n"
                       "for a job passed over; refused, where the database would refuse it) and notes\n"
                       "(a name cut to 40 characters, which the next import adds again; a city line\n"
                       "without a comma; a state cut from a longer text; a row without a TAB). Later\n"
                       "rows see what earlier ones would do. It ends with the summary line of import.\n"
                       "With --csv the columns are row,name,action,client_number,notes, and the summary\n"
                       "line goes to standard error.\n"
                       "\n"
                       "The plan runs the import itself against a private copy of zrdata.mdb in a\n"
                       "temporary folder, which goes away afterwards. zrdata.mdb is read through a\n"
                       "connection that cannot change a row; no file is added to the data folder and\n"
                       "the QuickBooks folder is not used. A database that is missing, locked or not\n"
                       "an Orvella database gets the messages import would give.")},
    {Command::Backups, QLatin1StringView("backups"), QLatin1StringView(),
     QLatin1StringView("backups takes no file name"), nullptr, DataFolder | Csv,
     QLatin1StringView("lists the backups of zrdata.mdb in the data folder, newest first"),
     QLatin1StringView("Each line gives the time the backup was made, its size, its number of clients\n"
                       "and its file. Runs that write copy zrdata.mdb beside itself first, to\n"
                       "zrdata-YYYYMMDD-HHMMSS.mdb.bak; the five newest copies are kept. With --csv\n"
                       "the columns are made,size_bytes,clients,backup,note: the size in bytes, and\n"
                       "as note why the clients could not be counted, where they could not.")},
    {Command::Restore, QLatin1StringView("restore"), QLatin1StringView("BACKUP"),
     QLatin1StringView("restore needs one backup file"), &Invocation::backupFile, DataFolder,
     QLatin1StringView("puts a backup of zrdata.mdb back in its place"),
     QLatin1StringView("BACKUP is a file that the backups command lists, by its path or its name in the\n"
                       "data folder. It is checked whole (PRAGMA integrity_check) before anything is\n"
                       "touched. The restore is refused while another program has zrdata.mdb open:\n"
                       "close the Orvella invoicing system first. The current database is backed up\n"
                       "first, as by every run that writes; then the backup's rows take its place, and\n"
                       "no zrdata.mdb-wal or zrdata.mdb-shm is left beside it. The backup itself stays\n"
                       "as it is.")},
    {Command::CreateDatabase, QLatin1StringView("create-database"), QLatin1StringView("DIR"),
     QLatin1StringView("create-database needs one folder"), &Invocation::folder, 0,
     QLatin1StringView("creates a new, empty zrdata.mdb in DIR"), QLatin1StringView()},
}};

constexpr int SummaryColumn = 17;

const CommandEntry* findCommand(const QString& name)
{
    for (const CommandEntry& entry : Commands)
        if (entry.name == name)
            return &entry;
    return nullptr;
}

QString option(const OptionEntry& entry)
{
    return QStringLiteral("--") + entry.name;
}

// "brevik-import import EXPORT_FILE [--data-folder DIR] ..."
QString synopsis(const CommandEntry& entry)
{
    QString line = QStringLiteral("brevik-import ") + entry.name;
    if (!entry.argument.isEmpty())
        line += u' ' + entry.argument;
    for (std::size_t i = 0; i < Options.size(); ++i) {
        if (!(entry.options & (1u << i)))
            continue;
        if (Options[i].valueName.isEmpty())
            line += QStringLiteral(" [%1]").arg(option(Options[i]));
        else
            line += QStringLiteral(" [%1 %2]").arg(option(Options[i]), Options[i].valueName);
    }
    return line;
}

// A description broken into lines of at most 80 columns, the later ones indented to the column.
QString wrapped(const QString& text, qsizetype column)
{
    constexpr qsizetype Width = 80;
    QString result;
    qsizetype lineLength = column;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (lineLength > column && lineLength + 1 + word.size() > Width) {
            result += u'\n' + QString(column, u' ');
            lineLength = column;
        } else if (lineLength > column) {
            result += u' ';
            ++lineLength;
        }
        result += word;
        lineLength += word.size();
    }
    return result;
}

QString indented(QLatin1StringView text, int column)
{
    return QString(text).replace(u'\n', u'\n' + QString(column, u' '));
}

// The help of one command: how to call it, what it does and what each option means.
QString commandHelp(const CommandEntry& entry)
{
    QString text = QStringLiteral("Usage: %1\n\n").arg(synopsis(entry));
    QString summary = QString(entry.summary).replace(u'\n', u' ');
    summary[0] = summary[0].toUpper();
    text += wrapped(summary + u'.', 0) + u'\n';
    if (!entry.details.isEmpty())
        text += u'\n' + QString(entry.details) + u'\n';
    text += QStringLiteral("\nOptions:\n");
    QStringList names;
    QStringList descriptions;
    for (std::size_t i = 0; i < Options.size(); ++i) {
        if (!(entry.options & (1u << i)))
            continue;
        names << (Options[i].valueName.isEmpty()
                      ? option(Options[i])
                      : QStringLiteral("%1 %2").arg(option(Options[i]), Options[i].valueName));
        descriptions << QString(Options[i].description);
    }
    names << QStringLiteral("-h, --help");
    descriptions << QStringLiteral("Shows this help.");
    qsizetype width = 0;
    for (const QString& name : names)
        width = std::max(width, name.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        text += QStringLiteral("  %1  %2\n")
                    .arg(names.at(i).leftJustified(width), wrapped(descriptions.at(i), width + 4));
    text += QStringLiteral("\nAn option's value follows it after a blank or '='; \"--\" ends the options.\n");
    if (entry.argumentSlot == &Invocation::exportFile)
        text += QStringLiteral("An EXPORT_FILE of \"-\" is read from standard input.\n");
    return text;
}

// Whether the argument names an option of the command that takes a value.
bool takesValue(const CommandEntry& entry, const QString& argument)
{
    for (std::size_t i = 0; i < Options.size(); ++i)
        if ((entry.options & (1u << i)) && !Options[i].valueName.isEmpty() && argument == option(Options[i]))
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
    for (const CommandEntry& entry : Commands)
        text += QStringLiteral("  ") + synopsis(entry) + u'\n';
    text += QStringLiteral("  brevik-import help [COMMAND]\n"
                           "  brevik-import COMMAND --help\n"
                           "  brevik-import --help\n"
                           "  brevik-import --version\n\n"
                           "An option's value follows it after a blank or '='; \"--\" ends the options.\n"
                           "An EXPORT_FILE of \"-\" is read from standard input.\n\n");
    for (const CommandEntry& entry : Commands)
        text +=
            QString(entry.name).leftJustified(SummaryColumn) + indented(entry.summary, SummaryColumn) + u'\n';
    text += QStringLiteral(
                "\n"
                "Folders not given come from zrQBck.dat, the version value from QBvers.Dat (else \"0\").\n"
                "Both files lie in the tool's folder when it can be written. Otherwise they are written in\n"
                "  %1\n"
                "and read from there; a file without a copy there is read from the tool's folder.\n"
                "\n"
                "Messages go to standard error, one line each, after \"brevik-import: \"; the last line\n"
                "on standard output sums up the run. On a terminal, a line on standard error shows the\n"
                "progress of strip, import and plan.\n"
                "\n"
                "Exit status: 0 the run completed; 1 it could not run, or it stopped; 2 a usage error;\n"
                "3 the run completed, but the database refused (in a plan: would refuse) a customer;\n"
                "130, 143 or 129 Ctrl-C, SIGTERM or SIGHUP ended the run after the customer being\n"
                "written.\n")
                .arg(displayPath(userSettingsFolder()));
    return text;
}

QString usageErrorText(const QString& error)
{
    return QStringLiteral("brevik-import: %1\nTry 'brevik-import --help' for more information.\n").arg(error);
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
    if (verb == u"--help" || verb == u"-h" || (verb == u"help" && arguments.size() == 1)) {
        inv.command = Command::Help;
        inv.helpText = usageText();
        result.invocation = inv;
        return result;
    }
    if (verb == u"help") {
        const CommandEntry* entry = findCommand(arguments.at(1));
        if (arguments.size() > 2)
            result.error = QStringLiteral("help takes one command");
        else if (!entry && arguments.at(1) != u"help")
            result.error = QStringLiteral("unknown command: %1").arg(arguments.at(1));
        if (!result.error.isEmpty())
            return result;
        inv.command = Command::Help;
        inv.helpText = entry ? commandHelp(*entry) : usageText();
        result.invocation = inv;
        return result;
    }
    if (verb == u"--version") {
        inv.command = Command::Version;
        result.invocation = inv;
        return result;
    }
    const CommandEntry* entry = findCommand(verb);
    if (!entry) {
        result.error = verb.startsWith(u'-') && verb.size() > 1
                           ? QStringLiteral("unknown option %1").arg(verb)
                           : QStringLiteral("unknown command: %1").arg(verb);
        return result;
    }
    inv.command = entry->command;

    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    parser.addOption(help);
    std::array<std::optional<QCommandLineOption>, Options.size()> taken;
    for (std::size_t i = 0; i < Options.size(); ++i) {
        if (!(entry->options & (1u << i)))
            continue;
        if (Options[i].valueName.isEmpty())
            taken[i].emplace(QString(Options[i].name), QString(Options[i].description));
        else
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
        else if (const QString& last = arguments.last(); takesValue(*entry, last))
            result.error = QStringLiteral("%1 needs a value").arg(last); // the only place a value can lack
        else
            result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help)) {
        inv.command = Command::Help;
        inv.helpText = commandHelp(*entry);
        result.invocation = inv;
        return result;
    }
    for (std::size_t i = 0; i < Options.size(); ++i) {
        if (!taken[i] || !parser.isSet(*taken[i]))
            continue;
        if (Options[i].flag) {
            if (arguments.count(option(Options[i])) > 1) {
                result.error = QStringLiteral("%1 is given more than once").arg(option(Options[i]));
                return result;
            }
            inv.*(Options[i].flag) = true;
            continue;
        }
        const QStringList values = parser.values(*taken[i]);
        if (values.size() > 1) {
            result.error = QStringLiteral("%1 is given more than once").arg(option(Options[i]));
            return result;
        }
        // A script whose variable is unset must not fall back to the folders of zrQBck.dat.
        if (Options[i].refuseEmpty && values.first().isEmpty()) {
            result.error =
                QStringLiteral("%1 is given an empty %2").arg(option(Options[i]), Options[i].emptyWhat);
            return result;
        }
        if (Options[i].refuseEmpty && values.first() == StandardInputFile) {
            result.error = QStringLiteral("%1 cannot be \"-\": only the export file can be standard input")
                               .arg(option(Options[i]));
            return result;
        }
        inv.*(Options[i].slot) = values.first();
    }

    const QStringList positional = parser.positionalArguments();
    const qsizetype wanted = entry->argument.isEmpty() ? 0 : 1;
    if (positional.size() != wanted) {
        result.error = entry->argumentMissing;
        return result;
    }
    // As with the folder options, an empty folder would mean the root of the disk.
    if (entry->argumentSlot == &Invocation::folder && positional.first().isEmpty()) {
        result.error = QStringLiteral("%1 is given an empty folder").arg(verb);
        return result;
    }
    if (entry->argumentSlot == &Invocation::backupFile && positional.first().isEmpty()) {
        result.error = QStringLiteral("%1 is given an empty file name").arg(verb);
        return result;
    }
    if (entry->argumentSlot && entry->argumentSlot != &Invocation::exportFile &&
        positional.first() == StandardInputFile) {
        result.error =
            QStringLiteral("%1 cannot take \"-\": only the export file can be standard input").arg(verb);
        return result;
    }
    if (entry->argumentSlot)
        inv.*(entry->argumentSlot) = positional.first();
    result.invocation = inv;
    return result;
}

} // namespace brevik::tool
