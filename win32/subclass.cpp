#include "win32/subclass.hpp"

#include <algorithm>
#include <unordered_map>
#include <vector>

namespace win32 {

namespace {

struct Replacement {
    WNDPROC procedure;
    WNDPROC replaced;
};

// Per control, the procedures put in front of it, the newest last.
thread_local std::unordered_map<HWND, std::vector<Replacement>> replacements;

}  // namespace

bool subclass(HWND control, WNDPROC procedure) {
    if (!IsWindow(control) || GetWindowThreadProcessId(control, nullptr) != GetCurrentThreadId()) {
        return false;
    }
    std::vector<Replacement>& chain = replacements[control];
    if (std::any_of(chain.begin(), chain.end(),
                    [&](const Replacement& r) { return r.procedure == procedure; })) {
        return false;
    }
    // Recorded before the procedure changes, since the control may be sent a message at once.
    chain.push_back(
        {procedure, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC))});
    SetLastError(ERROR_SUCCESS);
    const LONG_PTR previous =
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
    std::vector<Replacement>& recorded = replacements[control];
    if (previous == 0 && GetLastError() != ERROR_SUCCESS) {
        recorded.pop_back();
        if (recorded.empty()) replacements.erase(control);
        return false;
    }
    recorded.back().replaced = reinterpret_cast<WNDPROC>(previous);
    return true;
}

LRESULT callReplaced(WNDPROC procedure, HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = replacements.find(control);
    if (found == replacements.end()) return DefWindowProcW(control, message, wParam, lParam);
    std::vector<Replacement>& chain = found->second;
    const auto own = std::find_if(chain.begin(), chain.end(),
                                  [&](const Replacement& r) { return r.procedure == procedure; });
    if (own == chain.end()) return DefWindowProcW(control, message, wParam, lParam);
    const WNDPROC replaced = own->replaced;
    if (message == WM_NCDESTROY) {
        chain.erase(own);
        if (chain.empty()) replacements.erase(found);
    }
    return CallWindowProcW(replaced, control, message, wParam, lParam);
}

}  // namespace win32
