#include "tools/bbq_convert/ppm_file.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class PpmFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "gearhaven-ppm-XXXXXX").string();
        folder = mkdtemp(&pattern[0]);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Write(const std::string& bytes) {
        const std::string name = (folder / "picture.ppm").string();
        std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
        return name;
    }

    fs::path folder;
};

// Two pixels: orange, then half-grey.
const std::vector<uint8_t> EXPECTED = {255, 128, 0, 255, 127, 127, 127, 255};

TEST_F(PpmFileTest, ReadsBinaryAndAsciiPicturesOfEightAndSixteenBits) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"binary 8 bits",
         std::string("P6\n2 1\n255\n") + std::string("\xFF\x80\x00\x7F\x7F\x7F", 6)},
        {"binary 16 bits", std::string("P6 2 1 65535\n") +
                               std::string("\xFF\xFF\x80\x80\x00\x00\x7F\xFF\x7F\xFF\x7F\xFF", 12)},
        {"ascii 8 bits", "P3\n# a comment\n2 1\n255\n255 128 0\n127 127 127\n"},
        {"ascii 16 bits", "P3 2 1 65535 65535 32896 0 32767 32767 32767"},
        {"ascii 4 bits", "P3 2 1 15 15 8 0 7 7 7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture;
        ASSERT_TRUE(ReadPpm(Write(c.bytes), picture));
        EXPECT_EQ(picture.width, 2u);
        EXPECT_EQ(picture.height, 1u);
        EXPECT_FALSE(picture.hasAlpha);
        if (std::string(c.name) == "ascii 4 bits") {
            // 4-bit samples scale to 255 * value / 15.
            EXPECT_EQ(picture.rgba, (std::vector<uint8_t>{255, 136, 0, 255, 119, 119, 119, 255}));
        } else {
            EXPECT_EQ(picture.rgba, EXPECTED);
        }
    }
}

TEST_F(PpmFileTest, RefusesWhatIsNotAWholePicture) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"grey map", "P2 2 1 255 0 0"},
        {"bitmap", "P1 2 1 0 1"},
        {"no size", "P6\n"},
        {"zero width", "P3 0 1 255"},
        {"sample above the largest value", "P3 1 1 100 101 0 0"},
        {"largest value above 16 bits", "P3 1 1 65536 0 0 0"},
        {"cut short binary", std::string("P6 2 1 255\n") + std::string("\x01\x02\x03\x04", 4)},
        {"cut short 16-bit binary",
         std::string("P6 1 1 65535\n") + std::string("\x01\x02\x03\x04\x05", 5)},
        {"cut short ascii", "P3 2 1 255 1 2 3 4 5"},
        {"too large", "P6 65536 65536 255\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Picture picture;
        EXPECT_FALSE(ReadPpm(Write(c.bytes), picture));
    }
}

}  // namespace
