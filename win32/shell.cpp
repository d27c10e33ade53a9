#include "win32/shell.hpp"

#include <shlobj.h>
#include <shobjidl.h>

#include "win32/error.hpp"
#include "win32/owners.hpp"

namespace win32 {

schedule::Outcome knownFolder(const KNOWNFOLDERID& id, std::wstring& path) {
    wchar_t* raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &raw);
    // Freed whether the call succeeded or not, as the function's contract asks.
    const UniqueTaskMemory<wchar_t> owned(raw);
    if (FAILED(result)) return comFailure(result);
    path = owned.get();
    return schedule::Outcome::success();
}

schedule::Outcome saveLink(const std::wstring& path, const Link& link) {
    ComPtr<IShellLinkW> shellLink;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, shellLink.putVoid());
    if (SUCCEEDED(result)) result = shellLink->SetPath(link.target.c_str());
    if (SUCCEEDED(result)) result = shellLink->SetArguments(link.arguments.c_str());
    if (SUCCEEDED(result)) result = shellLink->SetWorkingDirectory(link.workingFolder.c_str());
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(result)) result = shellLink->QueryInterface(IID_IPersistFile, file.putVoid());
    if (SUCCEEDED(result)) result = file->Save(path.c_str(), TRUE);
    if (FAILED(result)) return comFailure(result);
    // Some shells report success and write nothing into a folder the user may not change.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return lastErrorFailure();
    return schedule::Outcome::success();
}

}  // namespace win32
