#include "registry.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace brevik::ui {

#ifdef Q_OS_WIN

namespace {

HKEY toHandle(RegistryKey key)
{
    return reinterpret_cast<HKEY>(key);
}

class WindowsRegistry final : public RegistryApi
{
public:
    std::int32_t openKey(RegistryKey root, const QByteArray& subKey, std::uint32_t options,
                         std::uint32_t access, RegistryKey& key) override
    {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExA(toHandle(root), subKey.constData(), options, access, &opened);
        key = reinterpret_cast<RegistryKey>(opened);
        return status;
    }

    std::int32_t queryValue(RegistryKey key, const QByteArray& valueName, std::uint32_t& type,
                            unsigned char* data, std::uint32_t& size) override
    {
        DWORD valueType = 0;
        DWORD stored = size;
        const LONG status =
            RegQueryValueExA(toHandle(key), valueName.constData(), nullptr, &valueType, data, &stored);
        type = valueType;
        size = stored;
        return status;
    }

    std::int32_t closeKey(RegistryKey key) override { return RegCloseKey(toHandle(key)); }
};

} // namespace

RegistryApi* systemRegistry()
{
    static WindowsRegistry registry;
    return &registry;
}

#else

RegistryApi* systemRegistry()
{
    return nullptr;
}

#endif

} // namespace brevik::ui
