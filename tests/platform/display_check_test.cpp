#include "platform/display_check.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace {

// Puts DISPLAY back as it was when the test ends.
class DisplayVariable {
public:
    DisplayVariable() {
        const char* value = std::getenv("DISPLAY");
        wasSet = value != nullptr;
        saved = wasSet ? value : "";
    }
    ~DisplayVariable() {
        if (wasSet) {
            setenv("DISPLAY", saved.c_str(), 1);
        } else {
            unsetenv("DISPLAY");
        }
    }

private:
    bool wasSet = false;
    std::string saved;
};

TEST(DisplayCheckTest, NamesTheReasonWhenThereIsNoDisplay) {
    DisplayVariable restore;
    unsetenv("DISPLAY");
    EXPECT_EQ(DescribeMissingDisplay(), "No X display was found: DISPLAY is not set.");
    setenv("DISPLAY", "", 1);
    EXPECT_EQ(DescribeMissingDisplay(), "No X display was found: DISPLAY is not set.");
    // No X server listens on display 999 of this machine.
    setenv("DISPLAY", ":999", 1);
    EXPECT_EQ(DescribeMissingDisplay(),
              "No X display was found: DISPLAY is \":999\", which cannot be reached.");
}

}  // namespace
