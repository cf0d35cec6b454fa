#include "platform/open_url.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>

namespace {

// A folder with a stand-in for xdg-open that writes its arguments, one per
// line after their count, to the file named by OPEN_URL_RECORD. It is put
// first on PATH for the test's lifetime.
class OpenUrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/gearhaven-open-url-XXXXXX";
        folder = mkdtemp(pattern);
        record = folder + "/record.txt";
        const std::string script = folder + "/xdg-open";
        std::ofstream(script) << "#!/bin/sh\n"
                                 "printf '%s\\n' \"$#\" \"$@\" > \"$OPEN_URL_RECORD.part\"\n"
                                 "mv \"$OPEN_URL_RECORD.part\" \"$OPEN_URL_RECORD\"\n";
        chmod(script.c_str(), 0755);
        const char* path = std::getenv("PATH");
        previousPath = path != nullptr ? path : "";
        setenv("PATH", (folder + ":" + previousPath).c_str(), 1);
        setenv("OPEN_URL_RECORD", record.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", previousPath.c_str(), 1);
        unsetenv("OPEN_URL_RECORD");
        std::system(("rm -rf '" + folder + "'").c_str());
    }

    // What the stand-in recorded, once it has run (empty after 10 s).
    std::string WaitForRecord() {
        for (int i = 0; i < 1000; ++i) {
            std::ifstream stream(record);
            if (stream) {
                std::stringstream text;
                text << stream.rdbuf();
                return text.str();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string();
    }

    std::string folder;
    std::string record;
    std::string previousPath;
};

TEST_F(OpenUrlTest, PassesTheTargetAsOneArgumentWithoutAShell) {
    const char* const targets[] = {
        "https://example.org/page?a=1&b=2",
        "file with spaces; touch pwned $(id) `id` 'quoted' \"double\" | cat > x",
    };
    for (const char* target : targets) {
        std::remove(record.c_str());
        ASSERT_TRUE(OpenUrl(target));
        EXPECT_EQ(WaitForRecord(), std::string("1\n") + target + "\n");
    }
    EXPECT_NE(access((folder + "/pwned").c_str(), F_OK), 0);
}

TEST_F(OpenUrlTest, FailsWhenXdgOpenIsMissing) {
    setenv("PATH", "/nonexistent-folder", 1);
    EXPECT_FALSE(OpenUrl("https://example.org/"));
}

}  // namespace
