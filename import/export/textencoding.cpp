#include "textencoding.h"

#include "import/export/cp1252.h"
#include "import/export/regularfile.h"
#include "import/export/rowreader.h"

#include <QFile>

namespace brevik {
namespace {

bool holdsHighBytes(QByteArrayView row)
{
    // No early exit, so that the compiler can take many bytes at a time.
    unsigned char any = 0;
    for (const char c : row)
        any |= static_cast<unsigned char>(c);
    return (any & 0x80) != 0;
}

} // namespace

QString decodeRow(QByteArrayView row, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return QString::fromUtf8(row);
    return fromCp1252(row.data(), row.size());
}

void EncodingJudge::addRow(QByteArrayView row)
{
    if (m_invalid || !holdsHighBytes(row))
        return;
    if (row.isValidUtf8())
        m_multiByte = true;
    else
        m_invalid = true;
}

TextEncoding customerFileEncoding(const QString& path)
{
    QFile file(path);
    if (QString why; !openRegularFile(file, why))
        return TextEncoding::Windows1252; // the run that reads it names the cause
    EncodingJudge judge;
    if (file.peek(3) == "\xef\xbb\xbf")
        judge.markedUtf8();
    RowReader reader(file);
    QByteArrayView row;
    while (!judge.settled() && reader.next(row))
        judge.addRow(row);
    return judge.encoding();
}

} // namespace brevik
