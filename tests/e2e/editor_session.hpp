// A running Norvell.exe worked through its main window, for the end-to-end tests of the
// actions: choosing a folder and a file, ticking days, choosing list items, pressing buttons.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "driver.hpp"
#include "editor/win/main_ids.hpp"
#include "win32/text.hpp"

namespace driver {

// A folder of programs to pick, under C:\Program Files of the test prefix, where the editor's
// folder list starts; removed at the end.
class ProgramFolder {
  public:
    explicit ProgramFolder(const std::wstring& name)
        : path_(L"C:\\Program Files\\" + name + L"-" + std::to_wstring(GetCurrentProcessId())) {
        createFolderOrThrow(path_);
    }
    ~ProgramFolder() {
        for (const std::wstring& file : files_) DeleteFileW(file.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring name() const { return path_.substr(path_.find_last_of(L'\\') + 1); }
    // Puts the probe into the folder under `file`.
    void addProbe(const std::wstring& file) { addCopy(testBinDir() + L"\\probe.exe", file); }
    // Puts a copy of the file `from` into the folder under `file`.
    void addCopy(const std::wstring& from, const std::wstring& file) {
        files_.push_back(path_ + L"\\" + file);
        copyFileOrThrow(from, files_.back());
    }

  private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

class EditorSession {
  public:
    // `program`: another copy of Norvell.exe than the shippable folder's.
    explicit EditorSession(const std::wstring& workingFolder,
                           const std::wstring& program = distDir() + L"\\Norvell.exe")
        : process_(program, L"", workingFolder) {
        main_ = waitForWindow(process_.id(), L"Norvell 1.0");
    }

    explicit operator bool() const { return main_ != nullptr; }
    HWND main() const { return main_; }
    DWORD id() const { return process_.id(); }
    const Process& process() const { return process_; }
    HWND control(int id) const { return GetDlgItem(main_, id); }

    // Opens a subfolder of Dir1's current folder as a double-click would.
    bool openFolder(const std::wstring& name) {
        HWND dir1 = control(editor::main::Dir1);
        const LRESULT index = SendMessageW(dir1, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(name.c_str()));
        if (index == LB_ERR) return false;
        SendMessageW(dir1, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(main_, WM_COMMAND, MAKEWPARAM(editor::main::Dir1, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(dir1));
        return windowText(dir1).ends_with(L"\\" + name);
    }
    bool selectFile(const std::wstring& name) { return selectItem(editor::main::File1, name); }
    // Opens the program folder in Dir1 and selects the file in File1, as a user picks one.
    bool choose(const ProgramFolder& programs, const std::wstring& file) {
        return openFolder(programs.name()) && pollUntil([&] { return selectFile(file); });
    }
    bool selectItem(int list, const std::wstring& text) {
        HWND window = control(list);
        const LRESULT index = SendMessageW(window, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text.c_str()));
        if (index == LB_ERR) return false;
        SendMessageW(window, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        return true;
    }
    std::wstring currentItem(int list) const {
        HWND window = control(list);
        const LRESULT index = SendMessageW(window, LB_GETCURSEL, 0, 0);
        if (index == LB_ERR) return {};
        std::wstring text(static_cast<std::size_t>(SendMessageW(window, LB_GETTEXTLEN, index, 0)),
                          L'\0');
        SendMessageW(window, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        return text;
    }
    void tick(int day, bool ticked = true) {
        SendMessageW(control(editor::main::Check1 + day), BM_SETCHECK,
                     ticked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    bool ticked(int day) const {
        return SendMessageW(control(editor::main::Check1 + day), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    std::wstring text(int field) const { return windowText(control(field)); }
    void press(int button) { click(control(button)); }

    // Presses a button that answers with one OK box, checks the box, and closes it.
    std::wstring pressAndReadMessage(int button) {
        press(button);
        const MessageBox box = waitForMessageBox(id());
        EXPECT_TRUE(box) << "no message box came";
        if (!box) return {};
        EXPECT_EQ(box.title, L"Norvell");
        EXPECT_EQ(buttonIds(box.window), std::vector<int>{IDOK});
        EXPECT_TRUE(answer(box, IDOK));
        return box.text;
    }

    // Exit, and the process ends.
    bool exit() {
        press(editor::main::Command4);
        return process_.wait(10s).has_value();
    }

  private:
    Process process_;
    HWND main_ = nullptr;
};

inline std::string utf8(const std::wstring& text) {
    return win32::narrow(text);
}

}  // namespace driver
