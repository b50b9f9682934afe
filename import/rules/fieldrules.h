#pragma once

#include <QString>

namespace brevik {

// The rules that reshape a customer's fields before the writer stores them.

// New clients keep at most 40 characters of their name.
inline constexpr qsizetype NameLimit = 40;
// A state keeps at most 2 characters: Alaska is stored as Al.
inline constexpr qsizetype StateLimit = 2;
// CLIENT.Phone holds at most 13 characters.
inline constexpr qsizetype PhoneLimit = 13;

// Each returns whether it cut anything.
bool applyNameCut(QString& name);
bool applyStateCut(QString& state);

// The insert path keeps the whole normalised telephone for the account and the contact; the
// update path cuts it to 13 characters before the blanks go.
enum class PhoneVariant
{
    Insert,
    Update
};

// A telephone longer than 13 characters loses its first "(" and has its first ")" (from
// position 2 on) turned into "-"; the update variant then cuts it to 13. Every blank goes,
// whatever the length. The result is what the account and the contact receive.
[[nodiscard]] QString normalisePhone(const QString& phone, PhoneVariant variant);

// What CLIENT.Phone receives of a normalised telephone.
[[nodiscard]] inline QString clientPhone(const QString& normalised)
{
    return normalised.left(PhoneLimit);
}

// Taxable only when the tax mark is exactly "1".
[[nodiscard]] inline bool taxFlag(const QString& mark)
{
    return mark == u"1";
}

} // namespace brevik
