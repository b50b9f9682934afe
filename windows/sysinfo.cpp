#include "sysinfo.h"

#include "import/export/cp1252.h"
#include "import/paths.h"
#include "import/reporter.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <array>

namespace brevik::ui {
namespace {

constexpr std::uint32_t ValueBufferSize = 1024;

QString unavailableMessage()
{
    return QStringLiteral("System Information Is Unavailable At This Time");
}

class DetachedStarter final : public ProgramStarter
{
public:
    bool start(const QString& program) override { return QProcess::startDetached(program, {}); }
};

ProgramStarter*& installedStarter()
{
    static ProgramStarter* starter = nullptr;
    return starter;
}

} // namespace

bool GetKeyValue(RegistryApi& registry, std::int32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal)
{
    bool found = false;
    RegistryKey hKey = 0;
    if (registry.openKey(rootKey(KeyRoot), toCp1252(KeyName), 0, SysInfoKeyAccess, hKey) != RegistrySuccess) {
        KeyVal.clear();
    } else {
        std::array<unsigned char, ValueBufferSize> tmpVal{};
        std::uint32_t KeyValType = 0;
        std::uint32_t KeyValSize = ValueBufferSize;
        if (registry.queryValue(hKey, toCp1252(SubKeyRef), KeyValType, tmpVal.data(), KeyValSize) !=
            RegistrySuccess) {
            KeyVal.clear();
        } else {
            qsizetype stored = std::min(KeyValSize, ValueBufferSize);
            if (stored > 0 && tmpVal[static_cast<std::size_t>(stored - 1)] == 0)
                --stored;
            const QByteArray bytes(reinterpret_cast<const char*>(tmpVal.data()), stored);
            if (KeyValType == RegistryString) {
                KeyVal = fromCp1252(bytes);
            } else if (KeyValType == RegistryNumber) {
                KeyVal = QStringLiteral("&h");
                for (qsizetype i = bytes.size() - 1; i >= 0; --i)
                    KeyVal += QString::number(static_cast<unsigned char>(bytes[i]), 16)
                                  .toUpper()
                                  .rightJustified(2, u'0');
            }
            found = true;
        }
    }
    // The handle is closed also when the key did not open.
    registry.closeKey(hKey);
    return found;
}

ProgramStarter& programStarter()
{
    static DetachedStarter system;
    return installedStarter() ? *installedStarter() : system;
}

void setProgramStarter(ProgramStarter* starter)
{
    installedStarter() = starter;
}

QStringList sysInfoPrograms()
{
    // Hardware and system profilers first, then the desktops' own information and monitor tools.
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor")};
}

void StartSysInfo(RegistryApi* registry, ProgramStarter& starter, Reporter& reporter)
{
    QString SysInfoPath;
    if (registry) {
        const QString pathKey = QString::fromLatin1(SysInfoPathKey);
        const QString folderKey = QString::fromLatin1(SysInfoFolderKey);
        if (GetKeyValue(*registry, KeyRootLocalMachine, pathKey, QString::fromLatin1(SysInfoPathValue),
                        SysInfoPath)) {
            // The value names the program itself.
        } else if (GetKeyValue(*registry, KeyRootLocalMachine, folderKey,
                               QString::fromLatin1(SysInfoFolderValue), SysInfoPath)) {
            const QString file = joinFolderAndFile(SysInfoPath, QString::fromLatin1(SysInfoFileName));
            if (!QFileInfo(file).isFile()) {
                reporter.report(unavailableMessage());
                return;
            }
            SysInfoPath = file;
        } else {
            reporter.report(unavailableMessage());
            return;
        }
    } else {
        for (const QString& program : sysInfoPrograms()) {
            SysInfoPath = QStandardPaths::findExecutable(program);
            if (!SysInfoPath.isEmpty())
                break;
        }
        if (SysInfoPath.isEmpty()) {
            reporter.report(unavailableMessage());
            return;
        }
    }
    if (!starter.start(SysInfoPath))
        reporter.report(unavailableMessage());
}

} // namespace brevik::ui
