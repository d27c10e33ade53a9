#include <gtest/gtest.h>

#include "win32/message_fit.hpp"

TEST(MessageFit, OnlyATextWhoseLinesBreakAndWhoseBoxIsNoTallerThanTheWorkAreaStaysABox) {
    const win32::PixelSize work{1024, 728};
    const int wrap = win32::messageWrapWidth(work);
    ASSERT_EQ(wrap, 512);
    struct Case {
        const char* name;
        win32::PixelSize text;
        win32::PixelSize around;
        bool box;
    };
    const Case cases[] = {
        {"a short message", {300, 40}, {60, 150}, true},
        {"a box exactly as tall as the work area", {512, 578}, {60, 150}, true},
        {"one line more: the status at 144 DPI", {512, 579}, {60, 150}, false},
        {"a path that cannot break", {513, 20}, {60, 150}, false},
        {"wide margins push the box off the screen", {500, 20}, {600, 150}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::fitsMessageBox({wrap, c.text, c.around}, work), c.box) << c.name;
    }
}

TEST(MessageFit, TheScrollingWindowIsCentredInTheWorkAreaAndNoLargerThanIt) {
    const win32::PixelRect work{0, 40, 1024, 728};
    EXPECT_EQ(win32::scrollingMessagePlace({600, 400}, work),
              (win32::PixelRect{212, 204, 600, 400}));
    EXPECT_EQ(win32::scrollingMessagePlace({600, 2000}, work),
              (win32::PixelRect{212, 40, 600, 728}));
    EXPECT_EQ(win32::scrollingMessagePlace({3000, 300}, work),
              (win32::PixelRect{0, 254, 1024, 300}));
}
