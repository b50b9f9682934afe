// Times the extraction of a large export against a plain read and write of the same file.
// Usage: bench_extraction [MEGABYTES]   (100 unless given)

#include "import/extraction.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QByteArray exportOf(qsizetype megabytes)
{
    // A customer list as QuickBooks writes it: mostly CUST rows, some headers and name lists.
    const QByteArray customer =
        "CUST\t\"Bayshore Water\"\t12\t0\t\"Bayshore Water\"\t\"Bayshore Water\"\t\"Bayshore, CA  "
        "94482\"\t\t\t"
        "\t\t\t\t\t415-555-0110\t\t\t\tTerry Lane\t\t\tResidential\tY\tNet 30\t1000.00\t\t\t\t\r\n";
    const QByteArray other = "CUSTNAMEDICT\t1\tDUE\t\t\t\t\t\tN\r\n";
    QByteArray data = "!HDR\tPROD\tVER\r\n!CUST\tNAME\tREFNUM\tTIMESTAMP\r\n";
    data.reserve(megabytes << 20);
    for (int i = 0; data.size() < (megabytes << 20); ++i)
        data += (i % 20 == 19) ? other : customer;
    return data;
}

double plainCopy(const QString& from, const QString& to)
{
    QElapsedTimer timer;
    timer.start();
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return -1;
    QByteArray chunk(1 << 20, Qt::Uninitialized);
    for (qint64 got; (got = in.read(chunk.data(), chunk.size())) > 0;)
        out.write(chunk.constData(), got);
    out.close();
    return static_cast<double>(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? QByteArray(argv[1]).toInt() : 100;
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("export.iif"));
    QFile file(source);
    if (!file.open(QIODevice::WriteOnly) || file.write(exportOf(megabytes)) < 0)
        return 1;
    file.close();

    double plain = 1e9;
    double extract = 1e9;
    qsizetype rows = 0;
    for (int round = 0; round < 3; ++round) {
        plain = std::min(plain, plainCopy(source, dir.filePath(QStringLiteral("copy.iif"))));
        QElapsedTimer timer;
        timer.start();
        const auto result = brevik::extractCustomerRows(source, dir.path());
        extract = std::min(extract, static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (!result.succeeded())
            return 1;
        rows = result.rowsCopied;
    }
    std::printf("%lld MB, %lld customer rows: plain read and write %.3f s, extraction %.3f s, "
                "relative speed %.2f\n",
                static_cast<long long>(megabytes), static_cast<long long>(rows), plain, extract,
                plain / extract);
    return 0;
}
