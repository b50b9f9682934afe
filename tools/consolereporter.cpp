#include "consolereporter.h"

#include <cstdio>

namespace brevik::tool {

void ConsoleReporter::report(const QString& message)
{
    QString line = message;
    line.replace(u'\n', u' ');
    const QByteArray bytes = line.toLocal8Bit();
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
}

} // namespace brevik::tool
