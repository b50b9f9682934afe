#pragma once

#include "platform/registry.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace brevik {
class Reporter;
}

namespace brevik::ui {

// Where the system keeps its information program, under the local machine's root key.
inline constexpr char SysInfoPathKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char SysInfoPathValue[] = "PATH"; // the program's full path
inline constexpr char SysInfoFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr char SysInfoFolderValue[] = "MSINFO"; // the folder that holds it
inline constexpr char SysInfoFileName[] = "MSINFO32.EXE";

// The access the program asks for when it opens a key.
inline constexpr std::uint32_t SysInfoKeyAccess = 0x2003F;

// Reads one registry value as text into KeyVal and tells whether it was found. A string comes
// back without its terminating zero; a 32-bit number as "&h" and its bytes in hexadecimal, the
// most significant first; a value of any other type counts as found and leaves KeyVal as it was.
// A key or value that cannot be read empties KeyVal.
[[nodiscard]] bool GetKeyValue(RegistryApi& registry, std::int32_t KeyRoot, const QString& KeyName,
                               const QString& SubKeyRef, QString& KeyVal);

// Starts another program on its own, without waiting for it.
class ProgramStarter
{
public:
    ProgramStarter() = default;
    ProgramStarter(const ProgramStarter&) = delete;
    ProgramStarter& operator=(const ProgramStarter&) = delete;
    virtual ~ProgramStarter() = default;

    // False when the program could not be started.
    [[nodiscard]] virtual bool start(const QString& program) = 0;
};

// The starter the about box uses; tests put their own in its place (null restores the system's).
[[nodiscard]] ProgramStarter& programStarter();
void setProgramStarter(ProgramStarter* starter);

// The system-information programs looked for on the PATH where there is no registry, in the
// order they are tried.
[[nodiscard]] QStringList sysInfoPrograms();

// Starts the system's information program: where the system has a registry, the one it names
// (or the one in the folder it names); elsewhere the first of sysInfoPrograms() on the PATH.
// When none is found or it cannot be started, the operator is told.
void StartSysInfo(RegistryApi* registry, ProgramStarter& starter, Reporter& reporter);

} // namespace brevik::ui
