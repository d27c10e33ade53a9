#include "win32/setup_log.hpp"

#include <windows.h>

#include "win32/error.hpp"
#include "win32/folder.hpp"
#include "win32/owners.hpp"

namespace win32 {

schedule::Outcome appendLogLines(const std::wstring& path, const std::vector<std::wstring>& lines) {
    // Appending only: whatever else wrote meanwhile stays before these lines.
    const UniqueHandle file = ownHandle(CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return lastErrorFailure();
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return lastErrorFailure();
    std::wstring text = size.QuadPart == 0 ? std::wstring(1, L'\xFEFF') : std::wstring();
    for (const std::wstring& line : lines) text += line + L"\r\n";
    // Windows keeps wide text in UTF-16 with the low byte first, as the log holds it.
    return writeOpenFile(file.get(), std::string_view(reinterpret_cast<const char*>(text.data()),
                                                      text.size() * sizeof(wchar_t)));
}

}  // namespace win32
