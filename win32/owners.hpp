// Every owner of a Windows resource, in one place: kernel and find handles, GDI objects and
// Every owner of a Windows resource, in one place: kernel and find handles, GDI objects and
// their selection into a DC, device contexts, menus, accelerator tables, dropped files, task
// and local memory, activation contexts, mutexes held, modules, registry keys, and COM. Each
// owner gives its resource back exactly once, when it goes, and none can be copied.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace win32 {

// Every handle type here is a pointer, so a unique_ptr holds the handle itself, and never
// calls its deleter for a null one.
template <class Handle, class Deleter>
using UniqueOwner = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;

// The deleter that gives a resource back with the one function `Release` of the system.
template <auto Release>
struct Releaser {
    template <class Resource>
    void operator()(Resource resource) const noexcept {
        Release(resource);
    }
};
// The owner of a handle that `Release` gives back.
template <class Handle, auto Release>
using UniqueReleased = UniqueOwner<Handle, Releaser<Release>>;

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
struct FindCloser {
    void operator()(HANDLE handle) const noexcept {
        if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
    }
};
using UniqueHandle = UniqueOwner<HANDLE, HandleCloser>;
using UniqueFindHandle = UniqueOwner<HANDLE, FindCloser>;

// CreateFile and FindFirstFile fail with INVALID_HANDLE_VALUE, not null: keep the owner empty.
inline UniqueHandle ownHandle(HANDLE handle) {
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
inline UniqueFindHandle ownFindHandle(HANDLE handle) {
    return UniqueFindHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// A pen, brush, font, bitmap ... typed, so that it goes to SelectObject or WM_SETFONT as what
// it is. DeleteObject fails while the object is selected into a DC: let the selection end first.
template <class Object>
using UniqueGdiObject = UniqueReleased<Object, &DeleteObject>;
using UniqueGdi = UniqueGdiObject<HGDIOBJ>;
using UniqueFont = UniqueGdiObject<HFONT>;
using UniquePen = UniqueGdiObject<HPEN>;
using UniqueBrush = UniqueGdiObject<HBRUSH>;
using UniqueBitmap = UniqueGdiObject<HBITMAP>;

// A DC of one's own, from CreateCompatibleDC or CreateDC. A window's DC is a ClientDC.
using UniqueDC = UniqueReleased<HDC, &DeleteDC>;

// A window's DC from GetDC, given back to that window; a null window stands for the screen.
// The DC is lent, not made: it goes back with ReleaseDC, never DeleteDC.
class ClientDC {
  public:
    explicit ClientDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ClientDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// The DC of one WM_PAINT: BeginPaint validates what needs painting, EndPaint gives the DC back.
class PaintDC {
  public:
    explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDC() { EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;

    HDC get() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }  // what needs painting
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// An object selected into a DC for one scope; the object it displaced comes back at the end.
// A null object selects nothing. Not for regions, where SelectObject displaces nothing.
class Selected {
  public:
    Selected(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selected() {
        if (previous_) SelectObject(dc_, previous_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A menu that no window holds yet. A window destroys the menu it holds, so after SetMenu or
// InsertMenuItem succeeds, release() it.
using UniqueMenu = UniqueReleased<HMENU, &DestroyMenu>;

// An accelerator table that CreateAcceleratorTable made; not one loaded from resources, which
// the system frees with its module.
using UniqueAccelerators = UniqueReleased<HACCEL, &DestroyAcceleratorTable>;

// The files of a drop, as WM_DROPFILES hands them over: the receiver gives them back.
using UniqueDrop = UniqueReleased<HDROP, &DragFinish>;

// ole32's functions that the programs call, each loaded from the system folder at its first
// call (shell_start.cpp): imported, ole32 and what it brings in would load at every start,
// which under Wine cost the editor's start more than its menu and its icon together. Without
// ole32 they fail as COM does when it cannot start, and freeing does nothing.
HRESULT startCom(DWORD model) noexcept;
void endCom() noexcept;
HRESULT createComInstance(REFCLSID type, DWORD context, REFIID id, void** object) noexcept;
void freeTaskMemory(void* memory) noexcept;

// Memory that a function allocated for its caller: CoTaskMemAlloc's (the shell's strings) or
// LocalAlloc's (FormatMessage's buffer).
template <class T>
using UniqueTaskMemory = std::unique_ptr<T, Releaser<&freeTaskMemory>>;
template <class T>
using UniqueLocalMemory = std::unique_ptr<T, Releaser<&LocalFree>>;

// An activation context made from one of the program's own manifest resources, active on this
// thread while the object lives: what one part of a program needs beyond the manifest the
// process started with. Nothing is active when the system refused it.
class ActivatedContext {
  public:
    explicit ActivatedContext(WORD manifestResource) {
        wchar_t program[MAX_PATH + 1] = {};
        const DWORD length = GetModuleFileNameW(nullptr, program, MAX_PATH + 1);
        if (length == 0 || length > MAX_PATH) return;
        ACTCTXW request{};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = program;
        request.hModule = GetModuleHandleW(nullptr);
        request.lpResourceName = MAKEINTRESOURCEW(manifestResource);
        context_ = CreateActCtxW(&request);
        if (context_ != INVALID_HANDLE_VALUE && !ActivateActCtx(context_, &cookie_)) {
            ReleaseActCtx(context_);
            context_ = INVALID_HANDLE_VALUE;
        }
    }
    ~ActivatedContext() {
        if (!active()) return;
        DeactivateActCtx(0, cookie_);
        ReleaseActCtx(context_);
    }
    ActivatedContext(const ActivatedContext&) = delete;
    ActivatedContext& operator=(const ActivatedContext&) = delete;
    bool active() const { return context_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE context_ = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie_ = 0;
};

// The ownership of a mutex that a wait gave this thread, handed back when the owner goes. The
// mutex's handle has an owner of its own, which must outlive this one.
class HeldMutex {
  public:
    explicit HeldMutex(HANDLE mutex) : mutex_(mutex) {}
    ~HeldMutex() { ReleaseMutex(mutex_); }
    HeldMutex(const HeldMutex&) = delete;
    HeldMutex& operator=(const HeldMutex&) = delete;

  private:
    HANDLE mutex_;
};

// A module from LoadLibrary or LoadLibraryEx.
using UniqueModule = UniqueReleased<HMODULE, &FreeLibrary>;

// A registry key that RegOpenKeyEx or RegCreateKeyEx opened; never a predefined key such
// as HKEY_CURRENT_USER.
using UniqueKey = UniqueReleased<HKEY, &RegCloseKey>;

// COM for the current thread, single-threaded apartment, for as long as the owner lives.
// A thread that has COM already is fine: the owner then only balances its own start.
class ComApartment {
  public:
    ComApartment() : started_(SUCCEEDED(startCom(COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (started_) endCom();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool started_;
};

// One reference to a COM interface, released when the owner goes.
template <class Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }

    Interface* operator->() const { return pointer_; }
    Interface* get() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // For functions that hand out a new reference: releases what is held first.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }

  private:
    Interface* pointer_ = nullptr;
};

}  // namespace win32
