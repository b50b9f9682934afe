#include "programfolder.h"

#include "import/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace brevik {
namespace {

QString& overriddenProgramFolder()
{
    static QString folder;
    return folder;
}

QString& overriddenUserFolder()
{
    static QString folder;
    return folder;
}

} // namespace

// Creating a file is the one question that every system answers truly: access rights, access
// control lists and read-only volumes all count.
bool canWriteIn(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".brevik-XXXXXX")));
    return probe.open();
}

QString programName()
{
    return QStringLiteral("Brevik");
}

QString programFolder()
{
    if (!overriddenProgramFolder().isEmpty())
        return overriddenProgramFolder();
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString& folder)
{
    overriddenProgramFolder() = folder;
}

QString userSettingsFolder()
{
    if (!overriddenUserFolder().isEmpty())
        return overriddenUserFolder();
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    // The XDG rules say a relative XDG_CONFIG_HOME is to be ignored: the settings would
    // otherwise be read and written wherever the program happens to be started.
    if (const QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
        !configHome.isEmpty() && QDir::isRelativePath(configHome))
        return QDir::homePath() + QStringLiteral("/.config/") + QCoreApplication::applicationName();
#endif
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

void setUserSettingsFolder(const QString& folder)
{
    overriddenUserFolder() = folder;
}

SettingsPlace SettingsPlace::inFolder(const QString& folder, const QString& fileName)
{
    const QString path = joinFolderAndFile(folder, fileName);
    return {path, path, false};
}

void SettingsPlace::prepareWriting() const
{
    if (inUserFolder)
        QDir().mkpath(QFileInfo(writePath).absolutePath());
}

SettingsPlace settingsPlace(const QString& fileName)
{
    const QString ownFolder = programFolder();
    return settingsPlace(fileName, ownFolder, userSettingsFolder(), canWriteIn(ownFolder));
}

SettingsPlace settingsPlace(const QString& fileName, const QString& ownFolder, const QString& userFolder,
                            bool ownFolderWritable)
{
    // Without a user's folder (no home folder known) the program's folder is all there is.
    if (ownFolderWritable || userFolder.isEmpty())
        return SettingsPlace::inFolder(ownFolder, fileName);

    SettingsPlace place;
    place.writePath = joinFolderAndFile(userFolder, fileName);
    place.inUserFolder = true;
    const QString defaults = joinFolderAndFile(ownFolder, fileName);
    const bool onlyDefaults = !QFileInfo::exists(place.writePath) && QFileInfo::exists(defaults);
    place.readPath = onlyDefaults ? defaults : place.writePath;
    return place;
}

} // namespace brevik
