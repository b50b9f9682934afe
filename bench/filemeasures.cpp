#include "filemeasures.h"

#include "childprocess.h"
#include "exportgenerator.h"

#include "import/export/extraction.h"
#include "import/paths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace brevik::bench {
namespace {

double plainCopy(const QString& from, const QString& to)
{
    QFile::remove(to);
    QElapsedTimer timer;
    timer.start();
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return -1;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 got; (got = in.read(chunk.data(), chunk.size())) > 0;) {
        if (out.write(chunk.constData(), got) != got)
            return -1;
    }
    out.close();
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

std::optional<GeneratedExport> generate(const QString& path, qint64 customers, qint64 bytes, quint64 seed)
{
    GeneratedExport result;
    const ChildRun run = runInChild<GeneratedExport>(result, [&](GeneratedExport& out) {
        QString error;
        const bool written = customers > 0 ? writeExport(path, customers, seed, error)
                                           : writeExportOfSize(path, bytes, seed, out.customers, error);
        if (customers > 0)
            out.customers = customers;
        out.bytes = QFile(path).size();
        out.ok = written ? 1 : 0;
        copyText(out.error, sizeof out.error, error);
    });
    if (!run.ok || !result.ok) {
        std::fprintf(stderr, "brevik_bench: cannot write %s: %s\n", qPrintable(path), result.error);
        return std::nullopt;
    }
    return result;
}

// ---- Extraction against a plain read and write of the same file -------------------------

std::optional<ExtractionFigures> measureExtraction(const QString& exportFile, const QString& folder)
{
    ExtractionFigures result;
    const ChildRun run = runInChild<ExtractionFigures>(result, [&](ExtractionFigures& out) {
        QDir().mkpath(folder);
        const QString copy = joinFolderAndFile(folder, QStringLiteral("copy.iif"));
        out.plainSeconds = 1e9;
        out.extractSeconds = 1e9;
        // The databases of the runs before are still being written back to the disk; that
        // writing would slow whichever side happens to meet it, so it finishes first.
        ::sync();
        // Alternating rounds; the best of each, so that a passing disturbance does not count.
        for (int round = 0; round < 5; ++round) {
            const double plain = plainCopy(exportFile, copy);
            if (plain < 0)
                return;
            out.plainSeconds = std::min(out.plainSeconds, plain);
            QElapsedTimer timer;
            timer.start();
            const ExtractionResult extraction = extractCustomerRows(exportFile, folder);
            out.extractSeconds = std::min(out.extractSeconds, double(timer.nsecsElapsed()) / 1e9);
            if (!extraction.succeeded())
                return;
            out.rows = extraction.rowsCopied;
        }
        QFile::remove(copy);
        QFile::remove(customerFileIn(folder));
        out.ok = 1;
    });
    if (!run.ok || !result.ok) {
        std::fprintf(stderr, "brevik_bench: the extraction measurement failed\n");
        return std::nullopt;
    }
    return result;
}

// ---- The window's progress updates during STRIP ------------------------------------------

std::optional<ProgressFigures> measureWindowProgress(const QString& exportFile, const QString& folder,
                                                     const QString& programFolder)
{
    QDir().mkpath(folder);
    QProcess child;
    child.start(programFolder + QStringLiteral("/bench_stripwindow"),
                {exportFile, folder, QStringLiteral("3")});
    if (!child.waitForFinished(600'000) || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_stripwindow failed: %s\n", child.readAllStandardError().constData());
        return std::nullopt;
    }
    const QString line = QString::fromLatin1(child.readAllStandardOutput()).trimmed();
    ProgressFigures figures;
    for (const QString& item : line.split(u' ')) {
        if (item.startsWith(u"share="))
            figures.share = item.mid(6).toDouble();
        else if (item.startsWith(u"updates_per_second="))
            figures.updatesPerSecond = item.mid(19).toDouble();
    }
    return figures;
}

} // namespace brevik::bench
