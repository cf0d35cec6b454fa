#include "engine/resources/jpeg_frames.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/resources/frame_sheet.h"
#include "tests/engine/damaged_images.h"
#include "tests/engine/error_text.h"
#include "tests/support/image_files.h"
#include "tests/support/temp_folder.h"

namespace {

using orvel::FrameSheet;
using orvel::PixelBuffer;

std::vector<uint8_t> Filled(int width, int height, std::vector<uint8_t> pixel) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < width * height; ++i) {
        pixels.insert(pixels.end(), pixel.begin(), pixel.end());
    }
    return pixels;
}

// A picture whose left half is red and right half blue.
std::string RedBlueJpeg(int width, int height) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool left = x < width / 2;
            pixels.push_back(left ? 220 : 20);
            pixels.push_back(20);
            pixels.push_back(left ? 20 : 220);
        }
    }
    return EncodeJpeg(width, height, 3, JCS_RGB, pixels);
}

class JpegFramesTest : public ::testing::Test {
protected:
    const uint8_t* Pixel(size_t x, size_t y) const {
        return &buffer[y * orvel::RowStride(sheet) + x * 3];
    }

    TempFolder folder;
    FrameSheet sheet;
    PixelBuffer buffer;
};

MATCHER_P3(IsNearRgb, r, g, b, "") {
    return std::abs(arg[0] - r) <= 8 && std::abs(arg[1] - g) <= 8 && std::abs(arg[2] - b) <= 8;
}

TEST_F(JpegFramesTest, DecodesColourIntoPaddedRows) {
    WriteFile("picture.jpg", RedBlueJpeg(20, 10));
    orvel::LoadImageByExtension(sheet, "picture.jpg", buffer);
    orvel::PadFrameSheetHeight(sheet, buffer);
    EXPECT_EQ(sheet.bpp, 24);
    EXPECT_EQ(sheet.width, 20u);
    EXPECT_EQ(sheet.frameHeight, 10u);
    EXPECT_EQ(sheet.paddedWidth, 32u);
    EXPECT_EQ(sheet.paddedHeight, 16u);
    ASSERT_EQ(buffer.size(), 32u * 16 * 3);
    EXPECT_THAT(Pixel(2, 1), IsNearRgb(220, 20, 20));
    EXPECT_THAT(Pixel(17, 9), IsNearRgb(20, 20, 220));
    EXPECT_THAT(Pixel(25, 3), IsNearRgb(0, 0, 0));
    EXPECT_THAT(Pixel(3, 12), IsNearRgb(0, 0, 0));
}

TEST_F(JpegFramesTest, GreyscaleIsDecodedToRgb) {
    WriteFile("grey.jpeg", EncodeJpeg(8, 8, 1, JCS_GRAYSCALE, Filled(8, 8, {150})));
    orvel::LoadImageByExtension(sheet, "grey.jpeg", buffer);
    EXPECT_EQ(sheet.bpp, 24);
    EXPECT_THAT(Pixel(4, 4), IsNearRgb(150, 150, 150));
}

TEST_F(JpegFramesTest, CmykAndCorruptDataAreRefusedWithTheSheetUnchanged) {
    WriteFile("first.jpg", RedBlueJpeg(8, 8));
    orvel::ReadJpegFrame(sheet, "first.jpg", buffer);
    const PixelBuffer before = buffer;

    const std::string jpeg = RedBlueJpeg(8, 8);
    const std::pair<std::string, std::string> cases[] = {
        {"cmyk.jpg", EncodeJpeg(8, 8, 4, JCS_CMYK, Filled(8, 8, {10, 20, 30, 40}))},
        {"text.jpg", "this is no picture at all"},
        {"empty.jpg", ""},
        {"header-cut.jpg", jpeg.substr(0, 100)},
    };
    for (const auto& c : cases) {
        WriteFile(c.first, c.second);
        EXPECT_EQ(ErrorText([&] { orvel::ReadJpegFrame(sheet, c.first, buffer); }),
                  "Invalid File Format.\nFile: " + c.first + "\nLine: -1");
        EXPECT_EQ(sheet.frameCount, 1u);
        EXPECT_EQ(buffer, before);
    }
}

TEST_F(JpegFramesTest, APictureCutShortStillGivesAWholeFrame) {
    std::vector<uint8_t> pixels;
    for (int i = 0; i < 64 * 64; ++i) {
        pixels.insert(pixels.end(), {uint8_t(i * 7), uint8_t(i * 13), 200});
    }
    const std::string jpeg = EncodeJpeg(64, 64, 3, JCS_RGB, pixels);
    WriteFile("cut.jpg", jpeg.substr(0, jpeg.size() / 2));
    orvel::ReadJpegFrame(sheet, "cut.jpg", buffer);
    EXPECT_EQ(sheet.frameCount, 1u);
    EXPECT_EQ(sheet.frameHeight, 64u);
    EXPECT_EQ(buffer.size(), 64u * 64 * 3);
}

TEST_F(JpegFramesTest, StacksWithBbqFramesOfTheSameSizeAndDepth) {
    WriteFile("a.jpg", RedBlueJpeg(6, 4));
    WriteFile("b.bbq", BbqBytes(CountingBbq(6, 4, 24)));
    WriteFile("c.bbq", BbqBytes(CountingBbq(6, 4, 32)));
    orvel::LoadImageByExtension(sheet, "a.jpg", buffer);
    orvel::LoadImageByExtension(sheet, "b.bbq", buffer);
    EXPECT_EQ(sheet.frameCount, 2u);
    EXPECT_EQ(ErrorText([&] { orvel::LoadImageByExtension(sheet, "c.bbq", buffer); }),
              "Sprite colour depth inconsistent. \nExpected: 24\nFound: 32\nIn file: c.bbq\n"
              "In Sprite file: unknown_sprite");

    FrameSheet other;
    PixelBuffer pixels;
    orvel::LoadImageByExtension(other, "b.bbq", pixels);
    WriteFile("wide.jpg", RedBlueJpeg(7, 4));
    EXPECT_EQ(ErrorText([&] { orvel::LoadImageByExtension(other, "wide.jpg", pixels); }),
              "Frames from the sprite do not all have the same dimensions.\nSprite: wide.jpg");
}

// Without a GL context the largest texture side is 4096.
TEST_F(JpegFramesTest, AClaimedSizeBeyondTheLargestTextureIsRefusedBeforeAllocating) {
    std::string jpeg = RedBlueJpeg(8, 8);
    const size_t frame = jpeg.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    // Height, then width, after the marker, its length and the precision.
    jpeg.replace(frame + 5, 4, "\xFF\xDC\xFF\xDC");
    WriteFile("huge.jpg", jpeg);
    EXPECT_EQ(ErrorText([&] { orvel::ReadJpegFrame(sheet, "huge.jpg", buffer); }),
              "Error: Picture too large for a texture: huge.jpg\nSize: 65536x65536\nLargest: 4096");
    EXPECT_EQ(sheet.frameCount, 0u);
    EXPECT_TRUE(buffer.empty());

    WriteFile("tall.bbq", BbqBytes(CountingBbq(2, 2048, 24)));
    orvel::LoadImageByExtension(sheet, "tall.bbq", buffer);
    orvel::LoadImageByExtension(sheet, "tall.bbq", buffer);
    EXPECT_EQ(ErrorText([&] { orvel::LoadImageByExtension(sheet, "tall.bbq", buffer); }),
              "Error: Picture too large for a texture: tall.bbq\nSize: 2x8192\nLargest: 4096");
    EXPECT_EQ(sheet.frameCount, 2u);
}

TEST_F(JpegFramesTest, DamagedFilesNeverCrashTheDecoder) {
    LoadDamagedCopies(RedBlueJpeg(24, 16), "damaged.jpg", 12102026,
                      [](const FrameSheet& fresh, const PixelBuffer& pixels) {
                          EXPECT_EQ(pixels.size(),
                                    size_t(fresh.paddedWidth) * fresh.paddedHeight * 3);
                      });
}

}  // namespace
