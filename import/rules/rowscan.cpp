#include "rowscan.h"

#include "import/rules/numberreading.h"

#include <QVarLengthArray>

#include <algorithm>

namespace brevik {

namespace {

// Sets a field in its own buffer where it has one, so cleared fields cost no allocation.
void setText(QString& field, QStringView text)
{
    if (field.isDetached()) {
        field.resize(text.size());
        std::copy(text.begin(), text.end(), field.begin());
    } else {
        field = text.toString();
    }
}

using Scratch = QVarLengthArray<QChar, 256>;

// The field's text with its double quotes and NUL characters dropped. A NUL would end the
// text early wherever it is read as a C string, in the database among others.
QStringView withoutDropped(QStringView raw, Scratch& scratch)
{
    scratch.clear();
    for (const QChar c : raw) {
        if (c != u'"' && c != u'\0')
            scratch.append(c);
    }
    return QStringView(scratch.data(), scratch.size());
}

bool beginsWithCust(QStringView text)
{
    return text.size() >= 4 && text[0] == u'C' && text[1] == u'U' && text[2] == u'S' && text[3] == u'T';
}

enum class Next
{
    Field,
    EndOfRow
};

class FieldRules
{
public:
    FieldRules(const ScanSettings& settings, CustomerFields& fields)
        : m_columns(settings.columns)
        , m_takesContactAndTax(settings.gOpt == u"0" || settings.gOpt == u"1")
        , m_fields(fields)
    {}

    [[nodiscard]] bool named() const { return m_named; }
    // Billing lines that could be the city line held text, and none of them a comma.
    [[nodiscard]] bool cityLineWithoutComma() const { return m_lineWithoutComma && !m_citySplit; }

    // hasComma: whether v holds a comma.
    Next apply(qsizetype n, QStringView v, bool hasComma)
    {
        if (m_columns.isCityLineField(n)) {
            m_citySplit = m_citySplit || hasComma;
            m_lineWithoutComma = m_lineWithoutComma || (!hasComma && !v.isEmpty());
        }
        if (n == m_columns.nameField) {
            if (v.isEmpty())
                return Next::EndOfRow;
            setText(m_fields[FieldName], v);
            m_named = true;
        }
        if (n == m_columns.address1Field)
            setText(m_fields[FieldAddress1], v);

        if (!hasComma && n == m_columns.address2Field) {
            setText(m_fields[FieldAddress2], v);
            return Next::Field;
        }
        if (!hasComma && n == m_columns.address2MoreField) {
            QString& address2 = m_fields[FieldAddress2];
            if (!v.isEmpty()) {
                if (address2.isEmpty())
                    setText(address2, v);
                else
                    address2.append(u", ").append(v);
            }
            return Next::Field;
        }
        if (hasComma && m_columns.isCityLineField(n))
            splitCityLine(v, m_fields);
        if (n == m_columns.phoneField)
            setText(m_fields[FieldPhone], v);

        if (m_takesContactAndTax) {
            if (n == m_columns.contactField)
                setText(m_fields[FieldContactName], v);
            if (n == m_columns.taxField) {
                setText(m_fields[FieldTax], v == u"Y" ? QStringView(u"1") : QStringView(u"0"));
                return Next::EndOfRow;
            }
        }
        return Next::Field;
    }

private:
    ExportColumns m_columns;
    bool m_takesContactAndTax;
    CustomerFields& m_fields;
    bool m_named = false;
    bool m_citySplit = false;
    bool m_lineWithoutComma = false;
};

} // namespace

bool scanRow(QStringView row, const ScanSettings& settings, CustomerFields& fields, RowNotes* notes)
{
    FieldRules rules(settings, fields);
    Scratch scratch;
    qsizetype fieldNumber = 0;
    qsizetype fieldStart = 0;
    bool dropping = false; // the field holds a character that is dropped
    bool hasComma = false;
    // One pass over the characters. TAB, '"', ',' and NUL all lie below '-', so most characters
    // cost one comparison. Only text that a TAB closes is a field: what follows the last TAB
    // is never applied.
    for (qsizetype i = 0; i < row.size(); ++i) {
        const char16_t c = row[i].unicode();
        if (c > u',')
            continue;
        if (c == u'"' || c == u'\0') {
            dropping = true;
        } else if (c == u',') {
            hasComma = true;
        } else if (c == u'\t') {
            ++fieldNumber;
            const QStringView raw = row.sliced(fieldStart, i - fieldStart);
            const QStringView text = dropping ? withoutDropped(raw, scratch) : raw;
            if (!beginsWithCust(text) && rules.apply(fieldNumber, text, hasComma) == Next::EndOfRow)
                break;
            fieldStart = i + 1;
            dropping = false;
            hasComma = false;
        }
    }
    if (notes) {
        *notes = {};
        if (fieldNumber == 0)
            *notes |= RowNote::NoTab;
        if (rules.cityLineWithoutComma())
            *notes |= RowNote::CityLineWithoutComma;
    }
    return rules.named();
}

bool isJobRow(QStringView row, const ExportColumns& columns)
{
    if (columns.fullNameField < 1)
        return false;
    qsizetype begin = 0;
    for (int n = 1; n < columns.fullNameField; ++n) {
        begin = row.indexOf(u'\t', begin);
        if (begin < 0)
            return false;
        ++begin;
    }
    const qsizetype end = row.indexOf(u'\t', begin);
    return end >= 0 && row.sliced(begin, end - begin).contains(u':');
}

void splitCityLine(QStringView line, CustomerFields& fields)
{
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0)
        return;
    setText(fields[FieldCity], line.first(comma));

    // The second blank is looked for after the first; without a first blank behind the
    // comma it is looked for from the start of the line, and may then lie in the city.
    const qsizetype blank1 = line.indexOf(u' ', comma + 1);
    const qsizetype blank2 = line.indexOf(u' ', blank1 >= 0 ? blank1 + 1 : 0);

    if (blank1 < 0)
        setText(fields[FieldState], {});
    else if (blank2 < 0)
        setText(fields[FieldState], line.sliced(blank1 + 1));
    else
        setText(fields[FieldState], line.sliced(blank1 + 1, blank2 - blank1 - 1));

    const double tail = leadingNumber(line.last(std::min<qsizetype>(3, line.size()))).value_or(0.0);
    if (tail > 0 && blank2 >= 0)
        setText(fields[FieldZip], line.sliced(blank2 + 1));
    else
        setText(fields[FieldZip], {});
}

} // namespace brevik
