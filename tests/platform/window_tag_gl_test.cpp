#include "platform/window_tag.h"

#include <gtest/gtest.h>

#include "tests/support/gl_context.h"

namespace {

// Tags of its own, so that a copy of the game on the same display is never
// taken for this test's window.
const long TEST_TAG = 98765;

class WindowTagTest : public GlTest {};

TEST_F(WindowTagTest, TaggedWindowIsFoundByItsTagOnly) {
    EXPECT_FALSE(FindAndShowTaggedWindow(TEST_TAG));
    SetWindowTag(TEST_TAG);
    EXPECT_TRUE(FindAndShowTaggedWindow(TEST_TAG));
    EXPECT_FALSE(FindAndShowTaggedWindow(TEST_TAG + 1));
    // A new tag replaces the old.
    SetWindowTag(TEST_TAG + 2);
    EXPECT_FALSE(FindAndShowTaggedWindow(TEST_TAG));
    EXPECT_TRUE(FindAndShowTaggedWindow(TEST_TAG + 2));
}

}  // namespace
