#include <fstream>
#include <iterator>
#include <string>

// Before the game library's GL header, whose X11 headers define None.
#include <gtest/gtest.h>

#include <allegro.h>
// After allegro.h, which it needs.
#include <alleggl.h>

#include "engine/resources/resource.h"
#include "tests/support/gl_context.h"

namespace {

std::string FileBytes(const std::string& path) {
    std::ifstream stream(path, std::ios::in | std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

class BuiltDatafileTest : public GlTest {
protected:
    void TearDown() override { orvel::ClearDatafilePath(); }
};

// The datafile that the build packs from resources/ holds the font that our
// font tool draws, as a font object that becomes the game's GL font.
TEST_F(BuiltDatafileTest, HoldsTheGameFont) {
    orvel::SetDatafilePath(GEARHAVEN_BUILT_DATAFILE);
    const orvel::AccessInterfacePtr access = orvel::LoadDatafileObject("resources/font.pcx");
    ASSERT_TRUE(access->object);
    ASSERT_EQ(access->object->type, DAT_FONT);
    FONT* font = static_cast<FONT*>(access->object->dat);
    EXPECT_EQ(text_height(font), 20);
    EXPECT_GT(text_length(font, " !\"#AZaz09~"), 0);
    EXPECT_LT(text_length(font, "iiii"), text_length(font, "MMMM"));

    FONT* glFont = allegro_gl_convert_allegro_font_ex(font, AGL_FONT_TYPE_TEXTURED, 1.0, GL_ALPHA8);
    ASSERT_NE(glFont, nullptr);
    allegro_gl_destroy_font(glFont);
}

// The committed copy of the font, read when the datafile lacks it, is the
// sheet that the font tool draws now.
TEST_F(BuiltDatafileTest, CommittedFontMatchesTheFontTool) {
    const std::string committed = FileBytes("resources/font.pcx");
    ASSERT_FALSE(committed.empty());
    EXPECT_TRUE(committed == FileBytes(GEARHAVEN_BUILT_FONT))
        << "run: cmake --build <build folder> --target update_font";
}

}  // namespace
