#pragma once

#include <QString>

namespace brevik {

// What the operator can do about a step that failed, in the words of the program that runs the
// import: the window names its menus, "File > Path Names" for a folder that is missing or wrong
// and "File > Backups" for a damaged database. Empty until a program sets them; the messages
// then say only what failed.
struct Remedies
{
    QString folders;
    QString damage;
};

void setRemedies(const Remedies& remedies);
[[nodiscard]] const Remedies& remedies();

// The message with the remedy as a sentence after it, where one is set.
[[nodiscard]] QString withRemedy(const QString& message, const QString& remedy);

} // namespace brevik
