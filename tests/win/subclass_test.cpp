// Procedures put in front of a window's own: each sees the message first, newest first, and
// what it passes on reaches the one it replaced, down to the window's last message.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>

#include "win32/subclass.hpp"

namespace {

thread_local std::string heard;

LRESULT CALLBACK Own(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) heard += "own;";
    if (message == WM_NCDESTROY) heard += "own's last;";
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK First(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) heard += "first;";
    if (message == WM_USER + 1) return 11;  // kept to itself
    return win32::callReplaced(First, window, message, wParam, lParam);
}

LRESULT CALLBACK Second(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) heard += "second;";
    return win32::callReplaced(Second, window, message, wParam, lParam);
}

HWND makeWindow() {
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Own;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"SubclassTestWindow";
        return RegisterClassW(&windowClass);
    }();
    return atom ? CreateWindowExW(0, L"SubclassTestWindow", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr)
                : nullptr;
}

TEST(Subclass, EachProcedureSeesTheMessageAndPassesItToTheOneItReplaced) {
    HWND window = makeWindow();
    ASSERT_TRUE(window);
    ASSERT_TRUE(win32::subclass(window, First));
    ASSERT_TRUE(win32::subclass(window, Second));
    EXPECT_FALSE(win32::subclass(window, First)) << "already in front of it";

    heard.clear();
    SendMessageW(window, WM_USER, 0, 0);
    EXPECT_EQ(heard, "second;first;own;");
    EXPECT_EQ(SendMessageW(window, WM_USER + 1, 0, 0), 11) << "a message kept by the first";

    heard.clear();
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(heard, "own's last;") << "the window's own procedure ends it";
}

TEST(Subclass, AWindowOfAnotherThreadIsRefused) {
    HWND window = makeWindow();
    ASSERT_TRUE(window);
    bool refused = false;
    std::thread other([&] { refused = !win32::subclass(window, First); });
    other.join();
    EXPECT_TRUE(refused);
    EXPECT_FALSE(win32::subclass(nullptr, First));
    DestroyWindow(window);
}

}  // namespace
