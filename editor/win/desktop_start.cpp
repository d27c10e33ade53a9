#include "editor/win/desktop_start.hpp"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
// Before shldisp.h, so that its ShellExecute macro names IShellDispatch2's method as it names
// the call.
#include <shellapi.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "editor/win/message_window.hpp"
#include "win32/elevation.hpp"
#include "win32/error.hpp"
#include "win32/owners.hpp"
#include "win32/process.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {

// A VARIANT of one's own, cleared (its string freed) when the owner goes.
class Variant {
  public:
    Variant() { VariantInit(&value_); }
    explicit Variant(const std::wstring& text) : Variant() {
        value_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (value_.bstrVal) value_.vt = VT_BSTR;
    }
    explicit Variant(int number) : Variant() {
        value_.vt = VT_I4;
        value_.lVal = number;
    }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &value_; }
    // A string variant whose string could not be made holds nothing.
    bool holdsText() const { return value_.vt == VT_BSTR; }

  private:
    VARIANT value_;
};

// The next interface along a way of calls: asked for only when every step before succeeded,
// and a step that succeeds must have handed it out.
template <class Interface, class Call>
win32::ComPtr<Interface> step(HRESULT& result, Call call) {
    win32::ComPtr<Interface> next;
    if (SUCCEEDED(result)) {
        result = call(next);
        if (SUCCEEDED(result) && !next) result = E_NOINTERFACE;
    }
    return next;
}

class PlatformDesktopStarts final : public DesktopStarts {
  public:
    std::optional<bool> runsElevated() override { return win32::tokenElevated(); }

    schedule::Outcome startDirect(const DesktopProgram& program) override {
        // This process ends once the program has started: its working folder is the one the
        // program inherits.
        if (!SetCurrentDirectoryW(win32::widen(program.folder).c_str())) {
            return win32::lastErrorFailure();
        }
        const std::wstring file = win32::widen(program.file);
        std::wstring line = L"\"" + file + L"\"";
        if (!program.parameters.empty()) line += L" " + win32::widen(program.parameters);
        win32::UniqueHandle process;
        return win32::startProgram(line, SW_SHOWNORMAL, process, &file);
    }

    // Through the desktop's own shell view: the desktop window among the shell's windows, its
    // browser, the view it shows, that view's automation object, and the shell's application
    // object behind it, whose ShellExecute runs in Explorer with Explorer's token.
    schedule::Outcome startThroughDesktopShell(const DesktopProgram& program) override {
        HRESULT result = S_OK;
        const auto windows = step<IShellWindows>(result, [](auto& next) {
            return win32::createComInstance(CLSID_ShellWindows, CLSCTX_LOCAL_SERVER,
                                            IID_IShellWindows, next.putVoid());
        });
        win32::ComPtr<IDispatch> desktop;
        if (SUCCEEDED(result)) {
            // The desktop is found by its class alone: no location, no root.
            Variant location;
            Variant root;
            long window = 0;
            result = windows->FindWindowSW(location.get(), root.get(), SWC_DESKTOP, &window,
                                           SWFO_NEEDDISPATCH, desktop.put());
            // S_FALSE: no desktop window, as when no Explorer shell runs on this desktop.
            if (result == S_FALSE || (SUCCEEDED(result) && !desktop)) {
                return schedule::Outcome::failure(
                    "No desktop of Windows' shell (Explorer) answered.");
            }
        }
        const auto services = step<IServiceProvider>(result, [&](auto& next) {
            return desktop->QueryInterface(IID_IServiceProvider, next.putVoid());
        });
        const auto browser = step<IShellBrowser>(result, [&](auto& next) {
            return services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, next.putVoid());
        });
        const auto view = step<IShellView>(
            result, [&](auto& next) { return browser->QueryActiveShellView(next.put()); });
        const auto background = step<IDispatch>(result, [&](auto& next) {
            return view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, next.putVoid());
        });
        const auto folderView = step<IShellFolderViewDual>(result, [&](auto& next) {
            return background->QueryInterface(IID_IShellFolderViewDual, next.putVoid());
        });
        const auto application = step<IDispatch>(
            result, [&](auto& next) { return folderView->get_Application(next.put()); });
        const auto shell = step<IShellDispatch2>(result, [&](auto& next) {
            return application->QueryInterface(IID_IShellDispatch2, next.putVoid());
        });
        if (SUCCEEDED(result)) {
            Variant file(win32::widen(program.file));
            Variant parameters(win32::widen(program.parameters));
            Variant folder(win32::widen(program.folder));
            Variant verb(std::wstring(L"open"));
            Variant show(SW_SHOWNORMAL);
            result =
                file.holdsText() && parameters.holdsText() && folder.holdsText() && verb.holdsText()
                    ? shell->ShellExecute(file.get()->bstrVal, *parameters.get(), *folder.get(),
                                          *verb.get(), *show.get())
                    : E_OUTOFMEMORY;
        }
        return SUCCEEDED(result) ? schedule::Outcome::success() : win32::comFailure(result);
    }

    void message(std::string_view text) override { showMessage(nullptr, text, Buttons::Ok); }
};

}  // namespace

unsigned long startForDesktopUser(const std::vector<std::string>& arguments) {
    PlatformDesktopStarts starts;
    const DesktopPlaces places{win32::narrow(win32::ownProgramFolder()),
                               win32::narrow(win32::systemFolder()),
                               win32::narrow(win32::currentFolder())};
    return startForDesktopUser(arguments, places, starts);
}

}  // namespace editor
