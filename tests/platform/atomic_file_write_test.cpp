#include "platform/atomic_file_write.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

struct AtomicWriteFixture : ::testing::Test {
    void SetUp() override {
        char pattern[] = "/tmp/atomic_write_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        file = folder + "/settings.txt";
    }
    void TearDown() override {
        const std::string command = "rm -rf '" + folder + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    std::string folder;
    std::string file;
};

}  // namespace

TEST_F(AtomicWriteFixture, WritesAndReplacesLeavingNoTemporaryFile) {
    ASSERT_TRUE(WriteFileAtomically(file, "first\n"));
    EXPECT_EQ(ReadWhole(file), "first\n");
    ASSERT_TRUE(WriteFileAtomically(file, std::string("second\0with nul", 15)));
    EXPECT_EQ(ReadWhole(file), std::string("second\0with nul", 15));
    ASSERT_TRUE(WriteFileAtomically(file, ""));
    EXPECT_EQ(ReadWhole(file), "");
    EXPECT_FALSE(Exists(file + ".tmp"));
}

// Ways a write can fail, each leaving the old file as it was.
TEST_F(AtomicWriteFixture, FailuresLeaveTheOldFileIntact) {
    {
        SCOPED_TRACE("the temporary file cannot be created");
        ASSERT_TRUE(WriteFileAtomically(file, "old"));
        ASSERT_EQ(mkdir((file + ".tmp").c_str(), 0755), 0);
        EXPECT_FALSE(WriteFileAtomically(file, "new"));
        EXPECT_EQ(ReadWhole(file), "old");
        ASSERT_EQ(rmdir((file + ".tmp").c_str()), 0);
    }
    {
        SCOPED_TRACE("the target cannot be replaced");
        const std::string target = folder + "/occupied";
        ASSERT_EQ(mkdir(target.c_str(), 0755), 0);
        ASSERT_TRUE(WriteFileAtomically(target + "/inside", "kept"));
        EXPECT_FALSE(WriteFileAtomically(target, "new"));
        EXPECT_EQ(ReadWhole(target + "/inside"), "kept");
        EXPECT_FALSE(Exists(target + ".tmp"));
    }
    {
        SCOPED_TRACE("the folder does not exist");
        EXPECT_FALSE(WriteFileAtomically(folder + "/missing/settings.txt", "new"));
    }
}
