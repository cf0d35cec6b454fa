#include "engine/sound/ogg_player.h"

#include <allegro.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "engine/core/exception.h"
#include "engine/sound/fake_voice_backend.h"

namespace {

using orvel::FakeVoiceBackend;
using orvel::OggMemoryFile;
using orvel::OggPlayer;

const char* const MONO = "tests/data/sound/mono_1s.ogg";         // 1 s, 22050 Hz
const char* const STEREO = "tests/data/sound/stereo_short.ogg";  // 0.3 s, 44100 Hz
const char* const THREE = "tests/data/sound/three_channels.ogg";
const char* const NO_AUDIO = "tests/data/sound/no_audio.ogg";

std::vector<char> ReadFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The whole track decoded once, in the stream's sample format.
std::vector<uint8_t> DecodeOnce(const std::string& name) {
    OggMemoryFile file;
    file.Assign(ReadFile(name));
    OggVorbis_File decoder;
    EXPECT_EQ(ov_open_callbacks(&file, &decoder, nullptr, 0, OggMemoryFile::Callbacks()), 0);
    std::vector<uint8_t> pcm;
    char chunk[4096];
    int section = 0;
    long n = 0;
    while ((n = ov_read(&decoder, chunk, sizeof chunk, 0, 2, 0, &section)) > 0) {
        pcm.insert(pcm.end(), chunk, chunk + n);
    }
    ov_clear(&decoder);
    return pcm;
}

std::string OpenError(OggPlayer& player, const std::string& name) {
    try {
        player.Open(name);
    } catch (const orvel::ExceptionGeneral& e) {
        return e.GetText();
    }
    return "";
}

class OggPlayerTest : public ::testing::Test {
protected:
    const FakeVoiceBackend::Stream& OnlyStream() const {
        EXPECT_EQ(backend->GetStreams().size(), 1u);
        return *backend->GetStreams().front();
    }

    std::shared_ptr<FakeVoiceBackend> backend = std::make_shared<FakeVoiceBackend>();
    OggPlayer player{backend};
};

TEST_F(OggPlayerTest, APlayerThatNeverOpenedAFileIsSafeToUseAndClose) {
    EXPECT_FALSE(player.StartStream());
    player.FillBuffer();
    player.RampVolume(100, 50);
    player.StopStream();
    player.Close();
    player.Close();
    EXPECT_FALSE(player.IsOpen());
    EXPECT_EQ(backend->GetStreamsMade(), 0);
}

TEST_F(OggPlayerTest, RefusesFilesItCannotPlay) {
    EXPECT_EQ(OpenError(player, "resources/sounds/sounds.txt"),
              "Bitstream from resources/sounds/sounds.txt doesn't appear to be ogg.");
    EXPECT_FALSE(player.IsOpen());
    // Three channels would overrun a stereo stream buffer.
    EXPECT_EQ(OpenError(player, THREE),
              "Bitstream from tests/data/sound/three_channels.ogg has 3 "
              "channels; only mono and stereo music can be played.");
    EXPECT_FALSE(player.IsOpen());
    EXPECT_FALSE(player.StartStream());
    // A refused file leaves an earlier one closed, not half open.
    player.Open(MONO);
    EXPECT_NE(OpenError(player, "resources/sounds/sounds.txt"), "");
    EXPECT_FALSE(player.IsOpen());
}

TEST_F(OggPlayerTest, MissingFilesFailInTheResourceLayer) {
    EXPECT_THROW(player.Open("tests/data/sound/missing.ogg"), orvel::ExceptionFileNotFound);
}

struct FormatCase {
    const char* file;
    int channels;
    int rate;
    size_t bufferBytes;
};

TEST_F(OggPlayerTest, StreamsMatchTheFileAndBuffersHold4096SamplesPerChannel) {
    const FormatCase cases[] = {{MONO, 1, 22050, 4096 * 2}, {STEREO, 2, 44100, 4096 * 4}};
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.file);
        player.Open(c.file);
        EXPECT_EQ(player.GetChannels(), c.channels);
        ASSERT_TRUE(player.StartStream());
        const FakeVoiceBackend::Stream& stream = OnlyStream();
        EXPECT_EQ(stream.length, 4096);
        EXPECT_EQ(stream.bits, 16);
        EXPECT_EQ(stream.stereo, c.channels == 2);
        EXPECT_EQ(stream.frequency, c.rate);
        EXPECT_EQ(backend->GetVoice(stream.handle->voice).volume, 100);
        EXPECT_EQ(backend->GetVoice(stream.handle->voice).pan, 128);
        EXPECT_EQ(stream.buffer.size(), c.bufferBytes);
        player.FillBuffer();
        EXPECT_EQ(stream.played.size(), c.bufferBytes);
        player.Close();
        EXPECT_TRUE(backend->GetStreams().empty());
    }
}

TEST_F(OggPlayerTest, TheLoopRunsOnWithoutAGapInsideTheBuffers) {
    for (const char* file : {MONO, STEREO}) {
        SCOPED_TRACE(file);
        const std::vector<uint8_t> once = DecodeOnce(file);
        ASSERT_FALSE(once.empty());
        player.Open(file);
        ASSERT_TRUE(player.StartStream());
        // Enough buffers to pass the loop point several times.
        const size_t fills = 3 * once.size() / player.GetBufferBytes() + 2;
        for (size_t i = 0; i < fills; ++i) {
            player.FillBuffer();
        }
        const std::vector<uint8_t>& played = OnlyStream().played;
        ASSERT_EQ(played.size(), fills * player.GetBufferBytes());
        size_t mismatches = 0;
        for (size_t i = 0; i < played.size(); ++i) {
            mismatches += played[i] != once[i % once.size()] ? 1 : 0;
        }
        EXPECT_EQ(mismatches, 0u);
        player.Close();
    }
}

TEST_F(OggPlayerTest, NoBufferDueMeansNothingIsDecoded) {
    player.Open(MONO);
    player.StartStream();
    backend->SetStreamBuffersDue(false);
    player.FillBuffer();
    EXPECT_EQ(OnlyStream().buffersPlayed, 0);
}

TEST_F(OggPlayerTest, AFileWithoutAudioFillsSilence) {
    player.Open(NO_AUDIO);
    ASSERT_TRUE(player.StartStream());
    player.FillBuffer();
    player.FillBuffer();
    const std::vector<uint8_t>& played = OnlyStream().played;
    ASSERT_EQ(played.size(), 2 * player.GetBufferBytes());
    for (size_t i = 0; i < played.size(); i += 2) {
        ASSERT_EQ(played[i], 0x00) << i;
        ASSERT_EQ(played[i + 1], 0x80) << i;  // unsigned 16-bit silence is 0x8000
    }
}

bool EndsInSilence(const std::vector<uint8_t>& pcm, size_t end, size_t bytes) {
    for (size_t i = end - bytes; i < end; i += 2) {
        if (pcm[i] != 0x00 || pcm[i + 1] != 0x80) {
            return false;
        }
    }
    return true;
}

TEST_F(OggPlayerTest, ADecoderErrorSilencesTheRestOfThatBufferOnly) {
    // Damage a stretch of audio pages in the middle of the level music.
    std::vector<char> bytes = ReadFile("resources/music/level1.ogg");
    ASSERT_GT(bytes.size(), 10000u);
    const size_t at = bytes.size() * 6 / 10;
    for (size_t i = at; i < at + 200; ++i) {
        bytes[i] = static_cast<char>(bytes[i] ^ 0x55);
    }
    const std::string name = ::testing::TempDir() + "damaged_music.ogg";
    std::ofstream(name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    player.Open(name);
    ASSERT_TRUE(player.StartStream());
    const size_t buffer = player.GetBufferBytes();
    const size_t fills = DecodeOnce("resources/music/level1.ogg").size() / buffer + 2;
    for (size_t i = 0; i < fills; ++i) {
        player.FillBuffer();
    }
    const std::vector<uint8_t>& played = OnlyStream().played;
    int silencedTails = 0;
    for (size_t end = buffer; end <= played.size(); end += buffer) {
        silencedTails += EndsInSilence(played, end, 256) ? 1 : 0;
    }
    EXPECT_GE(silencedTails, 1);
    // Decoding went on after the damage, round the loop and into the start.
    EXPECT_FALSE(EndsInSilence(played, played.size(), buffer));
    std::remove(name.c_str());
}

TEST_F(OggPlayerTest, StartingAgainReplacesTheStreamAndRampsGoToItsVoice) {
    player.Open(MONO);
    ASSERT_TRUE(player.StartStream());
    ASSERT_TRUE(player.StartStream());
    EXPECT_EQ(backend->GetStreamsMade(), 2);
    const int voice = OnlyStream().handle->voice;
    player.RampVolume(500, 300);
    EXPECT_EQ(backend->GetVoice(voice).rampMilliseconds, 500);
    EXPECT_EQ(backend->GetVoice(voice).rampVolume, 255);
    player.StopStream();
    EXPECT_FALSE(player.IsStreaming());
    EXPECT_TRUE(player.IsOpen());
    EXPECT_TRUE(backend->GetStreams().empty());
    EXPECT_EQ(backend->CountAllocatedVoices(), 0);
    player.RampVolume(500, 10);  // no stream: nothing to ramp
}

}  // namespace
