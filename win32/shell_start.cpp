#include "win32/shell_start.hpp"

#include <objbase.h>

#include <new>

#include "win32/error.hpp"
#include "win32/system_library.hpp"

namespace win32 {

namespace {
enum ComProcedure { kInitialize, kUninitialize, kCreateInstance, kTaskMemFree };
using Ole32 = SystemLibrary<decltype(&CoInitializeEx), decltype(&CoUninitialize),
                            decltype(&CoCreateInstance), decltype(&CoTaskMemFree)>;

// Loaded once for the process, under the system's one-time initialisation and kept to its end:
// a function's static would take the C++ run-time library's guard, whose lock brings the
// threads library into the small programs that free the shell's memory (Brightwick grew to
// almost three times its size).
INIT_ONCE ole32Once = INIT_ONCE_STATIC_INIT;
alignas(Ole32) unsigned char ole32Storage[sizeof(Ole32)];
// Why ole32 could not be loaded whole, for a caller that cannot do without it.
DWORD ole32Failure = ERROR_SUCCESS;

BOOL CALLBACK loadOle32(PINIT_ONCE, PVOID, PVOID*) {
    const Ole32* library = new (ole32Storage) Ole32(
        L"ole32.dll", "CoInitializeEx", "CoUninitialize", "CoCreateInstance", "CoTaskMemFree");
    if (!library->complete()) ole32Failure = GetLastError();
    return TRUE;
}

const Ole32& ole32() {
    InitOnceExecuteOnce(&ole32Once, loadOle32, nullptr, nullptr);
    return *std::launder(reinterpret_cast<const Ole32*>(ole32Storage));
}
}  // namespace

HRESULT startCom(DWORD model) noexcept {
    const auto initialize = ole32().get<kInitialize>();
    return initialize ? initialize(nullptr, model) : CO_E_NOTINITIALIZED;
}

void endCom() noexcept {
    if (const auto uninitialize = ole32().get<kUninitialize>()) uninitialize();
}

HRESULT createComInstance(REFCLSID type, DWORD context, REFIID id, void** object) noexcept {
    *object = nullptr;
    const auto create = ole32().get<kCreateInstance>();
    return create ? create(type, nullptr, context, id, object) : CO_E_NOTINITIALIZED;
}

void freeTaskMemory(void* memory) noexcept {
    if (const auto free = ole32().get<kTaskMemFree>()) free(memory);
}

ShellStarter::~ShellStarter() {
    // COM ends before shell32 goes.
    if (comStarted_) endCom();
}

schedule::Outcome ShellStarter::load() {
    if (execute_) return schedule::Outcome::success();
    if (!ole32().complete()) return systemFailure(ole32Failure);
    // ShellExecuteEx may hand the file to a shell extension through COM, which it expects
    // started, single-threaded and without OLE1 DDE. A thread that runs COM already in
    // another model keeps it. Started once, whatever a later call finds.
    if (!comStarted_ && SUCCEEDED(startCom(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {
        comStarted_ = true;
    }
    shell32_ = loadSystemLibrary(L"shell32.dll");
    if (!shell32_) return lastErrorFailure();
    execute_ = procedureOf<ShellExecuteExFunction>(shell32_.get(), "ShellExecuteExW");
    if (!execute_) return lastErrorFailure();
    return schedule::Outcome::success();
}

schedule::Outcome ShellStarter::start(const wchar_t* verb, const std::wstring& file,
                                      const std::wstring& parameters, const std::wstring& folder,
                                      int showWindow, HWND owner) {
    if (schedule::Outcome loaded = load(); !loaded) return loaded;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = showWindow;
    if (!execute_(&info)) return lastErrorFailure();
    return schedule::Outcome::success();
}

}  // namespace win32
