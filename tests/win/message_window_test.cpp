// Deployment Status with several problems at 150 % scaling (in a program of its own: the DPI is
// read at its start) lies inside the work area with its OK button in view, in the same words.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <thread>

#include "../host/fake_editor.hpp"
#include "driver.hpp"
#include "log_pixels.hpp"
#include "editor/core/deployment_status.hpp"
#include "editor/win/message_window.hpp"
#include "win32/dpi.hpp"
#include "win32/text.hpp"

namespace {

constexpr wchar_t kAtDpi[] = L"NORVELL_MESSAGE_DPI";

bool inside(const RECT& inner, const RECT& outer) {
    RECT both{};
    return UnionRect(&both, &inner, &outer) && EqualRect(&both, &outer);
}

// Deployment Status as the editor words it with a shortcut it cannot read and six due programs
// the last logon did not start.
std::string statusWithProblems() {
    testing_support::FakeServices services;
    services.unreadableShortcuts[services.linkPath(editor::StartupFolder::AllUsers)] = "Denied";
    launcher::LastRun last{"2026-03-02 08:00", "it started 1 of 7 due programs.", "datmon.dat"};
    for (char i = '1'; i <= '6'; ++i) {
        last.notStarted.push_back(
            {"C:\\Program Files\\A Vendor\\Tool " + std::string(1, i) + "\\tool.exe",
             "The system cannot find the file specified"});
    }
    services.lastRun = last;
    editor::deploymentStatus(services);
    return services.log.back().substr(std::string("message: ").size());
}

}  // namespace

TEST(MessageWindow, DeploymentStatusWithSeveralProblemsFitsTheWorkAreaAt144Dpi) {
    if (!_wgetenv(kAtDpi)) {
        wchar_t self[MAX_PATH + 1] = {};
        ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH + 1), 0u);
        const driver::LogPixels scale(144);
        ASSERT_TRUE(scale.set());
        SetEnvironmentVariableW(kAtDpi, L"144");
        const driver::Process program(self, L"--gtest_filter=MessageWindow.*",
                                      driver::testBinDir());
        SetEnvironmentVariableW(kAtDpi, nullptr);
        EXPECT_EQ(program.wait(std::chrono::seconds(120)), std::optional<DWORD>(0))
            << "its failures are above";
        return;
    }
    win32::declarePerMonitorDpiAwareness();
    ASSERT_EQ(win32::systemDpi(), 144u) << "LogPixels did not hold";
    const std::string text = statusWithProblems();
    RECT work{}, screen{0, 0, 1024, 768};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && inside(work, screen));

    driver::MessageBox shown;
    RECT window{}, ok{};
    std::wstring textClass;
    std::thread user([&] {
        shown = driver::waitForMessageBox(GetCurrentProcessId(), std::chrono::seconds(100));
        if (!shown) return;
        GetWindowRect(shown.window, &window);
        GetWindowRect(GetDlgItem(shown.window, IDOK), &ok);
        textClass = driver::className(GetDlgItem(shown.window, 0xFFFF));
        driver::answer(shown, IDOK);
    });
    const editor::Answer answer = editor::showMessage(nullptr, text, editor::Buttons::Ok);
    user.join();
    ASSERT_TRUE(shown) << "no message came";
    EXPECT_EQ(answer, editor::Answer::Ok);
    EXPECT_EQ(textClass, L"Edit") << "a message box, which does not scroll";
    EXPECT_EQ(shown.title, L"Norvell");
    EXPECT_EQ(shown.text, win32::widen(text));
    EXPECT_TRUE(inside(window, work));
    EXPECT_TRUE(inside(ok, window));
}
