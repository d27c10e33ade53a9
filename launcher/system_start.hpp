// A record's program line started for real, on the Win32 API: what Brightwick does at logon,
// and what the editor's "Start Now" does, so that a record starts the same way from both.
#pragma once

#include <windows.h>

#include <string_view>

#include "launcher/pass.hpp"
#include "launcher/start.hpp"
#include "win32/shell_start.hpp"

namespace launcher {

// The system side of startProgramLine. Programs inherit this process's working folder, and
// files handed to the shell get it too. Used and destroyed on one thread.
class SystemStart final : public StartSystem {
  public:
    // `owner`: the window that a consent prompt belongs to; none for the launcher.
    explicit SystemStart(HWND owner = nullptr) : owner_(owner) {}

    bool isFile(std::string_view path) override;
    schedule::Outcome createProcess(std::string_view application, std::string_view commandLine,
                                    int showWindow) override;
    schedule::Outcome shellExecute(std::string_view verb, std::string_view file,
                                   std::string_view parameters, int showWindow) override;
    std::string commandInterpreter() override;

  private:
    HWND owner_;
    win32::ShellStarter shell_;
};

// The pass's starter: a record's program line as the day file holds it, bytes in the ANSI
// code page.
class RecordStarter final : public ProgramStarter {
  public:
    explicit RecordStarter(HWND owner = nullptr) : system_(owner) {}
    StartResult start(std::string_view programLine, int showWindow) override;

  private:
    SystemStart system_;
};

}  // namespace launcher
