#include "engine/sprites/sprite_file.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"

using namespace orvel;

namespace {

struct ExpectedFrame {
    std::string name;
    long hotX;
    long hotY;
    uint8_t flags;
};

struct GrammarCase {
    const char* label;
    std::string text;
    float fps;
    std::vector<ExpectedFrame> frames;
};

const std::string HEAD = "format_version: 1\nfps: 12.5\nframes\n{\n";

const uint8_t F = SPRITE_FLAG_FOOTSTEP;
const uint8_t T = SPRITE_FLAG_TRIGGER;

const GrammarCase GRAMMAR_CASES[] = {
    {"plain", HEAD + "a.bbq\nb.bbq\n}\n", 12.5f, {{"a.bbq", 0, 0, 0}, {"b.bbq", 0, 0, 0}}},
    {"items after the name",
     HEAD + "a.bbq (3,4) footstep trigger\n}\n",
     12.5f,
     {{"a.bbq", 3, 4, F | T}}},
    {"items in another order",
     HEAD + "a.bbq trigger ( 3 , 4 ) footstep\n}\n",
     12.5f,
     {{"a.bbq", 3, 4, F | T}}},
    {"items in a third order",
     HEAD + "a.bbq footstep trigger (3,4)\n}\n",
     12.5f,
     {{"a.bbq", 3, 4, F | T}}},
    {"the last hot spot wins", HEAD + "a.bbq (1,2) (-5,7)\n}\n", 12.5f, {{"a.bbq", -5, 7, 0}}},
    {"flags and hot spot are per line",
     HEAD + "a.bbq (9,9) trigger\nb.bbq\n}\n",
     12.5f,
     {{"a.bbq", 9, 9, T}, {"b.bbq", 0, 0, 0}}},
    {"headers in any order",
     "format_version: 3\nalpha: YES\nnum_frames : 1\nfps: 4\nalpha: n\n\nframes\n{\nx.jpg\n}\n",
     4.0f,
     {{"x.jpg", 0, 0, 0}}},
    {"no headers", "format_version: 1\nframes\n{\nx.bbq\n}\n", 0.0f, {{"x.bbq", 0, 0, 0}}},
    {"brace on the frames line, blank lines, tabs and comments",
     "format_version:\t1 # version\n// a comment line\nfps:\t2\n\nframes {\n\n\ta.bbq\t(1,1)\n\n"
     "b.bbq // the second\n}",
     2.0f,
     {{"a.bbq", 1, 1, 0}, {"b.bbq", 0, 0, 0}}},
    {"CRLF and CR line ends",
     "format_version: 1\r\nfps: 5\rframes\r\n{\r\na.bbq\r\n}\r\n",
     5.0f,
     {{"a.bbq", 0, 0, 0}}},
    {"text after the closing brace is ignored",
     HEAD + "a.bbq\n}\nanything at all {{ ( \n fps: -1",
     12.5f,
     {{"a.bbq", 0, 0, 0}}},
    {"folder parts and odd characters in names",
     HEAD + "sub/a-1_~.bbq\nsub\\b.bbq\n}\n",
     12.5f,
     {{"sub/a-1_~.bbq", 0, 0, 0}, {"sub\\b.bbq", 0, 0, 0}}},
};

TEST(SpriteFileTest, GrammarTable) {
    for (const GrammarCase& c : GRAMMAR_CASES) {
        SCOPED_TRACE(c.label);
        SpriteDescription description;
        try {
            ParseSpriteFile(c.text, description);
        } catch (const Exception& e) {
            FAIL() << e.What();
        }
        EXPECT_FLOAT_EQ(description.fps, c.fps);
        ASSERT_EQ(description.GetFrameCount(), c.frames.size());
        ASSERT_EQ(description.hotSpots.size(), c.frames.size());
        ASSERT_EQ(description.flags.size(), c.frames.size());
        ASSERT_EQ(description.lengthMultipliers.size(), c.frames.size());
        for (size_t i = 0; i < c.frames.size(); ++i) {
            EXPECT_EQ(description.frameNames[i], c.frames[i].name);
            EXPECT_EQ(description.hotSpots[i], Vector2x<long>(c.frames[i].hotX, c.frames[i].hotY));
            EXPECT_EQ(description.flags[i], c.frames[i].flags);
            EXPECT_EQ(description.lengthMultipliers[i], 1.0f);
        }
    }
}

struct SyntaxCase {
    const char* label;
    std::string text;
    const char* what;
};

const SyntaxCase SYNTAX_CASES[] = {
    {"empty text", "", "Syntax Error: \nLine:1"},
    {"no version line", "fps: 1\r\nframes\r\n{\r\na.bbq\r\n}\r\n", "Syntax Error: \nLine:1"},
    {"negative fps", "format_version: 1\r\nfps: -3\r\nframes\r\n{\r\na.bbq\r\n}\r\n",
     "Syntax Error: \nLine:2"},
    {"alpha not a bool word",
     "format_version: 1\r\n\r\nalpha: maybe\r\nframes\r\n{\r\na.bbq\r\n}\r\n",
     "Syntax Error: \nLine:3"},
    {"no frame lines", "format_version: 1\r\nframes\r\n{\r\n}\r\n", "Syntax Error: \nLine:4"},
    {"unknown frame item", "format_version: 1\r\nframes\r\n{\r\na.bbq\r\nb.bbq jump\r\n}\r\n",
     "Syntax Error: \nLine:5"},
    {"half a hot spot", "format_version: 1\r\nframes\r\n{\r\na.bbq (1,\r\n}\r\n",
     "Syntax Error: \nLine:4"},
    {"no closing brace", "format_version: 1\r\nframes\r\n{\r\na.bbq\r\n", "Syntax Error: \nLine:5"},
    {"closing brace on a frame line", "format_version: 1\r\nframes\r\n{\r\na.bbq }\r\n",
     "Syntax Error: \nLine:4"},
    {"blank in a name", "format_version: 1\r\nframes\r\n{\r\nmy frame.bbq\r\n}\r\n",
     "Syntax Error: \nLine:4"},
};

TEST(SpriteFileTest, SyntaxErrorsGiveTheLine) {
    for (const SyntaxCase& c : SYNTAX_CASES) {
        SCOPED_TRACE(c.label);
        SpriteDescription description;
        try {
            ParseSpriteFile(c.text, description);
            ADD_FAILURE() << "no syntax error";
        } catch (const ExceptionSyntax& e) {
            EXPECT_EQ(e.What(), c.what);
            EXPECT_EQ(e.GetMessage(), "");
        }
    }
}

TEST(SpriteFileTest, PictureNamesByExactExtension) {
    EXPECT_TRUE(IsPictureName("a.bbq"));
    EXPECT_TRUE(IsPictureName("dir/a.jpg"));
    EXPECT_TRUE(IsPictureName("a.jpeg"));
    EXPECT_FALSE(IsPictureName("a.JPG"));
    EXPECT_FALSE(IsPictureName("a.sprite"));
    EXPECT_FALSE(IsPictureName("a.txt"));
    EXPECT_FALSE(IsPictureName("bbq"));
}

TEST(SpriteFileTest, FrameNamesResolveAgainstTheDescriptionFolder) {
    EXPECT_EQ(ResolveFrameName("resources/sprites/a.sprite", "f.bbq"), "resources/sprites/f.bbq");
    EXPECT_EQ(ResolveFrameName("resources/sprites/a.sprite", "sub/f.bbq"),
              "resources/sprites/sub/f.bbq");
    EXPECT_EQ(ResolveFrameName("resources/sprites/a.sprite", "sub\\f.bbq"),
              "resources/sprites/sub/f.bbq");
    EXPECT_EQ(ResolveFrameName("resources\\sprites\\a.sprite", "f.bbq"), "resources/sprites/f.bbq");
    EXPECT_EQ(ResolveFrameName("a.sprite", "f.bbq"), "f.bbq");
}

TEST(SpriteFileTest, SinglePictureIsOneDefaultFrame) {
    const SpriteDescription d = SinglePictureDescription("resources\\ui/cursor.bbq");
    ASSERT_EQ(d.GetFrameCount(), 1u);
    EXPECT_EQ(d.frameNames[0], "resources/ui/cursor.bbq");
    EXPECT_EQ(d.fps, 0.0f);
    EXPECT_EQ(d.hotSpots[0], Vector2x<long>(0, 0));
    EXPECT_EQ(d.flags[0], 0);
    EXPECT_EQ(d.lengthMultipliers[0], 1.0f);
}

AnyVectorPtr List(const std::vector<Property>& elements) {
    AnyVectorPtr list = std::make_shared<AnyVector>();
    for (const Property& element : elements) {
        list->Append(element);
    }
    return list;
}

Property Str(const std::string& s) { return Property(s, PROPERTY_STRING); }
Property Int(int32_t i) { return Property(i, PROPERTY_INT); }
Property Flt(float f) { return Property(f, PROPERTY_FLOAT); }
Property Pt(int32_t x, int32_t y) { return Property(PointI(x, y), PROPERTY_POINT); }
Property PtF(float x, float y) { return Property(PointF(x, y), PROPERTY_POINTF); }

Properties ThreeFrames() {
    Properties p;
    p.SetList("frames", List({Str("a.bbq"), Str("sub\\b.bbq"), Str("c.jpg")}));
    return p;
}

TEST(SpriteFileTest, PropertyFormDefaults) {
    const SpriteDescription d = ReadSpriteProperties(ThreeFrames(), "resources/menu/gear.txt");
    ASSERT_EQ(d.GetFrameCount(), 3u);
    EXPECT_EQ(d.frameNames[0], "resources/menu/a.bbq");
    EXPECT_EQ(d.frameNames[1], "resources/menu/sub/b.bbq");
    EXPECT_EQ(d.frameNames[2], "resources/menu/c.jpg");
    EXPECT_EQ(d.fps, 0.0f);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(d.hotSpots[i], Vector2x<long>(0, 0));
        EXPECT_EQ(d.flags[i], 0);
        EXPECT_EQ(d.lengthMultipliers[i], 1.0f);
    }
}

TEST(SpriteFileTest, PropertyFormPerFrameLists) {
    Properties p = ThreeFrames();
    p.SetFloat("fps", 8.0f);
    // Short lists leave the rest at the default; long ones are cut.
    p.SetList("hotspots", List({Pt(1, 2), Pt(-3, 4)}));
    p.SetList("frameLengthMultipliers", List({Flt(1.0f), Flt(3.0f), Flt(0.5f), Flt(9.0f)}));
    p.SetList("triggers", List({Int(0), Int(1), Int(0)}));
    p.SetList("footsteps", List({Int(1), Int(1)}));
    const SpriteDescription d = ReadSpriteProperties(p, "gear.txt");
    EXPECT_EQ(d.frameNames[1], "sub/b.bbq");
    EXPECT_EQ(d.fps, 8.0f);
    EXPECT_EQ(d.hotSpots[0], Vector2x<long>(1, 2));
    EXPECT_EQ(d.hotSpots[1], Vector2x<long>(-3, 4));
    EXPECT_EQ(d.hotSpots[2], Vector2x<long>(0, 0));
    EXPECT_EQ(d.lengthMultipliers, (std::vector<float>{1.0f, 3.0f, 0.5f}));
    EXPECT_EQ(d.flags, (std::vector<uint8_t>{F, F | T, 0}));
}

TEST(SpriteFileTest, PropertyFormFlagValuesAreMergedAsTheyAre) {
    Properties p = ThreeFrames();
    p.SetList("footsteps", List({Int(2)}));
    p.SetList("triggers", List({Int(2)}));
    EXPECT_EQ(ReadSpriteProperties(p, "x.txt").flags[0], 2 | (2 << 1));
}

TEST(SpriteFileTest, PropertyFormErrors) {
    Properties missing;
    missing.SetFloat("fps", 1.0f);
    EXPECT_THROW(ReadSpriteProperties(missing, "x.txt"), ExceptionPropertyNotFound);

    Properties empty;
    empty.SetList("frames", List({}));
    try {
        ReadSpriteProperties(empty, "dir/x.txt");
        ADD_FAILURE() << "an empty frame list was accepted";
    } catch (const ExceptionFileFormatInvalid& e) {
        EXPECT_EQ(e.What(), "Invalid File Format.\nFile: dir/x.txt\nLine: -1");
    }

    struct WrongList {
        const char* key;
        Property element;
    };
    const WrongList wrongLists[] = {
        {"frames", Int(1)},      {"hotspots", PtF(1.0f, 2.0f)}, {"frameLengthMultipliers", Int(2)},
        {"triggers", Flt(1.0f)}, {"footsteps", Str("1")},
    };
    for (const WrongList& w : wrongLists) {
        SCOPED_TRACE(w.key);
        Properties p = ThreeFrames();
        if (std::string(w.key) == "frames") {
            p.SetList("frames", List({Str("a.bbq"), w.element}));
        } else {
            p.SetList(w.key, List({w.element}));
        }
        try {
            ReadSpriteProperties(p, "x.txt");
            ADD_FAILURE() << "a wrongly typed list was accepted";
        } catch (const ExceptionPropertyIncorrectType& e) {
            EXPECT_EQ(e.What(), std::string("Incorrect type for: ") + w.key);
        }
    }

    Properties wrongFps = ThreeFrames();
    wrongFps.SetInt("fps", 3);
    EXPECT_THROW(ReadSpriteProperties(wrongFps, "x.txt"), ExceptionPropertyIncorrectType);
}

// The game's own two sprites, one in each description form.
TEST(SpriteFileTest, ContentDescriptionsResolveTheirFrames) {
    const SpriteDescription beacon = ReadSpriteFile("resources/sprites/beacon.sprite");
    ASSERT_EQ(beacon.GetFrameCount(), 4u);
    EXPECT_EQ(beacon.frameNames[0], "resources/sprites/beacon/lamp_0.bbq");
    EXPECT_EQ(beacon.frameNames[3], "resources/sprites/beacon/lamp_3.bbq");
    EXPECT_EQ(beacon.fps, 6.0f);
    EXPECT_EQ(beacon.flags, (std::vector<uint8_t>{0, 0, T, 0}));

    const std::string cogName = "resources/sprites/cog.txt";
    const SpriteDescription cog = ReadSpriteProperties(*LoadPropertyFile(cogName), cogName);
    ASSERT_EQ(cog.GetFrameCount(), 4u);
    EXPECT_EQ(cog.frameNames[2], "resources/sprites/cog/cog_2.bbq");
    EXPECT_EQ(cog.fps, 8.0f);
    EXPECT_EQ(cog.lengthMultipliers, (std::vector<float>{1, 1, 1, 2}));
    EXPECT_EQ(cog.flags, (std::vector<uint8_t>{0, 0, 0, T}));
    EXPECT_EQ(cog.hotSpots[1], Vector2x<long>(12, 12));

    EXPECT_THROW(ReadSpriteFile("resources/sprites/none.sprite"), ExceptionFileNotFound);
}

}  // namespace
