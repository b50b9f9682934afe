#include "consolereporter.h"

#include "tools/terminaltext.h"

#include <cstdio>

namespace brevik::tool {

void ConsoleReporter::report(const QString& message)
{
    // One line each, whatever the message quotes: a path read from a damaged settings file may
    // hold line ends, which would end the line early. Every other control character, and every
    // one that reorders the text, is shown as a mark (a name from the export may hold them).
    QString line = message;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    line = terminalText(std::move(line));
    const QByteArray bytes = "brevik-import: " + line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace brevik::tool
