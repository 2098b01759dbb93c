// The watcher must see and dismiss a box raised by the test's own thread,
// report its owner and icon, and leave other dialogs alone.
#include "MessageBoxWatcher.h"

#include <gtest/gtest.h>

TEST(MessageBoxWatcher, RecordsAndDismissesBoxesOfThisProcess)
{
    MessageBoxWatcher watcher;
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    // Both calls return only because the watcher pressed OK.
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "first\r\nline two", "Caption one", MB_OK));
    EXPECT_EQ(IDOK, MessageBoxA(owner, "second", "Caption two", MB_OK | MB_ICONERROR));

    std::vector<SeenBox> boxes = watcher.Boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Caption one", boxes[0].caption);
    EXPECT_EQ("first\r\nline two", boxes[0].text);
    EXPECT_EQ(nullptr, boxes[0].owner);
    EXPECT_EQ("none", boxes[0].icon);
    EXPECT_EQ("Caption two", boxes[1].caption);
    EXPECT_EQ("second", boxes[1].text);
    EXPECT_EQ(owner, boxes[1].owner);
    EXPECT_EQ("error", boxes[1].icon);
    DestroyWindow(owner);
}
