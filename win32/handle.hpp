// Owners of kernel handles: one owner per handle, closed when the owner goes.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace win32 {

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept {
        if (handle && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
struct FindCloser {
    void operator()(HANDLE handle) const noexcept {
        if (handle && handle != INVALID_HANDLE_VALUE) FindClose(handle);
    }
};

// HANDLE is a pointer type, so unique_ptr holds it directly.
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;
using UniqueFindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

// CreateFile and FindFirstFile fail with INVALID_HANDLE_VALUE, not null: keep the owner empty.
inline UniqueHandle ownHandle(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
inline UniqueFindHandle ownFindHandle(HANDLE handle) {
    return UniqueFindHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

}  // namespace win32
