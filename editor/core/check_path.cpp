#include "editor/core/check_path.hpp"

namespace editor {

std::string withTrailingBackslash(std::string folder) {
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

void CheckPath(std::string& MyPath, const Services& services) {
    MyPath = withTrailingBackslash(services.programFolder());
}

}  // namespace editor
