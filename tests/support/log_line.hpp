// The one way the test-only programs leave their marks: a line of three tab-separated
// fields, UTF-8 with CR LF, appended to a log in the working folder.
#pragma once

#include <windows.h>

#include <string>

#include "win32/owners.hpp"

namespace driver {

// Appends "first TAB second TAB third CR LF" to `log`. Programs started back to back may
// meet at the log, so it tries again for a while. False when it never got in.
inline bool appendLogLine(const wchar_t* log, const std::string& first, const std::string& second,
                          const std::string& third) {
    const std::string line = first + "\t" + second + "\t" + third + "\r\n";
    for (int attempt = 0; attempt < 200; ++attempt) {
        const win32::UniqueHandle file =
            win32::ownHandle(CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            DWORD written = 0;
            WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            return true;
        }
        Sleep(10);
    }
    return false;
}

}  // namespace driver
