#include "versionfile.h"

#include "import/export/cp1252.h"
#include "import/export/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace brevik {
namespace {
// Only the first line counts; a file of garbage without a line end is read no further than this.
constexpr qint64 MaxBytesRead = 1 << 20;

const QString FileName = QStringLiteral("QBvers.Dat");
} // namespace

VersionFile VersionFile::ofProgram()
{
    return VersionFile(settingsPlace(FileName));
}

VersionFile::VersionFile(const QString& folder)
    : m_place(SettingsPlace::inFolder(folder, FileName))
{}

VersionFile::VersionFile(SettingsPlace place)
    : m_place(std::move(place))
{}

QString VersionFile::path() const
{
    return m_place.readPath;
}

QString VersionFile::writtenPath() const
{
    return m_place.writePath;
}

std::optional<QString> VersionFile::firstItem(const QByteArray& content)
{
    if (content.isEmpty())
        return std::nullopt;
    qsizetype lineEnd = 0;
    while (lineEnd < content.size() && content.at(lineEnd) != '\r' && content.at(lineEnd) != '\n')
        ++lineEnd;
    const QByteArrayView line(content.constData(), lineEnd);

    qsizetype pos = 0;
    while (pos < line.size() && line.at(pos) == ' ')
        ++pos;
    if (pos < line.size() && line.at(pos) == '"') {
        const qsizetype close = line.indexOf('"', pos + 1);
        const qsizetype stop = close < 0 ? line.size() : close;
        return fromCp1252(line.data() + pos + 1, stop - pos - 1);
    }
    qsizetype comma = line.indexOf(',', pos);
    if (comma < 0)
        comma = line.size();
    return fromCp1252(line.data() + pos, comma - pos);
}

std::optional<QString> VersionFile::read() const
{
    QString failure;
    return read(failure);
}

std::optional<QString> VersionFile::read(QString& failure) const
{
    failure.clear();
    QFile file(path());
    if (!QFileInfo::exists(path()) && !QFileInfo(path()).isSymLink())
        return std::nullopt;
    if (!openRegularFile(file, failure))
        return std::nullopt;
    const QByteArray content = file.read(MaxBytesRead);
    return firstItem(content);
}

std::optional<QString> VersionFile::write(const QString& value) const
{
    m_place.prepareWriting();
    QSaveFile file(writtenPath());
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray line = toCp1252(value) + "\r\n";
    if (file.write(line) != line.size())
        return file.errorString();
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace brevik
