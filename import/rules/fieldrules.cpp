#include "fieldrules.h"

namespace brevik {

bool applyNameCut(QString& name)
{
    if (name.size() <= NameLimit)
        return false;
    name.truncate(NameLimit);
    return true;
}

bool applyStateCut(QString& state)
{
    if (state.size() <= StateLimit)
        return false;
    state.truncate(StateLimit);
    return true;
}

QString normalisePhone(const QString& phone, PhoneVariant variant)
{
    QString result = phone;
    if (result.size() > PhoneLimit) {
        const qsizetype open = result.indexOf(u'(');
        if (open >= 0)
            result.remove(open, 1);
        // A ")" in front of the number is left where it is.
        const qsizetype close = result.indexOf(u')');
        if (close >= 1)
            result[close] = u'-';
        // The cut comes before the blanks go, so an update can end up shorter than 13.
        if (variant == PhoneVariant::Update && result.size() > PhoneLimit)
            result.truncate(PhoneLimit);
    }
    result.remove(u' ');
    return result;
}

} // namespace brevik
