// What a path's drive letter stands for. Brightwick starts at logon, when a drive made by subst
// does not exist and a mapped network drive may not be reconnected yet.
#pragma once

#include <string>

namespace win32 {

struct DriveLetter {
    enum class Kind { Local, Network, Substitute } kind = Kind::Local;
    // Network: the path spelt with its share (\\server\share\...) instead of the letter, empty
    // when the network could not say; Substitute: the path with the folder the letter stands
    // for instead of the letter.
    std::wstring path;
    unsigned long error = 0;  // Network without a path: why the network could not say
};

// Local for a path without a drive letter (a share's path) and for a drive of this computer.
DriveLetter driveLetter(const std::wstring& path);

}  // namespace win32
