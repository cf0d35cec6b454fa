#include "engine/ui/number_plotter.h"

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "engine/sprites/sprite_data.h"

using namespace orvel;

namespace {

// One digit as the plotter hands it over.
struct Digit {
    int digit;
    float x;
    float y;
    bool operator==(const Digit& other) const {
        return digit == other.digit && x == other.x && y == other.y;
    }
};

std::ostream& operator<<(std::ostream& out, const Digit& d) {
    return out << d.digit << "@(" << d.x << "," << d.y << ")";
}

// Digit frames 10 wide and 16 high, without a texture.
SpritePtr DigitSprite(uint32_t frameCount) {
    const SpriteDataPtr data = std::make_shared<SpriteData>();
    data->sheet.width = 10;
    data->sheet.frameHeight = 16;
    data->sheet.frameCount = frameCount;
    return std::make_shared<Sprite>(std::weak_ptr<SpriteManager>(), data);
}

std::vector<Digit> Record(const NumberPlotter& plotter, int value, float x, float y) {
    std::vector<Digit> digits;
    plotter.Plot(value, x, y, [&](int digit, float dx, float dy) {
        digits.push_back(Digit{digit, dx, dy});
    });
    return digits;
}

TEST(NumberPlotterTest, LaysDigitsOutByFlagsAndOffsets) {
    const uint32_t RIGHT = NUMBER_PLOTTER_ALIGN_RIGHT;
    const uint32_t BOTTOM = NUMBER_PLOTTER_ALIGN_BOTTOM;
    const uint32_t PAD = NUMBER_PLOTTER_PAD_ZEROS;
    const struct {
        int value;
        uint32_t flags;
        int xOffset, yOffset;
        std::vector<Digit> digits;
    } cases[] = {
        {7, PAD, 0, 0, {{0, 100, 200}, {0, 110, 200}, {7, 120, 200}}},
        {7, 0, 0, 0, {{7, 100, 200}}},
        {1234, PAD, 0, 0, {{1, 100, 200}, {2, 110, 200}, {3, 120, 200}, {4, 130, 200}}},
        {-5, 0, 0, 0, {{5, 100, 200}}},
        {-5, RIGHT, 0, 0, {{5, 80, 200}}},
        {42, RIGHT, 3, 0, {{4, 77, 200}, {2, 87, 200}}},
        {42, 0, 3, 3, {{4, 103, 203}, {2, 113, 203}}},
        {42, BOTTOM, 0, 3, {{4, 100, 181}, {2, 110, 181}}},
        {5, RIGHT | BOTTOM | PAD, 3, 0, {{0, 67, 184}, {0, 77, 184}, {5, 87, 184}}},
    };
    NumberPlotter plotter(DigitSprite(10), 0, 3, 0, 0);
    for (const auto& c : cases) {
        plotter.flags = c.flags;
        plotter.xOffset = c.xOffset;
        plotter.yOffset = c.yOffset;
        EXPECT_EQ(Record(plotter, c.value, 100, 200), c.digits)
            << "value " << c.value << " flags " << c.flags;
    }
}

TEST(NumberPlotterTest, DigitsWithoutAFrameAreSkippedWithoutRoom) {
    const NumberPlotter plotter(DigitSprite(5), 0, 0, 0, 0);
    EXPECT_EQ(Record(plotter, 4739, 0, 0), (std::vector<Digit>{{4, 0, 0}, {3, 10, 0}}));
}

TEST(NumberPlotterTest, FormatsWithZerosOnlyWhenAsked) {
    NumberPlotter plotter(DigitSprite(10), NUMBER_PLOTTER_PAD_ZEROS, 4, 0, 0);
    EXPECT_EQ(plotter.FormatValue(12), "0012");
    EXPECT_EQ(plotter.FormatValue(123456), "123456");
    plotter.flags = 0;
    EXPECT_EQ(plotter.FormatValue(12), "12");
}

TEST(NumberPlotterTest, WithoutASpriteNothingIsPlotted) {
    const NumberPlotter plotter;
    EXPECT_TRUE(Record(plotter, 12, 0, 0).empty());
}

}  // namespace
