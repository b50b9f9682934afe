#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace brevik::testing {

// One run of brevik-import: its exit status, standard output and the lines of standard error.
struct ToolRun
{
    int status = -1;
    QString out;
    QStringList errLines;

    [[nodiscard]] QString lastLine() const
    {
        const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
        return lines.isEmpty() ? QString() : lines.last();
    }
};

inline ToolRun runTool(const QStringList& arguments,
                       const QString& program = QStringLiteral(BREVIK_BIN_DIR "/brevik-import"))
{
    QProcess process;
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.errLines = QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
    return run;
}

} // namespace brevik::testing
