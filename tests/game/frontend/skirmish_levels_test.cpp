#include "game/frontend/skirmish_levels.h"

#include <fstream>
#include <string>
#include <vector>

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace {

const char GOOD_LEVEL[] = "string name: \"Ridge\"\nint width: 4000\n";

class SkirmishLevelsTest : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& text) {
        const boost::filesystem::path path = folder.GetPath() / name;
        boost::filesystem::create_directories(path.parent_path());
        std::ofstream(path.string()) << text;
    }
    std::string Extra() const { return folder.GetPath().string() + "/extra levels"; }

    TempFolder folder;
    std::vector<std::string> problems;
};

TEST_F(SkirmishLevelsTest, BuiltInLevelsUnlockAsTheCampaignReachesThem) {
    struct Case {
        int highest, unlocked;
    };
    // Twelve built-in levels (campaign levels 5, 8 and 12 are not offered).
    const Case cases[] = {{0, 0}, {1, 1}, {5, 4}, {6, 5}, {12, 9}, {16, 12}};
    for (const Case& c : cases) {
        const std::vector<SkirmishLevelEntry> entries =
            SkirmishLevelEntries(c.highest, Extra(), problems);
        ASSERT_EQ(entries.size(), 14u);
        int unlocked = 0;
        for (const SkirmishLevelEntry& entry : entries) {
            unlocked += entry.unlocked ? 1 : 0;
        }
        EXPECT_EQ(unlocked, c.unlocked) << c.highest;
    }
    const std::vector<SkirmishLevelEntry> entries = SkirmishLevelEntries(16, Extra(), problems);
    EXPECT_EQ(entries[0].folder, "resources/Level1");
    EXPECT_EQ(entries[4].folder, "resources/Level6");
    EXPECT_EQ(entries[11].name, "Ashfall Crags");
    for (size_t separator : {12u, 13u}) {
        EXPECT_EQ(entries[separator].name, "------------");
        EXPECT_TRUE(entries[separator].folder.empty());
        EXPECT_FALSE(entries[separator].unlocked);
    }
    EXPECT_TRUE(problems.empty());
}

TEST_F(SkirmishLevelsTest, UserLevelsAreListedBetweenTheSeparators) {
    Write("extra levels/Ridge/level.txt", GOOD_LEVEL);
    Write("extra levels/Empty/level.txt", "");
    Write("extra levels/NoLevel/notes.txt", "hello");
    Write("extra levels/Folder/level.txt/inside.txt", GOOD_LEVEL);
    const std::vector<SkirmishLevelEntry> entries = SkirmishLevelEntries(0, Extra(), problems);
    ASSERT_EQ(entries.size(), 15u);
    EXPECT_EQ(entries[13].name, "Ridge");
    EXPECT_EQ(entries[13].folder, Extra() + "/Ridge");
    EXPECT_TRUE(entries[13].unlocked);
    EXPECT_TRUE(problems.empty());
}

TEST_F(SkirmishLevelsTest, ABrokenUserLevelIsLeftOutWithAMessage) {
    Write("extra levels/Ridge/level.txt", GOOD_LEVEL);
    Write("extra levels/Broken/level.txt", "struct {\n string name \"unclosed\n");
    const std::vector<SkirmishLevelEntry> entries = SkirmishLevelEntries(0, Extra(), problems);
    ASSERT_EQ(entries.size(), 15u);
    EXPECT_EQ(entries[13].name, "Ridge");
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("\"Broken\""), std::string::npos) << problems[0];
    EXPECT_NE(problems[0].find("left out"), std::string::npos) << problems[0];
}

}  // namespace
