#include "editor/win/program_chooser.hpp"

#include "win32/open_dialog.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {
// What a logon can start: programs and batch files first, then shortcuts, then anything, as
// Brightwick hands other files to the program the system opens them with.
constexpr COMDLG_FILTERSPEC kTypes[] = {
    {L"Programs", L"*.exe;*.com;*.bat;*.cmd"},
    {L"Shortcuts", L"*.lnk"},
    {L"All files", L"*.*"},
};
}  // namespace

schedule::Outcome OpenDialogChooser::chooseProgram(std::string_view folder,
                                                   std::optional<std::string>& chosen) {
    chosen.reset();
    std::wstring path;
    const win32::OpenRequest request{owner_, L"Browse for a Program", kTypes, win32::widen(folder)};
    schedule::Outcome shown = win32::chooseFileToOpen(request, path);
    if (shown && !path.empty()) chosen = win32::narrow(path);
    return shown;
}

}  // namespace editor
