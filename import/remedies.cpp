#include "remedies.h"

namespace brevik {
namespace {

Remedies& installed()
{
    static Remedies r;
    return r;
}

} // namespace

void setRemedies(const Remedies& remedies)
{
    installed() = remedies;
}

const Remedies& remedies()
{
    return installed();
}

QString withRemedy(const QString& message, const QString& remedy)
{
    return remedy.isEmpty() ? message : message + u' ' + remedy;
}

} // namespace brevik
