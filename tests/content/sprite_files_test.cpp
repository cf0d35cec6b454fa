#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <allegro.h>

#include "engine/core/property_file.h"
#include "engine/resources/frame_sheet.h"
#include "engine/resources/resource.h"
#include "engine/sprites/sprite_file.h"

namespace {

// The largest texture side a sprite sheet may need; every GL 1.2 driver the
// game meets takes this much.
const uint32_t MAX_SHEET_SIDE = 4096;

// Every sprite description committed under resources/sprites, as resource
// names ("resources/sprites/Tank/moving.txt"). Frame pictures are not
// descriptions.
std::vector<std::string> SpriteDescriptions() {
    const std::filesystem::path root = std::filesystem::path(GEARHAVEN_SOURCE_DIR) / "resources";
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / "sprites")) {
        const std::string name =
            "resources/" + entry.path().lexically_relative(root).generic_string();
        if (entry.is_regular_file() && !orvel::IsPictureName(name)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool IsGrammarForm(const std::string& name) {
    std::ifstream stream(std::filesystem::path(GEARHAVEN_SOURCE_DIR) / name);
    std::string first;
    stream >> first;
    return first == "format_version:";
}

// A description read as the game reads it, with its frames loaded into one
// sheet from the built datafile.
struct LoadedSprite {
    orvel::SpriteDescription description;
    orvel::FrameSheet sheet;
};

LoadedSprite LoadSprite(const std::string& name) {
    LoadedSprite sprite;
    sprite.description = IsGrammarForm(name)
                             ? orvel::ReadSpriteFile(name)
                             : orvel::ReadSpriteProperties(*orvel::LoadPropertyFile(name), name);
    orvel::PixelBuffer buffer;
    for (const std::string& frame : sprite.description.frameNames) {
        orvel::LoadImageByExtension(sprite.sheet, frame, buffer);
    }
    orvel::PadFrameSheetHeight(sprite.sheet, buffer);
    return sprite;
}

// The game library (for its datafile reader) without a display, once per
// process.
bool InstallGameLibrary() {
    static const bool installed = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
    return installed;
}

class SpriteFileTest : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        ASSERT_TRUE(InstallGameLibrary());
        orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
    }
    void TearDown() override { orvel::ClearDatafilePath(); }
};

// The description and every picture it names come from the datafile (the
// unit pictures exist nowhere else), the frames share one size and depth
// (loading throws otherwise), have an alpha channel, fit a texture, and hold
// their hot spots inside the frame.
TEST_P(SpriteFileTest, ReadsWithAllItsFramesFromTheDatafile) {
    const std::string name = GetParam();
    EXPECT_TRUE(orvel::LoadDatafileObject(name)->object) << name << " is not in the datafile";
    LoadedSprite sprite;
    ASSERT_NO_THROW(sprite = LoadSprite(name)) << name;
    ASSERT_GT(sprite.description.GetFrameCount(), 0u);
    for (const std::string& frame : sprite.description.frameNames) {
        EXPECT_TRUE(orvel::LoadDatafileObject(frame)->object) << frame << " is not in the datafile";
    }
    EXPECT_EQ(sprite.sheet.frameCount, sprite.description.GetFrameCount());
    EXPECT_EQ(sprite.sheet.bpp, 32) << name << " needs transparency";
    EXPECT_LE(sprite.sheet.paddedWidth, MAX_SHEET_SIDE) << name;
    EXPECT_LE(sprite.sheet.paddedHeight, MAX_SHEET_SIDE) << name;
    for (const orvel::Vector2x<long>& hot : sprite.description.hotSpots) {
        EXPECT_TRUE(hot.x >= 0 && hot.x <= long(sprite.sheet.width) && hot.y >= 0 &&
                    hot.y <= long(sprite.sheet.frameHeight))
            << name << " has a hot spot outside its frame";
    }
}

INSTANTIATE_TEST_SUITE_P(Sprites, SpriteFileTest, testing::ValuesIn(SpriteDescriptions()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string label =
                                 info.param.substr(std::string("resources/sprites/").size());
                             std::replace_if(
                                 label.begin(), label.end(),
                                 [](char c) { return !std::isalnum(c); }, '_');
                             return label;
                         });

// The animations of one object (the descriptions in one folder) share frame
// size, depth and hot spot, so that switching states never makes the
// picture jump on the body.
TEST(SpriteFolders, AnimationsOfOneObjectMatch) {
    ASSERT_TRUE(InstallGameLibrary());
    orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
    std::map<std::string, std::pair<std::string, LoadedSprite>> first;
    for (const std::string& name : SpriteDescriptions()) {
        const std::string folder = name.substr(0, name.rfind('/'));
        if (folder == "resources/sprites") {
            continue;
        }
        const LoadedSprite sprite = LoadSprite(name);
        const auto known = first.emplace(folder, std::make_pair(name, sprite)).first;
        const LoadedSprite& model = known->second.second;
        EXPECT_EQ(sprite.sheet.width, model.sheet.width)
            << name << " against " << known->second.first;
        EXPECT_EQ(sprite.sheet.frameHeight, model.sheet.frameHeight)
            << name << " against " << known->second.first;
        EXPECT_EQ(sprite.sheet.bpp, model.sheet.bpp) << name;
        EXPECT_EQ(sprite.description.hotSpots.front(), model.description.hotSpots.front()) << name;
    }
    orvel::ClearDatafilePath();
}

// The objects that the game's unit definitions and the in-game state name
// have their sprites, and the states that code looks for are drawn.
TEST(SpriteFolders, EveryObjectHasItsSprites) {
    const std::filesystem::path sprites =
        std::filesystem::path(GEARHAVEN_SOURCE_DIR) / "resources/sprites";
    EXPECT_TRUE(std::filesystem::exists(sprites / "GotoTarget/GotoTarget.txt"));
    for (const char* unit :
         {"Infantry", "Engineer", "Tank", "FlakTruck", "BalloonBomb", "AutoGyro", "Buster",
          "GoodAirShip", "BadAirShip", "Static_Factory", "Static_Bunker", "Static_SteamBunker",
          "Static_MagnetBunker", "Static_FanBunker", "Static_ArtilleryTurret",
          "Static_AntiAirTurret"}) {
        EXPECT_TRUE(std::filesystem::exists(sprites / unit / "dying.txt")) << unit;
        EXPECT_TRUE(std::filesystem::exists(sprites / unit / "idling.txt") ||
                    std::filesystem::exists(sprites / unit / "moving.txt"))
            << unit;
    }
    for (const char* soldier : {"Infantry", "Engineer"}) {
        EXPECT_TRUE(std::filesystem::exists(sprites / soldier / "splatting.txt")) << soldier;
    }
    for (const char* effect : {"Bullet", "Shell", "Flak", "Bomb", "SteamPuffSmall",
                               "SteamPuffMedium", "SteamPuffLarge", "Flag", "Spar"}) {
        EXPECT_TRUE(std::filesystem::exists(sprites / effect / "moving.txt") ||
                    std::filesystem::exists(sprites / effect / "idling.txt"))
            << effect;
    }
}

}  // namespace
