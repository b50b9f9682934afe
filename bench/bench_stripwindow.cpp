// The main window's share of a STRIP run: the same export is imported by the core alone and by
// the window (its progress bar, list and fields kept up to date as the run goes), in
// alternating rounds on fresh databases, and the processor times are compared. Run by
// brevik_bench; prints one line: "progress share=S updates_per_second=U core_cpu=C window_cpu=W".
#include "app/frmbrevik.h"
#include "import/export/extraction.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "import/writer/clientwriter.h"
#include "import/writer/schema.h"
#include "import/writer/striprun.h"
#include "platform/messagebox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProgressBar>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace brevik;

namespace {

struct Folders
{
    QString data;
    QString quickBooks;
};

Folders freshFolders(const QString& root, const QString& name)
{
    QDir(root).mkpath(name + QStringLiteral("/data"));
    QDir(root).mkpath(name + QStringLiteral("/qb"));
    const Folders f{root + u'/' + name + QStringLiteral("/data"), root + u'/' + name + QStringLiteral("/qb")};
    (void)db::createDatabase(databaseIn(f.data));
    return f;
}

double cpuSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Counts the paints of the progress bar: one per screen update of the run.
class PaintCounter final : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_stripwindow EXPORT_FILE WORK_FOLDER [ROUNDS]\n");
        return 2;
    }
    const QString exportFile = args.at(1);
    const QString root = args.at(2);
    const int rounds = args.size() > 3 ? std::max(1, args.at(3).toInt()) : 5;
    CapturingReporter messages;
    ui::setOperatorMessages(&messages);

    std::vector<double> core;
    std::vector<double> window;
    double updatesPerSecond = 0;
    for (int round = 0; round < rounds; ++round) {
        {
            const Folders f = freshFolders(root, QStringLiteral("core-%1").arg(round));
            const ExtractionResult extracted = extractCustomerRows(exportFile, f.quickBooks);
            WindowValues values;
            values.txtHold1 = values.gM = f.data;
            values.txtHold2 = values.gQ = f.quickBooks;
            values.gOpt = QStringLiteral("1");
            const double start = cpuSeconds();
            {
                ClientWriter writer(messages);
                StripRun run(values, writer, messages);
                StripObserver none;
                (void)run.run(extracted.outputPath, extracted.layout, none);
            }
            core.push_back(cpuSeconds() - start);
        }
        {
            const Folders f = freshFolders(root, QStringLiteral("window-%1").arg(round));
            ui::frmBrevik form;
            form.txtHold1->setText(f.data);
            form.txtHold2->setText(f.quickBooks);
            form.show();
            QElapsedTimer waiting;
            waiting.start();
            while (!(form.windowHandle() && form.windowHandle()->isExposed()) && waiting.elapsed() < 5000)
                QApplication::processEvents(QEventLoop::AllEvents, 50);
            form.Form_Activate();
            form.txtCustIIF->setText(exportFile);
            form.cmdStart_Click();
            PaintCounter counter;
            form.pb1->installEventFilter(&counter);
            QApplication::processEvents();
            counter.paints = 0;
            QElapsedTimer wall;
            wall.start();
            const double start = cpuSeconds();
            form.cmdStrip_Click();
            window.push_back(cpuSeconds() - start);
            updatesPerSecond = counter.paints / std::max(1e-3, wall.elapsed() / 1000.0);
        }
    }
    const double coreCpu = median(core);
    const double windowCpu = median(window);
    std::printf("progress share=%.4f updates_per_second=%.1f core_cpu=%.3f window_cpu=%.3f\n",
                std::max(0.0, windowCpu - coreCpu) / windowCpu, updatesPerSecond, coreCpu, windowCpu);
    return messages.messages().isEmpty() ? 0 : 1;
}
