#pragma once

#include "import/engine/status.h"

#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

namespace brevik {

namespace db {
class Recordset;
class Statement;
} // namespace db

// The client numbers of CLIENT, as the allocation reads them: the highest number, and the
// rows whose number cannot be read. They are read from the table once and then kept, as long
// as only this writer changes the table; the caller drops them when another program has
// written. The rows that cannot be read are reported again at every allocation, in table
// order, just as a scan of the table would report them.
class ClientNumbers
{
public:
    [[nodiscard]] bool isValid() const { return m_valid; }
    void invalidate() { m_valid = false; }

    // Reads the ClientID of every row of the table.
    [[nodiscard]] db::Status refresh(db::Recordset& clients);

    // One more than the highest number, with zeros in front up to six digits; "000100" when
    // no row holds a positive number. None when that number would lie past the 32-bit range in
    // which numbers are read: it could never be read back, so it would be given again.
    [[nodiscard]] std::optional<QString> next() const;

    // The error number of each row whose number cannot be read, in table order: 94 for a
    // null number, 6 for a number outside the 32-bit range.
    [[nodiscard]] const std::vector<int>& rowErrors() const { return m_rowErrors; }

    // A client was stored with this number, as the last row of the table.
    void noteStored(const QString& number);

    // The highest client number that can be read back.
    static constexpr qint64 Largest = 2147483647;

    // How one stored ClientID reads: its number, or the error number.
    struct Reading
    {
        qint64 number = 0;
        int error = 0;
    };
    [[nodiscard]] static Reading read(const QVariant& clientId);
    // The same reading straight from column 1 of a scanned row.
    [[nodiscard]] static Reading read(const db::Statement& row);
    [[nodiscard]] static QString format(qint64 highest);

private:
    void take(Reading reading);

    bool m_valid = false;
    qint64 m_highest = 0;
    std::vector<int> m_rowErrors;
};

} // namespace brevik
