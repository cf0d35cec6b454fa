#include "game/frontend/skirmish_controls.h"

#include <gtest/gtest.h>

TEST(SkirmishControlsTest, EachPurchaseFrameGivesTheSideTheKeysItShows) {
    struct Case {
        int side, frame, value;
    };
    // Frame 0 shows the number row, frame 1 the keypad: side 1 reads the
    // number row as 0x10, side 2 as 8.
    const Case cases[] = {{1, 0, 0x10}, {1, 1, 8}, {1, 2, 0}, {1, 3, 1},
                          {2, 0, 8},    {2, 1, 0x10}, {2, 2, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(PurchaseValue(c.side, c.frame), c.value) << c.side << "/" << c.frame;
        EXPECT_EQ(PurchaseFrame(c.side, c.value), c.frame) << c.side << "/" << c.value;
        EXPECT_TRUE(PurchaseFrameOffered(c.side, c.frame)) << c.side << "/" << c.frame;
    }
    // Play reads no mouse for side 2: its mouse frame is never offered.
    EXPECT_FALSE(PurchaseFrameOffered(2, 3));
}

TEST(SkirmishControlsTest, UnknownOrAbsentValuesShowTheSidesDefault) {
    struct Case {
        int side, value, purchaseFrame, movementFrame;
    };
    const Case cases[] = {{1, -1, 3, 1}, {1, 7, 3, 1}, {2, -1, 2, 2}, {2, 0x20, 2, 2},
                          {2, 1, 2, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(PurchaseFrame(c.side, c.value), c.purchaseFrame) << c.side << "/" << c.value;
        EXPECT_EQ(MovementFrame(c.side, c.value), c.movementFrame) << c.side << "/" << c.value;
    }
}

TEST(SkirmishControlsTest, PurchaseClicksSkipTheOtherSidesFrame) {
    struct Case {
        int side, frame, otherFrame, next;
    };
    const Case cases[] = {
        {1, 0, 3, 1},  // plain step
        {1, 0, 1, 2},  // keypad taken by side 2: on to no human input
        {1, 1, 2, 2},  // both sides may leave buying to nobody
        {1, 2, 3, 0},  // mouse taken: wraps past it
        {1, 3, 0, 1},  // wraps, then skips the number row
        // Side 2 never shares, not even "no human input", and never stops
        // on the mouse.
        {2, 1, 2, 0},
        {2, 2, 0, 1},
        {2, 2, 1, 0},
        {2, 0, 1, 2},
        {2, 3, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextPurchaseFrame(c.side, c.frame, c.otherFrame), c.next)
            << c.side << ": " << c.frame << " beside " << c.otherFrame;
    }
}

TEST(SkirmishControlsTest, MovementClicksNeverShareAFrameAndSideTwoStaysWithItsPilot) {
    struct Case {
        int side, frame, otherFrame, next;
    };
    const Case cases[] = {
        {1, 0, 2, 1}, {1, 1, 2, 0}, {1, 1, 0, 2}, {1, 2, 0, 1},
        // Side 2's airship always flies by its computer pilot.
        {2, 2, 1, 2}, {2, 0, 1, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextMovementFrame(c.side, c.frame, c.otherFrame), c.next)
            << c.side << ": " << c.frame << " beside " << c.otherFrame;
    }
    const int values[] = {2, 1, 0};
    for (int frame = 0; frame < MOVEMENT_FRAME_COUNT; ++frame) {
        EXPECT_EQ(MovementValue(frame), values[frame]) << frame;
        EXPECT_EQ(MovementFrame(1, values[frame]), frame) << frame;
    }
}
