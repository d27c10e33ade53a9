#include "win32/open_dialog.hpp"

#include <shlobj.h>

#include "win32/error.hpp"
#include "win32/owners.hpp"

namespace win32 {

schedule::Outcome chooseFileToOpen(const OpenRequest& request, std::wstring& chosen) {
    chosen.clear();
    ComPtr<IFileOpenDialog> dialog;
    HRESULT result = createComInstance(CLSID_FileOpenDialog, CLSCTX_INPROC_SERVER,
                                       IID_IFileOpenDialog, dialog.putVoid());
    FILEOPENDIALOGOPTIONS options = 0;
    if (SUCCEEDED(result)) result = dialog->GetOptions(&options);
    // A path the file system knows, of a file that exists; a shortcut is what the user
    // picks, not its target; the working folder holds the schedule files and must not move.
    if (SUCCEEDED(result)) {
        result = dialog->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST |
                                    FOS_PATHMUSTEXIST | FOS_NODEREFERENCELINKS | FOS_NOCHANGEDIR);
    }
    if (SUCCEEDED(result) && !request.types.empty()) {
        result =
            dialog->SetFileTypes(static_cast<UINT>(request.types.size()), request.types.data());
        if (SUCCEEDED(result)) result = dialog->SetFileTypeIndex(1);  // counted from 1
    }
    if (SUCCEEDED(result) && request.title) result = dialog->SetTitle(request.title);
    if (SUCCEEDED(result) && !request.folder.empty()) {
        // A folder that has gone since leaves the choice to the dialog.
        ComPtr<IShellItem> folder;
        if (SUCCEEDED(SHCreateItemFromParsingName(request.folder.c_str(), nullptr, IID_IShellItem,
                                                  folder.putVoid()))) {
            result = dialog->SetFolder(folder.get());
        }
    }
    if (SUCCEEDED(result)) result = dialog->Show(request.owner);
    if (result == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return schedule::Outcome::success();
    ComPtr<IShellItem> item;
    if (SUCCEEDED(result)) result = dialog->GetResult(item.put());
    wchar_t* path = nullptr;
    if (SUCCEEDED(result)) result = item->GetDisplayName(SIGDN_FILESYSPATH, &path);
    const UniqueTaskMemory<wchar_t> owned(path);
    if (FAILED(result)) return comFailure(result);
    chosen = owned.get();
    return schedule::Outcome::success();
}

}  // namespace win32
