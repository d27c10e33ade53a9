// Main's loading, the pick counter it starts from, its start folder, CheckPath, the
// twips-to-pixel conversion behind its layout, and the font sizes a caption may step down to.
#include <gtest/gtest.h>

#include "editor/core/check_path.hpp"
#include "editor/core/startup.hpp"
#include "fake_editor.hpp"
#include "loaded_main.hpp"
#include "win32/caption_size.hpp"
#include "win32/twips.hpp"
#include "win32/window_fit.hpp"

using editor::Field;
using editor::List;
using testing_support::FakeControls;
using testing_support::FakeServices;

using Loaded = testing_support::LoadedMain;

TEST(LoadMain, SetsTheStartValuesThenShowsThenMovesTheFolder) {
    Loaded main;
    main.controls.folder = "not set yet";
    bool checkedAtShow = false;
    editor::loadMain(main.controls, main.services, [&] {
        // Steps 1 to 5 are done when the window shows; the folder comes after.
        EXPECT_EQ(main.controls.text(Field::Text4), "1");
        EXPECT_EQ(main.controls.currentItem(List::List2), "12");
        EXPECT_EQ(main.controls.currentItem(List::List3), "00");
        EXPECT_EQ(main.controls.currentItem(List::List1), "PM");
        EXPECT_EQ(main.controls.currentItem(List::List4), "Normal");
        EXPECT_EQ(main.controls.folder, "not set yet");
        checkedAtShow = true;
    });
    EXPECT_TRUE(checkedAtShow);
    EXPECT_EQ(main.controls.folder, "C:\\PROGRAM FILES") << "written exactly so";
    EXPECT_EQ(main.controls.days, (std::array<bool, 7>{}));
    EXPECT_EQ(main.controls.text(Field::Text1), "Text1");
    EXPECT_EQ(main.controls.text(Field::Text3), "0");
    EXPECT_TRUE(main.services.log.empty()) << "a normal start says nothing";
}

TEST(LoadMain, CounterStartsAtTheHighestPickNumberAlreadyThere) {
    struct Case {
        std::vector<std::string> files;
        const char* counter;
    };
    const Case cases[] = {
        {{}, "1"},
        {{"2Mon.dat", "9Fri.dat"}, "9"},
        {{"9Fri.dat", "2Mon.dat", "12Sun.dat"}, "12"},
        {{"datmon.dat", "datfri.dat", "datsun.dat"}, "1"},                       // day files
        {{"notes.dat", "12.dat", "3Monday.dat", "x7Mon.dat", "5Mon.txt"}, "1"},  // unrelated
        {{"10mon.DAT"}, "10"},  // Windows names ignore case
        {{"0Mon.dat"}, "1"},
        {{"2Mon.dat", "datmon.dat", "40notes.dat"}, "2"},
        // Long numbers count in full; names above the highest pick number are no picks.
        {{"2000000000000000Mon.dat", "1000000000000001Tue.dat"}, "2000000000000000"},
        {{"999999999999999999Sun.dat"}, "999999999999999999"},
        {{"5Mon.dat", "1000000000000000000Mon.dat", "18446744073709551621Fri.dat"}, "5"},
    };
    for (const Case& c : cases) {
        Loaded main;
        for (const std::string& name : c.files) main.services.folder.files[name] = "x";
        main.load();
        EXPECT_EQ(main.controls.text(Field::Text4), c.counter) << ::testing::PrintToString(c.files);
    }
}

TEST(LoadMain, UnreadableWorkingFolderIsReportedAndTheEditorGoesOn) {
    Loaded main;
    main.services.folder.files["7Tue.dat"] = "x";
    main.services.folder.unreadableFolder = true;
    main.load();
    ASSERT_EQ(main.services.log.size(), 1u);
    EXPECT_NE(main.services.log[0].find("C:\\Sched"), std::string::npos) << main.services.log[0];
    EXPECT_NE(main.services.log[0].find("folder gone"), std::string::npos) << main.services.log[0];
    EXPECT_EQ(main.controls.text(Field::Text4), "1");
    EXPECT_EQ(main.shows, 1);
    EXPECT_EQ(main.controls.folder, "C:\\PROGRAM FILES");
}

TEST(LoadMain, MissingStartFolderFallsBackToProgramFilesThenTheWorkingFolder) {
    struct Case {
        std::optional<std::string> programFiles;
        std::vector<std::string> listable;
        const char* shown;
    };
    const Case cases[] = {
        {"D:\\Program Files", {"D:\\Program Files", "C:\\Sched"}, "D:\\Program Files"},
        {"D:\\Program Files", {"C:\\Sched"}, "C:\\Sched"},
        {std::nullopt, {"C:\\Sched"}, "C:\\Sched"},
        {"D:\\Program Files", {"C:\\PROGRAM FILES", "C:\\Sched"}, "C:\\PROGRAM FILES"},
    };
    for (const Case& c : cases) {
        Loaded main;
        main.services.programFiles = c.programFiles;
        main.controls.listableFolders = c.listable;
        main.load();
        EXPECT_EQ(main.controls.folder, c.shown);
        EXPECT_TRUE(main.services.log.empty());
    }
}

TEST(LoadMain, NoFolderAtAllIsReportedByName) {
    Loaded main;
    main.services.programFiles = "D:\\Program Files";
    main.controls.folder = "before";
    main.controls.listableFolders = {"E:\\elsewhere"};
    main.load();
    ASSERT_EQ(main.services.log.size(), 1u);
    for (const char* folder : {"C:\\PROGRAM FILES", "D:\\Program Files", "C:\\Sched"}) {
        EXPECT_NE(main.services.log[0].find(folder), std::string::npos) << folder;
    }
    EXPECT_EQ(main.controls.folder, "before");
    EXPECT_EQ(main.shows, 1);
}

TEST(CheckPath, GivesTheProgramFolderWithOneBackslash) {
    struct Case {
        const char* programFolder;
        const char* previous;
        const char* result;
    };
    const Case cases[] = {
        {"C:\\Tools", "", "C:\\Tools\\"},
        {"C:\\", "", "C:\\"},
        {"C:\\Tools", "D:\\old value\\", "C:\\Tools\\"},
        {"D:\\Program Files\\Norvell", "C:\\Tools\\", "D:\\Program Files\\Norvell\\"},
        {"\\\\server\\share\\apps", "x", "\\\\server\\share\\apps\\"},
    };
    for (const Case& c : cases) {
        FakeServices services;
        services.programFolderPath = c.programFolder;
        std::string MyPath = c.previous;
        editor::CheckPath(MyPath, services);
        EXPECT_EQ(MyPath, c.result) << c.programFolder;
    }
}

TEST(Twips, ConvertToPixelsAtTheWindowsDpi) {
    struct Case {
        int twips;
        unsigned dpi;
        int pixels;
    };
    const Case cases[] = {
        {15, 96, 1},    {9135, 96, 609},  {5085, 96, 339},  {255, 96, 17},    {0, 96, 0},
        {7, 96, 0},     {8, 96, 1},       {9135, 120, 761}, {5085, 120, 424}, {360, 120, 30},
        {975, 120, 81}, {255, 120, 21},   {9135, 144, 914}, {5085, 144, 509}, {975, 144, 98},
        {315, 144, 32}, {1845, 144, 185}, {-15, 96, -1},    {-8, 96, -1},     {-7, 96, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
    EXPECT_EQ(win32::toPixels({1680, 2040, 975, 315}, 144), (win32::PixelRect{168, 204, 98, 32}));
    EXPECT_EQ(win32::scalePixels(3, 96), 3);
    EXPECT_EQ(win32::scalePixels(3, 144), 5);
    EXPECT_EQ(win32::scalePixels(16, 120), 20);
}

TEST(Points, ConvertToPixelsAsFontsAreMade) {
    struct Case {
        int hundredthsOfPoint;
        unsigned dpi;
        int pixels;
    };
    const Case cases[] = {
        {825, 96, 11},  {825, 120, 14}, {825, 144, 17},  {825, 168, 19},
        {825, 192, 22}, {1425, 96, 19}, {1425, 144, 29}, {1200, 96, 16},
        {775, 144, 16}, {750, 96, 10},  {0, 96, 0},      {-825, 96, -11},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::pointsToPixels(c.hundredthsOfPoint, c.dpi), c.pixels)
            << c.hundredthsOfPoint << " at " << c.dpi;
    }
}

TEST(CaptionSizes, HalfAPointAtATimeDownToFourFifthsEachHeightOnce) {
    struct Case {
        int design;
        unsigned dpi;
        std::vector<int> sizes;
    };
    const Case cases[] = {
        // 11, 10 and 9 pixels: 7.25 pt is 10 pixels as 7.75 pt is, and 6.6 pt is 9 as 6.75.
        {825, 96, {825, 775, 675}},
        // 17, 16, 15, 14 pixels, and the last step to 6.6 pt makes 13.
        {825, 144, {825, 775, 725, 675, 660}},
        {825, 192, {825, 775, 725, 675}},
        // 19 to 15 pixels, the last at the floor of 11.4 pt.
        {1425, 96, {1425, 1375, 1275, 1225, 1140}},
        // 16 to 13 pixels: 9.6 pt is 13 pixels as 10 pt is.
        {1200, 96, {1200, 1150, 1050, 1000}},
        // A floor that the steps meet exactly is not tried twice.
        {1000, 144, {1000, 950, 900, 850, 800}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::captionSizes(c.design, c.dpi), c.sizes) << c.design << " at " << c.dpi;
        for (int size : win32::captionSizes(c.design, c.dpi)) {
            EXPECT_GE(size * 100, c.design * 80) << "never below four fifths";
        }
    }
}

TEST(WindowFit, ADesignTooLargeForItsMonitorGivesWayOrIsLaidOutSmaller) {
    // The viewer: its list may give way down to a client area of 8895 x 2145 twips.
    const win32::TwipsRect viewer{0, 0, 10095, 7785};
    const win32::TwipsRect viewerSmallest{0, 0, 8895, 2145};
    // Main cannot give way: its smallest is its design.
    const win32::TwipsRect main{0, 0, 9135, 5085};
    struct Case {
        const char* name;
        win32::TwipsRect design, smallest;
        unsigned dpi;
        win32::PixelSize room;
        win32::WindowFit fit;
    };
    const Case cases[] = {
        {"the design fits: as designed", viewer, viewerSmallest, 96, {1018, 740}, {96, {673, 519}}},
        {"exactly", viewer, viewerSmallest, 96, {673, 519}, {96, {673, 519}}},
        // 150 % on 1024 x 768: 1010 x 779 at 144 DPI.
        {"too low: the list shorter", viewer, viewerSmallest, 144, {1016, 730}, {144, {1010, 730}}},
        {"too wide as well", viewer, viewerSmallest, 144, {1000, 700}, {144, {1000, 700}}},
        // 200 % on 1366 x 768: 1218 x 678 at 192 DPI; 5085 twips are 639 pixels at 181.
        {"no way to give: smaller as a whole", main, main, 192, {1350, 640}, {181, {1148, 639}}},
        // Not even the viewer's least fits at 144: at 130 DPI it does, 803 x 194, and gives
        // way there to its room.
        {"the least too large: smaller, then giving way",
         viewer,
         viewerSmallest,
         144,
         {805, 600},
         {130, {805, 600}}},
        // Nothing fits at half the DPI either: the least there, cut off.
        {"nothing fits", main, main, 192, {100, 100}, {96, {609, 339}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::fitWindow(c.design, c.smallest, c.dpi, c.room), c.fit) << c.name;
    }
}
