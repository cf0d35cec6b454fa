#include "platform/app_data_folder.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace {

// Sets or clears one environment variable (nullptr clears it).
void SetEnvironment(const char* name, const char* value) {
    if (value != nullptr) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
}

}  // namespace

TEST(AppDataFolderTest, ConfigHomeThenHome) {
    const struct {
        const char* configHome;
        const char* home;
        bool found;
        const char* folder;
    } cases[] = {
        {"/tmp/config", "/home/player", true, "/tmp/config"},
        {nullptr, "/home/player", true, "/home/player/.config"},
        {"", "/home/player", true, "/home/player/.config"},
        {"relative/config", "/home/player", true, "/home/player/.config"},
        {"relative/config", nullptr, false, ""},
        {nullptr, "", false, ""},
        {nullptr, "relative", false, ""},
        {"/tmp/config", nullptr, true, "/tmp/config"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.configHome != nullptr ? c.configHome : "(unset)");
        SCOPED_TRACE(c.home != nullptr ? c.home : "(unset)");
        SetEnvironment("XDG_CONFIG_HOME", c.configHome);
        SetEnvironment("HOME", c.home);
        std::string folder = "unchanged";
        EXPECT_EQ(FindAppDataFolder(folder), c.found);
        EXPECT_EQ(folder, c.found ? c.folder : "unchanged");
    }
}
