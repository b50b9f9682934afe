#include "drill.h"

#include "drillrun.h"
#include "support/sqlitefile.h"
#include "support/testexport.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <array>

namespace brevik::drill {
namespace {

constexpr std::array<const char*, 8> Trades{"Hardware", "Supply Co", "Bakery",    "Outfitters",
                                            "Garage",   "Florist",   "Caf\u00e9", "Print Shop"};

// Quoted names, as QuickBooks writes names with a comma; the quotes are dropped on import.
bool quoted(int index)
{
    return index % 7 == 0;
}

void appendProblems(QStringList& out, const QString& what, const QStringList& found)
{
    if (found.isEmpty())
        return;
    const qsizetype shown = std::min<qsizetype>(found.size(), 3);
    out.append(QStringLiteral("%1 (%2): %3").arg(what).arg(found.size()).arg(found.first(shown).join(u"; ")));
}

} // namespace

QString customerName(int index)
{
    const QString trade = QString::fromUtf8(Trades.at(std::size_t(index) % Trades.size()));
    if (quoted(index))
        return QStringLiteral("%1, %2 %3")
            .arg(trade)
            .arg(index, 5, 10, QLatin1Char('0'))
            .arg(QStringLiteral("Ltd"));
    return QStringLiteral("%1 %2").arg(trade).arg(index, 5, 10, QLatin1Char('0'));
}

QSet<QString> customerNames(int first, int last)
{
    QSet<QString> names;
    for (int i = first; i <= last; ++i)
        names.insert(customerName(i));
    return names;
}

bool writeExport(const QString& path, int first, int last, int round)
{
    testing::TestExport out;
    out.product().header();
    for (int i = first; i <= last; ++i) {
        const QString name = quoted(i) ? u'"' + customerName(i) + u'"' : customerName(i);
        const QByteArray n = QByteArray::number(i);
        const QByteArray r = QByteArray::number(round);
        out.customer({{2, name},
                      {3, n},
                      {4, "1700000000"},
                      {5, name},
                      {6, n + " Main St r" + r},
                      {7, "\"Springfield " + QByteArray::number(i % 50) + ", IL " +
                              QByteArray::number(60000 + i % 5000) + '"'},
                      {10, name},
                      {15, "(217) 555-" + QByteArray::number(1000 + i % 9000)},
                      {18, "c" + n + "@example.com"},
                      {20, "Contact " + n + " r" + r},
                      {24, i % 3 == 0 ? "N" : "Y"},
                      {26, ""}});
    }
    return out.writeTo(path);
}

int roundOf(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(" r(\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QStringList problems(SqliteFile& db, const QSet<QString>& importNames, const QString& otherProgramPrefix)
{
    QStringList out;
    const QString integrity = db.rows(QStringLiteral("PRAGMA integrity_check")).join(u"; ");
    if (integrity != u"ok")
        out.append(QStringLiteral("integrity_check: %1").arg(integrity));

    const auto check = [&](const QString& what, const QString& sql) {
        appendProblems(out, what, db.rows(sql));
    };
    check(QStringLiteral("client number twice"),
          QStringLiteral("SELECT ClientID FROM CLIENT GROUP BY ClientID HAVING COUNT(*) > 1"));
    check(QStringLiteral("name twice"),
          QStringLiteral("SELECT Name FROM CLIENT GROUP BY Name HAVING COUNT(*) > 1"));
    check(QStringLiteral("client without exactly one account"),
          QStringLiteral("SELECT Name FROM CLIENT c WHERE (SELECT COUNT(*) FROM CUSTOMERS a "
                         "WHERE a.AcctNo = c.ClientID) <> 1"));
    check(QStringLiteral("account without exactly one client"),
          QStringLiteral("SELECT AcctName FROM CUSTOMERS a WHERE (SELECT COUNT(*) FROM CLIENT c "
                         "WHERE c.ClientID = a.AcctNo) <> 1"));
    check(QStringLiteral("account without exactly one address"),
          QStringLiteral("SELECT AcctName FROM CUSTOMERS a WHERE (SELECT COUNT(*) FROM ADDRESSES d "
                         "WHERE d.CustomerID = a.CustomerID) <> 1"));
    check(QStringLiteral("account without exactly one contact"),
          QStringLiteral("SELECT AcctName FROM CUSTOMERS a WHERE (SELECT COUNT(*) FROM CONTACTS k "
                         "WHERE k.CustomerID = a.CustomerID) <> 1"));
    check(QStringLiteral("address of no account"),
          QStringLiteral("SELECT AddressID FROM ADDRESSES d WHERE NOT EXISTS (SELECT 1 FROM CUSTOMERS a "
                         "WHERE a.CustomerID = d.CustomerID)"));
    check(QStringLiteral("contact of no account"),
          QStringLiteral("SELECT ContactID FROM CONTACTS k WHERE NOT EXISTS (SELECT 1 FROM CUSTOMERS a "
                         "WHERE a.CustomerID = k.CustomerID)"));
    check(QStringLiteral("rows of one customer that disagree"),
          QStringLiteral("SELECT c.Name FROM CLIENT c JOIN CUSTOMERS a ON a.AcctNo = c.ClientID "
                         "JOIN ADDRESSES d ON d.CustomerID = a.CustomerID "
                         "JOIN CONTACTS k ON k.CustomerID = a.CustomerID "
                         "WHERE a.AcctName IS NOT c.Name OR d.Street1 IS NOT c.Addr1 OR d.City IS NOT c.City "
                         "OR d.Zip IS NOT c.Zip OR k.Name IS NOT c.Contact OR a.Tax IS NOT c.Tax"));

    QStringList unknown;
    QStringList mixedRounds;
    for (const QString& row : db.rows(QStringLiteral("SELECT Name, Addr1, Contact FROM CLIENT"))) {
        const QStringList values = row.split(u'\t');
        const QString& name = values.value(0);
        if (name.startsWith(otherProgramPrefix) && !otherProgramPrefix.isEmpty())
            continue;
        if (!importNames.contains(name))
            unknown.append(name);
        else if (roundOf(values.value(1)) < 0 || roundOf(values.value(1)) != roundOf(values.value(2)))
            mixedRounds.append(row);
    }
    appendProblems(out, QStringLiteral("name no program wrote"), unknown);
    appendProblems(out, QStringLiteral("customer rewritten in part"), mixedRounds);
    return out;
}

QStringList customerRows(SqliteFile& db, const QString& name)
{
    QStringList out;
    const QString escaped = QString(name).replace(u'\'', QStringLiteral("''"));
    const QString account =
        QStringLiteral("(SELECT a.CustomerID FROM CUSTOMERS a JOIN CLIENT c ON a.AcctNo = "
                       "c.ClientID WHERE c.Name = '%1')")
            .arg(escaped);
    out += db.rows(QStringLiteral("SELECT 'CLIENT', rowid, * FROM CLIENT WHERE Name = '%1'").arg(escaped));
    out +=
        db.rows(QStringLiteral("SELECT 'CUSTOMERS', * FROM CUSTOMERS WHERE CustomerID IN %1").arg(account));
    out +=
        db.rows(QStringLiteral("SELECT 'ADDRESSES', * FROM ADDRESSES WHERE CustomerID IN %1").arg(account));
    out += db.rows(QStringLiteral("SELECT 'CONTACTS', * FROM CONTACTS WHERE CustomerID IN %1").arg(account));
    return out;
}

qint64 storedCount(SqliteFile& db, const QSet<QString>& importNames)
{
    qint64 count = 0;
    for (const QString& name : db.rows(QStringLiteral("SELECT Name FROM CLIENT")))
        count += importNames.contains(name) ? 1 : 0;
    return count;
}

Calibration calibrate(const Options& options, qint64 minMs)
{
    constexpr int Most = 1'000'000;
    Calibration result;
    for (int customers = std::max(1, options.customers);; customers = std::min(Most, customers * 2)) {
        Workspace calibration(options);
        if (!calibration.ready() || !writeExport(calibration.exportFile(), 1, customers, 0)) {
            result.failure = {QStringLiteral("the calibration run could not be prepared")};
            return result;
        }
        QElapsedTimer timer;
        timer.start();
        const Workspace::Run run = calibration.run(calibration.importArguments());
        result.runMs = timer.elapsed();
        if (run.crashed || run.exitCode != 0 || !run.messages.isEmpty()) {
            result.failure =
                QStringList{QStringLiteral("the calibration run did not complete")} + run.messages;
            return result;
        }
        result.customers = customers;
        if (result.runMs >= minMs || customers == Most)
            return result;
    }
}

} // namespace brevik::drill
