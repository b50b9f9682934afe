// The row scan with its field rules and the city-line split over arbitrary rows and settings,
// and the test for a job's row, against the rules written out plainly. Byte 1 picks the
// version value ("0", "1", "2" or the next bytes up to a NUL), bytes 2 and 3 the contact and
// tax columns (-64 to 191), bytes 4 to 10 the other columns (-2 to 29, so that they often
// meet); the rest is the row in Windows-1252.

#include "fuzzcheck.h"

#include "rules/plainscan.h"

#include "import/export/cp1252.h"
#include "import/rules/rowscan.h"

namespace {

using namespace brevik;

QString versionValue(unsigned char pick, QByteArrayView& rest)
{
    switch (pick % 4) {
    case 0:
        return QStringLiteral("0");
    case 1:
        return QStringLiteral("1");
    case 2:
        return QStringLiteral("2");
    default: {
        qsizetype end = rest.indexOf('\0');
        if (end < 0)
            end = std::min<qsizetype>(rest.size(), 4);
        const QString value = fromCp1252(rest.data(), end);
        rest = rest.sliced(std::min(end + 1, rest.size()));
        return value;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    constexpr std::size_t Settings = 10;
    if (size < Settings)
        return 0;
    QByteArrayView rest(reinterpret_cast<const char*>(data) + Settings, qsizetype(size - Settings));
    const QString gOpt = versionValue(data[0], rest);
    const auto near = [data](int at) {
        return int(data[at]) % 32 - 2;
    };
    const ExportColumns columns{.fullNameField = near(3),
                                .nameField = near(4),
                                .address1Field = near(5),
                                .address2Field = near(6),
                                .address2MoreField = near(7),
                                .lastAddressField = near(8),
                                .phoneField = near(9),
                                .contactField = int(data[1]) - 64,
                                .taxField = int(data[2]) - 64};
    const QString row = fromCp1252(rest.data(), rest.size());

    // Fields that kept text from an earlier row, cleared as the import run clears them.
    CustomerFields fast;
    for (QString& field : fast)
        field = QStringLiteral("left over from the row before");
    for (QString& field : fast)
        field.truncate(0);
    const bool fastNamed = scanRow(row, {gOpt, columns}, fast);
    CustomerFields plain;
    const bool plainNamed = testing::PlainScan(gOpt, columns).scan(row, plain);
    FUZZ_CHECK(fastNamed == plainNamed);
    FUZZ_CHECK(fast == plain);
    FUZZ_CHECK(fast[FieldCreditLimit].isEmpty() && fast[FieldAddress3].isEmpty());
    FUZZ_CHECK(fast[FieldTax].isEmpty() || fast[FieldTax] == u"1" || fast[FieldTax] == u"0");
    FUZZ_CHECK(isJobRow(row, columns) == testing::PlainScan::isJob(row, columns));

    // The city line on its own: city, state and zip are pieces of the line.
    CustomerFields split;
    splitCityLine(row, split);
    if (!row.contains(u',')) {
        FUZZ_CHECK(split == CustomerFields());
    } else {
        FUZZ_CHECK(row.startsWith(split[FieldCity]));
        FUZZ_CHECK(row.contains(split[FieldState]));
        FUZZ_CHECK(row.endsWith(split[FieldZip]));
    }
    return 0;
}
