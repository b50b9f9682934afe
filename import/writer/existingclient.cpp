// The update path of the writer: a customer whose name matched a client rewrites that
// client's rows, and creates the account, main address or contact that is missing.
#include "import/rules/fieldrules.h"
#include "import/writer/clientwriter.h"
#include "import/writer/writervalues.h"

namespace brevik {

using db::Recordset;
using Criterion = Recordset::Criterion;
using L = QLatin1StringView;
using namespace writervalues;

WriteOutcome ClientWriter::updateClient(CustomerFields& f, const QString& clientNumber)
{
    // The client found is the current row of CLIENT.
    Recordset& client = *Data1.Recordset();
    if (f[FieldName].isEmpty())
        return WriteOutcome::NothingWritten;

    stored(client.Edit());
    setClientAddress(client, f, PhoneVariant::Update);
    set(client, "Tax", flag(taxFlag(f[FieldTax])));
    set(client, "CreditLimit", number(0));
    stored(client.Update());

    if (const std::optional<QVariant> key = rewriteAccount(f, clientNumber)) {
        rewriteAddress(f, *key);
        rewriteContact(f, *key);
    }
    return WriteOutcome::Updated;
}

std::optional<QVariant> ClientWriter::rewriteAccount(CustomerFields& f, const QString& clientNumber)
{
    Recordset& account = *Data2.Recordset();
    const Criterion byNumber[] = {{L("AcctNo"), Criterion::Test::Equals, text(clientNumber)}};
    bool found = false;
    m_messages.ok(account.FindFirst(byNumber, found));
    if (found) {
        stored(account.Edit());
    } else {
        m_messages.add(CallMessages::recordNotFound());
        m_messages.ok(moveLast(account));
        stored(account.AddNew());
        set(account, "AcctNo", text(clientNumber));
    }
    set(account, "AcctName", text(f[FieldName]));
    set(account, "Tax", flag(taxFlag(f[FieldTax])));
    set(account, "MainPhone", text(f[FieldPhone]));
    set(account, "CreditLimit", number(0));
    if (!found) {
        // A created account starts out as every new account does.
        set(account, "PastDue30", number(0));
        set(account, "PastDue60", number(0));
        set(account, "PastDue90", number(0));
        set(account, "PastDue120", number(0));
        set(account, "AcctTypeID", text(QStringLiteral("COD")));
    }
    const bool accountStored = stored(account.Update());
    if (!found) {
        // A created account that was refused has no key: its address and contact would
        // otherwise land on another account.
        if (!accountStored)
            return std::nullopt;
        return storedKey(account);
    }
    QVariant key;
    if (!m_messages.ok(account.value(L("CustomerID"), key)) || db::isNull(key))
        return std::nullopt;
    return key;
}

// The account's main address is rewritten; its other addresses stay as they are.
void ClientWriter::rewriteAddress(const CustomerFields& f, const QVariant& key)
{
    Recordset& address = *Data3.Recordset();
    const Criterion mainAddress[] = {
        {L("CustomerID"), Criterion::Test::Equals, key},
        {L("AddressTypeID"), Criterion::Test::Equals, text(QStringLiteral("M"))},
        {L("MainAddress"), Criterion::Test::IsTrue, {}},
    };
    bool found = false;
    m_messages.ok(address.FindFirst(mainAddress, found));
    if (found) {
        stored(address.Edit());
    } else {
        m_messages.add(CallMessages::recordNotFound());
        m_messages.ok(moveLast(address));
        stored(address.AddNew());
        set(address, "CustomerID", key);
    }
    storeAddress(address, f);
}

// An account's only contact is rewritten. Of several, the one with the imported contact's name
// is; where none has it, the imported contact is added beside them, so that no person is lost.
void ClientWriter::rewriteContact(const CustomerFields& f, const QVariant& key)
{
    Recordset& contact = *Data4.Recordset();
    const Criterion ofAccount[] = {{L("CustomerID"), Criterion::Test::Equals, key}};
    bool found = false;
    m_messages.ok(contact.FindFirst(ofAccount, found));
    if (found) {
        const qint64 first = contact.currentRowid();
        bool another = false;
        m_messages.ok(contact.FindNext(ofAccount, another));
        if (another) {
            const Criterion named[] = {
                {L("CustomerID"), Criterion::Test::Equals, key},
                {L("Name"), Criterion::Test::Equals, text(f[FieldContactName])},
            };
            m_messages.ok(contact.FindFirst(named, found));
        } else {
            m_messages.ok(contact.moveTo(first));
        }
    }
    if (found) {
        // Found by its account key, the contact holds that key already: writing it again would
        // only rewrite the index on it. Where Edit failed, setting it fails and is reported as
        // every other field is.
        const bool editing = stored(contact.Edit());
        storeContact(contact, f, editing ? std::nullopt : std::optional<QVariant>(key));
    } else {
        m_messages.add(CallMessages::recordNotFound());
        m_messages.ok(moveLast(contact));
        stored(contact.AddNew());
        storeContact(contact, f, key);
    }
}

} // namespace brevik
