#pragma once

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

namespace brevik::drill {

inline void print(const QString& line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

inline int fail(const QString& why, const QStringList& details = {})
{
    print(QStringLiteral("FAILED: ") + why);
    for (const QString& detail : details)
        print(QStringLiteral("  ") + detail);
    return 1;
}

struct Options
{
    QString tool;
    int customers = 3000;
    int count = 20;
    quint32 seed = 0;
    bool patient = false; // the other program waits through SQLite's busy handler
};

// A data folder with a new zrdata.mdb, a QuickBooks folder and the export, in a folder of its own.
class Workspace
{
public:
    explicit Workspace(const Options& options)
        : m_options(options)
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("data"));
        QDir(m_dir.path()).mkpath(QStringLiteral("qb"));
    }

    [[nodiscard]] bool ready()
    {
        return m_dir.isValid() && run({QStringLiteral("create-database"), data()}).exitCode == 0;
    }
    [[nodiscard]] QString data() const { return m_dir.filePath(QStringLiteral("data")); }
    [[nodiscard]] QString database() const { return m_dir.filePath(QStringLiteral("data/zrdata.mdb")); }
    [[nodiscard]] QString exportFile() const { return m_dir.filePath(QStringLiteral("export.iif")); }
    [[nodiscard]] QString file(const QString& name) const { return m_dir.filePath(name); }

    [[nodiscard]] QStringList importArguments() const
    {
        return {QStringLiteral("import"),
                exportFile(),
                QStringLiteral("--data-folder"),
                data(),
                QStringLiteral("--quickbooks-folder"),
                m_dir.filePath(QStringLiteral("qb")),
                QStringLiteral("--qb-version"),
                QStringLiteral("1")};
    }

    struct Run
    {
        int exitCode = -1;
        bool crashed = false;
        QStringList messages;
    };
    [[nodiscard]] Run run(const QStringList& arguments) const
    {
        QProcess process;
        process.start(m_options.tool, arguments);
        Run result;
        if (!process.waitForFinished(120000)) {
            process.kill();
            process.waitForFinished();
            result.crashed = true;
            return result;
        }
        return finished(process);
    }
    [[nodiscard]] static Run finished(QProcess& process)
    {
        Run result;
        result.crashed = process.exitStatus() != QProcess::NormalExit;
        result.exitCode = process.exitCode();
        result.messages =
            QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        return result;
    }

private:
    const Options& m_options;
    QTemporaryDir m_dir;
};

// How often the import commits (ClientWriter's batch time): a drill's run must span several
// commits, or kills and the other program never meet a run between two of them.
inline constexpr qint64 CommitIntervalMs = 250;

// The customers of one run, doubled from options.customers until a whole import of them into
// a new database takes at least minMs here, whatever the build and the machine.
struct Calibration
{
    int customers = 0;
    qint64 runMs = 0;
    QStringList failure; // why no run completed, when none did
};
[[nodiscard]] Calibration calibrate(const Options& options, qint64 minMs);

int killDrill(const Options& options);
int concurrentDrill(const Options& options);
int lockedDrill(const Options& options);

} // namespace brevik::drill
