// Every role of the editor's services on Win32: message boxes owned by the editor's window,
// program and helper starts, folders, the Startup shortcuts and Windows' startup list, access
// lists, the logon history, and the editor started again with administrator rights.
#pragma once

#include <windows.h>

#include "editor/core/services.hpp"
#include "win32/folder.hpp"

namespace editor {

class PlatformServices final : public Messages,
                               public Programs,
                               public Folders,
                               public Files,
                               public Startup,
                               public Access,
                               public RecycleBin {
  public:
    // Message boxes are owned by this window while it is visible.
    void setOwner(HWND owner) { owner_ = owner; }

    Answer message(std::string_view text, Buttons buttons = Buttons::Ok) override;
    schedule::Outcome start(std::string_view program, std::string_view arguments,
                            int showWindow) override;
    std::string windowsFolder() const override;
    std::optional<std::string> logonHistoryFile() const override;
    HelperRun runHelper(std::string_view name, std::chrono::milliseconds deadline) override;
    std::string programFolder() const override;
    std::string workingFolder() const override;
    bool isFile(std::string_view path) const override;
    std::optional<std::string> programFilesFolder() const override;
    schedule::Folder& scheduleFolder() override { return folder_; }
    unsigned long processId() const override { return GetCurrentProcessId(); }
    std::optional<std::string> toAnsi(std::string_view text) const override;
    std::string fromAnsi(std::string_view bytes) const override;
    bool programFound(std::string_view programLine) const override;
    std::optional<std::string> searchProgram(std::string_view name) const override;
    schedule::Outcome startRecord(std::string_view programLine, int showWindow) override;
    schedule::Outcome createShortcut(StartupFolder where, const Shortcut& shortcut,
                                     std::string& folder) override;
    schedule::Outcome startupFolder(StartupFolder where, std::string& folder) const override;
    schedule::Outcome readShortcut(std::string_view path,
                                   std::optional<Shortcut>& shortcut) const override;
    schedule::Outcome startupListEntry(StartupFolder where, std::string_view fileName,
                                       std::optional<std::string>& bytes) const override;
    schedule::Outcome setStartupListEntry(StartupFolder where, std::string_view fileName,
                                          std::string_view bytes) override;
    DriveLetter driveLetter(std::string_view path) const override;
    bool samePath(std::string_view first, std::string_view second) const override;
    schedule::Outcome lastLogonRun(std::optional<launcher::LastRun>& last) const override;
    bool recycleBinTakes(std::string_view folder) const override;
    schedule::Outcome recycle(std::string_view path, bool forGoodAgreed) override;
    schedule::Outcome security(std::string_view path, Security& security) const override;
    Account account() const override;
    AdministratorRun runAsAdministrator(std::string_view arguments,
                                        std::chrono::milliseconds patience) override;
    schedule::Outcome createFolder(std::string_view path, const std::vector<AccessEntry>& entries,
                                   bool& existed) override;
    schedule::Outcome setFolderAccess(std::string_view path,
                                      const std::vector<AccessEntry>& entries) override;
    std::optional<std::string> programDataFolder() const override;
    schedule::Outcome folderItems(std::string_view path,
                                  std::vector<FolderItem>& items) const override;
    schedule::Outcome takeOver(std::string_view path) override;
    bool runsElevated() const override;
    schedule::Outcome startAsAdministrator(std::string_view arguments) override;

  private:
    HWND visibleOwner() const;
    HWND owner_ = nullptr;
    win32::WorkingFolder folder_;
};

}  // namespace editor
