#include "engine/resources/resource.h"

#include <cstdlib>
#include <iterator>
#include <string>

#include <allegro.h>
#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "tests/engine/error_text.h"
#include "tests/support/headless_allegro.h"
#include "tests/support/temp_folder.h"

namespace {

using orvel::AccessInterfacePtr;
using orvel::IStreamPtr;

const std::string IN_DATAFILE = "resources/sounds/sounds.txt";
const std::string NOT_IN_DATAFILE = "resources/sounds/other.txt";

std::string LittleEndian(uint32_t value, int bytes) {
    std::string text;
    for (int i = 0; i < bytes; ++i) {
        text += char((value >> (8 * i)) & 0xFF);
    }
    return text;
}

// A mono 8-bit PCM wave file of four samples.
std::string TinyWave() {
    const std::string samples = "\x80\xC0\x80\x40";
    std::string fmt = LittleEndian(1, 2) + LittleEndian(1, 2) + LittleEndian(11025, 4) +
                      LittleEndian(11025, 4) + LittleEndian(1, 2) + LittleEndian(8, 2);
    std::string body = "WAVEfmt " + LittleEndian(uint32_t(fmt.size()), 4) + fmt + "data" +
                       LittleEndian(uint32_t(samples.size()), 4) + samples;
    return "RIFF" + LittleEndian(uint32_t(body.size()), 4) + body;
}

void RunDat(const std::string& arguments) {
    const std::string command = "dat -k " + arguments + " > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

std::string ReadStream(const IStreamPtr& stream) {
    return std::string(std::istreambuf_iterator<char>(*stream), std::istreambuf_iterator<char>());
}

// The bytes of a loaded resource, whichever form it came in.
std::string ReadAccess(const AccessInterfacePtr& access) {
    if (access->object) {
        const char* data = static_cast<const char*>(access->object->dat);
        return std::string(data, data + access->object->size);
    }
    return std::string(access->bytes.begin(), access->bytes.end());
}

// Runs in a fresh folder holding "game.dat" made with the datafile tool:
// resources.dat/top.txt, resources.dat/sounds.dat/sounds.txt and a sample
// resources.dat/sounds.dat/beep.wav. No loose resource exists at the start.
class ResourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureHeadlessAllegro();
        WriteFile("stage/sounds/sounds.txt", "datafile sounds");
        WriteFile("stage/sounds/beep.wav", TinyWave());
        WriteFile("stage/top.txt", "datafile top");
        RunDat("-t DATA -a sounds.dat stage/sounds/sounds.txt");
        RunDat("-t SAMP -a sounds.dat stage/sounds/beep.wav");
        RunDat("-t DATA -a resources.dat stage/top.txt");
        RunDat("-t FILE -a resources.dat sounds.dat");
        RunDat("-t FILE -a game.dat resources.dat");
    }
    void TearDown() override { orvel::ClearDatafilePath(); }

    TempFolder folder;
};

struct LookupCase {
    const char* label;
    bool useDatafile;
    std::string name;
    bool loosePresent;
    std::string expected;
};

TEST_F(ResourceTest, LooksInTheDatafileFirstThenAtTheLooseFile) {
    const LookupCase cases[] = {
        {"datafile has it, loose too", true, IN_DATAFILE, true, "datafile sounds"},
        {"datafile has it, no loose", true, IN_DATAFILE, false, "datafile sounds"},
        {"datafile lacks it, loose", true, NOT_IN_DATAFILE, true, "loose other"},
        {"datafile lacks it, no loose", true, NOT_IN_DATAFILE, false,
         "File Not Found: resources/sounds/other.txt"},
        {"no datafile, loose", false, IN_DATAFILE, true, "loose sounds"},
        {"no datafile, no loose", false, IN_DATAFILE, false,
         "File Not Found: resources/sounds/sounds.txt"},
        {"top folder of the datafile", true, "resources/top.txt", false, "datafile top"},
        {"current-folder component", true, "./resources/sounds/./sounds.txt", false,
         "datafile sounds"},
        {"parent-folder component", true, "resources/music/../sounds/sounds.txt", false,
         "datafile sounds"},
        {"normalised name in the error", true, "resources/./sounds/x/../other.txt", false,
         "File Not Found: resources/sounds/other.txt"},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.label);
        boost::filesystem::remove_all("resources");
        if (c.loosePresent) {
            WriteFile(IN_DATAFILE, "loose sounds");
            WriteFile(NOT_IN_DATAFILE, "loose other");
        }
        orvel::ClearDatafilePath();
        if (c.useDatafile) {
            orvel::SetDatafilePath("game.dat");
        }
        const bool found = c.expected.rfind("File Not Found", 0) != 0;
        if (found) {
            EXPECT_EQ(ReadStream(orvel::OpenResource(c.name)), c.expected);
            EXPECT_EQ(ReadAccess(orvel::LoadDatafileObject(c.name)), c.expected);
        } else {
            EXPECT_EQ(ErrorText([&] { orvel::OpenResource(c.name); }), c.expected);
            EXPECT_EQ(ErrorText([&] { orvel::LoadDatafileObject(c.name); }), c.expected);
        }
    }
}

TEST_F(ResourceTest, KeepsTheDatafileObjectOrTheLooseBytes) {
    WriteFile(NOT_IN_DATAFILE, "loose other");
    orvel::SetDatafilePath("game.dat");

    const AccessInterfacePtr fromDatafile = orvel::LoadDatafileObject(IN_DATAFILE);
    ASSERT_TRUE(fromDatafile->object);
    EXPECT_EQ(fromDatafile->object->type, DAT_DATA);
    EXPECT_TRUE(fromDatafile->bytes.empty());

    const AccessInterfacePtr fromDisk = orvel::LoadDatafileObject(NOT_IN_DATAFILE);
    EXPECT_FALSE(fromDisk->object);
    EXPECT_EQ(ReadAccess(fromDisk), "loose other");
}

TEST_F(ResourceTest, OnlyPlainDataObjectsAreStreams) {
    orvel::SetDatafilePath("game.dat");

    const AccessInterfacePtr sample = orvel::LoadDatafileObject("resources/sounds/beep.wav");
    ASSERT_TRUE(sample->object);
    EXPECT_EQ(sample->object->type, DAT_SAMPLE);
    EXPECT_EQ(static_cast<SAMPLE*>(sample->object->dat)->len, 4u);

    EXPECT_EQ(ErrorText([] { orvel::OpenResource("resources/sounds/beep.wav"); }),
              "Invalid File Format.\nFile: resources/sounds/beep.wav\nLine: -1");
    // A nested datafile is an object too, but no stream either.
    EXPECT_EQ(ErrorText([] { orvel::OpenResource("resources.dat"); }),
              "Invalid File Format.\nFile: resources.dat\nLine: -1");
}

TEST_F(ResourceTest, MissingDatafileIsRefusedAndTheOldOneKept) {
    orvel::SetDatafilePath("game.dat");
    EXPECT_EQ(ErrorText([] { orvel::SetDatafilePath("missing.dat"); }),
              "File Not Found: missing.dat");
    EXPECT_EQ(orvel::GetDatafilePath(), "game.dat");
}

TEST_F(ResourceTest, LooseFilesAreReadAsBinaryAndAfreshOnEveryCall) {
    const std::string binary("line\r\n\0\xFF end", 11);
    WriteFile("resources/data.bin", binary);
    EXPECT_EQ(ReadStream(orvel::OpenResource("resources/data.bin")), binary);

    WriteFile("resources/data.bin", "changed");
    EXPECT_EQ(ReadStream(orvel::OpenResource("resources/data.bin")), "changed");
    EXPECT_EQ(ReadAccess(orvel::LoadDatafileObject("resources/data.bin")), "changed");
}

TEST_F(ResourceTest, AFolderIsNoResource) {
    boost::filesystem::create_directories("resources/folder");
    EXPECT_EQ(ErrorText([] { orvel::OpenResource("resources/folder"); }),
              "File Not Found: resources/folder");
    EXPECT_EQ(ErrorText([] { orvel::LoadDatafileObject("resources/folder"); }),
              "File Not Found: resources/folder");
}

TEST(ResourceNameTest, DatafileObjectPathInsertsDatBeforeEachSlash) {
    const std::pair<std::string, std::string> cases[] = {
        {"resources/sounds/sounds.txt", "resources.dat/sounds.dat/sounds.txt"},
        {"resources/StateMachine.txt", "resources.dat/StateMachine.txt"},
        {"font.pcx", "font.pcx"},
        {"", ""},
        {"a/b/c/d", "a.dat/b.dat/c.dat/d"},
        // The search resumes two characters after a handled "/".
        {"a//b", "a.dat//b"},
        {"a/b/", "a.dat/b.dat/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(orvel::DatafileObjectPath(c.first), c.second) << c.first;
    }
}

TEST(ResourceNameTest, NormalisingDropsCurrentAndResolvedParentFolders) {
    const std::pair<std::string, std::string> cases[] = {
        {"x/./y", "x/y"},         {"x/z/../y", "x/y"}, {"./x/y", "x/y"},      {"x/y", "x/y"},
        {"x/a/b/../../y", "x/y"}, {"../x", "../x"},    {"x/../../y", "../y"}, {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(orvel::NormaliseResourceName(c.first), c.second) << c.first;
    }
}

}  // namespace
