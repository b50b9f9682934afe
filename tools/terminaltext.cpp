#include "terminaltext.h"

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace brevik::tool {
namespace {

bool unsafeOnTerminal(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c <= 0x9f)         // C0, DEL and C1 controls
           || c == 0x061c || c == 0x200e || c == 0x200f // bidirectional marks
           || (c >= 0x202a && c <= 0x202e)              // embeddings and overrides
           || (c >= 0x2066 && c <= 0x2069)              // isolates
           || c == 0x2028 || c == 0x2029;               // line and paragraph separators
}

} // namespace

QString terminalText(QString text)
{
    for (QChar& c : text)
        if (unsafeOnTerminal(c.unicode()))
            c = QChar::ReplacementCharacter;
    return text;
}

bool isTerminal(std::FILE* stream)
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

} // namespace brevik::tool
