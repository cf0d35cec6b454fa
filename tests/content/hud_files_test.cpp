#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <allegro.h>

#include "engine/core/properties.h"
#include "engine/core/property_file.h"
#include "engine/resources/frame_sheet.h"
#include "engine/resources/resource.h"
#include "engine/sprites/sprite_file.h"
#include "engine/ui/word_wrap.h"

namespace {

const int SCREEN_WIDTH = 800;
const int SCREEN_HEIGHT = 600;
const int PURCHASE_BAR_HEIGHT = 72;
const std::string UI = "resources/UI/";

// The display's files as the game reads them from the built datafile. The
// pictures are drawn at build time and exist nowhere else, so finding them
// proves that the packing took them.
class HudFilesTest : public testing::Test {
protected:
    void SetUp() override {
        static const bool installed = install_allegro(SYSTEM_NONE, &errno, atexit) == 0;
        ASSERT_TRUE(installed);
        orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
    }
    void TearDown() override { orvel::ClearDatafilePath(); }

    // Every frame of a sprite description or single picture, loaded into one
    // frame sheet as sprites and textures load them; each frame must come
    // from the datafile.
    static orvel::FrameSheet Frames(const std::string& name) {
        const orvel::SpriteDescription description =
            orvel::IsPictureName(name) ? orvel::SinglePictureDescription(name) : orvel::ReadSpriteFile(name);
        orvel::FrameSheet sheet;
        orvel::PixelBuffer buffer;
        for (const std::string& frame : description.frameNames) {
            EXPECT_TRUE(orvel::LoadDatafileObject(frame)->object) << frame << " is not in the datafile";
            orvel::LoadImageByExtension(sheet, frame, buffer);
        }
        EXPECT_GT(sheet.frameCount, 0u) << name;
        return sheet;
    }
};

struct Key {
    const char* name;
    orvel::PropertyType type;
};

const Key GUI_KEYS[] = {
    {"minimapBorderTexture", orvel::PROPERTY_STRING}, {"minimapOverlayTexture", orvel::PROPERTY_STRING},
    {"uiBackdrop", orvel::PROPERTY_STRING},           {"backdropPosition", orvel::PROPERTY_POINT},
    {"uiNumbers", orvel::PROPERTY_STRING},            {"numbersPosition", orvel::PROPERTY_POINT},
    {"infantryButton", orvel::PROPERTY_STRING},       {"infantryPosition", orvel::PROPERTY_POINT},
    {"engineerButton", orvel::PROPERTY_STRING},       {"engineerPosition", orvel::PROPERTY_POINT},
    {"tankButton", orvel::PROPERTY_STRING},           {"tankPosition", orvel::PROPERTY_POINT},
    {"flakButton", orvel::PROPERTY_STRING},           {"flakPosition", orvel::PROPERTY_POINT},
    {"balloonButton", orvel::PROPERTY_STRING},        {"balloonPosition", orvel::PROPERTY_POINT},
    {"gyroButton", orvel::PROPERTY_STRING},           {"gyroPosition", orvel::PROPERTY_POINT},
    {"bombButton", orvel::PROPERTY_STRING},           {"bombPosition", orvel::PROPERTY_POINT},
    {"airshipButton", orvel::PROPERTY_STRING},        {"airshipPosition", orvel::PROPERTY_POINT},
    {"purchaseIconFlashFrames", orvel::PROPERTY_INT}, {"moneyBagScale", orvel::PROPERTY_STRING},
    {"moneyBagScalePosition", orvel::PROPERTY_POINT}, {"moneyBagScaleNeedle", orvel::PROPERTY_STRING},
    {"moneyBagScaleNeedlePosition", orvel::PROPERTY_POINT}, {"moneyBagAnimation", orvel::PROPERTY_STRING},
    {"moneyBagPosition", orvel::PROPERTY_POINT},      {"moneyBagDropHeight", orvel::PROPERTY_INT},
    {"moneyBagDropTime", orvel::PROPERTY_FLOAT},      {"moneyBagPositionVariation", orvel::PROPERTY_INT},
    {"moneyBagRemovalTime", orvel::PROPERTY_FLOAT},   {"moneyBagMaxRemovalInterval", orvel::PROPERTY_FLOAT},
    {"gasTankEmptyTexture", orvel::PROPERTY_STRING},  {"gasTankFullTexture", orvel::PROPERTY_STRING},
    {"gasTankPosition", orvel::PROPERTY_POINT},
};

// Every key the display reads is there with the type it is read as; a float
// may be written as a plain integer.
TEST_F(HudFilesTest, GuiFileHoldsEveryKeyWithItsType) {
    const orvel::PropertiesPtr gui = orvel::LoadPropertyFile(UI + "gui.txt");
    for (const Key& entry : GUI_KEYS) {
        ASSERT_TRUE(gui->HasProperty(entry.name)) << entry.name;
        const orvel::PropertyType type = gui->GetType(entry.name);
        if (entry.type == orvel::PROPERTY_FLOAT) {
            EXPECT_TRUE(type == orvel::PROPERTY_FLOAT || type == orvel::PROPERTY_INT) << entry.name;
            EXPECT_GT(gui->GetFloat(entry.name), 0.0f) << entry.name;
        } else {
            EXPECT_EQ(type, entry.type) << entry.name;
        }
    }
    EXPECT_GT(gui->GetInt("purchaseIconFlashFrames"), 0);
    EXPECT_LT(gui->GetInt("purchaseIconFlashFrames"), 256) << "the flash counter is a byte";
}

// Every picture and sprite the file names loads from the datafile, and every
// sprite's frames share one size and depth; the pictures that need
// transparency have it.
TEST_F(HudFilesTest, GuiFileNamesPicturesInTheDatafile) {
    const orvel::PropertiesPtr gui = orvel::LoadPropertyFile(UI + "gui.txt");
    for (const Key& entry : GUI_KEYS) {
        if (entry.type == orvel::PROPERTY_STRING) {
            const orvel::FrameSheet sheet = Frames(UI + gui->GetString(entry.name));
            EXPECT_EQ(sheet.bpp, 32) << entry.name << " needs transparency";
        }
    }
}

// The eight buttons lie inside the purchase bar (the top 72 pixels, x from
// 143 to 485), each exactly over the slot that buys its product, and fill
// up over several frames.
TEST_F(HudFilesTest, PurchaseButtonsFillTheirSlots) {
    const struct {
        const char* button;
        const char* position;
        int left;
        int right;
    } slots[] = {{"infantryButton", "infantryPosition", 143, 180}, {"engineerButton", "engineerPosition", 180, 216},
                 {"tankButton", "tankPosition", 216, 276},         {"flakButton", "flakPosition", 276, 328},
                 {"balloonButton", "balloonPosition", 328, 350},   {"gyroButton", "gyroPosition", 350, 400},
                 {"bombButton", "bombPosition", 400, 430},         {"airshipButton", "airshipPosition", 430, 485}};
    const orvel::PropertiesPtr gui = orvel::LoadPropertyFile(UI + "gui.txt");
    for (const auto& slot : slots) {
        const orvel::FrameSheet sheet = Frames(UI + gui->GetString(slot.button));
        const orvel::PointI at = gui->GetPoint(slot.position);
        EXPECT_EQ(at.x, slot.left) << slot.button;
        EXPECT_EQ(at.x + int(sheet.width), slot.right) << slot.button;
        EXPECT_LE(at.y, SCREEN_HEIGHT) << slot.button;
        EXPECT_GE(at.y - int(sheet.frameHeight), SCREEN_HEIGHT - PURCHASE_BAR_HEIGHT) << slot.button;
        EXPECT_GE(sheet.frameCount, 4u) << slot.button;
    }
}

// The fuel gauge and the purse stay on screen, inside the top panel.
TEST_F(HudFilesTest, GaugesLieOnScreen) {
    const orvel::PropertiesPtr gui = orvel::LoadPropertyFile(UI + "gui.txt");
    const orvel::FrameSheet tank = Frames(UI + gui->GetString("gasTankFullTexture"));
    const orvel::FrameSheet empty = Frames(UI + gui->GetString("gasTankEmptyTexture"));
    EXPECT_EQ(tank.width, empty.width);
    EXPECT_EQ(tank.frameHeight, empty.frameHeight);
    const orvel::PointI gauge = gui->GetPoint("gasTankPosition");
    EXPECT_GE(gauge.x, 0);
    EXPECT_LE(gauge.x + int(tank.width), SCREEN_WIDTH);
    EXPECT_LE(gauge.y + int(tank.frameHeight), SCREEN_HEIGHT);
    const orvel::PointI pile = gui->GetPoint("moneyBagPosition");
    const int spread = gui->GetInt("moneyBagPositionVariation");
    EXPECT_GE(pile.x - spread / 2, 0);
    EXPECT_LE(pile.y + gui->GetInt("moneyBagDropHeight"), SCREEN_HEIGHT);
    EXPECT_GT(pile.y, SCREEN_HEIGHT - 100);
}

// The other pictures of the display and of every screen: the banner with a
// frame for won and one for lost, the three difficulty badges, the dialog
// frame and the mouse pointer.
TEST_F(HudFilesTest, BannerBadgesFrameAndPointerAreInTheDatafile) {
    EXPECT_EQ(Frames(UI + "gameover.txt").frameCount, 2u);
    for (const char* name : {"cadetbadge.bbq", "veteranbadge.bbq", "herobadge.bbq", "minimaptileright.bbq"}) {
        EXPECT_EQ(Frames(UI + name).bpp, 32) << name;
    }
    const orvel::FrameSheet cursor = Frames("resources/mousecursor.bbq");
    EXPECT_EQ(cursor.bpp, 32);
    EXPECT_LE(cursor.width, 64u);
}

const char* const DIALOG_IDS[] = {
    "Welcome", "WelcomeNoTutorial", "Refuelling", "Refuelling2", "Objective", "MagnetBunker", "FanBunker",
    "LongTimeToWin", "NoTanks", "NoInfantry", "Death", "FullMoney", "ControllingAirship", "FriendlyBunker",
    "EnemyBunker", "VehicleAtBunker", "EnemyArtilleryTurret", "EmptyArtilleryTurret", "BuyUnits",
    "T0M0_Welcome", "T0M1_ControllingAirship", "T0M1_5_HasMoved", "T0M2_GoToEnemyFactory", "T0M3_EnemyFactory",
    "T0M4_YourFactoryBuyEng", "T0M5_JustBoughtEng", "T0M6_EngineerDied", "T0M7_Magnet",
    "T0M8_TakeEngToFactory", "T0M9_ThereIsTheFactory", "T0M10_EngineerSplat", "T1M0_TakeEngToFactory",
    "T1M1_AirTurretsBad", "T1M1A_BuyInfantry", "T1M2_InfantryWatch", "T1M3_TurretDeadMakeEng",
    "T1M4_TakeEngToFactory2", "T1M5_TookTheTurret", "T1M_GasTankHasFlashed", "T2M0_GroundTurretInf",
    "T2M1_WatchInfantry", "T2M2_InfantryShot", "T2M4_MagdInfNoSeeTurr", "T2M5_MagdInfCanSeeTurr",
    "T2M7_TurretDead", "T2M8_GotTurret", "T3M0_EnemyBunker", "T3M1_NeutralBunker", "T3M2_FriendlyBunker",
    "T3M3_EnemyTank", "T3M4_TankAtBunker", "T3M5_TankDies",
};

// Every dialog the game can show has a text that the game's font can draw
// (printable ASCII) and that the dialog box wraps, with that font, into the
// room beside the portrait in at most four lines, so that the box, rising
// from the bottom edge, leaves most of the play field in view.
TEST_F(HudFilesTest, TutorialFileHasAWrappableTextForEveryDialog) {
    const orvel::PropertiesPtr texts = orvel::LoadPropertyFile("resources/Tutorial.txt")->GetStruct(
        "TUTORIAL_DIALOG_Text");
    const orvel::AccessInterfacePtr fontObject = orvel::LoadDatafileObject("resources/font.pcx");
    ASSERT_TRUE(fontObject->object);
    ASSERT_EQ(fontObject->object->type, DAT_FONT);
    FONT* gameFont = static_cast<FONT*>(fontObject->object->dat);
    const orvel::FrameSheet portrait = Frames("resources/Tutorial/wenselthemechanic.jpg");
    const int room = SCREEN_WIDTH - int(portrait.width) - 50;
    for (const char* id : DIALOG_IDS) {
        const PropertyKey dialog(std::string("TUTORIAL_DIALOG_") + id);
        ASSERT_TRUE(texts->HasProperty(dialog)) << id;
        const std::string text = texts->GetString(dialog);
        EXPECT_FALSE(text.empty()) << id;
        for (const char c : text) {
            EXPECT_TRUE(c >= ' ' && c <= '~') << id << " has a character the font lacks";
        }
        const std::vector<std::string> lines = orvel::WordWrap(gameFont, text, room);
        EXPECT_LE(lines.size(), 4u) << id;
    }
    EXPECT_EQ(texts->Size(), sizeof(DIALOG_IDS) / sizeof(DIALOG_IDS[0])) << "a text no dialog shows";
}

// The tutorial's arrow and the mechanic's portrait: the arrow animates over
// frames of one size with transparency, the portrait is a colour picture.
TEST_F(HudFilesTest, TutorialArrowAndPortraitAreInTheDatafile) {
    const orvel::FrameSheet arrow = Frames("resources/Tutorial/Arrow.txt");
    EXPECT_EQ(arrow.bpp, 32);
    EXPECT_GT(arrow.frameCount, 1u);
    const orvel::FrameSheet portrait = Frames("resources/Tutorial/wenselthemechanic.jpg");
    EXPECT_EQ(portrait.bpp, 24);
    EXPECT_LE(portrait.width, 200u);
}

}  // namespace
