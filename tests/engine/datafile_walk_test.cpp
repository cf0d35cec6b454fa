#include "engine/resources/datafile_walk.h"

#include <random>
#include <string>
#include <vector>

#include <allegro.h>
#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/resources/resource.h"
#include "tests/engine/error_text.h"
#include "tests/support/headless_allegro.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string DAMAGED = "The game's data file is damaged\nFile: game.dat";
const char* const RESOURCES[] = {"resources/font.pcx", "resources/sounds/beep.wav",
                                 "resources/sounds/sounds.txt"};

std::string BigEndian(uint32_t value, int bytes) {
    std::string text;
    for (int i = bytes - 1; i >= 0; --i) {
        text += char((value >> (8 * i)) & 0xFF);
    }
    return text;
}

std::string Property(const std::string& type, const std::string& text) {
    return "prop" + type + BigEndian(uint32_t(text.size()), 4) + text;
}

std::string Object(const std::string& name, const std::string& type, const std::string& body) {
    const std::string size = BigEndian(uint32_t(body.size()), 4);
    return Property("NAME", name) + type + size + size + body;
}

std::string List(const std::vector<std::string>& objects) {
    std::string list = BigEndian(uint32_t(objects.size()), 4);
    for (const std::string& object : objects) {
        list += object;
    }
    return list;
}

// A mono font of the two characters "A" and "B", each 8 x 2 pixels.
std::string FontBody() {
    const std::string glyph = BigEndian(8, 2) + BigEndian(2, 2) + "\xFF\x81";
    return BigEndian(0, 2) + BigEndian(1, 2) + "\x01" + BigEndian('A', 4) + BigEndian('B', 4) +
           glyph + glyph;
}

// An 8-bit mono sample of four frames.
std::string SampleBody() {
    return BigEndian(8, 2) + BigEndian(11025, 2) + BigEndian(4, 4) + "\x80\xC0\x80\x40";
}

std::string Datafile(const std::string& fontBody, const std::string& sampleBody) {
    const std::string sounds = List(
        {Object("beep.wav", "SAMP", sampleBody), Object("sounds.txt", "DATA", "datafile sounds")});
    const std::string resources =
        List({Object("font.pcx", "FONT", fontBody), Object("sounds.dat", "FILE", sounds)});
    return std::string("slh.ALL.") + List({Object("resources.dat", "FILE", resources)});
}

std::string Intact() { return Datafile(FontBody(), SampleBody()); }

// `bytes` with the bytes at `offset` overwritten by `replacement`.
std::string Changed(std::string bytes, size_t offset, const std::string& replacement) {
    return bytes.replace(offset, replacement.size(), replacement);
}

size_t FontObjectAt() { return Intact().find("FONT"); }

std::string Nested(int depth) {
    std::string list = List({Object("leaf.txt", "DATA", "x")});
    for (int i = 0; i < depth; ++i) {
        list = List({Object("folder.dat", "FILE", list)});
    }
    return "slh.ALL." + list;
}

class DatafileWalkTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureHeadlessAllegro(); }
    void TearDown() override { orvel::ClearDatafilePath(); }

    TempFolder folder;
};

TEST_F(DatafileWalkTest, AnIntactDatafileIsTakenAndItsObjectsLoad) {
    WriteFile("game.dat", Intact());
    orvel::SetDatafilePath("game.dat");

    const orvel::AccessInterfacePtr font = orvel::LoadDatafileObject("resources/font.pcx");
    ASSERT_TRUE(font->object);
    ASSERT_EQ(font->object->type, DAT_FONT);
    EXPECT_EQ(text_height(static_cast<FONT*>(font->object->dat)), 2);
    const orvel::AccessInterfacePtr sample = orvel::LoadDatafileObject("resources/sounds/beep.wav");
    ASSERT_TRUE(sample->object);
    EXPECT_EQ(static_cast<SAMPLE*>(sample->object->dat)->len, 4u);
    EXPECT_TRUE(orvel::IsSoundDatafile(reinterpret_cast<const uint8_t*>(Nested(16).data()),
                                       Nested(16).size()));
}

TEST_F(DatafileWalkTest, ADamagedDatafileIsRefusedBeforeTheLibraryReadsIt) {
    const std::string intact = Intact();
    const size_t font = FontObjectAt();
    const std::string longName(600, 'n');
    const std::pair<const char*, std::string> cases[] = {
        {"cut inside the font", intact.substr(0, font + 20)},
        {"cut inside a property", intact.substr(0, 14)},
        {"empty", ""},
        {"font form field changed", Changed(intact, font + 12, "\x01\x01")},
        {"font object sizes past their parent",
         Changed(Changed(intact, font + 6, "\x01"), font + 10, "\x01")},
        {"object sizes that differ (compressed)", Changed(intact, font + 10, "\x01")},
        {"name longer than the library's buffer",
         "slh.ALL." + List({Object(longName, "DATA", "x")})},
        {"name length past the file", Changed(intact, 20, "\x7F\x00")},
        {"glyph rows missing", Datafile(FontBody().substr(0, FontBody().size() - 1), SampleBody())},
        {"range of 8-bit glyphs", Changed(intact, font + 12 + 4, "\x08")},
        {"glyph range backwards", Changed(intact, font + 12 + 5 + 3, "\x43")},
        {"glyph of no width", Changed(intact, font + 12 + 13, std::string(2, '\0'))},
        {"sample length disagrees with its data",
         Datafile(FontBody(), SampleBody().substr(0, SampleBody().size() - 1))},
        {"sample of 12 bits", Datafile(FontBody(), Changed(SampleBody(), 0, BigEndian(12, 2)))},
        {"count above the objects", Changed(intact, 8, BigEndian(2, 4))},
        {"bytes after the last object", intact + "junk"},
        {"compressed file", Changed(intact, 0, "slh!")},
        {"no datafile magic", Changed(intact, 4, "ALL,")},
        {"object type the game never stores",
         "slh.ALL." + List({Object("picture.bmp", "BMP ", "x")})},
        {"nested too deep", Nested(17)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        WriteFile("intact.dat", intact);
        orvel::SetDatafilePath("intact.dat");
        WriteFile("game.dat", c.second);
        EXPECT_EQ(ErrorText([] { orvel::SetDatafilePath("game.dat"); }), DAMAGED);
        EXPECT_EQ(orvel::GetDatafilePath(), "intact.dat");
    }
}

TEST_F(DatafileWalkTest, AFolderIsNoDatafile) {
    boost::filesystem::create_directories("game.dat");
    EXPECT_EQ(ErrorText([] { orvel::SetDatafilePath("game.dat"); }), DAMAGED);
}

// Every damaged copy is either refused or read by the library without a fault.
TEST_F(DatafileWalkTest, DamagedCopiesNeverFaultTheLibrary) {
    const std::string intact = Intact();
    std::mt19937 random(20261210);
    int taken = 0;
    for (int trial = 0; trial < 1500; ++trial) {
        std::string bytes = intact;
        if (trial % 3 == 0) {
            bytes.resize(random() % bytes.size());
        } else {
            const size_t at = random() % (bytes.size() - 1);
            bytes[at] = char(random());
            if (trial % 3 == 2) {
                bytes[at + 1] = char(random());
            }
        }
        WriteFile("game.dat", bytes);
        try {
            orvel::SetDatafilePath("game.dat");
        } catch (const orvel::ExceptionFile&) {
            continue;
        }
        ++taken;
        for (const char* resource : RESOURCES) {
            try {
                orvel::LoadDatafileObject(resource);
            } catch (const orvel::Exception&) {
            }
        }
        orvel::ClearDatafilePath();
    }
    EXPECT_GT(taken, 0);
}

}  // namespace
