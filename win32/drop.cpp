#include "win32/drop.hpp"

#include "win32/owners.hpp"

namespace win32 {

namespace {
// The message that copies a drop's file list into the receiving process; winuser.h does not
// name it.
constexpr UINT kCopyGlobalData = 0x0049;
}  // namespace

std::vector<std::wstring> droppedPaths(HDROP drop) {
    std::vector<std::wstring> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    paths.reserve(count);
    std::wstring path;
    for (UINT i = 0; i < count; ++i) {
        // The length without the terminating zero, which the copy then adds.
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        path.assign(static_cast<std::size_t>(length) + 1, L'\0');
        const UINT copied = DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(copied);
        if (!path.empty()) paths.push_back(path);
    }
    return paths;
}

bool acceptDropsFromLowerIntegrity(HWND window) {
    bool accepted = true;
    for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, kCopyGlobalData}) {
        accepted = ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr) && accepted;
    }
    return accepted;
}

}  // namespace win32
