// What the end-to-end tests do as a user would: start the real programs in a fresh folder,
// find their windows, press buttons, read and answer message boxes. Every wait polls with a
// deadline instead of sleeping a fixed time.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/owners.hpp"
#include "win32/shell.hpp"

namespace driver {

using namespace std::chrono_literals;

// Windows paths of the shippable folder and of the test-only programs (the probe).
std::wstring distDir();
std::wstring testBinDir();

// One record of a day file.
std::string record(const char* time, const char* program, const char* style, const char* day);

// Runs `body` on a thread of its own, so that no other test's COM state meets it.
void onFreshThread(const std::function<void()>& body);

// Handles whatever the windows of this thread have queued.
void pump();

// A fresh, empty folder under `parent` (by default the temporary folder), removed with
// everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    explicit TempFolder(const std::wstring& parent);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring file(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }
    void write(std::wstring_view name, std::string_view bytes) const;
    std::optional<std::string> read(std::wstring_view name) const;  // none when missing
    bool exists(std::wstring_view name) const;
    // The plain file names in the folder, sorted.
    std::vector<std::wstring> names() const;

  private:
    std::wstring path_;
};

// An environment variable of this process set, or removed when `value` is none, for as long
// as the owner lives, and as it was afterwards. Programs started meanwhile inherit it.
class EnvironmentVariable {
  public:
    EnvironmentVariable(const wchar_t* name, const std::optional<std::wstring>& value);
    ~EnvironmentVariable();
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

  private:
    const wchar_t* name_;
    std::optional<std::wstring> previous_;
};

// Where `path` is in the Unix file system under Wine; none elsewhere, or when it has no place
// there. Wine's own settings that name folders, such as XDG_DATA_HOME for its Recycle Bin, take
// such a path.
std::optional<std::wstring> unixPath(const std::wstring& path);

// A file's bytes, none when it cannot be opened; the plain file names of a folder, sorted.
std::optional<std::string> fileBytes(const std::wstring& path);
std::vector<std::wstring> fileNames(const std::wstring& folder);
// The names of its subfolders, sorted.
std::vector<std::wstring> folderNames(const std::wstring& folder);

void copyFileOrThrow(const std::wstring& from, const std::wstring& to);
// Removes a folder with everything in it, read-only or not, as far as it can.
void removeTree(const std::wstring& path);

// Gives the file or folder at `path` the access list of `sddl` ("D:P(A;OICI;FA;;;BA)..."), not
// inheriting from its folder. Under Wine only what Unix permissions can hold stays: the rights
// of the owner and of Everyone.
void setAccessListOrThrow(const std::wstring& path, const wchar_t* sddl);
void createFolderOrThrow(const std::wstring& path);

// Makes the folder at `path` one that no one may change, the test's own user included, as a
// standard user meets C:\Program Files; gives that user every right again at the end, so that
// the folder can be removed. Under Wine the folder's mode becomes 0555 and then 0755 again.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(std::wstring path);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  private:
    std::wstring path_;
};

// The process's working folder set to `folder` for as long as the owner lives.
class InFolder {
  public:
    explicit InFolder(const std::wstring& folder);
    ~InFolder();
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

  private:
    std::wstring previous_;
};

// The exit code once the process has ended, or none when the deadline passed first.
std::optional<DWORD> waitForExit(HANDLE process, std::chrono::milliseconds deadline);

// A shortcut read back through the shell-link interface (win32::loadLink), as Windows reads
// it; none when it cannot be loaded. COM must be initialised on this thread.
std::optional<win32::Link> loadLink(const std::wstring& path);

// CreateProcessW with the default start-up information. Wine now and then fails a start with
// ERROR_INTERNAL_ERROR that works when tried again (about once in 1,200 starts in the launcher
// benchmark, and once so far in a test); such a start is tried up to three times, so that a
// test fails on its program and not on Wine's. Any other failure is returned at once.
bool createProcess(const wchar_t* application, std::wstring& commandLine, DWORD flags,
                   const wchar_t* folder, PROCESS_INFORMATION& info);

// A started program; ended by force at the end if it is still running.
class Process {
  public:
    // Starts `application` (a full path) with `arguments` in the working folder `folder`.
    Process(const std::wstring& application, const std::wstring& arguments,
            const std::wstring& folder);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD id() const { return id_; }
    HANDLE handle() const { return process_.get(); }
    // The exit code once ended, or none when the deadline passed first.
    std::optional<DWORD> wait(std::chrono::milliseconds deadline = 10s) const;

  private:
    win32::UniqueHandle process_;
    DWORD id_ = 0;
};

// A program started inside a job object of its own, so that a test can wait until it and every
// program it started in turn have ended, and count them. All of them are ended by force at
// the end if any still runs.
class ProcessTree {
  public:
    ProcessTree(const std::wstring& application, const std::wstring& arguments,
                const std::wstring& folder);
    ~ProcessTree();
    ProcessTree(const ProcessTree&) = delete;
    ProcessTree& operator=(const ProcessTree&) = delete;

    DWORD id() const { return id_; }
    // The first program's exit code once it ended, or none when the deadline passed first.
    std::optional<DWORD> wait(std::chrono::milliseconds deadline = 10s) const;
    // Waits until no process of the tree runs any more; false when the deadline passed first.
    bool waitForAll(std::chrono::milliseconds deadline = 30s) const;
    // How many processes the tree has held so far, the first one included.
    DWORD totalProcesses() const;

  private:
    std::optional<JOBOBJECT_BASIC_ACCOUNTING_INFORMATION> accounting() const noexcept;
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION counts() const;  // throws when the job cannot tell
    win32::UniqueHandle job_;
    win32::UniqueHandle process_;
    DWORD id_ = 0;
};

// Polls `condition` every 20 ms until it holds or the deadline passes.
bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline = 10s);

// The visible top-level windows of a process, with the given title (any when empty) and
// class (any when empty).
std::vector<HWND> topWindows(DWORD processId, std::wstring_view title = {},
                             std::wstring_view className = {}, bool visibleOnly = true);
// Waits for one such window; null when none came before the deadline.
HWND waitForWindow(DWORD processId, std::wstring_view title, std::wstring_view className = {},
                   std::chrono::milliseconds deadline = 10s);

// A message box of the process (class #32770): its window, title and text.
struct MessageBox {
    HWND window = nullptr;
    std::wstring title;
    std::wstring text;
    explicit operator bool() const { return window != nullptr; }
};
MessageBox waitForMessageBox(DWORD processId, std::chrono::milliseconds deadline = 10s);
// Presses the box's button with this command id (IDOK, IDYES, IDNO, IDCANCEL) and waits
// until the box has gone.
bool answer(const MessageBox& box, int buttonId);
// The ids of the box's push buttons, in window order.
std::vector<int> buttonIds(HWND box);

std::wstring windowText(HWND window);  // WM_GETTEXT, works across processes
// A list box's item, and all its items' texts one after another with CR LF between them: the
// lines the viewer's list shows. Both work across processes.
std::wstring listItem(HWND list, int index);
std::wstring listText(HWND list);
std::wstring className(HWND window);
// Clicks a button without waiting for what the click opens.
void click(HWND button);
// The sync point for a check that something does NOT happen: returns once the window's thread
// has answered a message sent now, which it does after the handler it is running has
// returned, or from inside a message box or a wait that the handler is in. False when the
// thread did not answer (it hangs, or its window is gone). Wait for the handler's first
// visible effect before calling it: a message sent now overtakes clicks still posted.
bool sync(HWND window, std::chrono::milliseconds deadline = 10s);

// Reads a UTF-8 text file written by the probe: one line per run.
struct ProbeRun {
    int showWindow;
    std::wstring folder;
    std::wstring commandLine;
};
// The runs the probe recorded in `folder` (its working folder then), oldest first.
std::vector<ProbeRun> probeRuns(const std::wstring& folder);

// The marks that stamp.exe (or a copy of it) left in `folder`, its working folder then.
struct StampRun {
    unsigned long long created;  // the process's creation time, 100 ns units
    std::wstring program;        // the program file that ran
    std::wstring commandLine;
};
std::vector<StampRun> stampRuns(const std::wstring& folder);

}  // namespace driver
