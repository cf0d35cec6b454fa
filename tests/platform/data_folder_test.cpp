#include "platform/data_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "gearhaven-data-XXXXXX").string();
        root = mkdtemp(&pattern[0]);
    }
    void TearDown() override { fs::remove_all(root); }

    void Touch(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "data";
    }

    fs::path root;
};

TEST_F(DataFolderTest, CandidatesAreWorkingFolderProgramFolderThenInstallLayout) {
    EXPECT_EQ(DataFolderCandidates("/work", "/opt/game/bin"),
              (std::vector<std::string>{"/work", "/opt/game/bin", "/opt/game/share/gearhaven"}));
    EXPECT_EQ(DataFolderCandidates("/work", ""), (std::vector<std::string>{"/work"}));
    EXPECT_EQ(DataFolderCandidates("", "/usr/bin"),
              (std::vector<std::string>{"/usr/bin", "/usr/share/gearhaven"}));
}

TEST_F(DataFolderTest, FindsTheFirstFolderThatHoldsTheFile) {
    const fs::path working = root / "working";
    const fs::path bin = root / "prefix" / "bin";
    const fs::path share = root / "prefix" / "share" / "gearhaven";
    fs::create_directories(working);
    fs::create_directories(bin);
    const std::vector<std::string> candidates = DataFolderCandidates(working, bin);

    EXPECT_EQ(FindDataFolder("game.dat", candidates), "");
    Touch(share / "game.dat");
    EXPECT_EQ(FindDataFolder("game.dat", candidates), share.string());
    // A link beside the program, as the build makes it.
    fs::create_symlink(share / "game.dat", bin / "game.dat");
    EXPECT_EQ(FindDataFolder("game.dat", candidates), bin.string());
    Touch(working / "game.dat");
    EXPECT_EQ(FindDataFolder("game.dat", candidates), working.string());
}

TEST_F(DataFolderTest, FoldersAndBrokenLinksDoNotCount) {
    fs::create_directories(root / "a" / "game.dat");
    fs::create_directories(root / "b");
    fs::create_symlink(root / "nowhere.dat", root / "b" / "game.dat");
    Touch(root / "c" / "game.dat");
    const std::vector<std::string> candidates = {(root / "a").string(), (root / "b").string(),
                                                 (root / "c").string()};
    EXPECT_EQ(FindDataFolder("game.dat", candidates), (root / "c").string());
}

TEST_F(DataFolderTest, ProgramFolderIsTheTestExecutablesFolder) {
    const fs::path folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(fs::exists(folder / "platform_tests"));
}

}  // namespace
