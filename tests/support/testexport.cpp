#include "testexport.h"

#include "import/export/cp1252.h"

#include <QFile>

namespace brevik::testing {

TestExport::Field::Field(int at, const QString& text)
    : column(at)
    , bytes(toCp1252(text))
{}

TestExport& TestExport::product()
{
    m_bytes += "!HDR\tPROD\tVER\r\nHDR\tQuickBooks Pro\tVersion 27.0D\r\n";
    return *this;
}

TestExport& TestExport::header(const char* names)
{
    m_bytes += names;
    m_bytes += "\r\n";
    return *this;
}

TestExport& TestExport::customer(std::initializer_list<Field> fields)
{
    int last = 1;
    for (const Field& field : fields)
        last = std::max(last, field.column);
    QList<QByteArray> row(last);
    row[0] = "CUST";
    for (const Field& field : fields)
        row[field.column - 1] = field.bytes;
    m_bytes += row.join('\t');
    m_bytes += "\t\r\n";
    return *this;
}

TestExport& TestExport::row(const QByteArray& bytes)
{
    m_bytes += bytes;
    m_bytes += "\r\n";
    return *this;
}

namespace {

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

bool TestExport::writeTo(const QString& path) const
{
    return write(path, m_bytes);
}

QString writeExport(const QTemporaryDir& folder, const QByteArray& bytes, const QString& name)
{
    const QString path = folder.filePath(name);
    if (!write(path, bytes))
        qWarning("Could not write the export %s", qPrintable(path));
    return path;
}

} // namespace brevik::testing
