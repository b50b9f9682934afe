// The telephone rule in both variants, the reading of numbers, the rounding into 32 bits and
// the name and state cuts, over arbitrary text (Windows-1252, or UTF-16 when the first byte is
// odd), checked for the properties each rule promises.

#include "fuzzcheck.h"

#include "import/export/cp1252.h"
#include "import/rules/fieldrules.h"
#include "import/rules/numberreading.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using namespace brevik;

QString textOf(const unsigned char* data, std::size_t size)
{
    if (size == 0)
        return {};
    const unsigned char* bytes = data + 1;
    const qsizetype length = qsizetype(size - 1);
    if (data[0] % 2 == 0)
        return fromCp1252(reinterpret_cast<const char*>(bytes), length);
    QString text(length / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    return text;
}

void checkPhone(const QString& phone)
{
    QString withoutBlanks = phone;
    withoutBlanks.remove(u' ');
    for (const PhoneVariant variant : {PhoneVariant::Insert, PhoneVariant::Update}) {
        const QString normalised = normalisePhone(phone, variant);
        FUZZ_CHECK(!normalised.contains(u' '));
        FUZZ_CHECK(normalised.size() <= phone.size());
        if (phone.size() <= PhoneLimit)
            FUZZ_CHECK(normalised == withoutBlanks);
        if (variant == PhoneVariant::Update)
            FUZZ_CHECK(normalised.size() <= PhoneLimit);
        FUZZ_CHECK(clientPhone(normalised).size() <= PhoneLimit);
    }
}

void checkRounding(double value)
{
    const std::optional<qint32> whole = roundToInt32(value);
    if (std::isnan(value)) {
        FUZZ_CHECK(!whole);
        return;
    }
    const double lowest = double(std::numeric_limits<qint32>::min()) - 0.5;
    const double highest = double(std::numeric_limits<qint32>::max()) + 0.5;
    if (value > lowest && value < highest)
        FUZZ_CHECK(whole.has_value());
    if (value < lowest || value > highest)
        FUZZ_CHECK(!whole.has_value());
    if (!whole)
        return;
    const double distance = std::fabs(double(*whole) - value);
    FUZZ_CHECK(distance <= 0.5);
    if (distance == 0.5)
        FUZZ_CHECK(*whole % 2 == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    const QString text = textOf(data, size);
    checkPhone(text);

    const std::optional<double> number = leadingNumber(text);
    if (number) {
        FUZZ_CHECK(!std::isnan(*number));
        checkRounding(*number);
    }
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkRounding(raw);
    }

    QString name = text;
    applyNameCut(name);
    FUZZ_CHECK(name.size() <= NameLimit && text.startsWith(name));
    FUZZ_CHECK(text.size() > NameLimit || name == text);
    QString state = text;
    applyStateCut(state);
    FUZZ_CHECK(state.size() <= StateLimit && text.startsWith(state));
    FUZZ_CHECK(taxFlag(text) == (text == u"1"));
    return 0;
}
