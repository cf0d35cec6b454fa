#include "platform/message_box.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(MessageBoxTest, HeadlessMessagesGoToStandardErrorVerbatim) {
    setenv("GEARHAVEN_HEADLESS_MESSAGES", "1", 1);
    ASSERT_TRUE(MessagesAreHeadless());
    // Format directives stay text: the message is never read as a format.
    const std::string text = "Error: 100%s done %n%d\nsecond line";
    ::testing::internal::CaptureStderr();
    ShowMessageBox(text);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), text + "\n");
}

TEST(MessageBoxTest, WithoutTheGameLibraryMessagesAreHeadless) {
    // No test here starts the library's X driver, which the message window
    // needs.
    unsetenv("GEARHAVEN_HEADLESS_MESSAGES");
    EXPECT_TRUE(MessagesAreHeadless());
    setenv("GEARHAVEN_HEADLESS_MESSAGES", "", 1);
    EXPECT_TRUE(MessagesAreHeadless());
    setenv("GEARHAVEN_HEADLESS_MESSAGES", "1", 1);
}

}  // namespace
