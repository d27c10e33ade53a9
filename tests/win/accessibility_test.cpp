// What a screen reader calls every control of Main, the viewer and About: the caption where it
// says what the control is, a name of its own where it does not (the weekday boxes, whose
// caption hides behind their size, the lists, the pickers, the viewer's list).
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>

#include "../host/fake_editor.hpp"
#include "editor/core/help.hpp"
#include "editor/win/about_window.hpp"
#include "editor/win/main_window.hpp"
#include "editor/win/viewer_window.hpp"
#include "schedule/record.hpp"
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

    // The name of `child` (CHILDID_SELF: the control itself); "<none>" when it has none.
    std::wstring name(HWND control, long child = CHILDID_SELF) const {
        win32::ComPtr<IAccessible> object;
        if (FAILED(fromWindow_(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               object.putVoid()))) {
            return L"<no object>";
        }
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

std::string record(const char* time, const char* program, const char* style, const char* day) {
    return schedule::formatRecord({time, program, style, day});
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
    editor::Form2 form2(services, [] {});
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
    services.folder.files["datmon.dat"] = record("07:30", "C:\\Tools\\app.exe", "Max", "Monday");
    editor::Form2 form2(services, [] {});
    ASSERT_TRUE(form2.create(nullptr));
    SendMessageW(GetDlgItem(form2.hwnd(), viewer::Command1), BM_CLICK, 0, 0);
    HWND list = GetDlgItem(form2.hwnd(), viewer::DayList);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(reader.name(list, 1), L"Time: 07:30\r\nC:\\Tools\\app.exe\r\nRun Style - Maximize");
}
