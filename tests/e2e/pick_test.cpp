// "Pick Program" through the real Norvell.exe: the pick files it writes, byte for byte, and
// the window afterwards.
#include <gtest/gtest.h>

#include <optional>

#include "editor/win/viewer_ids.hpp"
#include "editor_session.hpp"
#include "schedule/folder.hpp"

using namespace driver;

namespace {
std::string rawRecord(const std::string& time, const std::string& program, const char* style,
                      const char* day) {
    return time + "\r\n" + program + "\r\n" + style + "\r\n" + day + "\r\n";
}
}  // namespace

TEST(Pick, AFullPickWritesExactPickFilesAndPreparesTheNext) {
    ProgramFolder programs(L"NorvellPick");
    programs.addProbe(L"tool.exe");
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    ASSERT_TRUE(editor.choose(programs, L"tool.exe"));
    editor.tick(0);
    editor.tick(4);
    ASSERT_TRUE(editor.selectItem(editor::main::List2, L"07"));
    ASSERT_TRUE(editor.selectItem(editor::main::List3, L"45"));
    ASSERT_TRUE(editor.selectItem(editor::main::List1, L"PM"));
    ASSERT_TRUE(editor.selectItem(editor::main::List4, L"Minimize"));

    EXPECT_EQ(editor.pressAndReadMessage(editor::main::Command1),
              L"Program Picked, Next one Please");

    // The folder as Dir1 spells it, one backslash, the file.
    const std::string program = utf8(windowText(editor.control(editor::main::Dir1))) + "\\tool.exe";
    EXPECT_EQ(work.names(), (std::vector<std::wstring>{L"2Fri.dat", L"2Mon.dat"}));
    EXPECT_EQ(work.read(L"2Mon.dat"), rawRecord("19:45", program, "Min", "Monday"));
    EXPECT_EQ(work.read(L"2Fri.dat"), rawRecord("19:45", program, "Min", "Friday"));

    for (int day = 0; day < 7; ++day) EXPECT_TRUE(editor.ticked(day)) << day;
    EXPECT_EQ(editor.currentItem(editor::main::List2), L"12");
    EXPECT_EQ(editor.currentItem(editor::main::List3), L"00");
    EXPECT_EQ(editor.currentItem(editor::main::List1), L"AM");
    EXPECT_EQ(editor.currentItem(editor::main::List4), L"Normal");
    EXPECT_EQ(editor.currentItem(editor::main::File1), L"tool.exe");
    EXPECT_EQ(editor.text(editor::main::Text4), L"2");
    EXPECT_EQ(editor.text(editor::main::Text3), L"19");

    // Straight again: all seven days at midnight, Normal, under the next number.
    EXPECT_EQ(editor.pressAndReadMessage(editor::main::Command1),
              L"Program Picked, Next one Please");
    EXPECT_EQ(work.names().size(), 2u + 7u);
    EXPECT_EQ(work.read(L"3Sun.dat"), rawRecord("00:00", program, "Normal", "Sunday"));
    EXPECT_EQ(editor.text(editor::main::Text4), L"3");
    EXPECT_TRUE(editor.exit());
}

TEST(Pick, NoFileSelectedAsksForOneAndWritesNothing) {
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    editor.tick(1);
    EXPECT_EQ(editor.pressAndReadMessage(editor::main::Command1),
              L"You didn't select any file, please make a selection");
    EXPECT_TRUE(work.names().empty());
    EXPECT_EQ(editor.text(editor::main::Text4), L"3");
    EXPECT_TRUE(editor.exit());
}

TEST(Pick, PickFileThatCannotBeWrittenIsReportedAndTheChoicesKept) {
    ProgramFolder programs(L"NorvellPickFail");
    programs.addProbe(L"tool.exe");
    // The file system refuses the pick file: a folder stands where the editor writes it before
    // it gets its name, or the user may no longer change the working folder (made so once the
    // editor has started, which would have said so at its start).
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "a folder the user may only read" : "a folder in the way");
        TempFolder work;
        EditorSession editor(work.path());
        ASSERT_TRUE(editor);
        std::optional<ReadOnlyFolder> unchangeable;
        if (readOnly) {
            // Once the start, whose check writes into the folder after the window shows, is over.
            ASSERT_TRUE(sync(editor.main()));
            unchangeable.emplace(work.path());
        } else {
            createFolderOrThrow(
                work.file(win32::widen(schedule::temporaryNameFor("2Mon.dat", editor.id()))));
        }
        ASSERT_TRUE(editor.choose(programs, L"tool.exe"));
        editor.tick(0);
        ASSERT_TRUE(editor.selectItem(editor::main::List4, L"Hide"));

        const std::wstring message = editor.pressAndReadMessage(editor::main::Command1);
        EXPECT_NE(message.find(L"2Mon.dat"), std::wstring::npos) << utf8(message);
        EXPECT_EQ(message.find(L"Program Picked"), std::wstring::npos);
        EXPECT_EQ(work.names(), std::vector<std::wstring>{}) << "no file, whole or half";
        EXPECT_FALSE(work.exists(L"2Mon.dat"));
        EXPECT_TRUE(editor.ticked(0));
        EXPECT_FALSE(editor.ticked(1)) << "the choices stay for another try";
        EXPECT_EQ(editor.currentItem(editor::main::List4), L"Hide");
        EXPECT_EQ(editor.text(editor::main::Text4), L"2");
        EXPECT_TRUE(editor.exit());
    }
}

TEST(Pick, NameOutsideTheCodePageIsRefused) {
    if (GetACP() == CP_UTF8) GTEST_SKIP() << "every name fits a UTF-8 code page";
    ProgramFolder programs(L"\u041f\u0440\u043e\u0433");  // Cyrillic
    programs.addProbe(L"tool.exe");
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    ASSERT_TRUE(editor.choose(programs, L"tool.exe"));
    editor.tick(2);
    const std::wstring message = editor.pressAndReadMessage(editor::main::Command1);
    EXPECT_NE(message.find(programs.name() + L"\\tool.exe"), std::wstring::npos) << utf8(message);
    EXPECT_TRUE(work.names().empty());
    EXPECT_TRUE(editor.exit());
}

TEST(Pick, LongPickNumbersGoOnFromTheHighestAndReplaceNothing) {
    ProgramFolder programs(L"NorvellPickLong");
    programs.addProbe(L"tool.exe");
    TempFolder work;
    const std::string earlier = rawRecord("08:00", "C:\\old.exe", "Normal", "Monday");
    work.write(L"2000000000000000Mon.dat", earlier);
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor.text(editor::main::Text4), L"2000000000000000");
    ASSERT_TRUE(editor.choose(programs, L"tool.exe"));
    editor.tick(0);
    EXPECT_EQ(editor.pressAndReadMessage(editor::main::Command1),
              L"Program Picked, Next one Please");
    EXPECT_EQ(editor.text(editor::main::Text4), L"2000000000000001");
    EXPECT_TRUE(work.exists(L"2000000000000001Mon.dat"));
    EXPECT_EQ(editor.pressAndReadMessage(editor::main::Command1),
              L"Program Picked, Next one Please");
    EXPECT_EQ(editor.text(editor::main::Text4), L"2000000000000002");
    EXPECT_TRUE(work.exists(L"2000000000000002Sun.dat"));
    EXPECT_EQ(work.names().size(), 1u + 1u + 7u) << "every pick a file of its own";
    EXPECT_EQ(work.read(L"2000000000000000Mon.dat"), earlier);
    EXPECT_TRUE(editor.exit());
}

TEST(Pick, AtTheHighestPickNumberAPickSaysSoAndWritesNothing) {
    ProgramFolder programs(L"NorvellPickLimit");
    programs.addProbe(L"tool.exe");
    TempFolder work;
    work.write(L"999999999999999999Sun.dat", rawRecord("08:00", "C:\\old.exe", "Normal", "Sunday"));
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    EXPECT_EQ(editor.text(editor::main::Text4), L"999999999999999999");
    ASSERT_TRUE(editor.choose(programs, L"tool.exe"));
    editor.tick(2);
    const std::wstring message = editor.pressAndReadMessage(editor::main::Command1);
    EXPECT_EQ(message.rfind(L"The pick counter stands at 999999999999999999 and cannot go past "
                            L"999,999,999,999,999,999, the highest number a pick file may have. "
                            L"Nothing was written.",
                            0),
              0u)
        << utf8(message);
    EXPECT_EQ(work.names(), std::vector<std::wstring>{L"999999999999999999Sun.dat"});
    EXPECT_EQ(editor.text(editor::main::Text4), L"999999999999999999");
    EXPECT_TRUE(editor.exit());
}

namespace {
// Show List in `editor`, once its viewer is open: copyfle.com has combined the pick files.
bool showList(EditorSession& editor) {
    editor.press(editor::main::Command2);
    return waitForWindow(editor.id(), editor::form2::kTitle, {}, 40s) != nullptr;
}
}  // namespace

// Two editors started on one folder each take their counter from it: both would pick number
// 2. The second finds 2Mon.dat taken and picks past it, replacing nothing.
TEST(Pick, TwoEditorsOnOneFolderEachKeepTheirPick) {
    ProgramFolder programs(L"NorvellPickTwo");
    programs.addProbe(L"first.exe");
    programs.addProbe(L"second.exe");
    TempFolder work;
    EditorSession one(work.path());
    EditorSession two(work.path());
    ASSERT_TRUE(one && two);
    ASSERT_TRUE(one.choose(programs, L"first.exe"));
    ASSERT_TRUE(two.choose(programs, L"second.exe"));
    one.tick(0);
    two.tick(0);
    EXPECT_EQ(one.pressAndReadMessage(editor::main::Command1), L"Program Picked, Next one Please");
    EXPECT_EQ(two.pressAndReadMessage(editor::main::Command1), L"Program Picked, Next one Please");

    const std::string folder = utf8(windowText(one.control(editor::main::Dir1)));
    const std::string first = rawRecord("12:00", folder + "\\first.exe", "Normal", "Monday");
    const std::string second = rawRecord("12:00", folder + "\\second.exe", "Normal", "Monday");
    EXPECT_EQ(one.text(editor::main::Text4), L"2");
    EXPECT_EQ(two.text(editor::main::Text4), L"3") << "past the first editor's pick";
    EXPECT_EQ(work.names(), (std::vector<std::wstring>{L"2Mon.dat", L"3Mon.dat"}));
    EXPECT_EQ(work.read(L"2Mon.dat"), first);
    EXPECT_EQ(work.read(L"3Mon.dat"), second);
    ASSERT_TRUE(showList(two));
    EXPECT_EQ(work.read(L"datmon.dat"), first + second);
}

// The same with Restore Cleared Picks in one editor after a pick in the other.
TEST(Pick, ARestoreBesideAPickInAnotherEditorKeepsBoth) {
    ProgramFolder programs(L"NorvellPickRestore");
    programs.addProbe(L"picked.exe");
    TempFolder work;
    createFolderOrThrow(work.file(L"Cleared"));
    const std::string cleared = rawRecord("08:00", "C:\\cleared.exe", "Hide", "Monday");
    work.write(L"Cleared\\5Mon.dat", cleared);
    EditorSession picking(work.path());
    EditorSession restoring(work.path());
    ASSERT_TRUE(picking && restoring);
    ASSERT_TRUE(picking.choose(programs, L"picked.exe"));
    picking.tick(0);
    EXPECT_EQ(picking.pressAndReadMessage(editor::main::Command1),
              L"Program Picked, Next one Please");

    PostMessageW(restoring.main(), WM_COMMAND, editor::main::RestoreCleared, 0);
    const driver::MessageBox restored = waitForMessageBox(restoring.id());
    ASSERT_TRUE(restored) << "no message after the restore";
    // Whether a shortcut starts this schedule depends on the Startup folder, not on this.
    EXPECT_EQ(restored.text.rfind(L"Restored 1 cleared pick: \"C:\\cleared.exe\". The day "
                                  L"files are built again",
                                  0),
              0u)
        << utf8(restored.text);
    EXPECT_TRUE(answer(restored, IDOK));
    EXPECT_EQ(restoring.text(editor::main::Text4), L"3");

    const std::string picked =
        rawRecord("12:00", utf8(windowText(picking.control(editor::main::Dir1))) + "\\picked.exe",
                  "Normal", "Monday");
    EXPECT_EQ(work.read(L"2Mon.dat"), picked);
    EXPECT_EQ(work.read(L"3Mon.dat"), cleared);
    EXPECT_FALSE(work.exists(L"Cleared\\5Mon.dat"));
    ASSERT_TRUE(showList(picking));
    EXPECT_EQ(work.read(L"datmon.dat"), picked + cleared);
}
