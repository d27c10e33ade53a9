#include "std_folder.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>
#include <thread>

namespace bench {

using schedule::Outcome;

namespace {
Outcome fromErrorCode(const std::error_code& error) {
    if (!error) return Outcome::success();
    return Outcome::failure(error.message());
}

Outcome fromErrno() {
    return Outcome::failure(std::strerror(errno));
}
}  // namespace

Outcome StdFolder::fileNames(std::vector<std::string>& names) {
    std::error_code error;
    if (!std::filesystem::exists(root_, error)) return fromErrorCode(error);
    for (std::filesystem::directory_iterator it(root_, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (it->is_regular_file(typeError)) names.push_back(it->path().filename().string());
    }
    return fromErrorCode(error);
}

Outcome StdFolder::folderNames(std::vector<std::string>& names) {
    std::error_code error;
    if (!std::filesystem::exists(root_, error)) return fromErrorCode(error);
    for (std::filesystem::directory_iterator it(root_, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) names.push_back(it->path().filename().string());
    }
    return fromErrorCode(error);
}

Outcome StdFolder::removeSubfolder(std::string_view name) {
    std::error_code error;
    std::filesystem::remove(path(name), error);
    return fromErrorCode(error);
}

Outcome StdFolder::readFile(std::string_view name, std::string& bytes) {
    std::ifstream in(path(name), std::ios::binary);
    if (!in) return fromErrno();
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return fromErrno();
    return Outcome::success();
}

Outcome StdFolder::writeFile(std::string_view name, std::string_view bytes) {
    std::ofstream out(path(name), std::ios::binary | std::ios::trunc);
    if (!out) return fromErrno();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return fromErrno();
    return Outcome::success();
}

Outcome StdFolder::replaceFile(std::string_view from, std::string_view to) {
    std::error_code error;
    std::filesystem::rename(path(from), path(to), error);
    return fromErrorCode(error);
}

Outcome StdFolder::renameIfFree(std::string_view from, std::string_view to) {
    // A hard link is made only under a free name, in one step; the old name then goes.
    std::error_code error;
    std::filesystem::create_hard_link(path(from), path(to), error);
    if (error == std::errc::file_exists) {
        Outcome taken = fromErrorCode(error);
        taken.taken = true;
        return taken;
    }
    if (error) return fromErrorCode(error);
    std::filesystem::remove(path(from), error);
    return fromErrorCode(error);
}

Outcome StdFolder::removeFile(std::string_view name) {
    std::error_code error;
    std::filesystem::remove(path(name), error);
    return fromErrorCode(error);
}

schedule::Folder& StdFolder::subfolder(std::string_view name) {
    auto found = subfolders_.find(name);
    if (found == subfolders_.end()) {
        found =
            subfolders_.emplace(std::string(name), std::make_unique<StdFolder>(path(name))).first;
    }
    return *found->second;
}

Outcome StdFolder::createSubfolder(std::string_view name) {
    std::error_code error;
    std::filesystem::create_directory(path(name), error);
    return fromErrorCode(error);
}

Outcome StdFolder::moveToSubfolder(std::string_view from, std::string_view folder,
                                   std::string_view to) {
    std::error_code error;
    std::filesystem::rename(path(from), path(folder) / to, error);
    return fromErrorCode(error);
}

void StdFolder::pause(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(duration);
}

}  // namespace bench
