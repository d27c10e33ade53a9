#include "editor/win/program_use.hpp"

#include <windows.h>
#include <restartmanager.h>
#include <tlhelp32.h>

#include "win32/owners.hpp"
#include "win32/system_library.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {

// The full path of a process's program file; empty when the process cannot be opened (another
// user's, without the rights) or has ended.
std::string imageOf(unsigned long id) {
    const win32::UniqueHandle process =
        win32::ownHandle(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) return {};
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return {};
    path.resize(size);
    return win32::narrow(path);
}

// The Restart Manager, loaded only for the uninstaller's question: every start of the editor
// would pay for it otherwise.
struct RestartManager {
    win32::UniqueModule library = win32::loadSystemLibrary(L"rstrtmgr.dll");
    decltype(&RmStartSession) start =
        win32::procedureOf<decltype(&RmStartSession)>(library.get(), "RmStartSession");
    decltype(&RmRegisterResources) registerFiles =
        win32::procedureOf<decltype(&RmRegisterResources)>(library.get(), "RmRegisterResources");
    decltype(&RmGetList) list =
        win32::procedureOf<decltype(&RmGetList)>(library.get(), "RmGetList");
    decltype(&RmEndSession) end =
        win32::procedureOf<decltype(&RmEndSession)>(library.get(), "RmEndSession");
    bool usable() const { return library && start && registerFiles && list && end; }
};

class RestartSession {
  public:
    explicit RestartSession(const RestartManager& manager) : manager_(manager) {
        WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
        started_ = manager_.start(&handle_, 0, key) == ERROR_SUCCESS;
    }
    ~RestartSession() {
        if (started_) manager_.end(handle_);
    }
    RestartSession(const RestartSession&) = delete;
    RestartSession& operator=(const RestartSession&) = delete;
    bool started() const { return started_; }
    DWORD handle() const { return handle_; }

  private:
    const RestartManager& manager_;
    DWORD handle_ = 0;
    bool started_ = false;
};

// The processes that hold any of the files; false when the Restart Manager could not tell.
bool restartManagerHolders(const std::vector<std::wstring>& files,
                           std::vector<RunningProcess>& holders) {
    const RestartManager manager;
    if (!manager.usable()) return false;
    const RestartSession session(manager);
    if (!session.started()) return false;
    std::vector<LPCWSTR> names;
    names.reserve(files.size());
    for (const std::wstring& file : files) names.push_back(file.c_str());
    if (manager.registerFiles(session.handle(), static_cast<UINT>(names.size()), names.data(), 0,
                              nullptr, 0, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<RM_PROCESS_INFO> found(8);
    for (int attempt = 0; attempt < 4; ++attempt) {
        UINT needed = 0;
        UINT count = static_cast<UINT>(found.size());
        DWORD reasons = 0;
        const DWORD listed =
            manager.list(session.handle(), &needed, &count, found.data(), &reasons);
        if (listed == ERROR_MORE_DATA) {
            // More came since the last call: ask again with room for them.
            found.resize(needed + 8);
            continue;
        }
        if (listed != ERROR_SUCCESS) return false;
        for (UINT i = 0; i < count; ++i) {
            const unsigned long id = found[i].Process.dwProcessId;
            holders.push_back({id, win32::narrow(found[i].strAppName), imageOf(id)});
        }
        return true;
    }
    return false;
}

bool runningProcesses(std::vector<RunningProcess>& processes) {
    const win32::UniqueHandle snapshot =
        win32::ownHandle(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
         more = Process32NextW(snapshot.get(), &entry)) {
        std::string image = imageOf(entry.th32ProcessID);
        if (!image.empty()) {
            processes.push_back({entry.th32ProcessID, win32::narrow(entry.szExeFile), image});
        }
    }
    return true;
}

}  // namespace

ProgramUse findProgramUse(const std::vector<std::wstring>& files) {
    ProgramUse use;
    use.restartManagerAnswered = restartManagerHolders(files, use.holders);
    use.processesListed = runningProcesses(use.processes);
    return use;
}

}  // namespace editor
