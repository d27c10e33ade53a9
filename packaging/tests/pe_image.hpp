// What a program file carries besides its code: the COFF symbol table, its section names and
// the debug link that names its separate debug file. Read from the file's bytes, so a test
// sees what a user downloads.
#pragma once

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace packaging {

struct ImageDebugInfo {
    DWORD symbols = 0;                  // entries of the COFF symbol table
    std::vector<std::string> sections;  // long names ("/4") resolved through the string table
    std::string debugLink;              // the file .gnu_debuglink names; empty without one
};

inline std::optional<ImageDebugInfo> imageDebugInfo(const std::string& bytes) {
    const auto read = [&](std::size_t offset, auto& value) {
        if (offset + sizeof value > bytes.size()) return false;
        std::memcpy(&value, bytes.data() + offset, sizeof value);
        return true;
    };
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER file{};
    if (!read(0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return std::nullopt;
    const auto headers = static_cast<std::size_t>(dos.e_lfanew);
    if (!read(headers, signature) || signature != IMAGE_NT_SIGNATURE ||
        !read(headers + sizeof signature, file)) {
        return std::nullopt;
    }
    ImageDebugInfo info;
    info.symbols = file.NumberOfSymbols;
    // The string table follows the symbol table; its offsets count from its own start.
    const std::size_t strings =
        file.PointerToSymbolTable + std::size_t{file.NumberOfSymbols} * IMAGE_SIZEOF_SYMBOL;
    const std::size_t table = headers + sizeof signature + sizeof file + file.SizeOfOptionalHeader;
    for (WORD index = 0; index < file.NumberOfSections; ++index) {
        IMAGE_SECTION_HEADER section{};
        if (!read(table + index * sizeof section, section)) return std::nullopt;
        std::string name(reinterpret_cast<const char*>(section.Name),
                         strnlen(reinterpret_cast<const char*>(section.Name), 8));
        if (name.size() > 1 && name[0] == '/' && file.PointerToSymbolTable != 0) {
            const std::size_t at = strings + std::stoul(name.substr(1));
            if (at >= bytes.size()) return std::nullopt;
            name = std::string(bytes.c_str() + at, strnlen(bytes.c_str() + at, bytes.size() - at));
        }
        if (name == ".gnu_debuglink" && section.PointerToRawData < bytes.size()) {
            const char* link = bytes.c_str() + section.PointerToRawData;
            info.debugLink =
                std::string(link, strnlen(link, bytes.size() - section.PointerToRawData));
        }
        info.sections.push_back(std::move(name));
    }
    return info;
}

}  // namespace packaging
