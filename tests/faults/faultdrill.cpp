// Drills that prove an import never costs the operator a row: killed at random moments, run
// while another program writes, stopped by a lock held beyond the busy timeout, run beside
// another import that shares its QuickBooks folder.
//
//   faultdrill kill       --tool BREVIK_IMPORT [--customers N] [--kills N] [--seed N]
//   faultdrill concurrent --tool BREVIK_IMPORT [--customers N] [--runs N] [--patient]
//   faultdrill locked     --tool BREVIK_IMPORT [--customers N]
//   faultdrill race       --tool BREVIK_IMPORT [--customers N] [--runs N] [--seed N]
//
// Each prints a line per step and a last line with its figure; exit status 0 when nothing was
// lost or half written.

#include "drillrun.h"
#include "otherprogram.h"

#include <QCommandLineParser>
#include <QCoreApplication>

using namespace brevik::drill;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("drill"), QStringLiteral("kill, concurrent, locked or race"));
    const QCommandLineOption tool(QStringLiteral("tool"), QStringLiteral("brevik-import"),
                                  QStringLiteral("path"));
    const QCommandLineOption customers(QStringLiteral("customers"), QStringLiteral("customers"),
                                       QStringLiteral("n"));
    const QCommandLineOption kills(QStringLiteral("kills"), QStringLiteral("kills"), QStringLiteral("n"));
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("runs"), QStringLiteral("n"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("random seed"), QStringLiteral("n"));
    const QCommandLineOption database(QStringLiteral("database"), QStringLiteral("zrdata.mdb"),
                                      QStringLiteral("path"));
    const QCommandLineOption stopFile(QStringLiteral("stop-file"), QStringLiteral("stop file"),
                                      QStringLiteral("path"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("log file"), QStringLiteral("path"));
    const QCommandLineOption patient(QStringLiteral("patient"),
                                     QStringLiteral("the other program waits through SQLite's busy handler"));
    const QCommandLineOption hold(QStringLiteral("long-hold-ms"), QStringLiteral("lock held"),
                                  QStringLiteral("ms"));
    parser.addOptions({tool, customers, kills, runs, seed, database, stopFile, log, hold, patient});
    parser.process(app);

    const QString drill = parser.positionalArguments().value(0);
    if (drill == u"other-program")
        return runOtherProgram({parser.value(database), parser.value(stopFile), parser.value(log),
                                parser.value(hold).toInt(), parser.isSet(patient)});

    Options options;
    options.tool = parser.value(tool);
    if (parser.isSet(customers))
        options.customers = parser.value(customers).toInt();
    options.seed = parser.value(seed).toUInt();
    options.patient = parser.isSet(patient);
    if (drill == u"kill") {
        options.count = parser.isSet(kills) ? parser.value(kills).toInt() : 20;
        return killDrill(options);
    }
    if (drill == u"concurrent") {
        options.count = parser.isSet(runs) ? parser.value(runs).toInt() : 5;
        return concurrentDrill(options);
    }
    if (drill == u"locked") {
        // Long enough for the import to leave the database free for a moment during it, which
        // it does every two seconds.
        if (!parser.isSet(customers))
            options.customers = 150000;
        return lockedDrill(options);
    }
    if (drill == u"race") {
        options.count = parser.isSet(runs) ? parser.value(runs).toInt() : 20;
        return raceDrill(options);
    }
    std::fputs(qPrintable(parser.helpText()), stderr);
    return 2;
}
