#include "commandline.h"

#include "import/paths.h"
#include "settings/programfolder.h"

namespace brevik::tool {

QString usageText()
{
    return QStringLiteral(
               "Usage:\n"
               "  brevik-import extract EXPORT_FILE [--quickbooks-folder DIR]\n"
               "  brevik-import strip [--data-folder DIR] [--quickbooks-folder DIR] [--qb-version VALUE]\n"
               "  brevik-import import EXPORT_FILE [--data-folder DIR] [--quickbooks-folder DIR] "
               "[--qb-version "
               "VALUE]\n"
               "  brevik-import create-database DIR\n"
               "  brevik-import --help\n"
               "\n"
               "extract          copies the customer rows of a QuickBooks export into QBCUST.TXT in the\n"
               "                 QuickBooks folder, as START does\n"
               "strip            imports QBCUST.TXT of the QuickBooks folder into zrdata.mdb of the data\n"
               "                 folder, as STRIP does\n"
               "import           extract, then strip\n"
               "create-database  creates a new, empty zrdata.mdb in DIR\n"
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
        result.invocation = inv;
        return result;
    }
    if (verb == u"extract")
        inv.command = Command::Extract;
    else if (verb == u"strip")
        inv.command = Command::Strip;
    else if (verb == u"import")
        inv.command = Command::Import;
    else if (verb == u"create-database")
        inv.command = Command::CreateDatabase;
    else {
        result.error = QStringLiteral("unknown command: %1").arg(verb);
        return result;
    }

    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        auto takeValue = [&](std::optional<QString>& slot) -> bool {
            if (i + 1 >= arguments.size()) {
                result.error = QStringLiteral("%1 needs a value").arg(arg);
                return false;
            }
            slot = arguments.at(++i);
            return true;
        };
        if (arg == u"--help" || arg == u"-h") {
            inv.command = Command::Help;
            result.invocation = inv;
            return result;
        }
        if (arg == u"--data-folder" && inv.command != Command::Extract &&
            inv.command != Command::CreateDatabase) {
            if (!takeValue(inv.dataFolder))
                return result;
        } else if (arg == u"--quickbooks-folder" && inv.command != Command::CreateDatabase) {
            if (!takeValue(inv.quickBooksFolder))
                return result;
        } else if (arg == u"--qb-version" &&
                   (inv.command == Command::Strip || inv.command == Command::Import)) {
            if (!takeValue(inv.qbVersion))
                return result;
        } else if (arg.startsWith(u"--")) {
            result.error = QStringLiteral("unknown option for %1: %2").arg(verb, arg);
            return result;
        } else {
            positional.append(arg);
        }
    }

    const qsizetype wanted = inv.command == Command::Strip ? 0 : 1;
    if (positional.size() != wanted) {
        result.error = wanted == 0 ? QStringLiteral("%1 takes no file name").arg(verb)
                       : inv.command == Command::CreateDatabase
                           ? QStringLiteral("create-database needs one folder")
                           : QStringLiteral("%1 needs one export file").arg(verb);
        return result;
    }
    if (inv.command == Command::CreateDatabase)
        inv.folder = positional.value(0);
    else if (wanted == 1)
        inv.exportFile = positional.value(0);
    result.invocation = inv;
    return result;
}

} // namespace brevik::tool
