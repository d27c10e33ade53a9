#include "editor/core/check_path.hpp"

namespace editor {

namespace {
// The folder with one backslash at its end: added unless it ends in one already.
std::string withTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}
}  // namespace

void CheckPath(std::string& MyPath, Uses<const Folders> services) {
    MyPath = withTrailingBackslash(services.folders().programFolder());
}

std::string windowsProgram(Uses<const Folders> services, std::string_view file) {
    return withTrailingBackslash(services.folders().windowsFolder()) + std::string(file);
}

}  // namespace editor
