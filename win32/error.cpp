#include "win32/error.hpp"

#include <windows.h>

#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace win32 {

std::string systemReason(unsigned long error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocalMemory<wchar_t> owned(buffer);
    std::wstring text(buffer ? buffer : L"", length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.')) {
        text.pop_back();
    }
    if (text.empty()) return "system error " + std::to_string(error);
    return narrow(text);
}

std::string lastErrorReason() {
    return systemReason(GetLastError());
}

schedule::Outcome systemFailure(unsigned long error) {
    return schedule::Outcome::systemFailure(error, systemReason(error));
}

schedule::Outcome lastErrorFailure() {
    return systemFailure(GetLastError());
}

schedule::Outcome comFailure(HRESULT result) {
    if (HRESULT_FACILITY(result) == FACILITY_WIN32) {
        return systemFailure(static_cast<unsigned long>(HRESULT_CODE(result)));
    }
    return systemFailure(static_cast<unsigned long>(result));
}

}  // namespace win32
