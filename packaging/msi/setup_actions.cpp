// The custom actions of the Windows Installer package, which Windows Installer loads from the
// package itself. The installation's steps are Norvell.exe's, the same that the NSIS installer
// runs: this only starts one, hands what it wrote to its log on to the installation's log, and
// fails the installation when the step fails. SCHEDULE is made a full path first, as the NSIS
// installer makes /Schedule=, since the step runs far from the folder msiexec was started in.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "win32/owners.hpp"
#include "win32/shell.hpp"

namespace {

// An installer handle, closed once.
class Record {
  public:
    explicit Record(unsigned fields) : handle_(MsiCreateRecord(fields)) {}
    ~Record() {
        if (handle_) MsiCloseHandle(handle_);
    }
    Record(const Record&) = delete;
    Record& operator=(const Record&) = delete;
    MSIHANDLE get() const { return handle_; }

  private:
    MSIHANDLE handle_;
};

std::wstring property(MSIHANDLE install, const wchar_t* name) {
    DWORD size = 0;
    wchar_t none[1] = {};
    if (MsiGetPropertyW(install, name, none, &size) != ERROR_MORE_DATA) return {};
    std::wstring value(size, L'\0');
    ++size;
    if (MsiGetPropertyW(install, name, value.data(), &size) != ERROR_SUCCESS) return {};
    value.resize(size);
    return value;
}

// One line in the installation's log, written as it is: [1] keeps the installer from reading
// brackets in a path as a property.
void logLine(MSIHANDLE install, const std::wstring& line) {
    const Record record(1);
    MsiRecordSetStringW(record.get(), 0, L"[1]");
    MsiRecordSetStringW(record.get(), 1, line.c_str());
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record.get());
}

// The lines of the step's log (UTF-16 with its byte order mark, as the NSIS installer keeps
// it).
std::vector<std::wstring> logLines(const std::wstring& path) {
    const win32::UniqueHandle file = win32::ownHandle(CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<std::wstring> lines;
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > (1 << 20)) return lines;
    std::wstring text(static_cast<size_t>(size.QuadPart) / sizeof(wchar_t), L'\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read,
                  nullptr)) {
        return lines;
    }
    text.resize(read / sizeof(wchar_t));
    if (text.starts_with(L'\xFEFF')) text.erase(0, 1);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Runs the command line, its exit status; nothing when it cannot be started.
bool run(std::wstring commandLine, DWORD& status) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &started)) {
        return false;
    }
    const win32::UniqueHandle process(started.hProcess);
    const win32::UniqueHandle thread(started.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    return GetExitCodeProcess(process.get(), &status) != 0;
}

}  // namespace

// Deferred, without impersonation: CustomActionData is Norvell.exe's command line for one
// step, its log named last. The log is the step's alone and goes once read, so that it is
// neither left behind by a failed installation nor kept past an uninstallation.
extern "C" __declspec(dllexport) UINT WINAPI RunSetupStep(MSIHANDLE install) {
    const std::wstring commandLine = property(install, L"CustomActionData");
    int count = 0;
    const win32::UniqueLocalMemory<LPWSTR> arguments(
        CommandLineToArgvW(commandLine.c_str(), &count));
    if (!arguments || count < 2) {
        logLine(install, L"The installation's step has no command line: " + commandLine);
        return ERROR_INSTALL_FAILURE;
    }
    const std::wstring program = arguments.get()[0];
    const std::wstring log = arguments.get()[count - 1];
    DeleteFileW(log.c_str());
    DWORD status = 0;
    if (!run(commandLine, status)) {
        logLine(install, program + L" could not be started.");
        return ERROR_INSTALL_FAILURE;
    }
    for (const std::wstring& line : logLines(log)) logLine(install, line);
    DeleteFileW(log.c_str());
    if (status != 0) {
        logLine(install, L"Norvell could not be installed for all users as asked (status " +
                             std::to_wstring(status) + L"): the lines above tell why.");
        return ERROR_INSTALL_FAILURE;
    }
    return ERROR_SUCCESS;
}

// Deferred on uninstallation, without impersonation: the launcher's shortcut in the Startup
// folder of all users goes when it starts the Brightwick of this installation, whose folder is
// CustomActionData, as the NSIS uninstaller removes it. One that starts another copy stays.
extern "C" __declspec(dllexport) UINT WINAPI RemoveLauncherShortcut(MSIHANDLE install) {
    const std::wstring programs = property(install, L"CustomActionData");
    const win32::ComApartment com;
    std::wstring startup;
    win32::Link link;
    if (!win32::knownFolder(FOLDERID_CommonStartup, startup)) return ERROR_SUCCESS;
    const std::wstring shortcut = startup + L"\\Brightwick.lnk";
    if (!win32::loadLink(shortcut, link)) return ERROR_SUCCESS;
    const std::wstring launcher = programs + L"Brightwick.exe";
    if (CompareStringOrdinal(link.target.c_str(), -1, launcher.c_str(), -1, TRUE) != CSTR_EQUAL) {
        return ERROR_SUCCESS;
    }
    if (DeleteFileW(shortcut.c_str())) {
        logLine(install, L"Removed " + shortcut + L".");
    } else {
        logLine(install, L"The launcher shortcut " + shortcut +
                             L" could not be removed. Delete it yourself: at every logon Windows "
                             L"would look for the Brightwick.exe that is gone.");
    }
    return ERROR_SUCCESS;
}

// Rollback of the shared schedule's folder: made by the failed installation, it holds nothing
// yet, and RemoveDirectoryW takes only an empty folder; one with a schedule stays.
extern "C" __declspec(dllexport) UINT WINAPI RemoveEmptyFolder(MSIHANDLE install) {
    const std::wstring folder = property(install, L"CustomActionData");
    if (RemoveDirectoryW(folder.c_str())) logLine(install, L"Removed " + folder + L".");
    return ERROR_SUCCESS;
}

// Immediate: SCHEDULE as given on msiexec's command line, relative to the folder msiexec was
// started in, which the installer keeps in CURRENTDIRECTORY, made whole in ScheduleArgument:
// quoted on the step's command line, where a backslash before the closing quote is doubled so
// that it stays a backslash.
extern "C" __declspec(dllexport) UINT WINAPI ResolveSchedule(MSIHANDLE install) {
    std::wstring schedule = property(install, L"SCHEDULE");
    if (schedule.empty()) return ERROR_SUCCESS;
    const bool absolute =
        schedule.starts_with(L"\\\\") || (schedule.size() >= 3 && schedule[1] == L':' &&
                                          (schedule[2] == L'\\' || schedule[2] == L'/'));
    if (!absolute) {
        std::wstring base = property(install, L"CURRENTDIRECTORY");
        if (!base.empty() && !base.ends_with(L'\\')) base += L'\\';
        schedule = base + schedule;
    }
    std::wstring full(MAX_PATH, L'\0');
    DWORD length =
        GetFullPathNameW(schedule.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
        full.resize(length);
        length = GetFullPathNameW(schedule.c_str(), length, full.data(), nullptr);
    }
    if (length > 0 && length < full.size()) schedule.assign(full.data(), length);
    if (schedule.ends_with(L'\\')) schedule += L'\\';
    MsiSetPropertyW(install, L"ScheduleArgument", schedule.c_str());
    return ERROR_SUCCESS;
}
