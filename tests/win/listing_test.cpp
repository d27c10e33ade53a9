// What the pickers and the layout ask of the system: folder listings without hidden and
// system entries, what a path names, a read that may not answer, drives and their current folders,
// fonts for a DPI, and the twips rounding.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <string_view>
#include <vector>

#include "driver.hpp"
#include "fonts.hpp"
#include "win32/font.hpp"
#include "win32/listing.hpp"
#include "win32/text.hpp"
#include "win32/twips.hpp"

namespace {
void setAttributes(const std::wstring& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), attributes)) << "cannot mark a test file";
}

// Sets an environment variable for one scope and puts the previous value back.
class ScopedVariable {
  public:
    ScopedVariable(const wchar_t* name, const wchar_t* value) : name_(name) {
        wchar_t previous[MAX_PATH] = {};
        had_ = GetEnvironmentVariableW(name, previous, MAX_PATH) > 0;
        previous_ = previous;
        SetEnvironmentVariableW(name, value);
    }
    ~ScopedVariable() { SetEnvironmentVariableW(name_, had_ ? previous_.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const wchar_t* name_;
    bool had_ = false;
    std::wstring previous_;
};

bool equalIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// A folder on a server out of reach, as the worker meets it: the read starts, asks the
// editor's window something, as a thread of the system may while the window waits, and then
// hangs until the test lets it go.
constexpr UINT kQuestion = WM_APP + 1;
constexpr UINT kTyped = WM_APP + 2;  // stands for input that arrives during the wait
HWND questioned = nullptr;
std::atomic<bool> questionAnswered{false};
HANDLE release = nullptr;   // set: the hanging read returns
HANDLE finished = nullptr;  // set by the read as it returns
int paints = 0;
int typed = 0;

win32::FolderContents hangingRead(std::wstring_view) {
    DWORD_PTR answer = 0;
    questionAnswered =
        SendMessageTimeoutW(questioned, kQuestion, 0, 0, SMTO_NORMAL, 5000, &answer) != 0 &&
        answer == 42;
    WaitForSingleObject(release, 30'000);
    win32::FolderContents late;
    late.files.assign(1000, L"written after the caller gave up");
    SetEvent(finished);
    return late;
}

LRESULT CALLBACK waitingWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kQuestion:
            return 42;
        case kTyped:
            ++typed;
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            ++paints;
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class ScopedWindow {
  public:
    ScopedWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = waitingWindow;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"NorvellListingWait";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"waiting", WS_OVERLAPPEDWINDOW, 0,
                                  0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    }
    ~ScopedWindow() {
        if (window_) DestroyWindow(window_);
    }
    ScopedWindow(const ScopedWindow&) = delete;
    ScopedWindow& operator=(const ScopedWindow&) = delete;
    HWND get() const { return window_; }

  private:
    HWND window_ = nullptr;
};
}  // namespace

TEST(Listing, LeavesOutHiddenAndSystemEntriesAndSortsWithoutCase) {
    driver::TempFolder temp;
    for (const wchar_t* name : {L"b.txt", L"A.txt", L"c.TXT", L"hidden.txt", L"system.dll",
                                L"both.sys", L"readonly.txt", L"archived.doc", L"no extension"}) {
        temp.write(name, "x");
    }
    setAttributes(temp.file(L"hidden.txt"), FILE_ATTRIBUTE_HIDDEN);
    setAttributes(temp.file(L"system.dll"), FILE_ATTRIBUTE_SYSTEM);
    setAttributes(temp.file(L"both.sys"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    setAttributes(temp.file(L"readonly.txt"), FILE_ATTRIBUTE_READONLY);
    setAttributes(temp.file(L"archived.doc"), FILE_ATTRIBUTE_ARCHIVE);
    for (const wchar_t* name : {L"sub", L"Another", L"secret"}) {
        driver::createFolderOrThrow(temp.file(name));
    }
    setAttributes(temp.file(L"secret"), FILE_ATTRIBUTE_HIDDEN);

    const win32::FolderContents contents = win32::listFolder(temp.path());
    ASSERT_TRUE(contents) << contents.error;
    EXPECT_EQ(contents.files,
              (std::vector<std::wstring>{L"A.txt", L"archived.doc", L"b.txt", L"c.TXT",
                                         L"no extension", L"readonly.txt"}));
    EXPECT_EQ(contents.folders, (std::vector<std::wstring>{L"Another", L"sub"}));
    EXPECT_EQ(win32::listFolder(temp.path() + L"\\").files, contents.files)
        << "a trailing backslash names the same folder";
    setAttributes(temp.file(L"readonly.txt"), FILE_ATTRIBUTE_NORMAL);
}

TEST(Listing, EmptyMissingAndNotAFolder) {
    driver::TempFolder temp;
    const win32::FolderContents empty = win32::listFolder(temp.path());
    EXPECT_TRUE(empty);
    EXPECT_TRUE(empty.files.empty());
    EXPECT_TRUE(empty.folders.empty());

    EXPECT_NE(win32::listFolder(temp.file(L"missing")).error, 0u);
    temp.write(L"plain.txt", "x");
    EXPECT_NE(win32::listFolder(temp.file(L"plain.txt")).error, 0u);
}

TEST(Listing, PathFactsGiveTheKindTheMarksAndTheStoredName) {
    driver::TempFolder temp;
    for (const wchar_t* name : {L"Tool.EXE", L"hidden.exe", L"system.exe"}) temp.write(name, "x");
    setAttributes(temp.file(L"hidden.exe"), FILE_ATTRIBUTE_HIDDEN);
    setAttributes(temp.file(L"system.exe"), FILE_ATTRIBUTE_SYSTEM);
    driver::createFolderOrThrow(temp.file(L"AppData"));
    setAttributes(temp.file(L"AppData"), FILE_ATTRIBUTE_HIDDEN);
    const DWORD marks = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    struct Case {
        std::wstring path;
        bool exists;
        DWORD marks;  // of the three above
        std::wstring name;
    };
    const std::wstring root = temp.path().substr(0, 3);
    const Case cases[] = {
        {temp.file(L"tool.exe"), true, 0, L"Tool.EXE"},
        {temp.file(L"hidden.exe"), true, FILE_ATTRIBUTE_HIDDEN, L"hidden.exe"},
        {temp.file(L"system.exe"), true, FILE_ATTRIBUTE_SYSTEM, L"system.exe"},
        {temp.file(L"appdata"), true, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, L"AppData"},
        {root, true, FILE_ATTRIBUTE_DIRECTORY, L""},
        {temp.file(L"missing.exe"), false, 0, L""},
        {temp.file(L"missing\\tool.exe"), false, 0, L""},
    };
    for (const Case& c : cases) {
        const win32::PathFacts facts = win32::pathFacts(c.path);
        EXPECT_EQ(facts.error, 0u) << win32::narrow(c.path);
        EXPECT_EQ(facts.exists, c.exists) << win32::narrow(c.path);
        EXPECT_EQ(facts.attributes & marks, c.marks) << win32::narrow(c.path);
        EXPECT_EQ(facts.name, c.name) << win32::narrow(c.path);
    }
}

TEST(Listing, ReadWithALimitGivesWhatTheFolderHolds) {
    driver::TempFolder temp;
    temp.write(L"b.txt", "x");
    temp.write(L"A.txt", "x");
    driver::createFolderOrThrow(temp.file(L"sub"));
    const std::optional<win32::FolderContents> within =
        win32::listFolderWithin(temp.path(), std::chrono::seconds(10));
    ASSERT_TRUE(within) << "a local folder did not answer";
    EXPECT_EQ(within->files, (std::vector<std::wstring>{L"A.txt", L"b.txt"}));
    EXPECT_EQ(within->folders, (std::vector<std::wstring>{L"sub"}));
    const std::optional<win32::FolderContents> missing =
        win32::listFolderWithin(temp.file(L"missing"), std::chrono::seconds(10));
    ASSERT_TRUE(missing);
    EXPECT_NE(missing->error, 0u);
}

TEST(Listing, FolderThatDoesNotAnswerIsLeftAtTheLimitWhileTheWindowPaints) {
    const ScopedWindow window;
    ASSERT_TRUE(window.get());
    const win32::UniqueHandle released(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const win32::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    release = released.get();
    finished = done.get();
    questioned = window.get();
    questionAnswered = false;
    paints = typed = 0;
    ShowWindow(window.get(), SW_SHOWNOACTIVATE);
    InvalidateRect(window.get(), nullptr, TRUE);
    PostMessageW(window.get(), kTyped, 0, 0);
    // The message loop has seen both already, as it has by the time a handler runs.
    GetQueueStatus(QS_ALLINPUT);

    constexpr std::chrono::milliseconds limit{300};
    const ULONGLONG before = GetTickCount64();
    const std::optional<win32::FolderContents> read =
        win32::listFolderWithin(L"N:\\Team", limit, hangingRead);
    const ULONGLONG waited = GetTickCount64() - before;
    EXPECT_FALSE(read) << "a read that hangs came back as an answer";
    // The tick count moves in steps of up to 16 ms.
    EXPECT_GE(waited + 16, static_cast<ULONGLONG>(limit.count()));
    EXPECT_LT(waited, 3000u) << "the caller waited for the read itself";
    EXPECT_TRUE(questionAnswered) << "the window did not answer while it waited";
    EXPECT_GT(paints, 0) << "the window did not paint while it waited";
    EXPECT_EQ(typed, 0) << "input ran inside the waiting handler";

    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_EQ(typed, 1) << "input that came during the wait was lost";

    // The read the caller gave up on ends in its own time, into memory of its own.
    SetEvent(release);
    EXPECT_EQ(WaitForSingleObject(finished, 10'000), WAIT_OBJECT_0);
}

TEST(Listing, NameOrderIgnoresCaseAndStaysFixedForTwins) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
    };
    // Each a comes before its b.
    const Case cases[] = {{L"a", L"B"},
                          {L"A", L"b"},
                          {L"abc", L"ABD"},
                          {L"x", L"xa"},
                          {L"10", L"9"},
                          {L"Zeta", L"_under"},
                          {L"Setup.exe", L"setup.ini"},
                          {L"README", L"readme"}};
    for (const Case& c : cases) {
        EXPECT_TRUE(win32::lessIgnoringCase(c.a, c.b)) << c.a << " < " << c.b;
        EXPECT_FALSE(win32::lessIgnoringCase(c.b, c.a)) << c.b << " !< " << c.a;
    }
    EXPECT_FALSE(win32::lessIgnoringCase(L"same", L"same"));
}

TEST(Listing, NamesAreSortedInWhateverOrderTheyCome) {
    const std::vector<std::wstring> sorted{L"a",      L"B",      L"c.txt",   L"C.TXT2",
                                           L"README", L"readme", L"z\u00e9", L"\u00c9t\u00e9"};
    std::vector<std::wstring> reversed(sorted.rbegin(), sorted.rend());
    std::vector<std::wstring> lastOutOfPlace(sorted.begin() + 1, sorted.end());
    lastOutOfPlace.push_back(sorted.front());
    std::vector<std::wstring> twinsSwapped = sorted;
    std::swap(twinsSwapped[4], twinsSwapped[5]);
    const std::vector<std::wstring>* inputs[] = {&sorted, &reversed, &lastOutOfPlace,
                                                 &twinsSwapped};
    for (const std::vector<std::wstring>* input : inputs) {
        std::vector<std::wstring> names = *input;
        win32::sortIgnoringCase(names);
        EXPECT_EQ(names, sorted) << "from " << win32::narrow(input->front()) << " first";
    }
    std::vector<std::wstring> none;
    win32::sortIgnoringCase(none);
    EXPECT_TRUE(none.empty());
}

// ASCII names are ordered without asking the system; the order must still be the system's
// own, and anything beyond ASCII goes to the system.
TEST(Listing, NameOrderIsTheSystemsOrdinalOrderIgnoringCase) {
    const auto systemLess = [](std::wstring_view a, std::wstring_view b) {
        const int order = CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                               static_cast<int>(b.size()), TRUE);
        return order == CSTR_LESS_THAN || (order == CSTR_EQUAL && a < b);
    };
    std::vector<std::wstring> names;
    for (wchar_t c = 0x20; c < 0x7f; ++c) {
        names.push_back(std::wstring(1, c));
        names.push_back(std::wstring(L"n") + c + L"Z");
    }
    for (const wchar_t* other :
         {L"\u00e9", L"\u00c9", L"a\u00e9", L"A\u00c9b", L"\u0101", L"Stra\u00dfe", L"STRASSE",
          L"\u03c3", L"\u03a3x", L"n\u00e9", L"", L"nZ"}) {
        names.emplace_back(other);
    }
    int disagreements = 0;
    for (const std::wstring& a : names) {
        for (const std::wstring& b : names) {
            if (win32::lessIgnoringCase(a, b) != systemLess(a, b) && ++disagreements <= 5) {
                ADD_FAILURE() << win32::narrow(a) << " against " << win32::narrow(b);
            }
        }
    }
    EXPECT_EQ(disagreements, 0);
}

TEST(Drives, ListsTheSystemDriveInLetterOrder) {
    const std::vector<win32::DriveInfo> drives = win32::drives();
    ASSERT_FALSE(drives.empty());
    bool system = false;
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (drives[i].letter == L'C') {
            system = true;
            EXPECT_FALSE(drives[i].network);
        }
        if (i > 0) {
            EXPECT_LT(drives[i - 1].letter, drives[i].letter);
        }
    }
    EXPECT_TRUE(system);
    EXPECT_EQ(win32::networkShare(L'C'), L"") << "a local drive is mapped to no share";
}

TEST(Drives, CurrentFolderIsTheWorkingFolderTheRecordedOneOrTheRoot) {
    driver::TempFolder temp;
    driver::createFolderOrThrow(temp.file(L"recorded"));
    const driver::InFolder inTemp(temp.path());
    EXPECT_TRUE(equalIgnoringCase(win32::driveCurrentFolder(temp.path()[0]), temp.path()))
        << "the working folder's drive answers with the working folder";
    const wchar_t other = temp.path()[0] == L'C' ? L'Q' : L'C';
    const wchar_t variable[] = {L'=', other, L':', L'\0'};
    const std::wstring recorded{other, L':', L'\\', L'r', L'e', L'c'};
    {
        ScopedVariable record(variable, recorded.c_str());
        EXPECT_TRUE(equalIgnoringCase(win32::driveCurrentFolder(other), recorded));
    }
    {
        ScopedVariable forget(variable, nullptr);
        EXPECT_EQ(win32::driveCurrentFolder(other), (std::wstring{other, L':', L'\\'}));
    }
}

TEST(Fonts, NamedFamilyOrTheNearestInstalledOne) {
    constexpr std::wstring_view nearest[] = {L"Not Installed Either", L"Tahoma"};
    const win32::FontSpec missing{L"No Such Family 4711", 825, false, nearest, FF_SWISS};
    ASSERT_TRUE(driver::fontInstalled(L"Tahoma"));
    ASSERT_TRUE(driver::fontInstalled(L"MS Sans Serif"));
    EXPECT_FALSE(win32::fontFamilyInstalled(L"No Such Family 4711"));
    EXPECT_EQ(win32::chooseFamily(missing), L"Tahoma");
    const win32::FontSpec installed{L"Tahoma", 825, false, {}, FF_SWISS};
    EXPECT_EQ(win32::chooseFamily(installed), L"Tahoma");
    const win32::FontSpec none{L"No Such Family 4711", 825, false, {}, FF_ROMAN};
    EXPECT_EQ(win32::chooseFamily(none), L"");

    // MS Sans Serif is a bitmap font: drawn at 8.25 points for 96 DPI, but not at 12 points
    // for 150 DPI (25 pixels), where the nearest outline family stands in.
    const win32::FontSpec bitmap{L"MS Sans Serif", 825, false, nearest, FF_SWISS};
    EXPECT_EQ(win32::chooseFamily(bitmap, 96), L"MS Sans Serif");
    const win32::FontSpec large{L"MS Sans Serif", 1200, false, nearest, FF_SWISS};
    EXPECT_EQ(win32::chooseFamily(large, 150), L"Tahoma");

    // A bold design at every size in a family that draws bold there: the first of the nearest
    // that does (Wine's Tahoma draws its regular glyphs for bold above 11 pixels).
    ASSERT_TRUE(driver::fontInstalled(L"DejaVu Sans"));
    constexpr std::wstring_view bolder[] = {L"Not Installed Either", L"Tahoma", L"DejaVu Sans"};
    struct Case {
        int hundredths;
        unsigned dpi;
        int height;
    };
    const Case cases[] = {{825, 96, -11},   {825, 144, -17}, {1425, 96, -19},
                          {1425, 144, -29}, {1200, 96, -16}, {1200, 120, -20}};
    for (const Case& c : cases) {
        const win32::FontSpec wanted{L"No Such Family 4711", c.hundredths, true, bolder, FF_SWISS};
        win32::UniqueFont font = win32::createFont(wanted, c.dpi);
        ASSERT_TRUE(font);
        LOGFONTW made{};
        ASSERT_TRUE(GetObjectW(font.get(), sizeof made, &made));
        EXPECT_EQ(made.lfHeight, c.height) << c.hundredths << " at " << c.dpi;
        EXPECT_EQ(made.lfWeight, FW_BOLD);
        EXPECT_TRUE(std::wstring_view(made.lfFaceName) == L"Tahoma" ||
                    std::wstring_view(made.lfFaceName) == L"DejaVu Sans")
            << win32::narrow(made.lfFaceName);
        EXPECT_TRUE(driver::drawsBold(font.get())) << c.hundredths << " at " << c.dpi;
    }
}

TEST(Twips, RoundLikeMulDiv) {
    for (unsigned dpi : {96u, 120u, 144u, 168u, 192u, 288u}) {
        for (int twips = -3000; twips <= 12000; twips += 7) {
            ASSERT_EQ(win32::twipsToPixels(twips, dpi),
                      MulDiv(twips, static_cast<int>(dpi), win32::kTwipsPerInch))
                << twips << " at " << dpi;
        }
    }
}
