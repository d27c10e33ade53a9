// A program at a path of 260 characters, which Windows starts nothing by: the real editor
// refuses to pick it, its viewer marks a record of it that came from elsewhere, and the real
// Brightwick tells that reason in the logon history rather than a file not found.
#include <gtest/gtest.h>

#include "editor_session.hpp"
#include "editor/win/viewer_ids.hpp"
#include "launcher/history_file.hpp"
#include "schedule/record.hpp"
#include "schedule/weekday.hpp"
#include "win32/text.hpp"

using namespace driver;
namespace form2 = editor::form2;

namespace {

constexpr std::size_t kLength = 260;

// A program whose full path is exactly kLength characters long, in folders under C:\Program
// Files, where the editor's folder list starts, each short enough for the list to show.
class DeepProgram {
  public:
    DeepProgram() : top_(L"C:\\Program Files") {
        std::wstring folder = top_.path();
        while (folder.size() < 200) {
            // A name of its own at each level: the list shows the parents' names too.
            const std::wstring name(std::min<std::size_t>(50, 200 - folder.size() + 10),
                                    static_cast<wchar_t>(L'a' + folders_.size()));
            folder += L"\\" + name;
            folders_.push_back(name);
            createFolderOrThrow(folder);
        }
        path_ = folder + L"\\" + std::wstring(kLength - folder.size() - 5, L'p') + L".exe";
        copyFileOrThrow(testBinDir() + L"\\probe.exe", path_);
    }

    const std::wstring& path() const { return path_; }
    std::wstring file() const { return path_.substr(path_.find_last_of(L'\\') + 1); }
    // Walks the editor's folder list down to the program's folder, as a user does.
    bool openIn(EditorSession& editor) const {
        if (!editor.openFolder(top_.path().substr(top_.path().find_last_of(L'\\') + 1))) {
            return false;
        }
        for (const std::wstring& name : folders_) {
            if (!editor.openFolder(name)) return false;
        }
        return true;
    }

  private:
    TempFolder top_;
    std::vector<std::wstring> folders_;
    std::wstring path_;
};

std::string midnightRecord(const std::wstring& program, std::string_view day) {
    return schedule::formatRecord(
        {"00:00", *win32::toCodePageExactly(program), "Normal", std::string(day)});
}

}  // namespace

TEST(LongPath, APickIsRefusedWithTheLengthAndTheLimitAndNothingIsWritten) {
    const DeepProgram program;
    ASSERT_EQ(program.path().size(), kLength);
    TempFolder work;
    EditorSession editor(work.path());
    ASSERT_TRUE(editor);
    ASSERT_TRUE(program.openIn(editor)) << "the folder list does not reach the program";
    ASSERT_TRUE(pollUntil([&] { return editor.selectFile(program.file()); }));
    editor.tick(0);
    const std::wstring told = editor.pressAndReadMessage(editor::main::Command1);
    EXPECT_NE(told.find(L"is 260 characters long"), std::wstring::npos) << utf8(told);
    EXPECT_NE(told.find(L"260 characters or more"), std::wstring::npos) << utf8(told);
    EXPECT_NE(told.find(program.file()), std::wstring::npos) << utf8(told);
    EXPECT_TRUE(work.names().empty()) << "nothing is written";
    EXPECT_TRUE(editor.exit());
}

TEST(LongPath, TheViewerMarksARecordOfItAndBrightwickNamesTheReason) {
    const DeepProgram program;
    TempFolder work;
    // A pick file from elsewhere: an older editor's, or one made by hand.
    work.write(L"2Mon.dat", midnightRecord(program.path(), "Monday"));
    {
        EditorSession editor(work.path());
        ASSERT_TRUE(editor);
        editor.press(editor::main::Command2);
        HWND viewer = waitForWindow(editor.id(), form2::kTitle);
        ASSERT_TRUE(viewer) << "the viewer did not open";
        HWND list = GetDlgItem(viewer, form2::DayList);
        click(GetDlgItem(viewer, form2::Command1));
        const std::wstring shown =
            L"Time: 00:00\r\n" + program.path() + L" (path too long)\r\nRun Style - Normal";
        EXPECT_TRUE(pollUntil([&] { return listText(list) == shown; }, 10s))
            << utf8(listText(list));
        EXPECT_TRUE(editor.exit());
    }

    // Every day's file holds it, so that today's does whatever day it is.
    for (const schedule::Weekday& day : schedule::kWeekdays) {
        work.write(win32::widen(day.dayFile), midnightRecord(program.path(), day.dayLine));
    }
    Process brightwick(distDir() + L"\\Brightwick.exe", L"", work.path());
    ASSERT_EQ(brightwick.wait(30s), 0u);
    const std::string history = fileBytes(*launcher::logonHistoryPath()).value_or("");
    const std::string told =
        "  Not started as a program, Normal (show value 1): " + utf8(program.path()) +
        "\r\n    Its path is 260 characters long; Windows starts no program "
        "by a path of 260 characters or more.\r\n";
    const std::size_t ours = history.rfind("  Working folder: " + utf8(work.path()) + "\r\n");
    ASSERT_NE(ours, std::string::npos) << "no entry of this run";
    EXPECT_NE(history.find(told, ours), std::string::npos) << history.substr(ours);
    EXPECT_TRUE(probeRuns(work.path()).empty()) << "nothing was started";
}
