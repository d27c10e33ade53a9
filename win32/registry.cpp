#include "win32/registry.hpp"

#include "win32/error.hpp"
#include "win32/owners.hpp"

namespace win32 {

schedule::Outcome readRegistryBytes(HKEY root, const std::wstring& key, const std::wstring& name,
                                    std::optional<std::string>& bytes) {
    bytes.reset();
    HKEY opened = nullptr;
    LSTATUS status =
        RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened);
    if (status == ERROR_FILE_NOT_FOUND) return schedule::Outcome::success();
    if (status != ERROR_SUCCESS) return systemFailure(static_cast<unsigned long>(status));
    const UniqueKey owned(opened);
    for (;;) {
        DWORD size = 0;
        status = RegQueryValueExW(owned.get(), name.c_str(), nullptr, nullptr, nullptr, &size);
        if (status == ERROR_FILE_NOT_FOUND) return schedule::Outcome::success();
        if (status != ERROR_SUCCESS) return systemFailure(static_cast<unsigned long>(status));
        std::string data(size, '\0');
        status = RegQueryValueExW(owned.get(), name.c_str(), nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        // Another program made the value longer between the two calls: ask again.
        if (status == ERROR_MORE_DATA) continue;
        if (status == ERROR_FILE_NOT_FOUND) return schedule::Outcome::success();
        if (status != ERROR_SUCCESS) return systemFailure(static_cast<unsigned long>(status));
        data.resize(size);
        bytes = std::move(data);
        return schedule::Outcome::success();
    }
}

schedule::Outcome writeRegistryBinary(HKEY root, const std::wstring& key, const std::wstring& name,
                                      std::string_view bytes) {
    HKEY created = nullptr;
    LSTATUS status = RegCreateKeyExW(root, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &created, nullptr);
    if (status != ERROR_SUCCESS) return systemFailure(static_cast<unsigned long>(status));
    const UniqueKey owned(created);
    status = RegSetValueExW(owned.get(), name.c_str(), 0, REG_BINARY,
                            reinterpret_cast<const BYTE*>(bytes.data()),
                            static_cast<DWORD>(bytes.size()));
    if (status != ERROR_SUCCESS) return systemFailure(static_cast<unsigned long>(status));
    return schedule::Outcome::success();
}

}  // namespace win32
