// The insert path of the writer: a customer that is not yet a client becomes one new row in
// each of CLIENT, CUSTOMERS, ADDRESSES and CONTACTS, linked by the client number and the
// account's key.
#include "import/rules/fieldrules.h"
#include "import/writer/clientwriter.h"
#include "import/writer/writervalues.h"

namespace brevik {

using db::Recordset;
using namespace writervalues;

void ClientWriter::setField(Recordset& rs, QLatin1StringView field, QVariant value)
{
    m_messages.ok(rs.setValue(field, std::move(value)));
}

void ClientWriter::setClientAddress(Recordset& client, CustomerFields& f, PhoneVariant phone)
{
    set(client, "Name", text(f[FieldName]));
    set(client, "Addr1", text(f[FieldAddress1]));
    set(client, "Addr2", text(f[FieldAddress2]));
    set(client, "Addr3", text(f[FieldAddress3]));
    set(client, "City", text(f[FieldCity]));
    if (applyStateCut(f[FieldState]))
        m_notes |= RowNote::StateCut;
    set(client, "State", text(f[FieldState]));
    set(client, "Zip", text(f[FieldZip]));
    f[FieldPhone] = normalisePhone(f[FieldPhone], phone);
    set(client, "Phone", text(f[FieldPhone].left(PhoneLimit)));
    set(client, "Contact", text(f[FieldContactName]));
}

void ClientWriter::storeAddress(Recordset& rs, const CustomerFields& f)
{
    set(rs, "AddressTypeID", text(QStringLiteral("M")));
    set(rs, "AddressName", text(QStringLiteral("Main")));
    set(rs, "Street1", text(f[FieldAddress1]));
    set(rs, "Street2", text(f[FieldAddress2]));
    set(rs, "City", text(f[FieldCity]));
    set(rs, "State", text(f[FieldState]));
    set(rs, "Zip", text(f[FieldZip]));
    set(rs, "MainAddress", flag(true));
    stored(rs.Update());
}

void ClientWriter::storeContact(Recordset& rs, const CustomerFields& f, const std::optional<QVariant>& key)
{
    if (key)
        set(rs, "CustomerID", *key);
    set(rs, "Name", text(f[FieldContactName]));
    set(rs, "Phone", text(f[FieldPhone]));
    stored(rs.Update());
}

WriteOutcome ClientWriter::insertClient(CustomerFields& f, const std::optional<QString>& allocated)
{
    Recordset& client = *Data1.Recordset();
    m_messages.ok(moveLast(client));
    if (f[FieldName].isEmpty())
        return WriteOutcome::NothingWritten;
    if (!allocated) {
        m_refusals.append(CallMessages::noClientNumber(f[FieldName], m_row));
        m_messages.add(m_refusals.last());
        return WriteOutcome::Refused;
    }
    const QString& clientNumber = *allocated;

    stored(client.AddNew());
    if (applyNameCut(f[FieldName]))
        m_notes |= RowNote::NameCut;
    setClientAddress(client, f, PhoneVariant::Insert);
    set(client, "PastDue1", number(0));
    set(client, "PastDue2", number(0));
    set(client, "PastDue3", number(0));
    set(client, "PastDue4", number(0));
    set(client, "Tax", flag(taxFlag(f[FieldTax])));
    set(client, "CreditLimit", number(0));
    set(client, "ClientID", text(clientNumber));
    // Without its client row, an account would carry a number that the next client receives.
    if (!stored(client.Update()))
        return WriteOutcome::Refused;
    m_numbers.noteStored(clientNumber);

    Recordset& account = *Data2.Recordset();
    m_messages.ok(moveLast(account));
    stored(account.AddNew());
    set(account, "AcctNo", text(clientNumber));
    set(account, "AcctName", text(f[FieldName]));
    set(account, "Tax", flag(taxFlag(f[FieldTax])));
    set(account, "MainPhone", text(f[FieldPhone]));
    set(account, "CreditLimit", number(0));
    set(account, "PastDue30", number(0));
    set(account, "PastDue60", number(0));
    set(account, "PastDue90", number(0));
    set(account, "PastDue120", number(0));
    set(account, "AcctTypeID", text(QStringLiteral("COD")));
    // Without the account there is no key to attach the address and contact to.
    if (!stored(account.Update()))
        return WriteOutcome::Refused;
    const std::optional<QVariant> key = storedKey(account);
    if (!key)
        return WriteOutcome::Refused;

    Recordset& address = *Data3.Recordset();
    m_messages.ok(moveLast(address));
    stored(address.AddNew());
    set(address, "CustomerID", *key);
    storeAddress(address, f);

    Recordset& contact = *Data4.Recordset();
    m_messages.ok(moveLast(contact));
    stored(contact.AddNew());
    storeContact(contact, f, key);
    return WriteOutcome::Added;
}

// The key of the row that this Update stored, never of whichever row is last: a trigger may
// have added rows of its own. The key field is the table's row number (the database is checked
// for that when it is opened), so the stored row's number is its key.
std::optional<QVariant> ClientWriter::storedKey(Recordset& account)
{
    const qint64 row = account.LastModified();
    if (row < 0) {
        stored(db::Status::failure(db::ErrNoCurrentRecord,
                                   QStringLiteral("The account just stored cannot be found, so its address "
                                                  "and contact were not written.")));
        return std::nullopt;
    }
    return QVariant(row);
}

} // namespace brevik
