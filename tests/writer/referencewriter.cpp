#include "referencewriter.h"

#include "import/engine/value.h"
#include "import/paths.h"
#include "import/rules/fieldrules.h"
#include "import/rules/numberreading.h"
#include "import/writer/callmessages.h"

namespace brevik::testing {
namespace {

using db::Recordset;
using L = QLatin1StringView;

QVariant text(const QString& value)
{
    return value.isNull() ? QVariant(QStringLiteral("")) : QVariant(value);
}
QVariant zero()
{
    return QVariant(qint64(0));
}
QVariant flag(bool value)
{
    return QVariant(qint64(value ? 1 : 0));
}

QString trimBlanks(const QString& s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == u' ')
        ++begin;
    while (end > begin && s.at(end - 1) == u' ')
        --end;
    return s.mid(begin, end - begin);
}

// Two stored values are the same when they are of one kind and equal.
bool sameValue(const QVariant& stored, const QVariant& wanted)
{
    if (db::isNull(stored) || db::isNull(wanted))
        return false;
    if (stored.typeId() == QMetaType::QString || wanted.typeId() == QMetaType::QString)
        return stored.typeId() == wanted.typeId() && stored.toString() == wanted.toString();
    return stored.toLongLong() == wanted.toLongLong();
}

} // namespace

bool ReferenceWriter::ok(const db::Status& status)
{
    if (status.ok())
        return true;
    messages.append(CallMessages::errorNumber(status.number()));
    return false;
}

void ReferenceWriter::set(Recordset& rs, const char* field, const QVariant& value)
{
    ok(rs.setValue(L(field), value));
}

bool ReferenceWriter::AddClient(WindowValues& values)
{
    values.gM = values.txtHold1;
    values.gQ = values.txtHold2;
    const QString path = joinFolderAndFile(values.gM, QStringLiteral("zrdata.mdb"));
    const std::pair<db::DataControl*, const char*> tables[] = {
        {&Data1, "CLIENT"}, {&Data2, "CUSTOMERS"}, {&Data3, "ADDRESSES"}, {&Data4, "CONTACTS"}};
    for (const auto& [control, table] : tables) {
        control->setDatabaseName(path);
        control->setExclusive(false);
        control->setReadOnly(false);
        control->setRecordSource(QString::fromLatin1(table));
        if (!control->Refresh().ok())
            return false;
        (void)control->Recordset()->MoveLast();
    }

    CustomerFields& f = values.Text1;
    QString clientNumber;
    if (findClient(f[FieldName], clientNumber))
        updateClient(f, clientNumber);
    else
        insertClient(f, allocate());
    return true;
}

bool ReferenceWriter::findClient(const QString& name, QString& clientNumber)
{
    Recordset& rs = *Data1.Recordset();
    if (!rs.MoveFirst().ok())
        return false;
    while (!rs.AtEOF()) {
        QVariant stored;
        ok(rs.value(L("Name"), stored));
        QString trimmed;
        if (!db::isNull(stored)) {
            trimmed = trimBlanks(stored.toString());
            if (trimmed == u"Null")
                trimmed.clear();
        }
        if (trimmed.size() == 25 && trimmed == name.left(25)) {
            ok(rs.Edit());
            set(rs, "Name", text(name));
            ok(rs.Update());
            ok(rs.value(L("Name"), stored));
        }
        if (!db::isNull(stored) && stored.toString() == name) {
            QVariant id;
            QString number;
            if (ok(rs.value(L("ClientID"), id)) && ok(db::valueAsText(id, number)))
                clientNumber = number;
            return true;
        }
        ok(rs.MoveNext());
    }
    return false;
}

std::optional<QString> ReferenceWriter::allocate()
{
    Recordset& rs = *Data1.Recordset();
    QString next;
    if (!rs.MoveFirst().ok())
        return QStringLiteral("000100");
    qint64 count = 0;
    ok(rs.RecordCount(count));
    qint64 highest = 0;
    for (qint64 i = 0; i < count; ++i) {
        QVariant id;
        QString textValue;
        if (ok(rs.value(L("ClientID"), id)) && ok(db::valueAsText(id, textValue))) {
            const auto number = leadingNumber(textValue);
            const auto whole = number ? roundToInt32(*number) : std::nullopt;
            if (!whole) {
                messages.append(CallMessages::errorNumber(db::ErrOverflow));
            } else if (*whole > highest) {
                highest = *whole;
                next = QString::number(highest + 1).rightJustified(6, u'0');
            }
        }
        ok(rs.MoveNext());
    }
    // A number past 2147483647 would not read back, and would be given again.
    if (highest >= 2147483647)
        return std::nullopt;
    return next.isEmpty() ? QStringLiteral("000100") : next;
}

void ReferenceWriter::setClientAddress(Recordset& client, CustomerFields& f, PhoneVariant phone)
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

void ReferenceWriter::storeAddress(Recordset& rs, const CustomerFields& f)
{
    set(rs, "AddressTypeID", text(QStringLiteral("M")));
    set(rs, "AddressName", text(QStringLiteral("Main")));
    set(rs, "Street1", text(f[FieldAddress1]));
    set(rs, "Street2", text(f[FieldAddress2]));
    set(rs, "City", text(f[FieldCity]));
    set(rs, "State", text(f[FieldState]));
    set(rs, "Zip", text(f[FieldZip]));
    set(rs, "MainAddress", flag(true));
    ok(rs.Update());
}

void ReferenceWriter::storeContact(Recordset& rs, const CustomerFields& f, const QVariant& key)
{
    set(rs, "CustomerID", key);
    set(rs, "Name", text(f[FieldContactName]));
    set(rs, "Phone", text(f[FieldPhone]));
    ok(rs.Update());
}

void ReferenceWriter::insertClient(CustomerFields& f, const std::optional<QString>& allocated)
{
    Recordset& client = *Data1.Recordset();
    (void)client.MoveLast();
    if (f[FieldName].isEmpty())
        return;
    if (!allocated) {
        messages.append(CallMessages::noClientNumber(f[FieldName], 0));
        return;
    }
    const QString& clientNumber = *allocated;
    ok(client.AddNew());
    applyNameCut(f[FieldName]);
    setClientAddress(client, f, PhoneVariant::Insert);
    for (const char* field : {"PastDue1", "PastDue2", "PastDue3", "PastDue4"})
        set(client, field, zero());
    set(client, "Tax", flag(taxFlag(f[FieldTax])));
    set(client, "CreditLimit", zero());
    set(client, "ClientID", text(clientNumber));
    if (!ok(client.Update()))
        return;

    Recordset& account = *Data2.Recordset();
    (void)account.MoveLast();
    ok(account.AddNew());
    set(account, "AcctNo", text(clientNumber));
    set(account, "AcctName", text(f[FieldName]));
    set(account, "Tax", flag(taxFlag(f[FieldTax])));
    set(account, "MainPhone", text(f[FieldPhone]));
    set(account, "CreditLimit", zero());
    for (const char* field : {"PastDue30", "PastDue60", "PastDue90", "PastDue120"})
        set(account, field, zero());
    set(account, "AcctTypeID", text(QStringLiteral("COD")));
    if (!ok(account.Update()))
        return;
    ok(account.MoveLast());
    QVariant key;
    if (!ok(account.value(L("CustomerID"), key)) || db::isNull(key))
        return;

    Recordset& address = *Data3.Recordset();
    (void)address.MoveLast();
    ok(address.AddNew());
    set(address, "CustomerID", key);
    storeAddress(address, f);
    Recordset& contact = *Data4.Recordset();
    (void)contact.MoveLast();
    ok(contact.AddNew());
    storeContact(contact, f, key);
}

void ReferenceWriter::updateClient(CustomerFields& f, const QString& clientNumber)
{
    Recordset& client = *Data1.Recordset();
    if (f[FieldName].isEmpty())
        return;
    ok(client.Edit());
    setClientAddress(client, f, PhoneVariant::Update);
    set(client, "Tax", flag(taxFlag(f[FieldTax])));
    set(client, "CreditLimit", zero());
    ok(client.Update());

    // The account: the first row whose AcctNo is the client number.
    Recordset& account = *Data2.Recordset();
    bool found = false;
    if (account.MoveFirst().ok()) {
        while (!account.AtEOF() && !found) {
            QVariant number;
            ok(account.value(L("AcctNo"), number));
            found = sameValue(number, text(clientNumber));
            if (!found)
                ok(account.MoveNext());
        }
    }
    if (found) {
        ok(account.Edit());
    } else {
        messages.append(CallMessages::recordNotFound());
        (void)account.MoveLast();
        ok(account.AddNew());
        set(account, "AcctNo", text(clientNumber));
    }
    set(account, "AcctName", text(f[FieldName]));
    set(account, "Tax", flag(taxFlag(f[FieldTax])));
    set(account, "MainPhone", text(f[FieldPhone]));
    set(account, "CreditLimit", zero());
    if (!found) {
        for (const char* field : {"PastDue30", "PastDue60", "PastDue90", "PastDue120"})
            set(account, field, zero());
        set(account, "AcctTypeID", text(QStringLiteral("COD")));
    }
    const bool stored = ok(account.Update());
    if (!found) {
        if (!stored)
            return;
        ok(account.MoveLast());
    }
    QVariant key;
    if (!ok(account.value(L("CustomerID"), key)) || db::isNull(key))
        return;

    // The main address: the first row of the account marked M and main.
    Recordset& address = *Data3.Recordset();
    found = false;
    if (address.MoveFirst().ok()) {
        while (!address.AtEOF() && !found) {
            QVariant owner, type, main;
            ok(address.value(L("CustomerID"), owner));
            ok(address.value(L("AddressTypeID"), type));
            ok(address.value(L("MainAddress"), main));
            found = sameValue(owner, key) && sameValue(type, text(QStringLiteral("M"))) &&
                    !db::isNull(main) && main.toLongLong() != 0;
            if (!found)
                ok(address.MoveNext());
        }
    }
    if (found) {
        ok(address.Edit());
    } else {
        messages.append(CallMessages::recordNotFound());
        (void)address.MoveLast();
        ok(address.AddNew());
        set(address, "CustomerID", key);
    }
    storeAddress(address, f);

    // The contact: the account's only one, or of several the one of the imported name.
    Recordset& contact = *Data4.Recordset();
    QList<qint64> ofAccount;
    qint64 named = -1;
    bool namedFound = false;
    if (contact.MoveFirst().ok()) {
        while (!contact.AtEOF()) {
            QVariant owner, person;
            ok(contact.value(L("CustomerID"), owner));
            if (sameValue(owner, key)) {
                ofAccount.append(contact.currentRowid());
                ok(contact.value(L("Name"), person));
                if (!namedFound && sameValue(person, text(f[FieldContactName]))) {
                    named = contact.currentRowid();
                    namedFound = true;
                }
            }
            ok(contact.MoveNext());
        }
    }
    found = false;
    if (ofAccount.size() == 1) {
        found = ok(contact.moveTo(ofAccount.first()));
    } else if (ofAccount.size() > 1 && namedFound) {
        found = ok(contact.moveTo(named));
    }
    if (found) {
        ok(contact.Edit());
    } else {
        messages.append(CallMessages::recordNotFound());
        (void)contact.MoveLast();
        ok(contact.AddNew());
    }
    storeContact(contact, f, key);
}

} // namespace brevik::testing
