#include "app/display_mode.h"

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct ModeCase {
    const char* name;
    int width;
    int height;
    std::vector<std::string> arguments;  // after the program's name
    bool fullscreen;
};

// Names the case in test listings.
void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

// 16:10 gives 1.6, which in double precision lies below the threshold 1.6f
// (1.60000002384); rounded to single precision it would equal it and run
// windowed.
const ModeCase MODE_CASES[] = {
    {"16:10 runs fullscreen", 1280, 800, {}, true},
    {"1440x900 is 16:10 too", 1440, 900, {}, true},
    {"4:3 runs fullscreen", 1024, 768, {}, true},
    {"5:4 of the default virtual screen runs fullscreen", 1280, 1024, {}, true},
    {"16:9 runs windowed", 1920, 1080, {}, false},
    {"just above 1.6f runs windowed", 1601, 1000, {}, false},
    {"an unreadable desktop runs fullscreen", 0, 0, {}, true},
    {"-windowed overrides a narrow desktop", 1280, 800, {"-windowed"}, false},
    {"-fullscreen overrides a wide desktop", 1920, 1080, {"-fullscreen"}, true},
    {"the last of the two wins", 1920, 1080, {"-fullscreen", "-windowed"}, false},
    {"the last of the two wins, other order", 1280, 800, {"-windowed", "-fullscreen"}, true},
    {"--windowed is not the switch", 1280, 800, {"--windowed"}, true},
    {"-Windowed is not the switch", 1280, 800, {"-Windowed"}, true},
    {"other arguments are ignored", 1920, 1080, {"level1", "-fullscreen", "x"}, true},
};

class DisplayModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(DisplayModeTest, ChoosesTheWindowMode) {
    const ModeCase& c = GetParam();
    std::vector<const char*> argv = {"gearhaven"};
    for (const std::string& argument : c.arguments) {
        argv.push_back(argument.c_str());
    }
    EXPECT_EQ(ChooseFullscreen(c.width, c.height, int(argv.size()), argv.data()), c.fullscreen)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(Desktops, DisplayModeTest, ::testing::ValuesIn(MODE_CASES));

}  // namespace
