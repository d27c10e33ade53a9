// Paths compared as Windows compares them.
#pragma once

#include <string>

namespace win32 {

// Whether two paths name the same file or folder: each made full (relative parts and forward
// slashes resolved, short 8.3 names spelt long when the file is there, no backslash at the
// end but a root's), then compared as the file system compares names, letter case aside.
bool samePath(const std::wstring& first, const std::wstring& second);

}  // namespace win32
