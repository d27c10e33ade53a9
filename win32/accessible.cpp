#include "win32/accessible.hpp"

#include <commctrl.h>
#include <oleidl.h>

#include <atomic>
#include <memory>
#include <unordered_map>
#include <utility>

#include "win32/subclass.hpp"
#include "win32/system_library.hpp"

namespace win32 {

namespace {

// The annotation service's identifiers, by their documented values: oleacc.dll is loaded at run
// time, so nothing links the library that would otherwise define them.
constexpr GUID kAccPropServicesClass = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kAccPropServicesInterface = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kNameProperty = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

// oleacc.dll is only needed while a screen reader asks, which most sessions never do: it is
// loaded then, from the system folder, and stays.
enum OleaccProcedure { kCreateStandard, kResultFromObject };
using Oleacc = SystemLibrary<decltype(&CreateStdAccessibleObject), decltype(&LresultFromObject)>;

const Oleacc& oleacc() {
    static const Oleacc library(L"oleacc.dll", "CreateStdAccessibleObject", "LresultFromObject");
    return library;
}

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's accessible object for a control, but for the control's own name: where the
// system cannot annotate. Such a wrapper must be a COM object of its own, as "Alternatives to
// Dynamic Annotation" lists: it answers QueryInterface itself, offering IEnumVARIANT and
// IOleWindow only where the system's object has them, and nothing else of that object (whose
// answer to IUnknown would be another object); and its IDispatch runs the IAccessible type
// information on the wrapper, so a late-bound client reads the same name as an early-bound one.
class NamedAccessible final : public IAccessible, public IEnumVARIANT, public IOleWindow {
  public:
    NamedAccessible(HWND control, ComPtr<IAccessible> standard, const std::wstring& name)
        : control_(control), standard_(std::move(standard)), name_(name) {
        wchar_t className[16] = {};
        GetClassNameW(control, className, 16);
        listBox_ = CompareStringOrdinal(className, -1, WC_LISTBOXW, -1, TRUE) == CSTR_EQUAL;
        standard_->QueryInterface(__uuidof(IEnumVARIANT), enumerator_.putVoid());
        standard_->QueryInterface(__uuidof(IOleWindow), window_.putVoid());
    }

    // IUnknown, for all three interfaces.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
        } else if (id == __uuidof(IEnumVARIANT) && enumerator_) {
            *object = static_cast<IEnumVARIANT*>(this);
        } else if (id == __uuidof(IOleWindow) && window_) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch, from IAccessible's type information in oleacc's type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_INVALIDARG;
        *count = typeInfo() ? 1 : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_INVALIDARG;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo* accessible = typeInfo();
        if (!accessible) return E_NOTIMPL;
        accessible->AddRef();
        *info = accessible;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID id, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (id != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* accessible = typeInfo();
        if (!accessible) return E_NOTIMPL;
        return accessible->GetIDsOfNames(names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID id, LCID, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argument) override {
        if (id != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        ITypeInfo* accessible = typeInfo();
        if (!accessible) return E_NOTIMPL;
        // On the wrapper, not on the system's object: get_accName and the rest are ours.
        return accessible->Invoke(static_cast<IAccessible*>(this), member, flags, parameters,
                                  result, exception, argument);
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

    // IEnumVARIANT: the system's enumeration of the children. A copy is an enumerator of its
    // own, as the system's object makes it.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* children, ULONG* fetched) override {
        return enumerator_->Next(count, children, fetched);
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override { return enumerator_->Skip(count); }
    HRESULT STDMETHODCALLTYPE Reset() override { return enumerator_->Reset(); }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        return enumerator_->Clone(copy);
    }

    // IOleWindow: the control's window.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        return window_->GetWindow(window);
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enter) override {
        return window_->ContextSensitiveHelp(enter);
    }

  private:
    ~NamedAccessible() = default;

    static HRESULT text(const std::wstring& value, BSTR* name) {
        *name = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
        return *name ? S_OK : E_OUTOFMEMORY;
    }

    // IAccessible's type information, loaded at the first late-bound call.
    ITypeInfo* typeInfo() {
        if (!typeInfo_) {
            ComPtr<ITypeLib> library;
            if (SUCCEEDED(LoadRegTypeLib(LIBID_Accessibility, 1, 1, LANG_NEUTRAL, library.put()))) {
                library->GetTypeInfoOfGuid(__uuidof(IAccessible), typeInfo_.put());
            }
        }
        return typeInfo_.get();
    }

    HWND control_;
    bool listBox_ = false;
    ComPtr<IAccessible> standard_;
    ComPtr<IEnumVARIANT> enumerator_;
    ComPtr<IOleWindow> window_;
    ComPtr<ITypeInfo> typeInfo_;
    std::wstring name_;
    std::atomic<ULONG> references_{1};
};

// The answer to WM_GETOBJECT for the control's client object; 0 lets the system answer.
LRESULT accessibleObject(HWND control, WPARAM flags, const std::wstring& name) {
    const Oleacc& library = oleacc();
    if (!library.complete()) return 0;
    ComPtr<IAccessible> standard;
    if (FAILED(library.get<kCreateStandard>()(control, OBJID_CLIENT, __uuidof(IAccessible),
                                              standard.putVoid()))) {
        return 0;
    }
    auto* named = new NamedAccessible(control, std::move(standard), name);
    // LresultFromObject takes a reference of its own; ours goes at once.
    const LRESULT result = library.get<kResultFromObject>()(__uuidof(IAccessible), flags,
                                                            static_cast<IAccessible*>(named));
    named->Release();
    return result;
}

enum class Way {
    Unchosen,    // no screen reader has asked yet
    Annotation,  // the system's own objects, annotated
    Wrapper,     // the system cannot annotate: our objects around its own
};

struct Named {
    std::wstring name;
    bool annotated = false;
};

// The named controls of this thread, and how their names reach screen readers: a control's
// messages all come on the thread that made it.
struct Naming {
    std::unordered_map<HWND, Named> controls;
    Way way = Way::Unchosen;
    std::function<ComPtr<IAccPropServices>()> source;  // null: oleacc's service
    // Held while an annotation stands, for clearing it when its control goes.
    ComPtr<IAccPropServices> service;
    std::size_t annotated = 0;
};
thread_local Naming naming;

ComPtr<IAccPropServices> annotationService() {
    if (naming.source) return naming.source();
    ComPtr<IAccPropServices> service;
    createComInstance(kAccPropServicesClass, CLSCTX_INPROC_SERVER, kAccPropServicesInterface,
                      service.putVoid());
    return service;
}

bool annotate(HWND control, Named& named) {
    if (!naming.service) naming.service = annotationService();
    if (!naming.service) return false;
    if (FAILED(naming.service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT),
                                              CHILDID_SELF, kNameProperty, named.name.c_str()))) {
        return false;
    }
    if (!named.annotated) ++naming.annotated;
    named.annotated = true;
    return true;
}

void clearAnnotation(HWND control, Named& named) {
    if (!named.annotated) return;
    named.annotated = false;
    if (naming.service) {
        const MSAAPROPID name = kNameProperty;
        naming.service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       &name, 1);
    }
    // The last annotation gone, the service goes too, before the thread's COM may end.
    if (--naming.annotated == 0) naming.service.reset();
}

// The way, chosen at the first request for a named control: annotation where the system
// annotates the first control, and then every other one; our objects where it does not.
Way chosenWay(HWND asked) {
    if (naming.way != Way::Unchosen) return naming.way;
    const auto first = naming.controls.find(asked);
    if (first == naming.controls.end() || !annotate(asked, first->second)) {
        naming.service.reset();
        naming.way = Way::Wrapper;
        return naming.way;
    }
    naming.way = Way::Annotation;
    for (auto& [control, named] : naming.controls) {
        if (!named.annotated) annotate(control, named);
    }
    return naming.way;
}

LRESULT CALLBACK NamedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT) {
        chosenWay(control);
        // The object id travels in the low 32 bits, as a DWORD. An annotated control is the
        // system's to answer for; our object stands in where no annotation does.
        if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
            if (const auto found = naming.controls.find(control);
                found != naming.controls.end() && !found->second.annotated) {
                if (const LRESULT result = accessibleObject(control, wParam, found->second.name)) {
                    return result;
                }
            }
        }
    } else if (message == WM_DESTROY) {
        if (const auto found = naming.controls.find(control); found != naming.controls.end()) {
            clearAnnotation(control, found->second);
        }
    } else if (message == WM_NCDESTROY) {
        // The last message: the control's own procedure still gets it, the name goes.
        naming.controls.erase(control);
    }
    return callReplaced(NamedControlProc, control, message, wParam, lParam);
}

}  // namespace

bool setAccessibleName(HWND control, std::wstring name) {
    // Only this thread's live controls are in the table; subclass() refuses any other.
    auto known = naming.controls.find(control);
    if (known == naming.controls.end()) {
        if (!subclass(control, NamedControlProc)) return false;
        known = naming.controls.emplace(control, Named{}).first;
    }
    known->second.name = std::move(name);
    // Once annotation is the way, a name given later is annotated at once.
    if (naming.way == Way::Annotation) annotate(control, known->second);
    return true;
}

void setAnnotationSource(std::function<ComPtr<IAccPropServices>()> source) {
    naming.source = std::move(source);
    naming.way = Way::Unchosen;
}

}  // namespace win32
