// The insert path of the writer: a customer that is not yet a client becomes one new row in
// each of CLIENT, CUSTOMERS, ADDRESSES and CONTACTS, linked by the client number and the
// account's key.
#include "import/clientwriter.h"
#include "import/fieldrules.h"
#include "import/writervalues.h"

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
    applyStateCut(f[FieldState]);
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
    m_messages.ok(rs.Update());
}

void ClientWriter::storeContact(Recordset& rs, const CustomerFields& f, const std::optional<QVariant>& key)
{
    if (key)
        set(rs, "CustomerID", *key);
    set(rs, "Name", text(f[FieldContactName]));
    set(rs, "Phone", text(f[FieldPhone]));
    m_messages.ok(rs.Update());
}

WriteOutcome ClientWriter::insertClient(CustomerFields& f, const QString& clientNumber)
{
    Recordset& client = *Data1.Recordset();
    m_messages.ok(moveLast(client));
    if (f[FieldName].isEmpty())
        return WriteOutcome::NothingWritten;

    m_messages.ok(client.AddNew());
    applyNameCut(f[FieldName]);
    setClientAddress(client, f, PhoneVariant::Insert);
    set(client, "PastDue1", number(0));
    set(client, "PastDue2", number(0));
    set(client, "PastDue3", number(0));
    set(client, "PastDue4", number(0));
    set(client, "Tax", flag(taxFlag(f[FieldTax])));
    set(client, "CreditLimit", number(0));
    set(client, "ClientID", text(clientNumber));
    // Without its client row, an account would carry a number that the next client receives.
    if (!m_messages.ok(client.Update()))
        return WriteOutcome::NothingWritten;
    m_numbers.noteStored(clientNumber);

    Recordset& account = *Data2.Recordset();
    m_messages.ok(moveLast(account));
    m_messages.ok(account.AddNew());
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
    if (!m_messages.ok(account.Update()))
        return WriteOutcome::Added;
    m_messages.ok(moveLast(account));
    QVariant key;
    if (!m_messages.ok(account.value(QLatin1StringView("CustomerID"), key)) || db::isNull(key))
        return WriteOutcome::Added;

    Recordset& address = *Data3.Recordset();
    m_messages.ok(moveLast(address));
    m_messages.ok(address.AddNew());
    set(address, "CustomerID", key);
    storeAddress(address, f);

    Recordset& contact = *Data4.Recordset();
    m_messages.ok(moveLast(contact));
    m_messages.ok(contact.AddNew());
    storeContact(contact, f, key);
    return WriteOutcome::Added;
}

} // namespace brevik
