#include <cmath>
#include <string>
#include <vector>

#include "engine/sprites/sprite_cache.h"
#include "game/frontend/level_list_morph.h"
#include "game/frontend/menu_keys.h"
#include "game/frontend/skirmish_menu.h"
#include "tests/game/frontend/frontend_fixture.h"

namespace {

const int LIST_TOP = 162;
const int LINE = 21;
const int ENTRY_COUNT = 14;  // twelve built-in levels and two separators
const char* const BUILT_IN[] = {"Level1", "Level2",  "Level3",  "Level4",  "Level6",  "Level7",
                                "Level9", "Level10", "Level11", "Level13", "Level14", "Level15"};

std::string Sprite(const std::string& name, const std::string& animation, int x, int y,
                   const std::string& children = "") {
    return "{\nstring type: \"SpriteMorph\"\nstring name: \"" + name +
           "\"\nstring animation: \"" + animation +
           "\"\nstring highlighter: \"SpriteMorphHighlighter\"\npoint position: (" +
           std::to_string(x) + ", " + std::to_string(y) + ")\n" + children + "}\n";
}

// A property-form sprite file of `frames` flat pictures named stem_N.bbq.
std::string FramesFile(const std::string& stem, int frames) {
    std::string text = "list string frames\n{\n";
    for (int n = 0; n < frames; ++n) {
        text += "\"" + stem + "_" + std::to_string(n) + ".bbq\"\n";
    }
    return text + "}\nfloat fps: 0\n";
}

std::string Jpeg(int shade) {
    return EncodeJpeg(16, 8, 3, JCS_RGB, std::vector<uint8_t>(16 * 8 * 3, uint8_t(shade)));
}

// The game's skirmish screen with flat pictures: every control, both
// sliders (100 pixels wide, fill bar as first child) and the buttons; a
// preview for every built-in level and the two stand-ins. Side 1's controls
// stand in column x = 400, side 2's in x = 600.
class SkirmishMenuTest : public FrontendTest {
protected:
    void SetUp() override {
        FrontendTest::SetUp();
        const struct {
            const char* stem;
            int frames;
        } animations[] = {{"purchase", 4}, {"movement", 3}, {"cashflow", 3}, {"toggle", 2}};
        for (const auto& animation : animations) {
            WriteFile(std::string("resources/Skirmish/") + animation.stem + ".txt",
                      FramesFile(animation.stem, animation.frames));
            for (int n = 0; n < animation.frames; ++n) {
                WriteFile(std::string("resources/Skirmish/") + animation.stem + "_" +
                              std::to_string(n) + ".bbq",
                          FlatBbq(60, 20, Rgb{100, 20 * n, 50}));
            }
        }
        WriteFile("resources/Skirmish/groove.bbq", FlatBbq(100, 10, Rgb{20, 20, 20}));
        WriteFile("resources/Skirmish/fill.bbq", FlatBbq(100, 10, Rgb{200, 100, 20}));
        std::string controls;
        const char* units[] = {"Infantry", "Tank", "FlakTruck", "Balloon", "Gyro", "Buster"};
        for (int side = 1; side <= 2; ++side) {
            const std::string p = "Player" + std::to_string(side);
            const int x = side == 1 ? 400 : 600;
            controls += Sprite(p + "Purchase", "purchase.txt", x, 170);
            controls += Sprite(p + "Movement", "movement.txt", x, 200);
            controls += Sprite(p + "CashFlow", "cashflow.txt", x, 230);
            controls += Sprite(p + "AirshipRange", "groove.bbq", x, 260,
                               "list struct children\n{\n" +
                                   Sprite(p + "Fill", "fill.bbq", 0, 0) + "}\n");
            for (int u = 0; u < 6; ++u) {
                controls += Sprite(p + units[u], "toggle.txt", x + 70 * (u % 2), 300 + 30 * (u / 2));
            }
        }
        WriteFile(SkirmishMenu::SCREEN_FILE,
                  "string type: \"SpriteMorph\"\nstring name: \"SkirmishMenu\"\n"
                  "string animation: \"../picture.bbq\"\npoint position: (0, 0)\n"
                  "list struct children\n{\n" +
                      controls + Sprite("Back", "../button.bbq", 20, 540) +
                      Sprite("Forward", "../button.bbq", 620, 540) + "}\n");
        for (int n = 0; n < 12; ++n) {
            WriteFile(std::string("resources/") + BUILT_IN[n] + "/preview.jpg", Jpeg(10 * n));
        }
        WriteFile(LevelListMorph::LOCKED_PREVIEW, Jpeg(200));
        WriteFile(LevelListMorph::MISSING_PREVIEW, Jpeg(220));
        SetMachine(
            "struct TARNMOORE_STATE_SkirmishMenu\n{\n"
            "struct Back\n{\nstring state: \"TO_Back\"\n}\n"
            "struct Forward\n{\nstring state: \"TO_Forward\"\n}\n}\n"
            "struct TO_Back\n{\nstring class: \"TEST_Probe\"\n}\n"
            "struct TO_Forward\n{\nstring class: \"TEST_Probe\"\n}\n");
        ClearChoices();
    }
    void TearDown() override {
        ClearChoices();
        FrontendTest::TearDown();
    }

    static void ClearChoices() {
        const char* keys[] = {
            "goodPurchaseControl", "badPurchaseControl", "goodAirshipControl",
            "badAirshipControl", "goodInfantryEnabled", "goodTankEnabled",
            "goodFlakTruckEnabled", "goodBalloonEnabled", "goodAutoGyroEnabled",
            "goodBusterEnabled", "badInfantryEnabled", "badTankEnabled", "badFlakTruckEnabled",
            "badBalloonEnabled", "badAutoGyroEnabled", "badBusterEnabled",
            "goodCashFlowModifier", "badCashFlowModifier", "goodRangeModifier",
            "badRangeModifier", "selectedSkirmishLevelIndex", "levelPath", "isSkirmishMode",
            "isTutorialLevel"};
        for (const char* key : keys) {
            orvel::GlobalProperties().Erase(PropertyKey(key));
        }
    }

    std::shared_ptr<SkirmishMenu> Open() { return std::make_shared<SkirmishMenu>(); }

    static int FrameOf(const orvel::StatePtr& screen, const char* name) {
        return dynamic_cast<orvel::SpriteMorph&>(Find(screen, name)).GetSprite().GetFrame();
    }
    static std::string Shows(const orvel::SpriteMorph& preview) {
        return preview.GetSprite().GetCache()->GetName().GetName();
    }
    static int PreviewAlpha(const orvel::SpriteMorph& preview) {
        return orvel::GetAlpha(preview.GetColour());
    }

    // Clicks the list's visible line (0 at the top).
    orvel::StatePtr ClickLine(const std::shared_ptr<SkirmishMenu>& screen, int line) {
        source->mouseX = 100;
        source->mouseY = LIST_TOP + LINE * line + LINE / 2;
        Frame(screen);
        source->buttons = 1;
        const orvel::StatePtr next = Frame(screen);
        source->buttons = 0;
        Frame(screen);
        return next;
    }
    // Clicks a point of the screen.
    orvel::StatePtr ClickAt(const orvel::StatePtr& screen, int x, int y) {
        source->mouseX = x;
        source->mouseY = y;
        Frame(screen);
        source->buttons = 1;
        const orvel::StatePtr next = Frame(screen);
        source->buttons = 0;
        Frame(screen);
        return next;
    }
    static void Settle(LevelListMorph& list) {
        for (int i = 0; i < 40; ++i) {
            list.Update(0.02f);
        }
    }
};

TEST_F(SkirmishMenuTest, AFreshScreenWritesAndShowsEveryDefault) {
    const std::shared_ptr<SkirmishMenu> screen = Open();
    orvel::Attributes& registry = orvel::GlobalProperties();
    const struct {
        const char* morph;
        const char* key;
        int frame;
        int value;
    } controls[] = {
        {"Player1Purchase", "goodPurchaseControl", 3, 1},
        {"Player2Purchase", "badPurchaseControl", 2, 0},
        {"Player1Movement", "goodAirshipControl", 1, 1},
        {"Player2Movement", "badAirshipControl", 2, 0},
        {"Player1CashFlow", "goodCashFlowModifier", 1, 1},
        {"Player2CashFlow", "badCashFlowModifier", 1, 1},
    };
    for (const auto& c : controls) {
        EXPECT_EQ(FrameOf(screen, c.morph), c.frame) << c.morph;
        EXPECT_EQ(registry.GetInt(PropertyKey(c.key)), c.value) << c.key;
    }
    for (const char* key : {"goodTankEnabled", "badBusterEnabled", "goodAutoGyroEnabled"}) {
        EXPECT_TRUE(registry.GetBool(PropertyKey(key))) << key;
    }
    EXPECT_EQ(FrameOf(screen, "Player2Gyro"), 1);
    EXPECT_FLOAT_EQ(registry.GetFloat(PropertyKey("goodRangeModifier")), 1.0f);
    EXPECT_EQ(Find(screen, "Player1Fill").GetRect().Width(), 50);
    EXPECT_TRUE(messages.empty());
}

TEST_F(SkirmishMenuTest, ClicksFollowTheControlRulesAndTheScreenShowsThemWhenOpenedAgain) {
    SetProgress(16, {});
    std::shared_ptr<SkirmishMenu> screen = Open();
    // Each click and what the registry then holds.
    const struct {
        const char* morph;
        const char* key;
        int value;  // bools as 0 or 1
    } clicks[] = {
        {"Player1Purchase", "goodPurchaseControl", 0x10},  // mouse -> number row
        {"Player2Purchase", "badPurchaseControl", 0x10},   // computer -> (mouse, number row) keypad
        {"Player2Purchase", "badPurchaseControl", 0},      // keypad -> computer
        {"Player2Purchase", "badPurchaseControl", 0x10},   // and round to the keypad again
        {"Player1Purchase", "goodPurchaseControl", 0},     // (keypad taken) computer
        {"Player1Movement", "goodAirshipControl", 2},      // mouse -> (computer taken) arrows
        {"Player2Movement", "badAirshipControl", 0},       // side 2's pilot is the computer
        {"Player1Tank", "goodTankEnabled", 0},
        {"Player2Buster", "badBusterEnabled", 0},
        {"Player2Buster", "badBusterEnabled", 1},
        {"Player2Balloon", "badBalloonEnabled", 0},
        {"Player1CashFlow", "goodCashFlowModifier", 2},
        {"Player2CashFlow", "badCashFlowModifier", 2},
        {"Player2CashFlow", "badCashFlowModifier", 0},
    };
    orvel::Attributes& registry = orvel::GlobalProperties();
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.morph);
        EXPECT_FALSE(Click(screen, Find(screen, c.morph)));
        const PropertyKey key(c.key);
        const int got = std::string(c.key).find("Enabled") != std::string::npos
                            ? int(registry.GetBool(key))
                            : registry.GetInt(key);
        EXPECT_EQ(got, c.value);
    }
    ClickAt(screen, 400 + 90, 265);  // side 1's slider near its right end
    ClickAt(screen, 600, 265);       // side 2's at its left end
    const float goodRange = registry.GetFloat(PropertyKey("goodRangeModifier"));
    EXPECT_NEAR(goodRange, 1.8f, 0.001f);
    EXPECT_NEAR(registry.GetFloat(PropertyKey("badRangeModifier")), 0.5f, 0.001f);
    EXPECT_EQ(ClickLine(screen, 5), nullptr);  // row 16: the third level
    const std::vector<std::string> names = {
        "Player1Purchase", "Player2Purchase", "Player1Movement", "Player2Movement",
        "Player1Tank",     "Player2Buster",   "Player2Balloon",  "Player1Infantry",
        "Player1CashFlow", "Player2CashFlow"};
    std::vector<int> frames;
    for (const std::string& name : names) {
        frames.push_back(FrameOf(screen, name.c_str()));
    }
    const int goodFill = Find(screen, "Player1Fill").GetRect().Width();
    const int badFill = Find(screen, "Player2Fill").GetRect().Width();
    EXPECT_EQ(goodFill, 90);
    EXPECT_EQ(badFill, 0);

    screen = Open();
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(FrameOf(screen, names[i].c_str()), frames[i]) << names[i];
    }
    EXPECT_NEAR(Find(screen, "Player1Fill").GetRect().Width(), goodFill, 1);
    EXPECT_EQ(Find(screen, "Player2Fill").GetRect().Width(), badFill);
    EXPECT_FLOAT_EQ(registry.GetFloat(PropertyKey("goodRangeModifier")), goodRange);
    LevelListMorph& list = screen->GetLevelList();
    EXPECT_EQ(list.GetSelected(), 16u);
    EXPECT_EQ(list.GetSelectedEntry().folder, "resources/Level3");
    EXPECT_EQ(Shows(list.GetShownPreview()), "resources/Level3/preview.jpg");
    EXPECT_EQ(PreviewAlpha(list.GetShownPreview()), 255);
    EXPECT_EQ(list.GetScrollOffset(), (3 - 16) * LINE);
}

TEST_F(SkirmishMenuTest, AStoredChoiceThatPlayCannotUseShowsTheSidesDefault) {
    orvel::Attributes& registry = orvel::GlobalProperties();
    registry.SetInt(PropertyKey("badPurchaseControl"), 1);  // side 2 has no mouse in play
    registry.SetInt(PropertyKey("badAirshipControl"), 2);   // nor a pilot of its own
    registry.SetInt(PropertyKey("goodCashFlowModifier"), 7);
    const std::shared_ptr<SkirmishMenu> screen = Open();
    EXPECT_EQ(FrameOf(screen, "Player2Purchase"), 2);
    EXPECT_EQ(registry.GetInt(PropertyKey("badPurchaseControl")), 0);
    EXPECT_EQ(FrameOf(screen, "Player2Movement"), 2);
    EXPECT_EQ(registry.GetInt(PropertyKey("badAirshipControl")), 0);
    EXPECT_EQ(FrameOf(screen, "Player1CashFlow"), 1);
    EXPECT_EQ(registry.GetInt(PropertyKey("goodCashFlowModifier")), 1);
}

TEST_F(SkirmishMenuTest, TheListOpensWithTheFirstLevelOnTheFourthLine) {
    for (int highest : {0, 1}) {
        SCOPED_TRACE(highest);
        SetProgress(highest, {});
        const std::shared_ptr<SkirmishMenu> screen = Open();
        LevelListMorph& list = screen->GetLevelList();
        ASSERT_EQ(list.GetEntries().size(), size_t(ENTRY_COUNT));
        EXPECT_EQ(list.GetSelected(), unsigned(ENTRY_COUNT));
        EXPECT_EQ(list.GetScrollOffset(), (3 - ENTRY_COUNT) * LINE);
        EXPECT_EQ(Shows(list.GetShownPreview()),
                  highest == 0 ? LevelListMorph::LOCKED_PREVIEW : "resources/Level1/preview.jpg");
        // Forward answers only for an unlocked level.
        EXPECT_EQ(Frame(screen), nullptr);
        EXPECT_EQ(Alpha(Find(screen, "Forward")), highest == 0 ? 128 : 255);
        EXPECT_EQ(NameOf(Click(screen, Find(screen, "Forward"))), highest == 0 ? "" : "TO_Forward");
        EXPECT_EQ(orvel::GlobalProperties().Contains(PropertyKey("isSkirmishMode")), highest != 0);
        if (highest != 0) {
            EXPECT_EQ(orvel::GlobalProperties().GetString(PropertyKey("levelPath")),
                      "resources/Level1");
        }
    }
}

TEST_F(SkirmishMenuTest, AClickedRowGlidesToTheFourthLineAndItsPreviewFadesIn) {
    SetProgress(16, {});
    const std::shared_ptr<SkirmishMenu> screen = Open();
    LevelListMorph& list = screen->GetLevelList();
    const int start = list.GetScrollOffset();
    // Visible lines 0..6 show rows 11..17; line 5 is row 16, the third level.
    source->mouseX = 100;
    source->mouseY = LIST_TOP + LINE * 5 + 3;
    Frame(screen);
    source->buttons = 1;
    Frame(screen);  // the click, then 1/70 s of glide
    source->buttons = 0;
    EXPECT_EQ(list.GetSelected(), 16u);
    EXPECT_EQ(orvel::GlobalProperties().GetInt(PropertyKey("selectedSkirmishLevelIndex")), 16);
    EXPECT_EQ(Shows(list.GetIncomingPreview()), "resources/Level3/preview.jpg");
    list.Update(0.2f);
    const int end = (3 - 16) * LINE;
    EXPECT_TRUE(list.IsGliding());
    EXPECT_LT(list.GetScrollOffset(), start);
    EXPECT_GT(list.GetScrollOffset(), end);
    const int alpha = PreviewAlpha(list.GetIncomingPreview());
    EXPECT_GT(alpha, 0);
    EXPECT_LT(alpha, 255);
    EXPECT_EQ(PreviewAlpha(list.GetShownPreview()), 255 - alpha);
    list.Update(0.2f);
    EXPECT_FALSE(list.IsGliding());
    EXPECT_EQ(list.GetScrollOffset(), end);
    EXPECT_EQ(Shows(list.GetShownPreview()), "resources/Level3/preview.jpg");
    EXPECT_EQ(PreviewAlpha(list.GetShownPreview()), 255);
    EXPECT_EQ(PreviewAlpha(list.GetIncomingPreview()), 0);

    // Clicking the selected row again starts nothing.
    orvel::GlobalProperties().Erase(PropertyKey("selectedSkirmishLevelIndex"));
    ClickLine(screen, 3);
    EXPECT_FALSE(list.IsGliding());
    EXPECT_FALSE(orvel::GlobalProperties().Contains(PropertyKey("selectedSkirmishLevelIndex")));
}

TEST_F(SkirmishMenuTest, RowsWrapAndLockedRowsShowTheLockedPreview) {
    SetProgress(1, {});
    const std::shared_ptr<SkirmishMenu> screen = Open();
    LevelListMorph& list = screen->GetLevelList();
    // Each click: the visible line, the row it shows, and the offset the
    // list rests at afterwards, wrapped into one list span.
    const struct {
        int line;
        unsigned row;
        int offset;
        const char* preview;
    } steps[] = {
        {0, 11, (3 - 11) * LINE, LevelListMorph::LOCKED_PREVIEW},  // the last level, locked
        {4, 12, (3 - 12) * LINE, LevelListMorph::LOCKED_PREVIEW},  // the first separator
        {6, 15, (3 - 15) * LINE, LevelListMorph::LOCKED_PREVIEW},  // the second level, locked
        {5, 17, 0, LevelListMorph::LOCKED_PREVIEW},                 // -14 lines wrap to 0
        {0, 0, (3 - ENTRY_COUNT) * LINE, "resources/Level1/preview.jpg"},  // 3 lines wrap
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.row);
        ClickLine(screen, step.line);
        Settle(list);
        EXPECT_EQ(list.GetSelected(), step.row);
        EXPECT_EQ(list.GetScrollOffset(), step.offset);
        EXPECT_EQ(Shows(list.GetShownPreview()), step.preview);
        const bool open = list.GetSelectedEntry().unlocked;
        EXPECT_EQ(Frame(screen), nullptr);
        EXPECT_EQ(Alpha(Find(screen, "Forward")), open ? 255 : 128);
        if (!open) {
            EXPECT_EQ(NameOf(Click(screen, Find(screen, "Forward"))), "");
            EXPECT_FALSE(orvel::GlobalProperties().Contains(PropertyKey("isSkirmishMode")));
        }
    }
    EXPECT_EQ(list.GetEntries()[12].name, "------------");
}

TEST_F(SkirmishMenuTest, AClickOnAPreviewSelectsNothing) {
    SetProgress(16, {});
    const std::shared_ptr<SkirmishMenu> screen = Open();
    LevelListMorph& list = screen->GetLevelList();
    for (int y : {55, 90, 138}) {
        EXPECT_EQ(ClickAt(screen, 400, y), nullptr);
        EXPECT_FALSE(list.IsGliding()) << y;
        EXPECT_EQ(list.GetSelected(), unsigned(ENTRY_COUNT)) << y;
    }
    EXPECT_FALSE(orvel::GlobalProperties().Contains(PropertyKey("selectedSkirmishLevelIndex")));
}

TEST_F(SkirmishMenuTest, LeavingByButtonEndsSkirmishModeButEscapeKeepsIt) {
    const struct {
        int key;  // 0: the Back button
        bool skirmishAfter;
    } cases[] = {{0, false}, {MENU_KEY_ESCAPE, true}, {MENU_KEY_LEFT, true},
                 {MENU_KEY_BACKSPACE, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        orvel::GlobalProperties().SetBool(PropertyKey("isSkirmishMode"), true);
        orvel::GlobalProperties().SetBool(PropertyKey("isTutorialLevel"), true);
        const std::shared_ptr<SkirmishMenu> screen = Open();
        const orvel::StatePtr next =
            c.key == 0 ? Click(screen, Find(screen, "Back")) : PressKey(screen, c.key);
        EXPECT_EQ(NameOf(next), "TO_Back");
        EXPECT_EQ(orvel::GlobalProperties().GetBool(PropertyKey("isSkirmishMode")),
                  c.skirmishAfter);
        if (c.key != 0) {
            EXPECT_FALSE(orvel::GlobalProperties().GetBool(PropertyKey("isTutorialLevel")));
        }
    }
}

TEST_F(SkirmishMenuTest, UserLevelsAreListedAndABrokenOneIsLeftOutWithAMessage) {
    WriteFile("extra levels/Harbour/level.txt", "int nodeSpacing: 32\n");
    WriteFile("extra levels/Harbour/preview.jpg", Jpeg(90));
    WriteFile("extra levels/Plain/level.txt", "int nodeSpacing: 32\n");
    WriteFile("extra levels/Broken/level.txt", "struct {\nstring name \"unclosed\n");
    const std::shared_ptr<SkirmishMenu> screen = Open();
    LevelListMorph& list = screen->GetLevelList();
    ASSERT_EQ(list.GetEntries().size(), size_t(ENTRY_COUNT + 2));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("\"Broken\""), std::string::npos) << messages[0];
    for (size_t row = 13; row < 15; ++row) {
        const SkirmishLevelEntry& entry = list.GetEntries()[row];
        EXPECT_TRUE(entry.unlocked);
        EXPECT_EQ(list.PreviewOf(entry), entry.folder + "/preview.jpg");
    }
    // The list has 16 rows, so rows 13 to 19 show on lines 0 to 6: line 0
    // is the first user level; once it sits on line 3, line 4 is the second.
    for (int line : {0, 4}) {
        SCOPED_TRACE(line);
        ClickLine(screen, line);
        Settle(list);
        const SkirmishLevelEntry& entry = list.GetSelectedEntry();
        EXPECT_EQ(Shows(list.GetShownPreview()), entry.name == "Harbour"
                                                     ? "extra levels/Harbour/preview.jpg"
                                                     : LevelListMorph::MISSING_PREVIEW);
        EXPECT_EQ(Frame(screen), nullptr);
        EXPECT_EQ(Alpha(Find(screen, "Forward")), 255);
    }
    EXPECT_EQ(NameOf(Click(screen, Find(screen, "Forward"))), "TO_Forward");
    EXPECT_EQ(orvel::GlobalProperties().GetString(PropertyKey("levelPath")),
              list.GetSelectedEntry().folder);
}

}  // namespace
