// Plain-data stand-ins for the main window's controls and the platform's services, so the
// editor's handlers run on the host. The fakes record what the handlers do, in order.
#pragma once

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"
#include "fake_folder.hpp"
#include "schedule/run_style.hpp"

namespace testing_support {

// List4's items as the window fills it: the run-style table's list words.
inline std::vector<std::string> listWords() {
    std::vector<std::string> words;
    for (const schedule::RunStyle& style : schedule::kRunStyles) {
        words.emplace_back(style.listWord);
    }
    return words;
}

class FakeControls final : public editor::MainControls {
  public:
    std::array<bool, 7> days{};
    std::map<editor::List, std::vector<std::string>> items{
        {editor::List::List1, {"AM", "PM"}},
        {editor::List::List2,
         {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11", "12"}},
        {editor::List::List3, {"00", "15", "30", "45"}},
        {editor::List::List4, listWords()},
    };
    std::map<editor::List, std::string> current{{editor::List::List1, "AM"},
                                                {editor::List::List2, "01"},
                                                {editor::List::List3, "00"},
                                                {editor::List::List4, "Normal"}};
    std::string folder = "C:\\PROGRAM FILES";
    std::vector<std::string> listableFolders;  // empty: every folder can be listed
    std::string file;
    std::map<editor::Field, std::string> fields{
        {editor::Field::Text1, "Text1"}, {editor::Field::Text3, "0"}, {editor::Field::Text4, ""}};

    bool dayTicked(int index) const override { return days.at(static_cast<std::size_t>(index)); }
    void setDayTicked(int index, bool ticked) override {
        days.at(static_cast<std::size_t>(index)) = ticked;
    }
    std::string currentItem(editor::List list) const override { return current.at(list); }
    void selectItem(editor::List list, std::string_view text) override {
        for (const std::string& item : items.at(list)) {
            if (item == text) current[list] = item;  // like a list: only its own items
        }
    }
    std::string folderPath() const override { return folder; }
    bool setFolderPath(std::string_view path) override {
        if (!listableFolders.empty() && std::find(listableFolders.begin(), listableFolders.end(),
                                                  path) == listableFolders.end()) {
            return false;
        }
        folder = std::string(path);
        return true;
    }
    std::string selectedFile() const override { return file; }
    std::string text(editor::Field field) const override { return fields.at(field); }
    void setText(editor::Field field, std::string_view value) override {
        fields[field] = std::string(value);
    }
};

class FakeServices final : public editor::Services {
  public:
    // Everything the handlers asked for, in order: "message: ...", "start: ...",
    // "helper: ...", "shortcut: ...".
    std::vector<std::string> log;
    std::vector<editor::Answer> answers;  // given to the next YesNoCancel boxes, in order
    std::map<std::string, editor::HelperRun> helperRuns;  // by name; default: finished, 0
    std::map<std::string, std::string> startFailures;     // program -> reason
    std::string windowsFolderPath = "C:\\Windows";
    std::optional<std::string> logonHistory;  // none: Brightwick has not run yet
    std::set<std::string> missingPrograms;    // program lines that name nothing
    // The ANSI code page as the fake knows it: every byte as it is.
    std::function<std::string(std::string_view)> decode = [](std::string_view bytes) {
        return std::string(bytes);
    };
    std::string programFolderPath = "C:\\Tools";
    std::string workingFolderPath = "C:\\Sched";
    std::optional<std::string> programFiles = "C:\\Program Files";
    std::set<std::string> missingFiles;  // paths isFile denies; every other file is there
    std::function<std::optional<std::string>(std::string_view)> ansi = [](std::string_view text) {
        for (unsigned char c : text) {
            if (c >= 0x80) return std::optional<std::string>();  // an ASCII-only code page
        }
        return std::optional<std::string>(text);
    };
    // Where the Startup folders are; an empty path: the folder cannot be found.
    std::map<editor::StartupFolder, std::string> startupFolders{
        {editor::StartupFolder::CurrentUser, "C:\\Users\\me\\Startup"},
        {editor::StartupFolder::AllUsers, "C:\\ProgramData\\Startup"}};
    std::map<editor::StartupFolder, std::string> shortcutFailures;  // why a shortcut fails there
    std::vector<std::pair<editor::StartupFolder, editor::Shortcut>> shortcuts;
    FakeFolder folder;
    unsigned long processIdValue = 4711;

    editor::Answer message(std::string_view text, editor::Buttons buttons) override {
        log.push_back("message: " + std::string(text));
        if (buttons == editor::Buttons::Ok) return editor::Answer::Ok;
        if (answers.empty()) return editor::Answer::Cancel;
        const editor::Answer answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    schedule::Outcome start(std::string_view program, std::string_view arguments,
                            int showWindow) override {
        log.push_back("start: " + std::string(program) + " " + std::string(arguments) + " show " +
                      std::to_string(showWindow));
        auto failure = startFailures.find(std::string(program));
        if (failure == startFailures.end()) return schedule::Outcome::success();
        return schedule::Outcome::failure(failure->second);
    }
    std::string windowsFolder() const override { return windowsFolderPath; }
    std::optional<std::string> logonHistoryFile() const override { return logonHistory; }
    std::string fromAnsi(std::string_view bytes) const override { return decode(bytes); }
    bool programFound(std::string_view programLine) const override {
        return missingPrograms.count(std::string(programLine)) == 0;
    }
    schedule::Outcome startRecord(std::string_view programLine, int showWindow) override {
        log.push_back("start record: " + std::string(programLine) + " show " +
                      std::to_string(showWindow));
        auto failure = startFailures.find(std::string(programLine));
        if (failure == startFailures.end()) return schedule::Outcome::success();
        return schedule::Outcome::failure(failure->second);
    }
    editor::HelperRun runHelper(std::string_view name, std::chrono::milliseconds) override {
        log.push_back("helper: " + std::string(name));
        auto run = helperRuns.find(std::string(name));
        return run == helperRuns.end() ? editor::HelperRun{} : run->second;
    }
    std::string programFolder() const override { return programFolderPath; }
    std::string workingFolder() const override { return workingFolderPath; }
    bool isFile(std::string_view path) const override {
        return !missingFiles.count(std::string(path));
    }
    std::optional<std::string> programFilesFolder() const override { return programFiles; }
    schedule::Folder& scheduleFolder() override { return folder; }
    unsigned long processId() const override { return processIdValue; }
    std::optional<std::string> toAnsi(std::string_view text) const override { return ansi(text); }
    schedule::Outcome createShortcut(editor::StartupFolder where, const editor::Shortcut& shortcut,
                                     std::string& startupFolder) override {
        log.push_back("shortcut: " + shortcut.target);
        shortcuts.emplace_back(where, shortcut);
        startupFolder = startupFolders.at(where);
        if (startupFolder.empty())
            return schedule::Outcome::failure("The system cannot find the path");
        auto failure = shortcutFailures.find(where);
        if (failure == shortcutFailures.end()) return schedule::Outcome::success();
        return schedule::Outcome::failure(failure->second);
    }
};

}  // namespace testing_support
