#include "driver.hpp"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <thread>
#include <utility>

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include "win32/owners.hpp"
#include "win32/process.hpp"
#include "win32/error.hpp"
#include "win32/system_library.hpp"
#include "win32/text.hpp"
#include "schedule/record.hpp"

namespace driver {

namespace {
// A test program run in shards (GTEST_TOTAL_SHARDS, GTEST_SHARD_INDEX) starts itself again for
// some tests, with a filter of its own: the copy must run every test its filter names, not its
// shard of them, which would pass having run none. Once GoogleTest has chosen this process's
// shard, the processes it starts no longer inherit it.
class UnshardedChildren final : public ::testing::Environment {
    void SetUp() override {
        SetEnvironmentVariableW(L"GTEST_TOTAL_SHARDS", nullptr);
        SetEnvironmentVariableW(L"GTEST_SHARD_INDEX", nullptr);
    }
};
[[maybe_unused]] ::testing::Environment* const kUnshardedChildren =
    ::testing::AddGlobalTestEnvironment(new UnshardedChildren);
}  // namespace

std::string record(const char* time, const char* program, const char* style, const char* day) {
    return schedule::formatRecord({time, program, style, day});
}

void onFreshThread(const std::function<void()>& body) {
    std::thread thread(body);
    thread.join();
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

namespace {
[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + win32::lastErrorReason());
}

}  // namespace

void removeTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    win32::UniqueFindHandle find =
        win32::ownFindHandle(FindFirstFileW((path + L"\\*").c_str(), &found));
    if (find) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(child);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find.get(), &found));
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(path.c_str());
}
std::wstring distDir() {
    return NORVELL_DIST_DIR;
}
std::wstring testBinDir() {
    return NORVELL_TESTBIN_DIR;
}

TempFolder::TempFolder() : TempFolder(std::wstring()) {}

TempFolder::TempFolder(const std::wstring& parent) {
    std::wstring base = parent;
    if (base.empty()) {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        base.assign(temp, length > 0 ? length - 1 : 0);  // without its backslash
    }
    static unsigned counter = 0;
    // Wine gives each run's test programs the same process ids again, and what a run leaves in
    // the user's profile (the logon history) names its folders: the run's start tells them apart.
    static const std::wstring run = std::to_wstring(GetTickCount64() % 100000);
    for (;;) {
        path_ = base + L"\\norvell-" + std::to_wstring(GetCurrentProcessId()) + L"-" + run + L"-" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) fail("cannot create a temporary folder");
    }
}

TempFolder::~TempFolder() {
    removeTree(path_);
}

void TempFolder::write(std::wstring_view name, std::string_view bytes) const {
    win32::UniqueHandle handle =
        win32::ownHandle(CreateFileW(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!handle || !WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                              &written, nullptr)) {
        fail("cannot write " + win32::narrow(name));
    }
}

std::optional<std::string> TempFolder::read(std::wstring_view name) const {
    return fileBytes(file(name));
}

bool TempFolder::exists(std::wstring_view name) const {
    return GetFileAttributesW(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> TempFolder::names() const {
    return fileNames(path_);
}

EnvironmentVariable::EnvironmentVariable(const wchar_t* name,
                                         const std::optional<std::wstring>& value)
    : name_(name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size > 0) {
        std::wstring old(size, L'\0');
        old.resize(GetEnvironmentVariableW(name, old.data(), size));
        previous_ = old;
    }
    SetEnvironmentVariableW(name, value ? value->c_str() : nullptr);
}

EnvironmentVariable::~EnvironmentVariable() {
    SetEnvironmentVariableW(name_, previous_ ? previous_->c_str() : nullptr);
}

std::optional<std::wstring> unixPath(const std::wstring& path) {
    // Wine's own export, which Windows lacks: looked up, not imported.
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    const auto unixFileName = win32::procedureOf<UnixFileName>(GetModuleHandleW(L"kernel32.dll"),
                                                               "wine_get_unix_file_name");
    if (!unixFileName) return std::nullopt;
    char* name = unixFileName(path.c_str());
    if (!name) return std::nullopt;
    const std::wstring unix = win32::widen(name);
    HeapFree(GetProcessHeap(), 0, name);
    return unix;
}

std::optional<std::string> fileBytes(const std::wstring& path) {
    win32::UniqueHandle handle =
        win32::ownHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(handle.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    return bytes;
}

namespace {
std::vector<std::wstring> entryNames(const std::wstring& folder, bool folders) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    win32::UniqueFindHandle find =
        win32::ownFindHandle(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!find) return names;
    do {
        const std::wstring_view name = found.cFileName;
        if (((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders && name != L"." &&
            name != L"..") {
            names.emplace_back(name);
        }
    } while (FindNextFileW(find.get(), &found));
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

std::vector<std::wstring> fileNames(const std::wstring& folder) {
    return entryNames(folder, false);
}

std::vector<std::wstring> folderNames(const std::wstring& folder) {
    return entryNames(folder, true);
}

void copyFileOrThrow(const std::wstring& from, const std::wstring& to) {
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE)) {
        fail("cannot copy " + win32::narrow(from) + " to " + win32::narrow(to));
    }
}

void createFolderOrThrow(const std::wstring& path) {
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        fail("cannot create " + win32::narrow(path));
    }
}

std::optional<DWORD> waitForExit(HANDLE process, std::chrono::milliseconds deadline) {
    if (WaitForSingleObject(process, static_cast<DWORD>(deadline.count())) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(process, &code)) return std::nullopt;
    return code;
}

void setAccessListOrThrow(const std::wstring& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &raw,
                                                              nullptr)) {
        fail("not an access list: " + win32::narrow(sddl));
    }
    const win32::UniqueLocalMemory<void> descriptor(raw);
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL list = nullptr;
    GetSecurityDescriptorDacl(descriptor.get(), &present, &list, &defaulted);
    std::wstring name = path;
    if (SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, list, nullptr) != ERROR_SUCCESS) {
        fail("cannot set the access list of " + win32::narrow(path));
    }
}

namespace {
// The string form (S-1-5-...) of the user this process runs as.
std::wstring userSid() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) fail("no process token");
    const win32::UniqueHandle token(raw);
    alignas(TOKEN_USER) unsigned char buffer[256];
    DWORD size = 0;
    wchar_t* sid = nullptr;
    if (!GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size) ||
        !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid)) {
        fail("the process's user is unknown");
    }
    const win32::UniqueLocalMemory<wchar_t> owned(sid);
    return sid;
}
}  // namespace

// Everyone, the user included, may read, list and run (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE)
// and is denied adding files and folders and changing attributes (0x116). The deny entry is what
// makes Wine take the write bits off the folder's mode: from a list of allow entries alone it
// left a folder of the user's own writable. The owner may still change the list (WRITE_DAC is
// the owner's whatever the list says), so the destructor can give the rights back.
ReadOnlyFolder::ReadOnlyFolder(std::wstring path) : path_(std::move(path)) {
    const std::wstring user = userSid();
    setAccessListOrThrow(
        path_,
        (L"D:P(D;OICI;0x116;;;WD)(A;OICI;0x1200a9;;;" + user + L")(A;OICI;0x1200a9;;;WD)").c_str());
}

ReadOnlyFolder::~ReadOnlyFolder() {
    try {
        setAccessListOrThrow(
            path_, (L"D:P(A;OICI;FA;;;" + userSid() + L")(A;OICI;0x1200a9;;;WD)").c_str());
    } catch (const std::exception&) {
        // The folder stays behind in the temporary folder; the test has its result already.
    }
}

InFolder::InFolder(const std::wstring& folder) : previous_(win32::currentFolder()) {
    if (!SetCurrentDirectoryW(folder.c_str())) fail("cannot enter " + win32::narrow(folder));
}

InFolder::~InFolder() {
    SetCurrentDirectoryW(previous_.c_str());
}

bool createProcess(const wchar_t* application, std::wstring& commandLine, DWORD flags,
                   const wchar_t* folder, PROCESS_INFORMATION& info) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessW(application, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                           folder, &startup, &info)) {
            return true;
        }
        if (GetLastError() != ERROR_INTERNAL_ERROR || attempt == 3) return false;
        Sleep(500);
    }
}

std::optional<win32::Link> loadLink(const std::wstring& path) {
    win32::Link link;
    if (!win32::loadLink(path, link)) return std::nullopt;
    return link;
}

Process::Process(const std::wstring& application, const std::wstring& arguments,
                 const std::wstring& folder) {
    std::wstring commandLine = L"\"" + application + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    PROCESS_INFORMATION info{};
    if (!createProcess(application.c_str(), commandLine, 0, folder.c_str(), info)) {
        fail("cannot start " + win32::narrow(application));
    }
    const win32::UniqueHandle thread(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
}

Process::~Process() {
    if (WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

std::optional<DWORD> Process::wait(std::chrono::milliseconds deadline) const {
    return waitForExit(process_.get(), deadline);
}

ProcessTree::ProcessTree(const std::wstring& application, const std::wstring& arguments,
                         const std::wstring& folder)
    : job_(CreateJobObjectW(nullptr, nullptr)) {
    if (!job_) fail("cannot create a job object");
    // Nothing of the tree outlives the test, even when the test is ended by force.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    std::wstring commandLine = L"\"" + application + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    PROCESS_INFORMATION info{};
    // Suspended until it is in the job, so that not even its first start escapes the count.
    if (!createProcess(application.c_str(), commandLine, CREATE_SUSPENDED, folder.c_str(), info)) {
        fail("cannot start " + win32::narrow(application));
    }
    win32::UniqueHandle thread(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    if (!AssignProcessToJobObject(job_.get(), process_.get())) {
        TerminateProcess(process_.get(), 99);
        fail("cannot put " + win32::narrow(application) + " into a job");
    }
    ResumeThread(thread.get());
}

ProcessTree::~ProcessTree() {
    // No throwing here: a job that cannot be queried is ended all the same.
    const auto info = accounting();
    if (!info || info->ActiveProcesses > 0) {
        TerminateJobObject(job_.get(), 99);
        pollUntil(
            [&] {
                const auto now = accounting();
                return !now || now->ActiveProcesses == 0;
            },
            5s);
    }
}

std::optional<DWORD> ProcessTree::wait(std::chrono::milliseconds deadline) const {
    return waitForExit(process_.get(), deadline);
}

bool ProcessTree::waitForAll(std::chrono::milliseconds deadline) const {
    return pollUntil([&] { return counts().ActiveProcesses == 0; }, deadline);
}

DWORD ProcessTree::totalProcesses() const {
    return counts().TotalProcesses;
}

std::optional<JOBOBJECT_BASIC_ACCOUNTING_INFORMATION> ProcessTree::accounting() const noexcept {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    if (!QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &info,
                                   sizeof info, nullptr)) {
        return std::nullopt;
    }
    return info;
}

JOBOBJECT_BASIC_ACCOUNTING_INFORMATION ProcessTree::counts() const {
    const auto info = accounting();
    if (!info) fail("cannot query a job");
    return *info;
}

bool pollUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(20ms);
    }
}

std::wstring listItem(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) return {};
    // The owner may replace the item between the two messages (a viewer showing its day anew),
    // and the system copies back the new text whole: room for any path keeps it in the buffer.
    std::wstring text(static_cast<std::size_t>(length) + 1 + 32'768, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

std::wstring listText(HWND list) {
    std::wstring text;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        if (index > 0) text += L"\r\n";
        text += listItem(list, static_cast<int>(index));
    }
    return text;
}

std::wstring windowText(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring className(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::vector<HWND> topWindows(DWORD processId, std::wstring_view title, std::wstring_view cls,
                             bool visibleOnly) {
    struct Search {
        DWORD processId;
        std::wstring_view title, cls;
        bool visibleOnly;
        std::vector<HWND> found;
    } search{processId, title, cls, visibleOnly, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s.processId || (s.visibleOnly && !IsWindowVisible(window))) return TRUE;
            if (!s.cls.empty() && className(window) != s.cls) return TRUE;
            if (!s.title.empty()) {
                wchar_t text[512] = {};
                GetWindowTextW(window, text, 512);
                if (s.title != text) return TRUE;
            }
            s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(DWORD processId, std::wstring_view title, std::wstring_view cls,
                   std::chrono::milliseconds deadline) {
    HWND found = nullptr;
    pollUntil(
        [&] {
            auto windows = topWindows(processId, title, cls);
            if (!windows.empty()) found = windows.front();
            return found != nullptr;
        },
        deadline);
    return found;
}

MessageBox waitForMessageBox(DWORD processId, std::chrono::milliseconds deadline) {
    MessageBox box;
    // A box is only whole once its text control exists: a dialog being built or torn down
    // may already, or still, be visible without it.
    pollUntil(
        [&] {
            for (HWND window : topWindows(processId, {}, L"#32770")) {
                if (GetDlgItem(window, 0xFFFF)) {
                    box.window = window;
                    return true;
                }
            }
            return false;
        },
        deadline);
    if (!box.window) return box;
    wchar_t title[512] = {};
    GetWindowTextW(box.window, title, 512);
    box.title = title;
    // The message text is the control with id 0xFFFF: a message box's static text, or the edit
    // control of the window that scrolls, whose lines end in CR LF.
    if (HWND text = GetDlgItem(box.window, 0xFFFF)) {
        for (wchar_t c : windowText(text)) {
            if (c != L'\r') box.text += c;
        }
    }
    return box;
}

std::vector<int> buttonIds(HWND box) {
    std::vector<int> ids;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (className(child) == L"Button" && IsWindowVisible(child)) {
            ids.push_back(GetDlgCtrlID(child));
        }
    }
    return ids;
}

bool answer(const MessageBox& box, int buttonId) {
    HWND button = GetDlgItem(box.window, buttonId);
    PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return pollUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

bool sync(HWND window, std::chrono::milliseconds deadline) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL,
                               static_cast<UINT>(deadline.count()), &result) != 0;
}

void click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

namespace {
// The whole lines of a log that test-only programs append to, each split at its two tabs;
// a line still being written is left out.
std::vector<std::array<std::string, 3>> logLines(const std::wstring& path) {
    std::vector<std::array<std::string, 3>> lines;
    win32::UniqueHandle file =
        win32::ownHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return lines;
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    for (std::size_t start = 0, end; (end = bytes.find("\r\n", start)) != std::string::npos;
         start = end + 2) {
        const std::string line = bytes.substr(start, end - start);
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = line.find('\t', tab1 + 1);
        if (tab1 == std::string::npos || tab2 == std::string::npos) continue;
        lines.push_back(
            {line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
    }
    return lines;
}
}  // namespace

std::vector<ProbeRun> probeRuns(const std::wstring& folder) {
    std::vector<ProbeRun> runs;
    for (const auto& [show, where, commandLine] : logLines(folder + L"\\probe.log")) {
        runs.push_back({std::stoi(show), win32::widen(where), win32::widen(commandLine)});
    }
    return runs;
}

std::vector<StampRun> stampRuns(const std::wstring& folder) {
    std::vector<StampRun> runs;
    for (const auto& [created, program, commandLine] : logLines(folder + L"\\stamp.log")) {
        runs.push_back({std::stoull(created), win32::widen(program), win32::widen(commandLine)});
    }
    return runs;
}

}  // namespace driver
