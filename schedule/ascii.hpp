// Letter case of the ASCII letters alone. <cctype> would follow the C locale and is undefined
// for the negative chars that ANSI code page bytes become, and no name we compare needs
// more: drive letters, day codes and ".dat".
#pragma once

namespace schedule {

constexpr char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace schedule
