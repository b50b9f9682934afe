#pragma once

#include "import/export/exportlayout.h"
#include "import/rules/customerfields.h"
#include "import/rules/numberreading.h"

#include <QString>
#include <QStringList>

namespace brevik::testing {

// The scan exactly as the rule is worded: one character at a time into the current text,
// positions counted from 1, a search that finds nothing giving 0.
class PlainScan
{
public:
    PlainScan(const QString& gOpt, ExportColumns columns)
        : m_versionTakesBoth(gOpt == u"0" || gOpt == u"1")
        , m_columns(columns)
    {}

    bool scan(const QString& row, CustomerFields& text1)
    {
        bool named = false;
        QString current;
        int count = 0;
        for (const QChar c : row) {
            if (c == u'\t') {
                ++count;
                if (current.left(4) != u"CUST" && applyRules(count, current, text1, named))
                    return named;
                current = QString();
            } else if (c != u'"' && c != u'\0') { // quotes and NUL are dropped
                current += c;
            }
        }
        return named;
    }

    // A job's QuickBooks name holds a colon; only text that a TAB closes is a field.
    static bool isJob(const QString& row, const ExportColumns& columns)
    {
        const QStringList fields = row.split(u'\t');
        const qsizetype at = columns.fullNameField - 1;
        return at >= 0 && at < fields.size() - 1 && fields.at(at).contains(u':');
    }

private:
    static qsizetype inStr(qsizetype start, const QString& v, QChar c) { return v.indexOf(c, start - 1) + 1; }

    static void split(const QString& v, CustomerFields& text1)
    {
        const qsizetype h = inStr(1, v, u',');
        text1[5] = v.left(h - 1);
        const qsizetype s1 = inStr(h + 1, v, u' ');
        const qsizetype s2 = inStr(s1 + 1, v, u' ');
        if (s1 > 0 && s2 > s1)
            text1[4] = v.mid(s1, s2 - s1 - 1);
        else if (s1 > 0 && s2 == 0)
            text1[4] = v.mid(s1);
        else
            text1[4] = QString();
        const double number = leadingNumber(v.right(3)).value_or(0);
        text1[3] = number > 0 && s2 > 0 ? v.mid(s2) : QString();
    }

    // True when the row ends.
    bool applyRules(int n, const QString& v, CustomerFields& text1, bool& named) const
    {
        const ExportColumns& c = m_columns;
        if (n == c.nameField) {
            if (v.isEmpty())
                return true;
            text1[0] = v;
            named = true;
        }
        if (n == c.address1Field)
            text1[8] = v;
        if (!v.contains(u',') && n == c.address2Field) {
            text1[7] = v;
            return false;
        }
        if (!v.contains(u',') && n == c.address2MoreField) {
            if (!v.isEmpty())
                text1[7] = text1[7].isEmpty() ? v : text1[7] + u", " + v;
            return false;
        }
        const bool billingLine = n == c.address2Field || n == c.address2MoreField || n == c.lastAddressField;
        if (v.contains(u',') && billingLine)
            split(v, text1);
        if (n == c.phoneField)
            text1[9] = v;
        if (m_versionTakesBoth && n == c.contactField)
            text1[10] = v;
        if (m_versionTakesBoth && n == c.taxField) {
            text1[2] = v == u"Y" ? QStringLiteral("1") : QStringLiteral("0");
            return true;
        }
        return false;
    }

    bool m_versionTakesBoth;
    ExportColumns m_columns;
};

} // namespace brevik::testing
