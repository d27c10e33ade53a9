// "Ready to Deploy..." and "Reset/Clear List" through the real programs: the shortcut in a
// Startup folder, read back through the shell, started as Windows does at logon; what
// Deployment Status says of it; the folders a deployment for all users is refused from; and
// the elevated instance that makes the shortcut for all users.
#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <cwchar>
#include <optional>
#include <stdexcept>

#include "editor/core/all_users_shortcut.hpp"
#include "editor/win/viewer_ids.hpp"
#include "editor_session.hpp"
#include "schedule/record.hpp"
#include "win32/owners.hpp"
#include "win32/shell.hpp"

using namespace driver;

namespace {

const wchar_t kQuestion[] =
    L" Want a short cut to your login (account)? Yes to your Login only, No to All users, Cancel "
    L"to clear data list ";

const wchar_t* const kDayFiles[] = {L"datmon.dat", L"dattue.dat", L"datwed.dat", L"datthu.dat",
                                    L"datfri.dat", L"datsat.dat", L"datsun.dat"};

std::wstring startupLink(const KNOWNFOLDERID& id) {
    std::wstring folder;
    if (const schedule::Outcome found = win32::knownFolder(id, folder); !found) {
        throw std::runtime_error("a Startup folder is missing: " + found.error);
    }
    return folder + L"\\Brightwick.lnk";
}

// The shippable programs in a folder of their own under C:\Program Files of the test prefix,
// removed at the end. A deployment for all users is made only from folders that no one but
// administrators may change, up to the drive's root; the build folder's drive under Wine is
// the Unix root, which Wine reports as a mount point, and on a machine of its own the build
// folder may lie in a folder everyone may change.
struct Installed {
    ProgramFolder folder{L"NorvellInstalled"};
    Installed() {
        for (const wchar_t* file :
             {L"Norvell.exe", L"Brightwick.exe", L"copyfle.com", L"clrfle.com"}) {
            folder.addCopy(distDir() + L"\\" + file, file);
        }
    }
    std::wstring norvell() const { return folder.path() + L"\\Norvell.exe"; }
    std::wstring launcher() const { return folder.path() + L"\\Brightwick.exe"; }
};

// The probe picked for every weekday at midnight, minimized: due at any hour of any day.
struct Picked {
    ProgramFolder programs{L"NorvellDeploy"};
    TempFolder work;
    std::unique_ptr<EditorSession> editor;

    // `norvell` in a new working folder under `parent` (by default the temporary folder).
    explicit Picked(const std::wstring& norvell = distDir() + L"\\Norvell.exe",
                    const std::wstring& parent = {})
        : work(parent) {
        programs.addProbe(L"probe.exe");
        editor = std::make_unique<EditorSession>(work.path(), norvell);
        if (!*editor) return;
        EXPECT_TRUE(editor->choose(programs, L"probe.exe"));
        for (int day = 0; day < 7; ++day) editor->tick(day);
        EXPECT_TRUE(editor->selectItem(editor::main::List1, L"AM"));
        EXPECT_TRUE(editor->selectItem(editor::main::List4, L"Minimize"));
        EXPECT_EQ(editor->pressAndReadMessage(editor::main::Command1),
                  L"Program Picked, Next one Please");
    }

    // Presses Deploy and returns the question box, checked.
    driver::MessageBox question() {
        editor->press(editor::main::Command3);
        return nextQuestion();
    }
    driver::MessageBox nextQuestion() {
        const driver::MessageBox box = waitForMessageBox(editor->id(), 40s);
        EXPECT_EQ(box.text, kQuestion);
        EXPECT_EQ(box.title, L"Norvell");
        EXPECT_EQ(buttonIds(box.window), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(box.window, IDYES), GWL_STYLE) & BS_DEFPUSHBUTTON)
            << "Yes is the default";
        // copyfle.com has finished before the question: the day files are there.
        EXPECT_NE(work.read(L"datsun.dat").value_or("").find("probe.exe"), std::string::npos);
        return box;
    }

    // Schedule > Restore Cleared Picks, and its one message.
    std::wstring restore() {
        PostMessageW(editor->main(), WM_COMMAND, editor::main::RestoreCleared, 0);
        return nextMessage();
    }

    // Schedule > Deployment Status..., and its one message.
    std::wstring status() {
        PostMessageW(editor->main(), WM_COMMAND, editor::main::DeploymentStatus, 0);
        return nextMessage();
    }

    // Deploy answered Yes or No, and the messages after it, in order.
    std::vector<std::wstring> deploy(int reply) {
        EXPECT_TRUE(answer(question(), reply));
        std::vector<std::wstring> said{nextMessage()};
        // A second message comes at once or not at all: the editor answers after its handler.
        while (sync(editor->main(), 40s) &&
               !topWindows(editor->id(), {}, L"#32770", false).empty()) {
            said.push_back(nextMessage());
        }
        return said;
    }

    // Show List, the given day, and the viewer's lines; the viewer is left open.
    std::wstring listOf(int day) {
        editor->press(editor::main::Command2);
        HWND viewer = waitForWindow(editor->id(), editor::form2::kTitle, {}, 40s);
        if (!viewer) return L"<no viewer>";
        click(GetDlgItem(viewer, editor::form2::Command1 + day));
        HWND list = GetDlgItem(viewer, editor::form2::DayList);
        pollUntil([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) > 0; }, 5s);
        return listText(list);
    }

    std::wstring nextMessage() {
        const driver::MessageBox box = waitForMessageBox(editor->id(), 40s);
        EXPECT_EQ(buttonIds(box.window), std::vector<int>{IDOK}) << utf8(box.text);
        EXPECT_TRUE(answer(box, IDOK));
        return box.text;
    }
};

}  // namespace

TEST(Deploy, YesAndNoPutALauncherShortcutThatRunsTodaysProgramsAtLogon) {
    struct Case {
        int answer;
        const KNOWNFOLDERID& folder;
        const wchar_t* message;
    };
    const Case cases[] = {
        {IDYES, FOLDERID_Startup,
         L"DATA FILES GENERATED and File copied to your Login Profile, Brightwick will be "
         L"activated next time you log on"},
        {IDNO, FOLDERID_CommonStartup,
         L"DATA FILES GENERATED and File copied to All Users profile, Brightwick will be "
         L"activated next time you log on"},
    };
    win32::ComApartment com;
    const Installed installed;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer == IDYES ? "Yes" : "No");
        const std::wstring link = startupLink(c.folder);
        DeleteFileW(link.c_str());
        Picked picked(installed.norvell());
        ASSERT_TRUE(*picked.editor);
        EXPECT_TRUE(answer(picked.question(), c.answer));
        EXPECT_EQ(picked.nextMessage(), c.message);

        const auto shortcut = loadLink(link);
        ASSERT_TRUE(shortcut) << "no Brightwick.lnk in " << utf8(link);
        EXPECT_EQ(shortcut->target, installed.launcher());
        EXPECT_EQ(shortcut->arguments, L"");
        EXPECT_EQ(shortcut->workingFolder, picked.work.path());

        // What Windows does at logon: the shortcut's target in its working folder.
        Process logon(shortcut->target, L"", shortcut->workingFolder);
        EXPECT_EQ(logon.wait(30s), 0u);
        ASSERT_TRUE(pollUntil([&] { return !probeRuns(picked.work.path()).empty(); }));
        const auto runs = probeRuns(picked.work.path());
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0].showWindow, SW_MINIMIZE);
        EXPECT_EQ(runs[0].folder, picked.work.path());
        EXPECT_TRUE(picked.editor->exit());
        DeleteFileW(link.c_str());
    }
}

TEST(Deploy, CancelOrClosingTheQuestionClearsAndCreatesNothing) {
    enum class Close { Cancel, Escape, CloseBox };
    for (const Close close : {Close::Cancel, Close::Escape, Close::CloseBox}) {
        const std::wstring userLink = startupLink(FOLDERID_Startup);
        const std::wstring allLink = startupLink(FOLDERID_CommonStartup);
        DeleteFileW(userLink.c_str());
        DeleteFileW(allLink.c_str());
        Picked picked;
        ASSERT_TRUE(*picked.editor);
        const driver::MessageBox box = picked.question();
        if (close == Close::Cancel) {
            EXPECT_TRUE(answer(box, IDCANCEL));
        } else {
            PostMessageW(box.window, close == Close::Escape ? WM_KEYDOWN : WM_CLOSE,
                         close == Close::Escape ? VK_ESCAPE : 0, 0);
            EXPECT_TRUE(pollUntil([&] { return !IsWindowVisible(box.window); }));
        }
        EXPECT_EQ(picked.nextMessage(),
                  L"DATA FILES clear, Brightwick not copied, but Check if Program already copied");
        EXPECT_EQ(GetFileAttributesW(userLink.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetFileAttributesW(allLink.c_str()), INVALID_FILE_ATTRIBUTES);
        // clrfle.com has finished before the message: only empty day files are left, and the
        // picks are kept aside where the editor can restore them.
        EXPECT_EQ(picked.work.names().size(), 7u);
        for (const wchar_t* day : kDayFiles) EXPECT_EQ(picked.work.read(day), "");
        const std::vector<std::wstring> clears = folderNames(picked.work.file(L"Cleared"));
        ASSERT_EQ(clears.size(), 1u);
        EXPECT_EQ(fileNames(picked.work.file(L"Cleared\\" + clears[0])),
                  (std::vector<std::wstring>{L"2Fri.dat", L"2Mon.dat", L"2Sat.dat", L"2Sun.dat",
                                             L"2Thu.dat", L"2Tue.dat", L"2Wed.dat"}));

        // Schedule > Restore Cleared Picks: the pick is back under the number after the
        // counter's, every day of it, and Show List shows it.
        EXPECT_EQ(picked.restore().rfind(L"Restored 1 cleared pick: ", 0), 0u);
        EXPECT_EQ(picked.editor->text(editor::main::Text4), L"3");
        EXPECT_TRUE(folderNames(picked.work.file(L"Cleared")).empty());
        for (const wchar_t* day : {L"3Mon.dat", L"3Tue.dat", L"3Wed.dat", L"3Thu.dat", L"3Fri.dat",
                                   L"3Sat.dat", L"3Sun.dat"}) {
            EXPECT_NE(picked.work.read(day).value_or("").find("probe.exe"), std::string::npos)
                << utf8(day);
        }
        const std::wstring sunday = picked.listOf(6);
        EXPECT_NE(sunday.find(L"probe.exe"), std::wstring::npos) << utf8(sunday);
        EXPECT_TRUE(picked.editor->exit());
    }
}

TEST(Deploy, AMalformedPickFileIsNamedAndTheLauncherStillDeployed) {
    win32::ComApartment com;
    const std::wstring link = startupLink(FOLDERID_Startup);
    DeleteFileW(link.c_str());
    Picked picked;
    ASSERT_TRUE(*picked.editor);
    picked.work.write(L"3Tue.dat", "08:00\r\nC:\\broken.exe\r\n");
    picked.editor->press(editor::main::Command3);

    const std::wstring leftOut = picked.nextMessage();
    EXPECT_NE(leftOut.find(L"3Tue.dat: it holds 2 lines instead of one record of 4"),
              std::wstring::npos)
        << utf8(leftOut);
    EXPECT_NE(leftOut.find(L"will not start"), std::wstring::npos) << utf8(leftOut);
    EXPECT_TRUE(answer(picked.nextQuestion(), IDYES));
    EXPECT_EQ(picked.nextMessage(),
              L"DATA FILES GENERATED and File copied to your Login Profile, Brightwick will be "
              L"activated next time you log on");
    EXPECT_TRUE(loadLink(link)) << "no Brightwick.lnk in " << utf8(link);
    // The good records are in the day files, the broken one in none.
    for (const wchar_t* day : kDayFiles) {
        const std::string bytes = picked.work.read(day).value_or("");
        EXPECT_NE(bytes.find("probe.exe"), std::string::npos) << utf8(day);
        EXPECT_EQ(bytes.find("broken.exe"), std::string::npos) << utf8(day);
    }
    EXPECT_TRUE(picked.editor->exit());
    DeleteFileW(link.c_str());
}

TEST(Deploy, WithoutBrightwickBesideTheEditorNothingIsDeployed) {
    // A copy of the shippable folder without the launcher.
    TempFolder application;
    for (const wchar_t* file : {L"Norvell.exe", L"copyfle.com", L"clrfle.com"}) {
        copyFileOrThrow(distDir() + L"\\" + file, application.file(file));
    }
    const std::wstring userLink = startupLink(FOLDERID_Startup);
    const std::wstring allLink = startupLink(FOLDERID_CommonStartup);
    DeleteFileW(userLink.c_str());
    DeleteFileW(allLink.c_str());
    TempFolder work;
    work.write(L"2Mon.dat", schedule::formatRecord({"08:00", "C:\\a.exe", "Normal", "Monday"}));
    EditorSession editor(work.path(), application.file(L"Norvell.exe"));
    ASSERT_TRUE(editor);

    const std::wstring message = editor.pressAndReadMessage(editor::main::Command3);
    EXPECT_EQ(message.rfind(L"Brightwick.exe is missing from " + application.path() +
                                L"\\, the "
                                L"folder Norvell runs from.",
                            0),
              0u)
        << utf8(message);
    EXPECT_NE(message.find(L"nothing was deployed."), std::wstring::npos) << utf8(message);
    ASSERT_TRUE(sync(editor.main()));
    EXPECT_TRUE(topWindows(editor.id(), {}, L"#32770").empty()) << "no question, no success";
    EXPECT_EQ(GetFileAttributesW(userLink.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(allLink.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(work.names(), std::vector<std::wstring>{L"2Mon.dat"}) << "no helper ran";
    EXPECT_TRUE(editor.exit());
}

TEST(Reset, UnticksSelectsTwelveAmNormalAndClearsWithoutAMessage) {
    // Restore tells whether a shortcut starts this schedule: none does here.
    DeleteFileW(startupLink(FOLDERID_Startup).c_str());
    DeleteFileW(startupLink(FOLDERID_CommonStartup).c_str());
    Picked picked;
    ASSERT_TRUE(*picked.editor);
    EditorSession& editor = *picked.editor;
    ASSERT_TRUE(editor.selectItem(editor::main::List1, L"PM"));
    ASSERT_TRUE(editor.selectItem(editor::main::List2, L"07"));
    editor.press(editor::main::Command5);
    ASSERT_TRUE(pollUntil(
        [&] { return picked.work.exists(L"datsun.dat") && !picked.work.exists(L"2Mon.dat"); }));
    // Main is disabled while it waits for clrfle.com; enabled again, the handler goes on to
    // its end, where a message would come.
    ASSERT_TRUE(pollUntil([&] { return IsWindowEnabled(editor.main()) != FALSE; }));
    ASSERT_TRUE(sync(editor.main()));
    EXPECT_EQ(picked.work.names().size(), 7u);
    for (const wchar_t* day : kDayFiles) EXPECT_EQ(picked.work.read(day), "");
    for (int day = 0; day < 7; ++day) EXPECT_FALSE(editor.ticked(day));
    EXPECT_EQ(editor.currentItem(editor::main::List2), L"12");
    EXPECT_EQ(editor.currentItem(editor::main::List3), L"00");
    EXPECT_EQ(editor.currentItem(editor::main::List1), L"AM");
    EXPECT_EQ(editor.currentItem(editor::main::List4), L"Normal");
    EXPECT_EQ(editor.text(editor::main::Text4), L"2") << "the counter stays";
    EXPECT_EQ(editor.currentItem(editor::main::File1), L"probe.exe");
    EXPECT_TRUE(topWindows(editor.id(), {}, L"#32770").empty()) << "Reset says nothing";

    // A second Reset finds no pick file and makes no folder. clrfle.com writes the day files
    // last, so a new datsun.dat means it has done the rest.
    const auto writeTime = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExW(picked.work.file(L"datsun.dat").c_str(), GetFileExInfoStandard, &data);
        return (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
               data.ftLastWriteTime.dwLowDateTime;
    };
    const ULONGLONG firstClear = writeTime();
    editor.press(editor::main::Command5);
    ASSERT_TRUE(pollUntil([&] { return writeTime() != firstClear; }));
    const std::wstring cleared = picked.work.file(L"Cleared");
    ASSERT_EQ(folderNames(cleared).size(), 1u);
    EXPECT_NE(fileBytes(cleared + L"\\" + folderNames(cleared)[0] + L"\\2Wed.dat")
                  .value_or("")
                  .find("probe.exe"),
              std::string::npos);

    // A pick on Tuesday and Sunday, then Esc at the deploy question, which clears too:
    // neither clear loses the other's picks, and Restore brings back the latest one first.
    editor.tick(1);
    editor.tick(6);
    EXPECT_EQ(editor.pressAndReadMessage(editor::main::Command1),
              L"Program Picked, Next one Please");
    const driver::MessageBox question = picked.question();
    PostMessageW(question.window, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(pollUntil([&] { return !IsWindowVisible(question.window); }));
    EXPECT_EQ(picked.nextMessage(),
              L"DATA FILES clear, Brightwick not copied, but Check if Program already copied");
    EXPECT_EQ(folderNames(cleared).size(), 2u);
    const std::wstring program = editor.text(editor::main::Dir1) + L"\\probe.exe";
    const std::wstring restored = L"Restored 1 cleared pick: \"" + program +
                                  L"\". The day files are built again; no Brightwick shortcut "
                                  L"starts this schedule at logon yet: deploy to start it at "
                                  L"logon.";
    EXPECT_EQ(picked.restore(), restored +
                                    L"\n\n1 earlier clear remains: Restore Cleared Picks again "
                                    L"brings back the one before.");
    EXPECT_EQ(picked.restore(), restored);
    EXPECT_TRUE(folderNames(cleared).empty());
    // Both picks are back, and so are the day files the launcher reads at the next logon.
    for (const wchar_t* file : {L"5Tue.dat", L"5Sun.dat", L"6Wed.dat", L"6Sun.dat"}) {
        EXPECT_NE(picked.work.read(file).value_or("").find("probe.exe"), std::string::npos)
            << utf8(file);
    }
    for (const wchar_t* day : kDayFiles) {
        EXPECT_NE(picked.work.read(day).value_or("").find(utf8(program)), std::string::npos)
            << utf8(day);
    }
    EXPECT_TRUE(editor.exit());
}

namespace {

const wchar_t kStartupListKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder";

// The user's (or the computer's) startup list entry for Brightwick.lnk; none when there is
// none.
std::optional<std::string> startupListEntry(HKEY root = HKEY_CURRENT_USER) {
    std::string bytes(64, '\0');
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegGetValueW(root, kStartupListKey, L"Brightwick.lnk", RRF_RT_REG_BINARY, nullptr,
                     bytes.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    bytes.resize(size);
    return bytes;
}

// Turns Brightwick.lnk off in the user's (or the computer's) startup list, as Task Manager
// does: 3, then the time.
void disableInStartupList(HKEY root = HKEY_CURRENT_USER) {
    const std::string disabled("\x03\0\0\0\x60\x9c\x2a\x4b\x91\xd5\xda\x01", 12);
    ASSERT_EQ(RegSetKeyValueW(root, kStartupListKey, L"Brightwick.lnk", REG_BINARY, disabled.data(),
                              static_cast<DWORD>(disabled.size())),
              ERROR_SUCCESS);
}

// Neither Startup folder holds Brightwick.lnk, nor the user's or the computer's startup list
// an entry for it, from the start of a test to its end.
struct NoDeployment {
    NoDeployment() { clear(); }
    ~NoDeployment() { clear(); }
    NoDeployment(const NoDeployment&) = delete;
    NoDeployment& operator=(const NoDeployment&) = delete;
    void clear() {
        DeleteFileW(startupLink(FOLDERID_Startup).c_str());
        DeleteFileW(startupLink(FOLDERID_CommonStartup).c_str());
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kStartupListKey, L"Brightwick.lnk");
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kStartupListKey, L"Brightwick.lnk");
    }
};

bool holds(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

std::wstring startupFolder(const KNOWNFOLDERID& id) {
    const std::wstring link = startupLink(id);
    return link.substr(0, link.find_last_of(L'\\'));
}

}  // namespace

TEST(DeploymentStatus, AfterYesAndALogonItReportsThisEditorsShortcutEnabledAndTheLastRun) {
    const NoDeployment none;
    win32::ComApartment com;
    Picked picked;
    ASSERT_TRUE(*picked.editor);
    EXPECT_EQ(picked.deploy(IDYES).size(), 1u) << "nothing but the success";
    const auto shortcut = loadLink(startupLink(FOLDERID_Startup));
    ASSERT_TRUE(shortcut);
    Process logon(shortcut->target, L"", shortcut->workingFolder);
    EXPECT_EQ(logon.wait(30s), 0u);

    const std::wstring status = picked.status();
    EXPECT_TRUE(
        holds(status, L"The Startup folder of your account (" + startupFolder(FOLDERID_Startup) +
                          L"):\n- The shortcut Brightwick.lnk is there.\n- It starts " + distDir() +
                          L"\\Brightwick.exe, this editor's Brightwick.exe.\n"
                          L"- It starts it in " +
                          picked.work.path() +
                          L", this editor's working folder, where the schedule you edit "
                          L"here is.\n- Windows' startup list lets it start at logon.\n"))
        << utf8(status);
    EXPECT_TRUE(holds(status, L"The Startup folder of all users (" +
                                  startupFolder(FOLDERID_CommonStartup) +
                                  L"):\n- There is no Brightwick shortcut.\n"))
        << utf8(status);
    // The run just made: today's date, and the probe that started.
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t today[16];
    swprintf(today, 16, L"%04u-%02u-%02u ", now.wYear, now.wMonth, now.wDay);
    EXPECT_TRUE(
        holds(status, L"Brightwick last ran at a logon of your account on " + std::wstring(today)))
        << utf8(status);
    EXPECT_TRUE(holds(status, L": The one due program started.\n\n")) << utf8(status);
    EXPECT_TRUE(status.ends_with(
        L"All is well: Brightwick starts once at each logon, with the schedule you edit here."))
        << utf8(status);
    EXPECT_TRUE(picked.editor->exit());
}

TEST(DeploymentStatus, ADisabledEntryIsNamedWithHowToEnableItAndYesEnablesIt) {
    const NoDeployment none;
    Picked picked;
    ASSERT_TRUE(*picked.editor);
    picked.deploy(IDYES);
    disableInStartupList();
    const std::wstring disabled = picked.status();
    EXPECT_TRUE(holds(disabled,
                      L"- Windows' startup list has it disabled: Windows does not start "
                      L"it at logon.\n"))
        << utf8(disabled);
    EXPECT_TRUE(holds(disabled,
                      L"What to do:\n- The shortcut in the Startup folder of your "
                      L"account is disabled in Windows' startup list, so Windows does "
                      L"not start Brightwick at logon: enable it in Task Manager's "
                      L"Startup apps"))
        << utf8(disabled);

    EXPECT_EQ(picked.deploy(IDYES).size(), 1u) << "enabled without a word";
    const std::optional<std::string> entry = startupListEntry();
    ASSERT_TRUE(entry);
    ASSERT_FALSE(entry->empty());
    EXPECT_EQ(static_cast<unsigned char>(entry->front()) & 1, 0) << "enabled again";
    EXPECT_TRUE(holds(picked.status(), L"- Windows' startup list lets it start at logon.\n"));
    EXPECT_TRUE(picked.editor->exit());
}

TEST(DeploymentStatus, ShortcutsInBothFoldersAreNamedAsADoubleStartAndByDeploy) {
    const NoDeployment none;
    win32::ComApartment com;
    const Installed installed;
    Picked picked(installed.norvell());
    ASSERT_TRUE(*picked.editor);
    std::vector<std::wstring> said = picked.deploy(IDNO);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_TRUE(holds(said[0], L"All Users profile")) << utf8(said[0]);

    said = picked.deploy(IDYES);
    ASSERT_EQ(said.size(), 2u);
    EXPECT_TRUE(holds(said[0], L"your Login Profile")) << utf8(said[0]);
    EXPECT_EQ(said[1],
              L"The Startup folder of all users holds a Brightwick shortcut too, so "
              L"Brightwick will start twice at each logon, and every due program twice. "
              L"Remove that one, " +
                  startupLink(FOLDERID_CommonStartup) +
                  L" (this needs administrator rights, and Brightwick then no longer "
                  L"starts for the other users of this computer).");

    const std::wstring status = picked.status();
    EXPECT_TRUE(holds(status,
                      L"- Brightwick starts twice at each logon, once from each Startup "
                      L"folder, so every due program starts twice: remove the second "
                      L"shortcut, " +
                          startupLink(FOLDERID_Startup) + L"."))
        << utf8(status);
    EXPECT_TRUE(picked.editor->exit());
}

namespace {

// Administrators, SYSTEM and the user may do everything; `others` adds to it. Wine keeps only
// what Unix permissions hold, the owner's and Everyone's rights, so the rights of Users and
// Authenticated Users go to Everyone too, where Wine shows them.
std::wstring accessList(const std::wstring& others) {
    win32::UniqueHandle token;
    HANDLE raw = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw);
    token.reset(raw);
    alignas(TOKEN_USER) unsigned char buffer[256];
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size);
    wchar_t* sid = nullptr;
    ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid);
    const win32::UniqueLocalMemory<wchar_t> owned(sid);
    return L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + std::wstring(sid ? sid : L"") +
           L")" + others;
}

const std::wstring kUsersMayChange = L"(A;OICI;0x1301bf;;;BU)(A;OICI;0x1301bf;;;WD)";
const std::wstring kUsersMayRead = L"(A;OICI;0x1200a9;;;BU)(A;OICI;0x1200a9;;;WD)";

}  // namespace

TEST(AllUsersDeployment, AWorkingFolderUsersMayChangeIsRefusedAndOneTheyMayOnlyReadIsNot) {
    const NoDeployment none;
    win32::ComApartment com;
    const Installed installed;
    {
        Picked picked(installed.norvell());
        ASSERT_TRUE(*picked.editor);
        setAccessListOrThrow(picked.work.path(), accessList(kUsersMayChange).c_str());
        const std::vector<std::wstring> said = picked.deploy(IDNO);
        ASSERT_EQ(said.size(), 1u);
        EXPECT_EQ(said[0].rfind(L"Brightwick was not deployed for all users.", 0), 0u)
            << utf8(said[0]);
        EXPECT_TRUE(holds(said[0], L"\n- " + picked.work.path() +
                                       L": Everyone may create or change files there, so any of "
                                       L"them could put a program of their own into the logon of "
                                       L"every user, administrators included.\n"))
            << utf8(said[0]);
        EXPECT_TRUE(holds(said[0],
                          L"such as C:\\Program Files\\Norvell, which administrators "
                          L"own."))
            << utf8(said[0]);
        EXPECT_FALSE(loadLink(startupLink(FOLDERID_CommonStartup))) << "no shortcut";
        EXPECT_TRUE(picked.editor->exit());
        setAccessListOrThrow(picked.work.path(), accessList(kUsersMayRead).c_str());
    }
    Picked picked(installed.norvell());
    ASSERT_TRUE(*picked.editor);
    setAccessListOrThrow(picked.work.path(), accessList(kUsersMayRead).c_str());
    const std::vector<std::wstring> said = picked.deploy(IDNO);
    EXPECT_EQ(said, std::vector<std::wstring>{L"DATA FILES GENERATED and File copied to All Users "
                                              L"profile, Brightwick will be activated next time "
                                              L"you log on"});
    const auto shortcut = loadLink(startupLink(FOLDERID_CommonStartup));
    ASSERT_TRUE(shortcut);
    EXPECT_EQ(shortcut->target, installed.launcher());
    EXPECT_EQ(shortcut->workingFolder, picked.work.path());
    EXPECT_TRUE(picked.editor->exit());
}

// Wine keeps an access list as the Unix mode: a folder everyone may change is mode 0777, one
// everyone may only read 0755. It also gives a folder whose list is set the entries its folder
// passes on, so the folder above is opened only after the working folder's list is set.
TEST(AllUsersDeployment, AWorkingFolderInAFolderUsersMayChangeIsRefusedNamingThatFolder) {
    const NoDeployment none;
    win32::ComApartment com;
    const Installed installed;
    const TempFolder base;  // in folders everyone may only read, up to the drive's root
    for (const bool open : {true, false}) {
        SCOPED_TRACE(open ? "0777 above" : "0755 above");
        const TempFolder parent(base.path());
        {
            Picked picked(installed.norvell(), parent.path());
            ASSERT_TRUE(*picked.editor);
            setAccessListOrThrow(picked.work.path(), accessList(kUsersMayRead).c_str());
            setAccessListOrThrow(parent.path(),
                                 accessList(open ? kUsersMayChange : kUsersMayRead).c_str());
            const std::vector<std::wstring> said = picked.deploy(IDNO);
            ASSERT_EQ(said.size(), 1u);
            if (open) {
                EXPECT_EQ(said[0].rfind(L"Brightwick was not deployed for all users.", 0), 0u)
                    << utf8(said[0]);
                EXPECT_TRUE(holds(said[0], L"\n- " + parent.path() +
                                               L": Everyone may rename or replace this folder, "
                                               L"which holds " +
                                               picked.work.path() + L", so"))
                    << utf8(said[0]);
                EXPECT_FALSE(holds(said[0], L"\n- " + picked.work.path()))
                    << "the working folder itself is safe: " << utf8(said[0]);
                EXPECT_FALSE(loadLink(startupLink(FOLDERID_CommonStartup))) << "no shortcut";
            } else {
                EXPECT_EQ(said[0],
                          L"DATA FILES GENERATED and File copied to All Users profile, "
                          L"Brightwick will be activated next time you log on");
                const auto shortcut = loadLink(startupLink(FOLDERID_CommonStartup));
                ASSERT_TRUE(shortcut);
                EXPECT_EQ(shortcut->workingFolder, picked.work.path());
            }
            EXPECT_TRUE(picked.editor->exit());
            setAccessListOrThrow(parent.path(), accessList(kUsersMayRead).c_str());
        }
    }
}

TEST(AllUsersDeployment, TheElevatedInstanceMakesOnlyTheShortcutForItsFolderAndEnds) {
    const NoDeployment none;
    win32::ComApartment com;
    const Installed installed;
    TempFolder work;
    TempFolder elsewhere;  // where it is started from: the argument names the working folder
    const std::wstring link = startupLink(FOLDERID_CommonStartup);
    disableInStartupList(HKEY_LOCAL_MACHINE);
    {
        Process elevated(installed.norvell(),
                         L"/create-all-users-shortcut \"" + work.path() + L"\"", elsewhere.path());
        EXPECT_EQ(elevated.wait(30s), 0u);
    }
    const auto shortcut = loadLink(link);
    ASSERT_TRUE(shortcut) << "no shortcut for all users";
    EXPECT_EQ(shortcut->target, installed.launcher());
    EXPECT_EQ(shortcut->arguments, L"");
    EXPECT_EQ(shortcut->workingFolder, work.path());
    EXPECT_FALSE(loadLink(startupLink(FOLDERID_Startup))) << "only that shortcut";
    EXPECT_TRUE(work.names().empty()) << "no schedule file touched";
    const std::optional<std::string> entry = startupListEntry(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(entry && !entry->empty());
    EXPECT_EQ(static_cast<unsigned char>(entry->front()) & 1, 0)
        << "enabled again in the computer's startup list";
    DeleteFileW(link.c_str());

    TempFolder open;
    setAccessListOrThrow(open.path(), accessList(kUsersMayChange).c_str());
    struct Case {
        std::wstring arguments;
        DWORD status;
    };
    const Case cases[] = {
        {L"/create-all-users-shortcut", ERROR_INVALID_PARAMETER},
        {L"/create-all-users-shortcut \"" + work.path() + L"\" extra", ERROR_INVALID_PARAMETER},
        {L"/create-all-users-shortcut work", ERROR_INVALID_PARAMETER},
        {L"/create-all-users-shortcut \"" + work.path() + L"\\..\"", ERROR_INVALID_PARAMETER},
        {L"/create-all-users-shortcut \"" + work.file(L"missing") + L"\"", ERROR_FILE_NOT_FOUND},
        {L"/create-all-users-shortcut \"" + open.path() + L"\"", editor::kRefusedForAllUsers},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(utf8(c.arguments));
        Process elevated(installed.norvell(), c.arguments, elsewhere.path());
        EXPECT_EQ(elevated.wait(30s), c.status);
        EXPECT_FALSE(loadLink(link)) << "a shortcut was made";
    }
    setAccessListOrThrow(open.path(), accessList(kUsersMayRead).c_str());
}

// The installer's steps run with administrator rights on any command line: a folder other than
// the shared schedule's, or a log outside the programs' folder, is refused and nothing made.
TEST(AllUsersSetup, AStepRefusesAFolderOrLogOfAnotherAndChangesNothing) {
    const Installed installed;
    TempFolder elsewhere;
    const std::wstring made = L" \"" + elsewhere.file(L"Norvell") + L"\" ";
    const std::wstring ownLog = L"\"" + installed.folder.path() + L"\\install.log\"";
    for (const std::wstring& line : {std::wstring(L"/make-shared-schedule-folder C:\\elsewhere x"),
                                     L"/make-shared-schedule-folder" + made + ownLog,
                                     L"/deploy-schedule-for-all-users" + made + L"C:\\ \"" +
                                         elsewhere.file(L"x.log") + L"\""}) {
        EXPECT_EQ(Process(installed.norvell(), line, elsewhere.path()).wait(30s), 13u)
            << utf8(line);
        EXPECT_TRUE(elsewhere.names().empty()) << "nothing made";
        EXPECT_EQ(GetFileAttributesW(L"C:\\elsewhere"), INVALID_FILE_ATTRIBUTES);
    }
}
