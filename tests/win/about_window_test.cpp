// Form3, the About window, in the test's own process: its layout in pixels, its one instance,
// its place among the editor's windows, and a change of DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "fonts.hpp"
#include "editor/core/help.hpp"
#include "editor/win/about_window.hpp"
#include "editor/win/fonts.hpp"
#include "win32/font.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"
#include "win32/twips.hpp"

using editor::Form3;
using editor::WindowRegistry;
namespace form3 = editor::form3;

namespace {

class AboutWindow : public testing::Test {
  protected:
    void TearDown() override {
        about_.reset();
        discardQuit();
    }

    // A new About window, shown as Main shows it; null when it could not be made.
    HWND open() {
        about_ = std::make_unique<Form3>();
        const schedule::Outcome created = about_->create(&windows);
        EXPECT_TRUE(created) << created.error;
        if (!created) return nullptr;
        about_->show(SW_SHOWNORMAL);
        return about_->hwnd();
    }

    // The registry posts the quit message once its last window is gone; true when it did.
    static bool discardQuit() {
        MSG message;
        return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
    }

    static std::vector<HWND> aboutWindows() {
        struct Found {
            std::vector<HWND> windows;
        } found;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM data) -> BOOL {
                wchar_t name[64] = {};
                GetClassNameW(window, name, 64);
                if (std::wstring_view(name) == form3::kClassName) {
                    reinterpret_cast<Found*>(data)->windows.push_back(window);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found.windows;
    }

    static RECT childRect(HWND parent, HWND child) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    static std::wstring text(HWND window) {
        std::wstring value(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
        value.resize(static_cast<std::size_t>(
            GetWindowTextW(window, value.data(), static_cast<int>(value.size()))));
        return value;
    }

    static void expectLaidOutFor(HWND about, unsigned dpi) {
        HWND label = GetDlgItem(about, form3::Label1);
        ASSERT_NE(label, nullptr);
        const RECT place = childRect(about, label);
        const win32::PixelRect expected = win32::toPixels({360, 240, 6135, 2775}, dpi);
        EXPECT_EQ(place.left, expected.left);
        EXPECT_EQ(place.top, expected.top);
        EXPECT_EQ(place.right - place.left, expected.width);
        EXPECT_EQ(place.bottom - place.top, expected.height);
        const LOGFONTW font = driver::logFontOf(label);
        EXPECT_EQ(font.lfHeight, win32::fontHeight(1200, dpi)) << "12 points at " << dpi;
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_FALSE(font.lfItalic);
        EXPECT_EQ(std::wstring(font.lfFaceName), win32::chooseFamily(editor::fonts::kAbout));
        EXPECT_NE(std::wstring(font.lfFaceName), L"") << "some sans family stands in for Arial";
    }

    WindowRegistry windows;
    std::unique_ptr<Form3> about_;
};

}  // namespace

TEST_F(AboutWindow, ShowsOneLabelWithTheAboutTextInArial12) {
    HWND about = open();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(text(about), form3::kTitle);
    EXPECT_EQ(GetWindow(about, GW_OWNER), nullptr) << "no owner: it outlives Main";
    EXPECT_EQ(GetParent(about), nullptr);
    EXPECT_TRUE(windows.contains(about));
    EXPECT_EQ(windows.count(), 1u);

    const unsigned dpi = GetDpiForWindow(about);
    RECT client;
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, win32::twipsToPixels(7050, dpi));
    EXPECT_EQ(client.bottom, win32::twipsToPixels(3555, dpi));
    const LONG style = GetWindowLongW(about, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU) << "closed by its close box";
    EXPECT_FALSE(style & WS_THICKFRAME);

    HWND label = GetDlgItem(about, form3::Label1);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(text(label), win32::widen(editor::help::kAboutText));
    EXPECT_EQ(GetWindowLongW(label, GWL_STYLE) & SS_TYPEMASK, SS_LEFT) << "wraps at words";
    expectLaidOutFor(about, dpi);
    if (win32::fontFamilyInstalled(L"Arial")) {
        EXPECT_EQ(driver::logFontOf(label).lfFaceName, std::wstring(L"Arial"));
    }

    // Only the label: no buttons or other controls.
    int children = 0;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ++children;
    }
    EXPECT_EQ(children, 1);
}

TEST_F(AboutWindow, TheTextFitsInsideTheLabel) {
    HWND label = GetDlgItem(open(), form3::Label1);
    RECT place;
    GetClientRect(label, &place);
    RECT needed = place;
    const std::wstring about = win32::widen(editor::help::kAboutText);
    const win32::ClientDC dc(label);
    const win32::Selected font(dc.get(),
                               reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    DrawTextW(dc.get(), about.c_str(), static_cast<int>(about.size()), &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    EXPECT_LE(needed.bottom - needed.top, place.bottom - place.top) << "the last lines are cut";
    EXPECT_LE(needed.right - needed.left, place.right - place.left);
}

TEST_F(AboutWindow, ClosedItLeavesTheEditorsWindowsAndComesBackWithTheSameText) {
    // Another window of the editor stays open: closing About must not end the editor.
    HWND main = CreateWindowExW(0, L"STATIC", L"Main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(main, nullptr);
    windows.add(main);
    HWND first = open();
    ASSERT_NE(first, nullptr);
    const std::wstring firstText = text(GetDlgItem(first, form3::Label1));
    EXPECT_EQ(windows.count(), 2u);

    SendMessageW(first, WM_SYSCOMMAND, SC_CLOSE, 0);  // its close box
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(about_->hwnd(), nullptr);
    EXPECT_FALSE(windows.contains(first));
    EXPECT_FALSE(discardQuit()) << "Main is still open";

    HWND second = open();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(text(GetDlgItem(second, form3::Label1)), firstText);
    EXPECT_EQ(aboutWindows().size(), 1u);

    // Main closed by its close box: About alone keeps the editor going, and ends it when it
    // closes in turn.
    windows.remove(main);
    DestroyWindow(main);
    EXPECT_FALSE(discardQuit());
    DestroyWindow(second);
    EXPECT_TRUE(discardQuit()) << "the last window of the editor has closed";
}

TEST_F(AboutWindow, EscClosesItAsTheMessageLoopHandsTheKeyOn) {
    HWND about = open();
    ASSERT_NE(about, nullptr);
    MSG escape{about, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(about, &escape));
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(discardQuit());
}

TEST_F(AboutWindow, ExitClosesItWithEverythingElse) {
    HWND about = open();
    windows.closeAll();
    EXPECT_FALSE(IsWindow(about));
    EXPECT_EQ(about_->hwnd(), nullptr);
    EXPECT_TRUE(discardQuit());
}

TEST_F(AboutWindow, ANewDpiLaysItOutAgain) {
    HWND about = open();
    ASSERT_NE(about, nullptr);
    const unsigned dpi = GetDpiForWindow(about) * 2;
    RECT suggested{40, 30, 900, 600};
    SendMessageW(about, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    expectLaidOutFor(about, dpi);
    // The client area is the new DPI's, at the place the system offered.
    RECT client;
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, win32::twipsToPixels(7050, dpi));
    EXPECT_EQ(client.bottom, win32::twipsToPixels(3555, dpi));
    RECT window;
    GetWindowRect(about, &window);
    EXPECT_EQ(window.left, 40);
    EXPECT_EQ(window.top, 30);
}
