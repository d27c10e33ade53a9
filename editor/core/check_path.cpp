#include "editor/core/check_path.hpp"

namespace editor {

namespace {
// The folder with one backslash at its end: added unless it ends in one already.
std::string withTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}
}  // namespace

void CheckPath(std::string& MyPath, const Services& services) {
    MyPath = withTrailingBackslash(services.programFolder());
}

std::string windowsProgram(const Services& services, std::string_view file) {
    return withTrailingBackslash(services.windowsFolder()) + std::string(file);
}

}  // namespace editor
