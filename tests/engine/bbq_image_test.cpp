#include "engine/resources/bbq_image.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/resources/frame_sheet.h"
#include "tests/engine/damaged_images.h"
#include "tests/engine/error_text.h"
#include "tests/support/image_files.h"
#include "tests/support/temp_folder.h"

namespace {

using orvel::BbqImage;
using orvel::FrameSheet;
using orvel::PixelBuffer;

void SetU32(std::string& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = char(value >> (8 * i));
    }
}

void SetU16(std::string& bytes, size_t offset, uint16_t value) {
    bytes[offset] = char(value);
    bytes[offset + 1] = char(value >> 8);
}

class BbqImageTest : public ::testing::Test {
protected:
    TempFolder folder;
    FrameSheet sheet;
    PixelBuffer buffer;
};

TEST_F(BbqImageTest, WriterLaysOutTheHeaderLittleEndian) {
    BbqImage image = CountingBbq(3, 2, 32);
    image.tag = 0x0102;
    const std::string bytes = BbqBytes(image);
    ASSERT_EQ(bytes.size(), 36u + 3 * 2 * 4);
    EXPECT_EQ(std::memcmp(bytes.data(), "BBQ Graphics Format\0", 20), 0);
    EXPECT_EQ(bytes.substr(20, 16),
              std::string("\x01\0\0\0\x02\x01\x20\0\x03\0\0\0\x02\0\0\0", 16));

    const std::vector<uint8_t> raw(bytes.begin(), bytes.end());
    const BbqImage read = orvel::ParseBbqImage(raw, "x.bbq");
    EXPECT_EQ(read.tag, image.tag);
    EXPECT_EQ(read.bpp, 32);
    EXPECT_EQ(read.width, 3u);
    EXPECT_EQ(read.height, 2u);
    EXPECT_EQ(read.pixels, image.pixels);
}

TEST_F(BbqImageTest, WriterRefusesPixelsThatDoNotMatchTheSize) {
    BbqImage image = CountingBbq(3, 2, 24);
    image.pixels.pop_back();
    EXPECT_THROW(BbqBytes(image), orvel::ExceptionGeneral);
    image = CountingBbq(3, 2, 24);
    image.bpp = 16;
    EXPECT_THROW(BbqBytes(image), orvel::ExceptionGeneral);
}

struct PaddingCase {
    uint32_t width;
    uint32_t height;
    uint32_t frames;
    uint32_t paddedWidth;
    uint32_t paddedHeight;
};

TEST_F(BbqImageTest, SheetsArePaddedToPowersOfTwo) {
    const PaddingCase cases[] = {
        {100, 60, 1, 128, 64}, {1, 1, 1, 2, 2},     {50, 40, 3, 64, 128},
        {2, 2, 1, 2, 2},       {64, 64, 1, 64, 64}, {65, 3, 2, 128, 8},
    };
    for (const PaddingCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " x" << c.frames);
        WriteFile("frame.bbq", BbqBytes(CountingBbq(c.width, c.height, 24)));
        FrameSheet padded;
        PixelBuffer pixels;
        for (uint32_t f = 0; f < c.frames; ++f) {
            orvel::LoadImageByExtension(padded, "frame.bbq", pixels);
        }
        orvel::PadFrameSheetHeight(padded, pixels);
        EXPECT_EQ(padded.width, c.width);
        EXPECT_EQ(padded.frameHeight, c.height);
        EXPECT_EQ(padded.frameCount, c.frames);
        EXPECT_EQ(padded.paddedWidth, c.paddedWidth);
        EXPECT_EQ(padded.paddedHeight, c.paddedHeight);
        EXPECT_EQ(pixels.size(), size_t(c.paddedWidth) * c.paddedHeight * 3);
    }
}

TEST_F(BbqImageTest, FramesAreStackedRowByRowWithZeroPadding) {
    const BbqImage first = CountingBbq(3, 2, 32, 1);
    const BbqImage second = CountingBbq(3, 2, 32, 101);
    WriteFile("a.bbq", BbqBytes(first));
    WriteFile("b.bbq", BbqBytes(second));
    orvel::ReadBbqFrame(sheet, "a.bbq", buffer);
    orvel::ReadBbqFrame(sheet, "b.bbq", buffer);
    orvel::PadFrameSheetHeight(sheet, buffer);
    ASSERT_EQ(sheet.paddedWidth, 4u);
    ASSERT_EQ(sheet.paddedHeight, 4u);

    const size_t stride = 4 * 4;
    const size_t rowBytes = 3 * 4;
    const BbqImage* frames[] = {&first, &second};
    for (size_t row = 0; row < 4; ++row) {
        const BbqImage& frame = *frames[row / 2];
        const uint8_t* expected = &frame.pixels[(row % 2) * rowBytes];
        EXPECT_EQ(std::memcmp(&buffer[row * stride], expected, rowBytes), 0) << row;
        for (size_t i = rowBytes; i < stride; ++i) {
            EXPECT_EQ(buffer[row * stride + i], 0) << row;
        }
    }
}

TEST_F(BbqImageTest, TagAndDepthComeFromTheFirstFrame) {
    BbqImage first = CountingBbq(2, 2, 32);
    first.tag = 7;
    BbqImage second = CountingBbq(2, 2, 32);
    second.tag = 9;
    WriteFile("a.bbq", BbqBytes(first));
    WriteFile("b.bbq", BbqBytes(second));
    orvel::ReadBbqFrame(sheet, "a.bbq", buffer);
    orvel::ReadBbqFrame(sheet, "b.bbq", buffer);
    EXPECT_EQ(sheet.tag, 7);
    EXPECT_EQ(sheet.bpp, 32);
}

TEST_F(BbqImageTest, AMismatchedFrameIsRefusedAndEarlierFramesKept) {
    WriteFile("a.bbq", BbqBytes(CountingBbq(4, 4, 24)));
    WriteFile("wide.bbq", BbqBytes(CountingBbq(5, 4, 24)));
    WriteFile("tall.bbq", BbqBytes(CountingBbq(4, 5, 24)));
    WriteFile("deep.bbq", BbqBytes(CountingBbq(4, 4, 32)));
    orvel::ReadBbqFrame(sheet, "a.bbq", buffer);
    const FrameSheet before = sheet;
    const PixelBuffer pixelsBefore = buffer;

    const std::pair<std::string, std::string> cases[] = {
        {"wide.bbq",
         "Frames from the sprite do not all have the same dimensions.\nSprite: wide.bbq"},
        {"tall.bbq",
         "Frames from the sprite do not all have the same dimensions.\nSprite: tall.bbq"},
        {"deep.bbq",
         "Sprite colour depth inconsistent. \nExpected: 24\nFound: 32\nIn file: deep.bbq\n"
         "In Sprite file: unknown_sprite"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ErrorText([&] { orvel::ReadBbqFrame(sheet, c.first, buffer); }), c.second);
        EXPECT_EQ(sheet.frameCount, 1u);
        EXPECT_EQ(sheet.width, before.width);
        EXPECT_EQ(sheet.bpp, before.bpp);
        EXPECT_EQ(buffer, pixelsBefore);
    }
}

struct HeaderCase {
    const char* label;
    void (*change)(std::string& bytes);
    std::string error;  // empty: the file reads
};

const std::string INVALID = "Invalid File Format.\nFile: x.bbq\nLine: -1";

TEST_F(BbqImageTest, HeadersAreCheckedBeforeAnyPixelIsRead) {
    const HeaderCase cases[] = {
        {"intact", [](std::string&) {}, ""},
        {"version 0", [](std::string& b) { SetU32(b, 20, 0); }, ""},
        {"version 2", [](std::string& b) { SetU32(b, 20, 2); },
         "File format is newer than this utility can handle.  Try getting the latest version "
         "of this utility.\nFile: x.bbq\nVersion: 2"},
        {"magic", [](std::string& b) { b[3] = 'X'; }, INVALID},
        {"magic's zero byte", [](std::string& b) { b[19] = ' '; }, INVALID},
        {"empty", [](std::string& b) { b.clear(); }, INVALID},
        {"magic only", [](std::string& b) { b.resize(20); }, INVALID},
        {"header only", [](std::string& b) { b.resize(36); }, INVALID},
        {"one byte short", [](std::string& b) { b.pop_back(); }, INVALID},
        {"16 bits per pixel", [](std::string& b) { SetU16(b, 26, 16); }, INVALID},
        {"0 bits per pixel", [](std::string& b) { SetU16(b, 26, 0); }, INVALID},
        {"zero width", [](std::string& b) { SetU32(b, 28, 0); }, INVALID},
        {"zero height", [](std::string& b) { SetU32(b, 32, 0); }, INVALID},
        // The size check must not wrap around in 32 bits.
        {"huge size",
         [](std::string& b) {
             SetU32(b, 28, 0x80000000u);
             SetU32(b, 32, 0x80000000u);
         },
         INVALID},
        {"size that wraps to a small one in 32 bits",
         [](std::string& b) {
             SetU32(b, 28, 3 + 0x55555556u);
             SetU32(b, 32, 1);
         },
         INVALID},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.label);
        std::string bytes = BbqBytes(CountingBbq(3, 2, 24));
        c.change(bytes);
        WriteFile("x.bbq", bytes);
        FrameSheet fresh;
        PixelBuffer pixels;
        if (c.error.empty()) {
            orvel::ReadBbqFrame(fresh, "x.bbq", pixels);
            EXPECT_EQ(fresh.frameCount, 1u);
        } else {
            EXPECT_EQ(ErrorText([&] { orvel::ReadBbqFrame(fresh, "x.bbq", pixels); }), c.error);
            EXPECT_EQ(fresh.frameCount, 0u);
        }
    }
}

TEST_F(BbqImageTest, ExtensionsAreComparedExactly) {
    WriteFile("a.BBQ", BbqBytes(CountingBbq(2, 2, 24)));
    const std::string names[] = {"a.BBQ", "a.JPG", "a.png", "bbq", "a.bbq.txt"};
    for (const std::string& name : names) {
        EXPECT_EQ(ErrorText([&] { orvel::LoadImageByExtension(sheet, name, buffer); }),
                  "Filename must end in either .jpg .jpeg or .bbq\nFile: " + name);
    }
    EXPECT_EQ(ErrorText([&] { orvel::LoadImageByExtension(sheet, "missing.bbq", buffer); }),
              "File Not Found: missing.bbq");
}

TEST_F(BbqImageTest, PaddingBeyondTheTallestSheetIsRefused) {
    sheet.width = 1;
    sheet.paddedWidth = 2;
    sheet.bpp = 24;
    sheet.frameHeight = 0x40000001u;
    sheet.frameCount = 2;
    EXPECT_EQ(ErrorText([&] { orvel::PadFrameSheetHeight(sheet, buffer); }),
              "Error: BBQ_MAX_PADDED_HEIGHT exceeded.");
}

TEST_F(BbqImageTest, DamagedFilesNeverReadOutOfBounds) {
    LoadDamagedCopies(BbqBytes(CountingBbq(7, 5, 32)), "damaged.bbq", 20261210,
                      [](const FrameSheet& fresh, const PixelBuffer& pixels) {
                          EXPECT_EQ(pixels.size(),
                                    size_t(fresh.paddedWidth) * fresh.paddedHeight * fresh.bpp / 8);
                      });
}

}  // namespace
