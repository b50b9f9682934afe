#include "consolereporter.h"

#include <cstdio>

namespace brevik::tool {

void ConsoleReporter::report(const QString& message)
{
    // One line each, whatever the message quotes: a path read from a damaged settings file may
    // hold line ends or NUL, which would end the line or the output early.
    QString line = message;
    for (QChar& c : line) {
        if (c == u'\n' || c == u'\r')
            c = u' ';
        else if (c.unicode() < 0x20 && c != u'\t')
            c = QChar::ReplacementCharacter;
    }
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace brevik::tool
