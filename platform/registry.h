#pragma once

#include <QByteArray>

#include <cstdint>

namespace brevik::ui {

// A key handle of the system registry, as wide as a pointer.
using RegistryKey = std::uintptr_t;

// The predefined root keys are 32-bit values that the system widens with their sign.
[[nodiscard]] constexpr RegistryKey rootKey(std::int32_t value)
{
    return static_cast<RegistryKey>(static_cast<std::intptr_t>(value));
}
inline constexpr std::int32_t KeyRootLocalMachine = static_cast<std::int32_t>(0x80000002u);

// Value types as the registry numbers them.
inline constexpr std::uint32_t RegistryString = 1;       // text ending in a zero byte
inline constexpr std::uint32_t RegistryExpandString = 2; // text holding %variables%
inline constexpr std::uint32_t RegistryNumber = 4;       // 32-bit number, least significant byte first

// Status codes of the registry calls.
inline constexpr std::int32_t RegistrySuccess = 0;
inline constexpr std::int32_t RegistryNotFound = 2;
inline constexpr std::int32_t RegistryMoreData = 234;

// The three registry calls the program makes, in the system's own terms: names are 8-bit text,
// each call returns a status code. The system's registry is one implementation, tests bring
// their own.
class RegistryApi
{
public:
    RegistryApi() = default;
    RegistryApi(const RegistryApi&) = delete;
    RegistryApi& operator=(const RegistryApi&) = delete;
    virtual ~RegistryApi() = default;

    virtual std::int32_t openKey(RegistryKey root, const QByteArray& subKey, std::uint32_t options,
                                 std::uint32_t access, RegistryKey& key) = 0;
    // Reads the value into data, which holds size bytes; on success type and size tell what
    // was stored. A value larger than size is not read (RegistryMoreData).
    virtual std::int32_t queryValue(RegistryKey key, const QByteArray& valueName, std::uint32_t& type,
                                    unsigned char* data, std::uint32_t& size) = 0;
    virtual std::int32_t closeKey(RegistryKey key) = 0;
};

// The system's registry; null on a system that has none.
[[nodiscard]] RegistryApi* systemRegistry();

} // namespace brevik::ui
