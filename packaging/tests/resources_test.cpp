// The resources every shipped program carries: the version shown on a file's Details tab,
// and a manifest that keeps Windows from asking for elevation and, where a window or a
// message box shows, gives it sharp text at any DPI and today's controls.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "driver.hpp"
#include "pe_image.hpp"
#include "win32/owners.hpp"
#include "packaging/resources/manifest_ids.h"
#include "win32/text.hpp"

namespace {

struct Program {
    const wchar_t* file;
    bool showsWindows;  // a window or a message box
    // The most bytes the program may take; 0: no limit. The launcher is loaded at every logon
    // and the helpers at every change of the schedule, so they stay small; the editor is
    // loaded whole at each start, which its size slows.
    std::size_t largest;
};

constexpr std::size_t kSmallProgram = 64 * 1024;

const Program kPrograms[] = {
    {L"Norvell.exe", true, 500000},
    {L"Brightwick.exe", true, kSmallProgram},
    {L"copyfle.com", false, kSmallProgram},
    {L"clrfle.com", false, kSmallProgram},
};

// Names the program in test names and messages.
void PrintTo(const Program& program, std::ostream* out) {
    *out << win32::narrow(program.file);
}

win32::UniqueModule loadAsData(const std::wstring& path) {
    return win32::UniqueModule(LoadLibraryExW(
        path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::optional<std::string> resourceBytes(HMODULE module, const wchar_t* type, const wchar_t* id) {
    HRSRC found = FindResourceW(module, id, type);
    if (!found) return std::nullopt;
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

class VersionInfo {
  public:
    explicit VersionInfo(const std::wstring& path) {
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        if (size == 0) return;
        data_.resize(size);
        if (!GetFileVersionInfoW(path.c_str(), 0, size, data_.data())) data_.clear();
    }
    explicit operator bool() const { return !data_.empty(); }

    std::optional<VS_FIXEDFILEINFO> fixed() const {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(data_.data(), L"\\", &value, &length) ||
            length < sizeof(VS_FIXEDFILEINFO)) {
            return std::nullopt;
        }
        return *static_cast<const VS_FIXEDFILEINFO*>(value);
    }
    // A string of the U.S. English, Unicode block.
    std::wstring text(const wchar_t* name) const {
        void* value = nullptr;
        UINT length = 0;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (!VerQueryValueW(data_.data(), path.c_str(), &value, &length) || length == 0) return {};
        return std::wstring(static_cast<const wchar_t*>(value));
    }

  private:
    std::vector<char> data_;
};

class ReleaseResources : public testing::TestWithParam<Program> {
  protected:
    void SetUp() override {
        path_ = driver::distDir() + L"\\" + GetParam().file;
        ASSERT_NE(GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES) << "not built";
    }
    std::wstring path_;
};

}  // namespace

TEST_P(ReleaseResources, CarryTheReleaseVersion) {
    const VersionInfo version(path_);
    ASSERT_TRUE(version) << "no version resource";
    const std::optional<VS_FIXEDFILEINFO> fixed = version.fixed();
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1)) << "1.0";
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(version.text(L"ProductName"), L"Norvell");
    EXPECT_EQ(version.text(L"FileVersion"), L"1.00");
    EXPECT_EQ(version.text(L"ProductVersion"), L"1.00");
    EXPECT_EQ(version.text(L"OriginalFilename"), GetParam().file);
    EXPECT_EQ(version.text(L"CompanyName"), L"the Norvell developers");
    EXPECT_NE(version.text(L"LegalCopyright").find(L"2026 the Norvell developers"),
              std::wstring::npos);
    EXPECT_GE(version.text(L"FileDescription").size(), 10u) << "describes the program";
}

TEST_P(ReleaseResources, DeclareTheirNeedsInAManifest) {
    win32::UniqueModule module = loadAsData(path_);
    ASSERT_TRUE(module);
    const std::optional<std::string> manifest =
        resourceBytes(module.get(), RT_MANIFEST, MAKEINTRESOURCEW(1));
    ASSERT_TRUE(manifest) << "no manifest";
    // The program's own identity, which carries the release's version.
    const std::size_t identity = manifest->find("name=\"Norvell.");
    ASSERT_NE(identity, std::string::npos);
    const std::string own = manifest->substr(identity, manifest->find('>', identity) - identity);
    EXPECT_NE(own.find("version=\"1.0.0.0\""), std::string::npos) << own;
    EXPECT_NE(manifest->find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest->find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"), std::string::npos)
        << "Windows 10 and later";
    const bool perMonitor = manifest->find("PerMonitorV2") != std::string::npos;
    EXPECT_EQ(perMonitor, GetParam().showsWindows);
    // Common Controls 6 where a window shows: in the process's manifest, except for the
    // launcher, whose one window is a rare message box: it has them in a manifest of their own,
    // activated for that box, so that no logon looks the assembly up for nothing.
    const auto controls6 = [](const std::optional<std::string>& text) {
        return text && text->find(
                           "name=\"Microsoft.Windows.Common-Controls\" "
                           "version=\"6.0.0.0\"") != std::string::npos;
    };
    const bool launcher = std::wstring_view(GetParam().file) == L"Brightwick.exe";
    EXPECT_EQ(controls6(manifest), GetParam().showsWindows && !launcher);
    if (launcher) {
        EXPECT_TRUE(controls6(resourceBytes(module.get(), RT_MANIFEST,
                                            MAKEINTRESOURCEW(NORVELL_MESSAGE_MANIFEST_ID))));
    }
}

// A user downloads the program alone: its symbols stay in the build's debug file, which the
// program names so that a debugger finds it.
TEST_P(ReleaseResources, ShipWithoutSymbolsAndNameTheirDebugFile) {
    const std::optional<std::string> bytes = driver::fileBytes(path_);
    ASSERT_TRUE(bytes);
    const std::optional<packaging::ImageDebugInfo> image = packaging::imageDebugInfo(*bytes);
    ASSERT_TRUE(image) << "not a Windows program";
    EXPECT_EQ(image->symbols, 0u) << "the program carries a symbol table";
    for (const std::string& section : image->sections) {
        EXPECT_FALSE(section.starts_with(".debug")) << "the program carries " << section;
    }
    EXPECT_EQ(image->debugLink, win32::narrow(GetParam().file) + ".debug");
}

TEST_P(ReleaseResources, StayWithinTheirSize) {
    if (GetParam().largest == 0) GTEST_SKIP() << "no limit";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data));
    const std::size_t size = (std::size_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    EXPECT_LE(size, GetParam().largest) << win32::narrow(GetParam().file);
}

// The import descriptors of a program, read from the image as the loader maps it, so every
// RVA is an offset from its base.
struct Imports {
    const BYTE* base = nullptr;
    std::vector<const IMAGE_IMPORT_DESCRIPTOR*> libraries;
    const char* nameOf(const IMAGE_IMPORT_DESCRIPTOR* library) const {
        return reinterpret_cast<const char*>(base + library->Name);
    }
};

Imports importsOf(HMODULE module) {
    Imports imports;
    imports.base =
        reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(module) & ~ULONG_PTR{3});
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(imports.base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(imports.base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return imports;
    for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             imports.base + directory.VirtualAddress);
         entry->Name; ++entry) {
        imports.libraries.push_back(entry);
    }
    return imports;
}

bool sameName(const char* a, std::string_view b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a, -1, b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

// The functions a program imports by name from `dll`.
std::vector<std::string> importsFrom(HMODULE module, std::string_view dll) {
    const Imports imports = importsOf(module);
    std::vector<std::string> names;
    for (const IMAGE_IMPORT_DESCRIPTOR* entry : imports.libraries) {
        if (!sameName(imports.nameOf(entry), dll)) continue;
        const DWORD thunks =
            entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
        for (const auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA64*>(imports.base + thunks);
             thunk->u1.AddressOfData; ++thunk) {
            if (IMAGE_SNAP_BY_ORDINAL64(thunk->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(
                imports.base + thunk->u1.AddressOfData);
            names.emplace_back(reinterpret_cast<const char*>(byName->Name));
        }
    }
    return names;
}

// The libraries Windows always takes from its own folder: the known DLLs, and Common Controls
// 6, which the manifest names and Windows takes from its side-by-side store. Any other library
// a program imports is looked for beside the program first, where users may put files.
constexpr std::string_view kFromTheSystem[] = {
    "advapi32.dll", "comctl32.dll", "gdi32.dll",   "kernel32.dll", "msvcrt.dll",
    "ole32.dll",    "oleaut32.dll", "shell32.dll", "shlwapi.dll",  "user32.dll"};

TEST_P(ReleaseResources, ImportOnlyLibrariesWindowsTakesFromItsOwnFolder) {
    const win32::UniqueModule module = loadAsData(path_);
    ASSERT_TRUE(module);
    const Imports imports = importsOf(module.get());
    EXPECT_FALSE(imports.libraries.empty()) << "the import table was not read";
    for (const IMAGE_IMPORT_DESCRIPTOR* library : imports.libraries) {
        const char* name = imports.nameOf(library);
        EXPECT_TRUE(std::any_of(std::begin(kFromTheSystem), std::end(kFromTheSystem),
                                [&](std::string_view known) { return sameName(name, known); }))
            << win32::narrow(GetParam().file) << " imports " << name
            << ", which Windows would look for beside it first: load it at run time from the "
               "system folder";
    }
}

// Loading the shell and OLE automation, with what they bring in, cost the editor's start more
// than all its own work but its window; they wait for the first call of one of their functions
// (cmake/delay_loaded lists those functions: one missing there would be imported again). COM's
// own library waits the same way (win32/shell_start.cpp loads it): a call of one of its
// functions made directly would import it again.
TEST_P(ReleaseResources, StartWithoutTheShellAndOleAutomation) {
    const win32::UniqueModule module = loadAsData(path_);
    ASSERT_TRUE(module);
    const Imports imports = importsOf(module.get());
    for (const IMAGE_IMPORT_DESCRIPTOR* library : imports.libraries) {
        const char* name = imports.nameOf(library);
        EXPECT_FALSE(sameName(name, "shell32.dll") || sameName(name, "oleaut32.dll") ||
                     sameName(name, "ole32.dll"))
            << win32::narrow(GetParam().file) << " loads " << name << " at its start for "
            << testing::PrintToString(importsFrom(module.get(), name));
    }
}

// Windows 10 before version 1703 lacks these; imported, they keep a program from loading there.
TEST_P(ReleaseResources, LoadOnTheFirstReleasesOfWindows10) {
    const win32::UniqueModule module = loadAsData(path_);
    ASSERT_TRUE(module);
    const std::vector<std::string> user = importsFrom(module.get(), "user32.dll");
    for (const char* newer :
         {"SetProcessDpiAwarenessContext", "GetDpiForWindow", "GetDpiForSystem",
          "AdjustWindowRectExForDpi", "GetSystemMetricsForDpi", "SystemParametersInfoForDpi",
          "EnableNonClientDpiScaling", "GetDpiForMonitor"}) {
        EXPECT_EQ(std::find(user.begin(), user.end(), newer), user.end())
            << win32::narrow(GetParam().file) << " imports " << newer;
    }
    if (GetParam().showsWindows && std::wstring_view(GetParam().file) == L"Norvell.exe") {
        EXPECT_FALSE(user.empty()) << "the import table was not read";
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ReleaseResources, testing::ValuesIn(kPrograms),
                         [](const testing::TestParamInfo<Program>& param) {
                             std::string name = win32::narrow(param.param.file);
                             name[name.find('.')] = '_';
                             return name;
                         });

// The launcher sits in a Startup folder under the editor's picture, so that a user who finds
// it there knows where it came from.
TEST(ReleaseIcon, TheLauncherCarriesTheEditorsIcon) {
    win32::UniqueModule editor = loadAsData(driver::distDir() + L"\\Norvell.exe");
    win32::UniqueModule launcher = loadAsData(driver::distDir() + L"\\Brightwick.exe");
    ASSERT_TRUE(editor && launcher) << "the editor or the launcher is not built";
    const std::optional<std::string> group =
        resourceBytes(editor.get(), RT_GROUP_ICON, MAKEINTRESOURCEW(1));
    ASSERT_TRUE(group) << "the editor has no icon";
    EXPECT_EQ(resourceBytes(launcher.get(), RT_GROUP_ICON, MAKEINTRESOURCEW(1)), group);
    // Every picture of the icon, each an RT_ICON named in the group's directory.
    const auto* directory = reinterpret_cast<const WORD*>(group->data());
    const WORD count = directory[2];
    constexpr std::size_t kEntrySize = 14;  // GRPICONDIRENTRY, packed
    for (WORD index = 0; index < count; ++index) {
        WORD id = 0;
        std::memcpy(&id, group->data() + 6 + index * kEntrySize + 12, sizeof id);
        const std::optional<std::string> picture =
            resourceBytes(editor.get(), RT_ICON, MAKEINTRESOURCEW(id));
        ASSERT_TRUE(picture);
        EXPECT_EQ(resourceBytes(launcher.get(), RT_ICON, MAKEINTRESOURCEW(id)), picture);
    }
}
