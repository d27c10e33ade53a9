// Values of the registry read and written whole, in the 64-bit view of the registry whatever
// the program's own, so that a 32-bit build sees the keys the system's own tools see.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "schedule/outcome.hpp"

namespace win32 {

// The data of the value `name` of `key` under `root`, whatever its type, into `bytes`; none
// when the key or the value is not there.
schedule::Outcome readRegistryBytes(HKEY root, const std::wstring& key, const std::wstring& name,
                                    std::optional<std::string>& bytes);

// Writes `bytes` as the REG_BINARY value `name` of `key` under `root`, making the key when it
// is not there.
schedule::Outcome writeRegistryBinary(HKEY root, const std::wstring& key, const std::wstring& name,
                                      std::string_view bytes);

}  // namespace win32
