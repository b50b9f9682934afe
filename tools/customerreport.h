#pragma once

#include "import/writer/customerlist.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdio>

namespace brevik::tool {

// The customers in aligned columns for a terminal, a header first. The columns are as wide as
// their widest text, known only once the last customer is in, so every line is kept until then:
// as UTF-8 in one buffer, each field ended by a NUL (which no field holds: the texts from the
// export and the database have their control characters as marks). That costs about the bytes
// of the line, where a record or a string per field costs several times as much on a list of a
// million customers.
class CustomerColumns
{
public:
    explicit CustomerColumns(Tense tense);

    void add(const CustomerRecord& record);
    [[nodiscard]] bool hasCustomers() const { return m_lines > 1; }
    // Writes the columns to the stream in the local 8-bit encoding, some thousand lines at a time.
    void print(std::FILE* stream) const;

private:
    static constexpr std::size_t Fields = 5; // row, name, action, client, notes

    void addLine(const std::array<QString, Fields>& fields);

    Tense m_tense;
    QByteArray m_bytes;
    qsizetype m_lines = 0;
    std::array<qsizetype, Fields> m_widths{};
};

} // namespace brevik::tool
