#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <utility>

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

// The rows of an RFC 4180 text, each cut into its fields; a text that breaks the format
// (a quote inside an unquoted field, a quoted field left open, a bare line end) gives nothing.
inline QList<QStringList> csvRows(const QByteArray& bytes)
{
    const QString text = QString::fromUtf8(bytes);
    QList<QStringList> rows;
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"')
                field += text.at(++i);
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"' && field.isEmpty()) {
            quoted = true;
        } else if (c == u',') {
            fields << std::exchange(field, QString());
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            ++i;
            rows << (fields << std::exchange(field, QString()));
            fields.clear();
        } else if (c == u'"' || c == u'\r' || c == u'\n') {
            return {};
        } else {
            field += c;
        }
    }
    if (quoted || !field.isEmpty() || !fields.isEmpty())
        return {};
    return rows;
}

} // namespace brevik::testing
