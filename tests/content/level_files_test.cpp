#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <allegro.h>

#include "engine/core/properties.h"
#include "engine/core/property_file.h"
#include "engine/resources/frame_sheet.h"
#include "engine/resources/resource.h"
#include "engine/sound/ogg_memory_file.h"

namespace {

const int PLAY_HEIGHT = 500;
const int SCREEN_WIDTH = 800;
// The minimap shows the whole level 100 pixels high across the screen, so a
// level may be at most this wide.
const int MINIMAP_HEIGHT = 100;
const float WIDEST_LEVEL = float(SCREEN_WIDTH * PLAY_HEIGHT / MINIMAP_HEIGHT);
// The minimap draws no ground above this height.
const int HIGHEST_GROUND = 490;
const float AIRSHIP_STARTS[] = {560, 1560};
const float AIRSHIP_START_HEIGHT = 300;
// Room an airship needs above the ground to fly over it with a unit hanging
// from its magnet: its own 70 pixels, a unit and some air.
const float FLIGHT_ROOM = 150;
const int CAMPAIGN_LEVELS = 17;
const int TUTORIAL_LEVELS = 4;

std::vector<std::string> CampaignLevels() {
    std::vector<std::string> folders;
    for (int n = 0; n < CAMPAIGN_LEVELS; ++n) {
        folders.push_back("resources/Level" + std::to_string(n));
    }
    return folders;
}

// Every level the game plays: the campaign's (which the skirmish screen
// offers too) and the tutorials'.
std::vector<std::string> AllLevels() {
    std::vector<std::string> folders = CampaignLevels();
    for (int n = 0; n < TUTORIAL_LEVELS; ++n) {
        folders.push_back("resources/TutorialLevel" + std::to_string(n));
    }
    return folders;
}

std::string FolderName(const testing::TestParamInfo<std::string>& info) {
    return info.param.substr(info.param.rfind('/') + 1);
}

// A level as the game reads it from the built datafile. The pictures and the
// music are made at build time and exist nowhere else, so finding them proves
// that the packing took them.
class LevelFileTest : public testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        static const bool installed = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
        ASSERT_TRUE(installed);
        orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
        level = orvel::LoadPropertyFile(Resource("level.txt"));
    }
    void TearDown() override { orvel::ClearDatafilePath(); }

    std::string Resource(const std::string& name) const { return GetParam() + "/" + name; }

    std::vector<std::string> Strings(const char* key) const {
        std::vector<std::string> names;
        const orvel::AnyVectorPtr list = level->GetList(key);
        for (size_t i = 0; i < list->Size(); ++i) {
            names.push_back(list->GetString(i));
        }
        return names;
    }

    // Reads a picture the way textures and sprites do; it must come from the
    // datafile, not from a loose file.
    orvel::FrameSheet Picture(const std::string& name) const {
        EXPECT_TRUE(orvel::LoadDatafileObject(Resource(name))->object) << name << " is not in the datafile";
        orvel::FrameSheet sheet;
        orvel::PixelBuffer buffer;
        orvel::LoadImageByExtension(sheet, Resource(name), buffer);
        orvel::PadFrameSheetHeight(sheet, buffer);
        return sheet;
    }

    // The sum of the row's frame widths; every tile is as high as the first.
    float RowWidth(const char* key, uint32_t& height) const {
        float width = 0;
        height = 0;
        for (const std::string& name : Strings(key)) {
            const orvel::FrameSheet sheet = Picture(name);
            EXPECT_EQ(sheet.bpp, 32) << name << " needs transparency above the ground";
            EXPECT_TRUE(height == 0 || sheet.frameHeight == height) << name;
            height = sheet.frameHeight;
            width += float(sheet.width);
        }
        return width;
    }

    std::vector<int> Heights() const {
        std::vector<int> heights;
        const orvel::AnyVectorPtr list = level->GetList("nodeHeights");
        for (size_t i = 0; i < list->Size(); ++i) {
            heights.push_back(list->GetInt(i));
        }
        return heights;
    }

    // The terrain height at x, between the nodes as the ground mesh runs.
    float GroundAt(float x) const {
        const std::vector<int> heights = Heights();
        const float spacing = float(level->GetInt("nodeSpacing"));
        const size_t i = std::min(size_t(x / spacing), heights.size() - 2);
        const float t = x / spacing - float(i);
        return float(heights[i]) + (float(heights[i + 1]) - float(heights[i])) * t;
    }

    orvel::PropertiesPtr level;
};

// The sky is drawn over the whole play field from the whole texture and the
// mountains from the whole texture at their own width, so both must fill
// their power-of-two textures; the sky is opaque, the mountains let it show.
TEST_P(LevelFileTest, BackgroundsFillTheirTextures) {
    for (const char* key : {"skyLayer", "mountainsLayer"}) {
        ASSERT_TRUE(level->HasProperty(key)) << key;
        const orvel::FrameSheet sheet = Picture(level->GetString(key));
        EXPECT_EQ(sheet.width, sheet.paddedWidth) << key;
        EXPECT_EQ(sheet.frameHeight, sheet.paddedHeight) << key;
        EXPECT_GE(sheet.width, uint32_t(SCREEN_WIDTH)) << key;
        EXPECT_EQ(sheet.bpp, std::string(key) == "skyLayer" ? 24 : 32) << key;
    }
}

// The ground tiles make a level wide enough for both airships, and the hills
// behind are wide enough for their scroll ratio (the rule the loader enforces).
TEST_P(LevelFileTest, TileRowsFitTheLevel) {
    uint32_t groundHeight = 0;
    uint32_t hillsHeight = 0;
    const float width = RowWidth("foreground", groundHeight);
    const float hills = RowWidth("midground", hillsHeight);
    // Both airships start at least 560 pixels from either end.
    EXPECT_GE(width, AIRSHIP_STARTS[1] + 560);
    EXPECT_LE(width, WIDEST_LEVEL) << "the minimap would not fit on the screen";
    EXPECT_LE(groundHeight, uint32_t(PLAY_HEIGHT));
    EXPECT_LE(hillsHeight, uint32_t(PLAY_HEIGHT));
    const float ratio = level->HasProperty("midgroundScrollRatio") ? level->GetFloat("midgroundScrollRatio") : 0.3f;
    EXPECT_GE(hills, std::max(width - 1024, 0.0f) * ratio + 1024);
}

// The ground spans the level, stays inside the play field, and lies below
// both airships' starting points.
TEST_P(LevelFileTest, TerrainSpansTheLevelBelowTheAirships) {
    uint32_t height = 0;
    const float width = RowWidth("foreground", height);
    const std::vector<int> heights = Heights();
    ASSERT_GE(heights.size(), 2u);
    EXPECT_GE(float((heights.size() - 1) * size_t(level->GetInt("nodeSpacing"))), width);
    for (int h : heights) {
        EXPECT_GE(h, 1);
        EXPECT_LE(h, HIGHEST_GROUND);
        EXPECT_LE(uint32_t(h), height) << "the ground tiles must reach up to the ground";
    }
    for (float x : AIRSHIP_STARTS) {
        EXPECT_LT(GroundAt(x) + 60, AIRSHIP_START_HEIGHT) << "airship start at x " << x;
    }
}

// From its start, each airship can fly over the ground to the enemy's
// factory and back under the ceiling of the play field (only side 1's where
// side 2 has no airship).
TEST_P(LevelFileTest, AirshipsCanFlyToTheEnemyFactory) {
    const orvel::AnyVectorPtr objects = level->GetList("placedObjects");
    std::vector<std::pair<std::string, float>> factories;
    for (size_t i = 0; i < objects->Size(); ++i) {
        const orvel::PropertiesPtr object = objects->GetStruct(i);
        if (object->GetString("type") == "Static_Factory") {
            factories.emplace_back(object->GetString("teamName"), object->GetList("matrix")->GetFloat(12));
        }
    }
    ASSERT_EQ(factories.size(), 2u);
    const bool enemyAirship = !level->HasProperty("enemyAirship") || level->GetBool("enemyAirship");
    for (const auto& factory : factories) {
        const bool goodFactory = factory.first == "team_good";
        if (goodFactory && !enemyAirship) {
            continue;
        }
        const float start = AIRSHIP_STARTS[goodFactory ? 1 : 0];
        const float step = factory.second > start ? 8.0f : -8.0f;
        for (float x = start; (factory.second - x) * step > 0; x += step) {
            ASSERT_LT(GroundAt(x) + FLIGHT_ROOM, float(PLAY_HEIGHT))
                << "the airship from x " << start << " cannot pass x " << x;
        }
    }
}

// The level's intent opens its file, before anything else.
TEST_P(LevelFileTest, OpensWithItsIntent) {
    std::ifstream file(std::string(GEARHAVEN_SOURCE_DIR) + "/" + Resource("level.txt"));
    std::string first;
    std::string second;
    ASSERT_TRUE(std::getline(file, first) && std::getline(file, second));
    EXPECT_EQ(first.rfind("// ", 0), 0u) << first;
    EXPECT_EQ(second.rfind("// ", 0), 0u) << second;
}

// Every picture of the loading screen is in the datafile.
TEST_P(LevelFileTest, LoadingScreenPicturesAreInTheDatafile) {
    const orvel::PropertiesPtr screen = orvel::LoadPropertyFile(Resource("loading.txt"));
    std::vector<orvel::PropertiesPtr> morphs = {screen};
    const orvel::AnyVectorPtr children = screen->GetList("children");
    for (size_t i = 0; i < children->Size(); ++i) {
        morphs.push_back(children->GetStruct(i));
    }
    for (const orvel::PropertiesPtr& morph : morphs) {
        const std::string name = morph->GetString("animation");
        EXPECT_TRUE(orvel::LoadDatafileObject(Resource(name))->object) << name << " is not in the datafile";
    }
}

// Each level's loading screen shows the level's own picture, made from it at
// build time, not another level's.
TEST_P(LevelFileTest, LoadingScreenShowsItsOwnPicture) {
    EXPECT_EQ(orvel::LoadPropertyFile(Resource("loading.txt"))->GetString("animation"),
              "loading.jpg");
    const orvel::FrameSheet sheet = Picture("loading.jpg");
    EXPECT_EQ(sheet.width, 800u);
    EXPECT_EQ(sheet.frameHeight, 600u);
}

// The tests that only campaign levels pass: the tutorials have no place on
// the map and are not offered by the skirmish screen.
class CampaignLevelFileTest : public LevelFileTest {};

// Each level has its own thumbnail on the map and skirmish preview, made
// from it at build time.
TEST_P(CampaignLevelFileTest, HasItsOwnPictures) {
    const std::string number = GetParam().substr(GetParam().rfind("Level") + 5);
    const struct {
        std::string name;
        uint32_t width;
        uint32_t height;
    } pictures[] = {{"preview.jpg", 780, 86}, {"../MapScreen/thumbnail" + number + ".bbq", 96, 72}};
    for (const auto& picture : pictures) {
        const orvel::FrameSheet sheet = Picture(picture.name);
        EXPECT_EQ(sheet.width, picture.width) << picture.name;
        EXPECT_EQ(sheet.frameHeight, picture.height) << picture.name;
    }
}

// One factory per side, standing on flat ground above it, far enough apart
// that the airships start between them.
TEST_P(LevelFileTest, EachSideHasAFactoryOnFlatGround) {
    std::vector<float> good;
    std::vector<float> bad;
    const orvel::AnyVectorPtr objects = level->GetList("placedObjects");
    for (size_t i = 0; i < objects->Size(); ++i) {
        const orvel::PropertiesPtr object = objects->GetStruct(i);
        if (object->GetString("type") != "Static_Factory") {
            continue;
        }
        const orvel::AnyVectorPtr matrix = object->GetList("matrix");
        ASSERT_EQ(matrix->Size(), 16u);
        const float x = matrix->GetFloat(12);
        const float y = matrix->GetFloat(13);
        EXPECT_FLOAT_EQ(matrix->GetFloat(15), 1);
        for (float dx : {-96.0f, -48.0f, 0.0f, 48.0f, 96.0f}) {
            EXPECT_FLOAT_EQ(GroundAt(x + dx), GroundAt(x)) << "ground under the factory at x " << x;
        }
        EXPECT_FLOAT_EQ(y, GroundAt(x) + 60) << "the factory's centre stands half its height above the ground";
        const std::string team = object->GetString("teamName");
        (team == "team_good" ? good : bad).push_back(x);
        EXPECT_TRUE(team == "team_good" || team == "team_bad") << team;
    }
    ASSERT_EQ(good.size(), 1u);
    ASSERT_EQ(bad.size(), 1u);
    EXPECT_GE(bad[0] - good[0], 1600);
    EXPECT_LT(good[0], AIRSHIP_STARTS[0] + 100);
    EXPECT_GT(bad[0], AIRSHIP_STARTS[1]);
}

// Both menus name every product; every purchase group names known units.
TEST_P(LevelFileTest, MenusAndGroupsNameProducts) {
    for (const char* menu : {"goodPurchaseMenu", "badPurchaseMenu"}) {
        const orvel::PropertiesPtr products = level->GetStruct(menu);
        for (const char* key : {"infantry", "engineer", "tank", "flakTruck", "balloon", "autoGyro", "buster"}) {
            EXPECT_NO_THROW(products->GetInt(key)) << menu << " " << key;
        }
    }
    const orvel::AnyVectorPtr groups = level->GetList("purchaseGroups");
    ASSERT_FALSE(groups->Empty());
    const std::vector<std::string> units = {"infantry", "engineer", "tank", "flakTruck",
                                            "balloon", "autoGyro", "buster"};
    for (size_t g = 0; g < groups->Size(); ++g) {
        const orvel::AnyVectorPtr group = groups->GetList(g);
        ASSERT_FALSE(group->Empty());
        for (size_t i = 0; i < group->Size(); ++i) {
            const std::string entry = group->GetString(i);
            EXPECT_TRUE(std::any_of(units.begin(), units.end(),
                                    [&](const std::string& unit) { return entry.rfind(unit, 0) == 0; }))
                << entry;
        }
    }
    EXPECT_GT(level->GetFloat("purchaseTimePerUnit"), 0);
}

// The music is a stereo or mono Ogg Vorbis track of a minute or more.
TEST_P(LevelFileTest, MusicIsAnOggTrack) {
    const orvel::AccessInterfacePtr access = orvel::LoadDatafileObject(Resource(level->GetString("music")));
    ASSERT_TRUE(access->object) << "the music is not in the datafile";
    const char* data = static_cast<const char*>(access->object->dat);
    orvel::OggMemoryFile memory;
    memory.Assign(std::vector<char>(data, data + access->object->size));
    OggVorbis_File file;
    ASSERT_EQ(ov_open_callbacks(&memory, &file, nullptr, 0, orvel::OggMemoryFile::Callbacks()), 0);
    const vorbis_info* info = ov_info(&file, -1);
    EXPECT_GE(info->channels, 1);
    EXPECT_LE(info->channels, 2);
    EXPECT_GE(ov_time_total(&file, -1), 60.0);
    ov_clear(&file);
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelFileTest, testing::ValuesIn(AllLevels()), FolderName);
INSTANTIATE_TEST_SUITE_P(Levels, CampaignLevelFileTest, testing::ValuesIn(CampaignLevels()), FolderName);

}  // namespace

namespace {

// No two campaign levels share their ground.
TEST(CampaignTest, EveryLevelHasGroundOfItsOwn) {
    std::vector<std::vector<int>> grounds;
    for (const std::string& folder : CampaignLevels()) {
        const orvel::PropertiesPtr level = orvel::LoadPropertyFile(folder + "/level.txt");
        const orvel::AnyVectorPtr list = level->GetList("nodeHeights");
        std::vector<int> heights;
        for (size_t i = 0; i < list->Size(); ++i) {
            heights.push_back(list->GetInt(i));
        }
        EXPECT_EQ(std::count(grounds.begin(), grounds.end(), heights), 0) << folder;
        grounds.push_back(heights);
    }
}

}  // namespace
