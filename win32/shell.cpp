#include "win32/shell.hpp"

#include <shlobj.h>
#include <shobjidl.h>

#include "win32/error.hpp"
#include "win32/owners.hpp"

namespace win32 {

std::optional<std::wstring> knownFolder(const KNOWNFOLDERID& id, std::string* error) {
    wchar_t* raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &raw);
    const UniqueTaskMemory<wchar_t> path(raw);
    if (FAILED(result)) {
        if (error) *error = systemReason(static_cast<unsigned long>(result));
        return std::nullopt;
    }
    return std::wstring(path.get());
}

std::string saveLink(const std::wstring& path, const Link& link) {
    ComPtr<IShellLinkW> shellLink;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IShellLinkW, shellLink.putVoid());
    if (SUCCEEDED(result)) result = shellLink->SetPath(link.target.c_str());
    if (SUCCEEDED(result)) result = shellLink->SetArguments(link.arguments.c_str());
    if (SUCCEEDED(result)) result = shellLink->SetWorkingDirectory(link.workingFolder.c_str());
    ComPtr<IPersistFile> file;
    if (SUCCEEDED(result)) result = shellLink->QueryInterface(IID_IPersistFile, file.putVoid());
    if (SUCCEEDED(result)) result = file->Save(path.c_str(), TRUE);
    if (FAILED(result)) return systemReason(static_cast<unsigned long>(result));
    // Some shells report success and write nothing into a folder the user may not change.
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return lastErrorReason();
    return {};
}

std::optional<Link> loadLink(const std::wstring& path) {
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                shellLink.putVoid())) ||
        FAILED(shellLink->QueryInterface(IID_IPersistFile, file.putVoid())) ||
        FAILED(file->Load(path.c_str(), STGM_READ))) {
        return std::nullopt;
    }
    Link link;
    wchar_t buffer[MAX_PATH * 4];
    if (SUCCEEDED(shellLink->GetPath(buffer, MAX_PATH * 4, nullptr, SLGP_RAWPATH))) {
        link.target = buffer;
    }
    if (SUCCEEDED(shellLink->GetArguments(buffer, MAX_PATH * 4))) link.arguments = buffer;
    if (SUCCEEDED(shellLink->GetWorkingDirectory(buffer, MAX_PATH * 4))) {
        link.workingFolder = buffer;
    }
    return link;
}

}  // namespace win32
