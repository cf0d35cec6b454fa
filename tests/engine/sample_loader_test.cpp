#include "engine/sound/sample_loader.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <boost/filesystem.hpp>

#include "tests/support/headless_allegro.h"
#include "tests/support/temp_folder.h"

namespace {

std::string LittleEndian(uint32_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) {
        text += char((value >> (8 * i)) & 0xFF);
    }
    return text;
}

std::string Chunk(const std::string& id, const std::string& body) {
    return id + LittleEndian(uint32_t(body.size()), 4) + body;
}

std::string Format(int channels, int bits, int tag = 1) {
    const int frame = channels * bits / 8;
    return Chunk("fmt ", LittleEndian(tag, 2) + LittleEndian(channels, 2) + LittleEndian(11025, 4) +
                             LittleEndian(11025 * frame, 4) + LittleEndian(frame, 2) +
                             LittleEndian(bits, 2));
}

std::string Wave(const std::string& chunks) {
    const std::string body = "WAVE" + chunks;
    return "RIFF" + LittleEndian(uint32_t(body.size()), 4) + body;
}

const std::string FOUR_SAMPLES = "\x80\xC0\x80\x40";

std::vector<char> Bytes(const std::string& text) {
    return std::vector<char>(text.begin(), text.end());
}

orvel::SampleDataPtr Load(const std::string& text) { return orvel::LoadWavFromMemory(Bytes(text)); }

class WavLoadingTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureHeadlessAllegro(); }
};

TEST_F(WavLoadingTest, SoundFilesLoadWithTheirLength) {
    const std::pair<std::string, unsigned> cases[] = {
        {Wave(Format(1, 8) + Chunk("data", FOUR_SAMPLES)), 4},
        {Wave(Format(2, 16) + Chunk("data", std::string(8, '\0'))), 2},
        {Wave(Chunk("LIST", "notes") + Format(1, 16) + Chunk("data", FOUR_SAMPLES)), 2},
        // Fewer bytes than a chunk name at the end are left alone.
        {Wave(Format(1, 8) + Chunk("data", FOUR_SAMPLES) + "\0\0\0"), 4},
    };
    for (const auto& c : cases) {
        const orvel::SampleDataPtr sample = Load(c.first);
        ASSERT_TRUE(sample);
        EXPECT_EQ(sample->len, c.second);
    }
}

TEST_F(WavLoadingTest, DamagedOrUnreadableFilesGiveNoSample) {
    const std::string format = Format(1, 8);
    const std::string data = Chunk("data", FOUR_SAMPLES);
    const std::pair<const char*, std::string> cases[] = {
        {"empty", ""},
        {"header only", Wave("")},
        {"no data chunk", Wave(format)},
        {"no format chunk", Wave(data)},
        {"data size past the end", Wave(format + "data" + LittleEndian(5, 4) + FOUR_SAMPLES)},
        {"data size of gigabytes", Wave(format + "data" + LittleEndian(0x7FFFFFF0, 4))},
        {"data size negative to the library", Wave(format + "data" + LittleEndian(0xFFFFFFF0, 4))},
        {"second data chunk", Wave(format + data + data)},
        {"empty data chunk", Wave(format + Chunk("data", ""))},
        {"16-bit data of an odd byte count", Wave(Format(1, 16) + Chunk("data", "\x01\x02\x03"))},
        {"stereo 16-bit data of half a frame", Wave(Format(2, 16) + Chunk("data", "\x01\x02"))},
        {"format chunk too short", Wave(Chunk("fmt ", std::string(14, '\x01')) + data)},
        {"format after the data", Wave(data + format)},
        {"second format chunk", Wave(format + Format(2, 16) + data)},
        {"12-bit samples", Wave(Format(1, 12) + data)},
        {"three channels", Wave(Format(3, 8) + Chunk("data", "\x01\x02\x03"))},
        {"compressed samples", Wave(Format(1, 8, 2) + data)},
        {"chunk header cut short", Wave(format + data + "LIST\x01")},
        {"no RIFF", "RIFX" + Wave(format + data).substr(4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_FALSE(Load(c.second));
    }
}

TEST_F(WavLoadingTest, AnEmptyLooseFileGivesNoSample) {
    TempFolder folder;
    WriteFile("empty.wav", "");
    EXPECT_FALSE(orvel::LoadSampleResource("empty.wav"));
}

TEST_F(WavLoadingTest, TheGamesOwnSoundsLoad) {
    int files = 0;
    for (const auto& entry : boost::filesystem::directory_iterator("resources/sounds")) {
        if (entry.path().extension() != ".wav") {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        std::ifstream stream(entry.path().string(), std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(stream)),
                                      std::istreambuf_iterator<char>());
        EXPECT_TRUE(orvel::LoadWavFromMemory(bytes));
        ++files;
    }
    EXPECT_GT(files, 0);
}

// Every damaged copy is either refused or read without a fault or a leak.
TEST_F(WavLoadingTest, DamagedCopiesNeverFaultTheReader) {
    const std::string intact =
        Wave(Chunk("LIST", "ab") + Format(2, 16) + Chunk("data", std::string(16, '\x11')));
    std::mt19937 random(10122026);
    for (int trial = 0; trial < 2000; ++trial) {
        std::string bytes = intact;
        if (trial % 2 == 0) {
            bytes.resize(random() % bytes.size());
        } else {
            bytes[random() % bytes.size()] = char(random());
        }
        const orvel::SampleDataPtr sample = Load(bytes);
        if (sample) {
            EXPECT_LE(sample->len * 4, bytes.size());
        }
    }
}

}  // namespace
