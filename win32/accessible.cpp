#include "win32/accessible.hpp"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <memory>
#include <unordered_map>

#include "win32/owners.hpp"
#include "win32/subclass.hpp"
#include "win32/system_library.hpp"

namespace win32 {

namespace {

// oleacc.dll is only needed while a screen reader asks, which most sessions never do: it is
// loaded then, from the system folder, and stays.
struct Oleacc {
    UniqueModule module;
    decltype(&CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&LresultFromObject) resultFromObject = nullptr;
};

const Oleacc& oleacc() {
    static const Oleacc loaded = [] {
        Oleacc library;
        library.module = loadSystemLibrary(L"oleacc.dll");
        if (!library.module) return library;
        library.createStandard = procedureOf<decltype(&CreateStdAccessibleObject)>(
            library.module.get(), "CreateStdAccessibleObject");
        library.resultFromObject =
            procedureOf<decltype(&LresultFromObject)>(library.module.get(), "LresultFromObject");
        return library;
    }();
    return loaded;
}

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's accessible object for a control, but for the control's own name.
class NamedAccessible final : public IAccessible {
  public:
    NamedAccessible(HWND control, ComPtr<IAccessible> standard, const std::wstring& name)
        : control_(control), standard_(std::move(standard)), name_(name) {
        wchar_t className[16] = {};
        GetClassNameW(control, className, 16);
        listBox_ = CompareStringOrdinal(className, -1, WC_LISTBOXW, -1, TRUE) == CSTR_EQUAL;
    }

    // IUnknown. Interfaces other than these three are the system object's to give.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return standard_->QueryInterface(id, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(id, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        return standard_->Invoke(member, id, locale, flags, parameters, result, exception,
                                 argument);
    }

    // IAccessible: the name of the control itself is ours, the rest the system's. A list
    // box's items are named by their text, as Windows' own object names them; where the
    // system's object gives them no name (Wine's does not), the text is read here.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_INVALIDARG;
        if (isSelf(child)) return text(name_, name);
        const HRESULT standard = standard_->get_accName(child, name);
        if (standard == S_OK && *name) return standard;
        if (!listBox_ || child.vt != VT_I4 || child.lVal < 1) return standard;
        const LRESULT length = SendMessageW(control_, LB_GETTEXTLEN, child.lVal - 1, 0);
        if (length == LB_ERR) return standard;
        std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied = SendMessageW(control_, LB_GETTEXT, child.lVal - 1,
                                            reinterpret_cast<LPARAM>(item.data()));
        item.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
        return text(item, name);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return standard_->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        return standard_->get_accFocus(child);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

  private:
    ~NamedAccessible() = default;

    static HRESULT text(const std::wstring& value, BSTR* name) {
        *name = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return *name ? S_OK : E_OUTOFMEMORY;
    }

    HWND control_;
    bool listBox_ = false;
    ComPtr<IAccessible> standard_;
    std::wstring name_;
    std::atomic<ULONG> references_{1};
};

// The answer to WM_GETOBJECT for the control's client object; 0 lets the system answer.
LRESULT accessibleObject(HWND control, WPARAM flags, const std::wstring& name) {
    const Oleacc& library = oleacc();
    if (!library.createStandard || !library.resultFromObject) return 0;
    ComPtr<IAccessible> standard;
    if (FAILED(library.createStandard(control, OBJID_CLIENT, __uuidof(IAccessible),
                                      standard.putVoid()))) {
        return 0;
    }
    auto* named = new NamedAccessible(control, std::move(standard), name);
    // LresultFromObject takes a reference of its own; ours goes at once.
    const LRESULT result = library.resultFromObject(__uuidof(IAccessible), flags, named);
    named->Release();
    return result;
}

// The named controls of this thread: a control's messages all come on the thread that made it.
thread_local std::unordered_map<HWND, std::wstring> namedControls;

LRESULT CALLBACK NamedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    // The object id travels in the low 32 bits, as a DWORD.
    if (message == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const auto found = namedControls.find(control); found != namedControls.end()) {
            if (const LRESULT result = accessibleObject(control, wParam, found->second)) {
                return result;
            }
        }
    }
    // The last message: the control's own procedure still gets it, the name goes.
    if (message == WM_NCDESTROY) namedControls.erase(control);
    return callReplaced(NamedControlProc, control, message, wParam, lParam);
}

}  // namespace

bool setAccessibleName(HWND control, std::wstring name) {
    // Only this thread's live controls are in the table; subclass() refuses any other.
    if (const auto known = namedControls.find(control); known != namedControls.end()) {
        known->second = std::move(name);
        return true;
    }
    if (!subclass(control, NamedControlProc)) return false;
    namedControls[control] = std::move(name);
    return true;
}

}  // namespace win32
