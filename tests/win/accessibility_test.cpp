// What a screen reader calls every control of Main, the viewer and About: the caption where it
// says what the control is, a name of its own where it does not (the weekday boxes, whose
// caption hides behind their size, the lists, the pickers, the viewer's list). The names are
// annotations where the system annotates (here through a stand-in for its service) and come
// from our own accessible object where it does not (Wine's oleacc, as in the first tests).
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>
#include <oleidl.h>
#include <servprov.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "../host/fake_editor.hpp"
#include "editor/core/help.hpp"
#include "editor/win/about_window.hpp"
#include "editor/win/main_window.hpp"
#include "editor/win/viewer_window.hpp"
#include "driver.hpp"
#include "win32/accessible.hpp"
#include "win32/owners.hpp"
#include "win32/system_library.hpp"
#include "win32/text.hpp"

namespace {

namespace ids = editor::main;
namespace viewer = editor::form2;

// A screen reader's view of a control: its accessible object, as oleacc gives it to any
// client, and that object's names. oleacc is loaded as a client loads it.
class ScreenReader {
  public:
    ScreenReader() : oleacc_(win32::loadSystemLibrary(L"oleacc.dll")) {
        if (oleacc_) {
            fromWindow_ = win32::procedureOf<decltype(&AccessibleObjectFromWindow)>(
                oleacc_.get(), "AccessibleObjectFromWindow");
        }
    }
    explicit operator bool() const { return fromWindow_ != nullptr; }

    // The control's accessible object, as a client gets it.
    bool object(HWND control, win32::ComPtr<IAccessible>& object) const {
        return SUCCEEDED(fromWindow_(control, static_cast<DWORD>(OBJID_CLIENT),
                                     __uuidof(IAccessible), object.putVoid()));
    }

    // The name of `child` (CHILDID_SELF: the control itself); "<none>" when it has none.
    std::wstring name(HWND control, long child = CHILDID_SELF) const {
        win32::ComPtr<IAccessible> object;
        if (!this->object(control, object)) return L"<no object>";
        VARIANT which{};
        which.vt = VT_I4;
        which.lVal = child;
        BSTR name = nullptr;
        if (object->get_accName(which, &name) != S_OK || !name) return L"<none>";
        std::wstring text(name, SysStringLen(name));
        SysFreeString(name);
        return text;
    }

  private:
    win32::UniqueModule oleacc_;
    decltype(&AccessibleObjectFromWindow) fromWindow_ = nullptr;
};

// A stand-in for oleacc's annotation service: it records the names it is given for a control's
// client object and the names it is asked to clear, and answers `answer` to every annotation.
class FakeAnnotations final : public IAccPropServices {
  public:
    explicit FakeAnnotations(HRESULT answer) : answer_(answer) {}

    std::map<HWND, std::wstring> names;  // standing annotations
    std::set<HWND> cleared;
    int handedOut = 0;  // how often the editor was given the service

    ULONG references() const { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (id == __uuidof(IUnknown) || id == IID_IAccPropServices) {
            *object = static_cast<IAccPropServices*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND hwnd, DWORD object, DWORD child,
                                             MSAAPROPID property, LPCWSTR text) override {
        if (FAILED(answer_)) return answer_;
        EXPECT_EQ(object, static_cast<DWORD>(OBJID_CLIENT));
        EXPECT_EQ(child, static_cast<DWORD>(CHILDID_SELF));
        EXPECT_TRUE(IsEqualGUID(property, PROPID_ACC_NAME));
        names[hwnd] = text;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND hwnd, DWORD object, DWORD child,
                                             const MSAAPROPID* properties, int count) override {
        EXPECT_EQ(object, static_cast<DWORD>(OBJID_CLIENT));
        EXPECT_EQ(child, static_cast<DWORD>(CHILDID_SELF));
        EXPECT_EQ(count, 1);
        EXPECT_TRUE(count == 1 && IsEqualGUID(properties[0], PROPID_ACC_NAME));
        EXPECT_TRUE(names.erase(hwnd)) << "cleared what was never annotated";
        EXPECT_TRUE(IsWindow(hwnd)) << "cleared after the control went";
        cleared.insert(hwnd);
        return S_OK;
    }

    // The rest of the service is not for names of controls.
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int,
                                            IAccPropServer*, AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int,
                                                IAccPropServer*, AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**,
                                                        DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*,
                                                          DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int,
                                                 IAccPropServer*, AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*,
                                                           DWORD*) override {
        return E_NOTIMPL;
    }

  private:
    HRESULT answer_;
    ULONG references_ = 1;
};

// While it lives, the names of this thread's controls reach the service `source` gives (null:
// none at all), not the system's.
class AnnotationSource {
  public:
    explicit AnnotationSource(FakeAnnotations* fake) {
        win32::setAnnotationSource([fake] {
            win32::ComPtr<IAccPropServices> service;
            if (fake) {
                ++fake->handedOut;
                fake->QueryInterface(IID_IAccPropServices, service.putVoid());
            }
            return service;
        });
    }
    ~AnnotationSource() { win32::setAnnotationSource(nullptr); }
    AnnotationSource(const AnnotationSource&) = delete;
    AnnotationSource& operator=(const AnnotationSource&) = delete;
};

// What a screen reader's first question to a control gets: 0 lets the system's own object
// answer.
LRESULT askForClientObject(HWND control) {
    return SendMessageW(control, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
}

}  // namespace

TEST(ScreenReaders, EveryControlOfTheThreeWindowsHasANameThatSaysWhatItIs) {
    const win32::ComApartment com;
    const ScreenReader reader;
    ASSERT_TRUE(reader) << "oleacc.dll cannot be loaded";

    editor::PlatformServices platform;
    editor::WindowRegistry windows;
    editor::MainWindow main(platform, windows);
    ASSERT_TRUE(main.create());
    testing_support::FakeServices services;
    editor::Form2 form2(services, editor::ScheduleUse::Change, [] {});
    ASSERT_TRUE(form2.create(nullptr));
    editor::Form3 form3;
    ASSERT_TRUE(form3.create(nullptr));

    struct Expected {
        HWND window;
        int id;
        std::wstring name;
    };
    const std::wstring about = win32::widen(editor::help::kAboutText);
    // clang-format off
    const Expected table[] = {
        {main.hwnd(), ids::Label9, L"Norvell"},         {main.hwnd(), ids::Line1, L"Separator"},
        {main.hwnd(), ids::Label1, L"Mon"},             {main.hwnd(), ids::Label2, L"Tue"},
        {main.hwnd(), ids::Label3, L"Wed"},             {main.hwnd(), ids::Label4, L"Thu"},
        {main.hwnd(), ids::Label5, L"Fri"},             {main.hwnd(), ids::Label6, L"Sat"},
        {main.hwnd(), ids::Label7, L"Sun"},
        {main.hwnd(), ids::Label8, L"Time (Will run after below time)"},
        {main.hwnd(), ids::Label10, L"Run Style"},
        {main.hwnd(), ids::Check1 + 0, L"Monday"},      {main.hwnd(), ids::Check1 + 1, L"Tuesday"},
        {main.hwnd(), ids::Check1 + 2, L"Wednesday"},   {main.hwnd(), ids::Check1 + 3, L"Thursday"},
        {main.hwnd(), ids::Check1 + 4, L"Friday"},      {main.hwnd(), ids::Check1 + 5, L"Saturday"},
        {main.hwnd(), ids::Check1 + 6, L"Sunday"},
        {main.hwnd(), ids::List2, L"Hour"},             {main.hwnd(), ids::List3, L"Minute"},
        {main.hwnd(), ids::List1, L"AM or PM"},         {main.hwnd(), ids::List4, L"Run style"},
        {main.hwnd(), ids::Program, L"Program to be Run when starting up pc"},
        {main.hwnd(), ids::Drive1, L"Drive"},           {main.hwnd(), ids::Dir1, L"Folder"},
        {main.hwnd(), ids::File1, L"Program file"},
        {main.hwnd(), ids::Command1, L"Pick Program"},  {main.hwnd(), ids::Command2, L"Show List"},
        {main.hwnd(), ids::Command3, L"Ready to Deploy..."},
        {main.hwnd(), ids::Command5, L"Reset/Clear List"},
        {main.hwnd(), ids::Command4, L"Exit"},
        {main.hwnd(), ids::Text1, L"Program being picked"},
        {main.hwnd(), ids::Text3, L"Hour being written"},
        {main.hwnd(), ids::Text4, L"Pick counter"},
        {form2.hwnd(), viewer::Command1, L"Monday"},    {form2.hwnd(), viewer::Command2, L"Tuesday"},
        {form2.hwnd(), viewer::Command3, L"Wednesday"}, {form2.hwnd(), viewer::Command4, L"Thursday"},
        {form2.hwnd(), viewer::Command5, L"Friday"},    {form2.hwnd(), viewer::Command6, L"Saturday"},
        {form2.hwnd(), viewer::Command7, L"Sunday"},
        {form2.hwnd(), viewer::Command8, L"Back to Main Menu"},
        {form2.hwnd(), viewer::DayList, L"Scheduled programs"},
        {form3.hwnd(), editor::form3::Label1, about},
    };
    // clang-format on
    int named = 0;
    for (const Expected& expected : table) {
        HWND control = GetDlgItem(expected.window, expected.id);
        ASSERT_NE(control, nullptr) << expected.id;
        EXPECT_EQ(reader.name(control), expected.name) << "control " << expected.id;
        ++named;
    }
    // Every control of the three windows is in the table.
    int controls = 0;
    for (HWND window : {main.hwnd(), form2.hwnd(), form3.hwnd()}) {
        for (HWND child = GetWindow(window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            ++controls;
        }
    }
    EXPECT_EQ(named, controls);
    windows.closeAll();
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST(ScreenReaders, TheViewersRecordsReadAsTheirLines) {
    const win32::ComApartment com;
    const ScreenReader reader;
    ASSERT_TRUE(reader);
    testing_support::FakeServices services;
    services.folder.files["datmon.dat"] =
        driver::record("07:30", "C:\\Tools\\app.exe", "Max", "Monday");
    editor::Form2 form2(services, editor::ScheduleUse::Change, [] {});
    ASSERT_TRUE(form2.create(nullptr));
    SendMessageW(GetDlgItem(form2.hwnd(), viewer::Command1), BM_CLICK, 0, 0);
    HWND list = GetDlgItem(form2.hwnd(), viewer::DayList);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(reader.name(list, 1), L"Time: 07:30\r\nC:\\Tools\\app.exe\r\nRun Style - Maximize");
}

TEST(ScreenReaders, WhereTheSystemAnnotatesEveryNameIsAnAnnotationClearedWithItsControl) {
    const win32::ComApartment com;
    FakeAnnotations service(S_OK);
    std::map<HWND, std::wstring> expected;
    {
        const AnnotationSource source(&service);
        editor::PlatformServices platform;
        editor::WindowRegistry windows;
        editor::MainWindow main(platform, windows);
        ASSERT_TRUE(main.create());
        testing_support::FakeServices services;
        editor::Form2 form2(services, editor::ScheduleUse::Change, [] {});
        ASSERT_TRUE(form2.create(nullptr));
        EXPECT_EQ(service.handedOut, 0) << "nothing is annotated before a screen reader asks";

        HWND monday = GetDlgItem(main.hwnd(), ids::Check1);
        EXPECT_EQ(askForClientObject(monday), 0) << "the system's own object answers";
        // clang-format off
        const std::pair<int, const wchar_t*> mainNames[] = {
            {ids::Line1, L"Separator"},
            {ids::Check1 + 0, L"Monday"},   {ids::Check1 + 1, L"Tuesday"},
            {ids::Check1 + 2, L"Wednesday"}, {ids::Check1 + 3, L"Thursday"},
            {ids::Check1 + 4, L"Friday"},   {ids::Check1 + 5, L"Saturday"},
            {ids::Check1 + 6, L"Sunday"},
            {ids::List2, L"Hour"},          {ids::List3, L"Minute"},
            {ids::List1, L"AM or PM"},      {ids::List4, L"Run style"},
            {ids::Drive1, L"Drive"},        {ids::Dir1, L"Folder"},
            {ids::File1, L"Program file"},
            {ids::Text1, L"Program being picked"}, {ids::Text3, L"Hour being written"},
            {ids::Text4, L"Pick counter"},
        };
        // clang-format on
        for (const auto& [id, name] : mainNames) expected[GetDlgItem(main.hwnd(), id)] = name;
        expected[GetDlgItem(form2.hwnd(), viewer::DayList)] = L"Scheduled programs";
        EXPECT_EQ(service.names, expected) << "one question annotates every named control";
        EXPECT_EQ(askForClientObject(GetDlgItem(form2.hwnd(), viewer::DayList)), 0);

        // A window made once annotation is the way is annotated as it is made.
        editor::Form2 another(services, editor::ScheduleUse::Change, [] {});
        ASSERT_TRUE(another.create(nullptr));
        HWND anotherList = GetDlgItem(another.hwnd(), viewer::DayList);
        EXPECT_EQ(service.names[anotherList], L"Scheduled programs");
        DestroyWindow(another.hwnd());
        EXPECT_EQ(service.cleared, std::set<HWND>{anotherList});
        EXPECT_EQ(service.names, expected);

        windows.closeAll();
        DestroyWindow(form2.hwnd());
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    EXPECT_TRUE(service.names.empty()) << "every annotation went with its control";
    EXPECT_EQ(service.cleared.size(), expected.size() + 1);
    EXPECT_EQ(service.references(), 1u) << "the service is let go of with the last annotation";
}

TEST(ScreenReaders, WhereTheSystemCannotAnnotateOurObjectKeepsComIdentityAndServesLateBinding) {
    const win32::ComApartment com;
    const ScreenReader reader;
    ASSERT_TRUE(reader);
    struct Case {
        const char* system;
        HRESULT answer;  // the service's answer to an annotation; none at all when unused
        bool hasService;
    };
    const Case cases[] = {{"a service that does not annotate", E_NOTIMPL, true},
                          {"no annotation service", S_OK, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.system);
        FakeAnnotations service(c.answer);
        const AnnotationSource source(c.hasService ? &service : nullptr);
        editor::PlatformServices platform;
        editor::WindowRegistry windows;
        editor::MainWindow main(platform, windows);
        ASSERT_TRUE(main.create());
        HWND tuesday = GetDlgItem(main.hwnd(), ids::Check1 + 1);
        EXPECT_EQ(reader.name(tuesday), L"Tuesday");
        EXPECT_TRUE(service.names.empty());

        win32::ComPtr<IAccessible> object;
        ASSERT_TRUE(reader.object(tuesday, object));
        // Every interface the object gives leads back to the one object.
        win32::ComPtr<IUnknown> identity;
        ASSERT_EQ(object->QueryInterface(__uuidof(IUnknown), identity.putVoid()), S_OK);
        const IID interfaces[] = {__uuidof(IAccessible), __uuidof(IDispatch),
                                  __uuidof(IEnumVARIANT), __uuidof(IOleWindow),
                                  __uuidof(IServiceProvider)};
        for (const IID& id : interfaces) {
            win32::ComPtr<IUnknown> other;
            if (FAILED(object->QueryInterface(id, other.putVoid()))) continue;
            win32::ComPtr<IUnknown> back;
            ASSERT_EQ(other->QueryInterface(__uuidof(IUnknown), back.putVoid()), S_OK);
            EXPECT_EQ(back.get(), identity.get()) << "an interface of another object";
        }
        // A late-bound client asks by name and reads the same name.
        win32::ComPtr<IDispatch> dispatch;
        ASSERT_EQ(object->QueryInterface(__uuidof(IDispatch), dispatch.putVoid()), S_OK);
        wchar_t memberName[] = L"accName";
        LPOLESTR names[] = {memberName};
        DISPID member = 0;
        ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &member), S_OK);
        EXPECT_EQ(member, DISPID_ACC_NAME);
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        DISPPARAMS parameters{&self, nullptr, 1, 0};
        VARIANT result{};
        ASSERT_EQ(dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                   &parameters, &result, nullptr, nullptr),
                  S_OK);
        ASSERT_EQ(result.vt, VT_BSTR);
        EXPECT_EQ(std::wstring(result.bstrVal, SysStringLen(result.bstrVal)), L"Tuesday");
        VariantClear(&result);
        object.reset();
        dispatch.reset();
        identity.reset();
        windows.closeAll();
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
}
