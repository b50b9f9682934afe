#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace brevik::bench {

// A reproducible stream of numbers (splitmix64): the same export on every platform and compiler.
class Random
{
public:
    explicit Random(quint64 seed)
        : m_state(seed)
    {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number from 0 to bound - 1.
    int bounded(int bound) { return int(next() % quint64(bound)); }
    // True in percent out of a hundred cases.
    bool chance(int percent) { return bounded(100) < percent; }

private:
    quint64 m_state;
};

// Customer rows as a modern Windows QuickBooks writes them (the "!CUST" layout with NOTE, so
// CONT1 is field 20 and TAXABLE field 24), with a realistic mix: companies, people written
// "Last, First", names over 40 characters, second address lines, every shape of telephone,
// contacts, tax marks, a few names given twice and a few rows without a billing name.
// Names are unique by construction apart from the deliberate repeats.
class CustomerRows
{
public:
    explicit CustomerRows(quint64 seed)
        : m_random(seed)
    {}

    // The rows in front of the customers, each ended with CR LF.
    [[nodiscard]] static QByteArray header();
    // Appends the next customer row and its CR LF.
    void appendNext(QByteArray& out);

private:
    QByteArray name();
    QByteArray phone();
    QByteArray cityLine();
    QByteArray street();
    QByteArray person();

    Random m_random;
    qint64 m_row = 0;
    qint64 m_companies = 0;
    qint64 m_people = 0;
    qint64 m_longNames = 0;
    std::array<QByteArray, 64> m_recent; // names given recently, for the repeats
};

// Writes an export of this many customers; false with the reason when the file cannot be written.
[[nodiscard]] bool writeExport(const QString& path, qint64 customers, quint64 seed, QString& error);
// Writes an export of at least this many bytes; the number of customer rows it holds in customers.
[[nodiscard]] bool writeExportOfSize(const QString& path, qint64 bytes, quint64 seed, qint64& customers,
                                     QString& error);

} // namespace brevik::bench
