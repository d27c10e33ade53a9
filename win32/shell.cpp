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
    HRESULT result = createComInstance(CLSID_ShellLink, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       shellLink.putVoid());
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

schedule::Outcome loadLink(const std::wstring& path, Link& link) {
    link = {};
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> file;
    HRESULT result = createComInstance(CLSID_ShellLink, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                       shellLink.putVoid());
    if (SUCCEEDED(result)) result = shellLink->QueryInterface(IID_IPersistFile, file.putVoid());
    if (SUCCEEDED(result)) result = file->Load(path.c_str(), STGM_READ);
    // The longest path the wide functions take, and its terminating zero.
    std::wstring buffer(32768, L'\0');
    const int size = static_cast<int>(buffer.size());
    if (SUCCEEDED(result)) result = shellLink->GetPath(buffer.data(), size, nullptr, SLGP_RAWPATH);
    // S_FALSE: the shortcut names no file (a shell item without a path).
    if (result == S_FALSE) buffer[0] = L'\0';
    if (SUCCEEDED(result)) link.target = buffer.c_str();
    if (SUCCEEDED(result)) result = shellLink->GetArguments(buffer.data(), size);
    if (SUCCEEDED(result)) link.arguments = buffer.c_str();
    if (SUCCEEDED(result)) result = shellLink->GetWorkingDirectory(buffer.data(), size);
    if (SUCCEEDED(result)) link.workingFolder = buffer.c_str();
    if (FAILED(result)) {
        link = {};
        return comFailure(result);
    }
    return schedule::Outcome::success();
}

}  // namespace win32
