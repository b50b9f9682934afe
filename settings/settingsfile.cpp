#include "settingsfile.h"

#include "import/export/cp1252.h"
#include "import/export/regularfile.h"
#include "import/export/rowreader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace brevik {
namespace {

// Two folder paths never come near this. Reading stops here, so a file of garbage without line
// ends, or one huge line, is neither read whole into memory nor scanned to its end; a line that
// does not end within it does not count as read.
constexpr qint64 MaxBytesRead = 1 << 20;

const QString FileName = QStringLiteral("zrQBck.dat");

bool holdsLineEnd(const QString& value)
{
    return value.contains(u'\r') || value.contains(u'\n');
}

bool keepsInCodePage(const QString& value)
{
    return fromCp1252(toCp1252(value)) == value;
}

} // namespace

SettingsFile SettingsFile::ofProgram()
{
    return SettingsFile(settingsPlace(FileName));
}

SettingsFile::SettingsFile(const QString& folder)
    : m_place(SettingsPlace::inFolder(folder, FileName))
{}

SettingsFile::SettingsFile(SettingsPlace place)
    : m_place(std::move(place))
{}

QString SettingsFile::path() const
{
    return m_place.readPath;
}

QString SettingsFile::writtenPath() const
{
    return m_place.writePath;
}

SettingsRead SettingsFile::parse(QByteArray content, bool cut)
{
    if (cut) {
        // The last line may go on beyond what was read: keep only the lines that ended.
        const qsizetype lastEnd = std::max(content.lastIndexOf('\r'), content.lastIndexOf('\n'));
        content.truncate(lastEnd + 1);
    }
    SettingsRead result;
    QBuffer device(&content);
    device.open(QIODevice::ReadOnly);
    RowReader rows(device);
    QByteArrayView row;
    for (QString* value : {&result.folders.dataFolder, &result.folders.quickBooksFolder}) {
        if (!rows.next(row))
            break;
        *value = fromCp1252(row.data(), row.size());
        ++result.linesRead;
    }
    return result;
}

SettingsRead SettingsFile::read() const
{
    SettingsRead failed;
    QFile file(path());
    if (!QFileInfo::exists(path()) && !QFileInfo(path()).isSymLink())
        return failed;
    if (!openRegularFile(file, failed.failure))
        return failed;
    const QByteArray content = file.read(MaxBytesRead);
    if (file.error() != QFileDevice::NoError) {
        failed.failure = file.errorString();
        return failed;
    }
    char probe = 0;
    const bool cut = content.size() == MaxBytesRead && file.read(&probe, 1) == 1;
    const SettingsRead read = parse(content, cut);
    if (read.folders.dataFolder.contains(QChar(0)) || read.folders.quickBooksFolder.contains(QChar(0))) {
        failed.failure = QStringLiteral("it holds NUL bytes, as Unicode (UTF-16) text does, where this "
                                        "program writes two lines of Windows-1252 text");
        return failed;
    }
    return read;
}

std::optional<QString> SettingsFile::write(const FolderSettings& folders) const
{
    for (const QString* value : {&folders.dataFolder, &folders.quickBooksFolder}) {
        // Either would give the file other lines than the folders: refuse rather than store
        // something that reads back as a different folder.
        if (holdsLineEnd(*value))
            return QStringLiteral("The folder %1 holds a line break.").arg(*value);
        if (!keepsInCodePage(*value))
            return QStringLiteral("The folder %1 holds characters the settings file cannot keep.")
                .arg(*value);
    }
    m_place.prepareWriting();
    QSaveFile file(writtenPath());
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QByteArray content =
        toCp1252(folders.dataFolder) + "\r\n" + toCp1252(folders.quickBooksFolder) + "\r\n";
    if (file.write(content) != content.size())
        return file.errorString();
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

} // namespace brevik
