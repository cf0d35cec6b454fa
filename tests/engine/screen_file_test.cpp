#include "engine/ui/screen_file.h"

#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/core/property_file.h"
#include "engine/resources/resource.h"
#include "engine/ui/morph.h"
#include "engine/ui/screen_morph.h"
#include "engine/ui/string_morph.h"
#include "tests/support/temp_folder.h"

using namespace orvel;

namespace {

const char* const FILE_NAME = "menus/test.txt";

// A tree as text: "Type Name(left,top,right,bottom)" with the children in
// brackets; a colour other than 0 is added as "#rrggbbaa" in decimal parts.
std::string Describe(const Morph& morph) {
    std::ostringstream out;
    const MorphRect rect = morph.GetRect();
    out << morph.GetTypeName().GetName() << " " << morph.GetMorphName().GetName() << "("
        << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom << ")";
    if (morph.GetColour() != 0) {
        out << "#" << GetRed(morph.GetColour()) << "." << GetGreen(morph.GetColour()) << "."
            << GetBlue(morph.GetColour()) << "." << GetAlpha(morph.GetColour());
    }
    if (!morph.GetChildren().empty()) {
        out << "[";
        for (const MorphPtr& child : morph.GetChildren()) {
            out << (child == morph.GetChildren().front() ? "" : " ") << Describe(*child);
        }
        out << "]";
    }
    return out.str();
}

class ScreenFileTest : public ::testing::Test {
protected:
    void SetUp() override { ClearDatafilePath(); }

    // Builds the text's tree under the screen and describes the screen.
    std::string Build(const std::string& text) {
        CreateMorph(screen.get(), *ParsePropertyString(text, FILE_NAME), FILE_NAME);
        return Describe(*screen);
    }

    // The text of the engine exception that building the text throws.
    std::string Failure(const std::string& text) {
        try {
            Build(text);
        } catch (const Exception& e) {
            return e.What();
        }
        return "no error";
    }

    std::shared_ptr<ScreenMorph> screen = std::make_shared<ScreenMorph>();
};

TEST_F(ScreenFileTest, TextsBuildTrees) {
    const struct {
        const char* text;
        const char* tree;
    } cases[] = {
        {"string type: \"Morph\"\npoint extent: (100, 50)\npoint position: (10, 20)\n",
         "ScreenMorph Screen(0,0,800,600)[Morph UntitledMorph(10,20,110,70)]"},
        {"string type: \"ScrollableMorph\"\nstring name: \"List\"\npoint extent: (30, 40)\n"
         "point position: (0, 0)\ncolour colour: 1, 2, 3, 4\n",
         "ScreenMorph Screen(0,0,800,600)[ScrollableMorph List(0,0,30,40)#1.2.3.4]"},
        // Children sit relative to their parent's final top-left, in file order.
        {"string type: \"Morph\"\nstring name: \"Panel\"\npoint extent: (200, 100)\n"
         "point position: (50, 60)\n"
         "list struct children {\n"
         "{\nstring type: \"Morph\"\nstring name: \"A\"\npoint extent: (10, 10)\n"
         "point position: (0, 0)\n"
         "list struct children {\n{\nstring type: \"ScrollableMorph\"\n"
         "point extent: (5, 5)\npoint position: (1, 2)\n}\n}\n}\n"
         "{\nstring type: \"Morph\"\nstring name: \"B\"\npoint extent: (10, 10)\n"
         "point position: (300, -70)\n}\n"
         "}\n",
         "ScreenMorph Screen(0,0,800,600)[Morph Panel(50,60,250,160)[Morph A(50,60,60,70)"
         "[ScrollableMorph UntitledScrollableMorph(51,62,56,67)] Morph B(350,-10,360,0)]]"},
        // Keys that a type does not use are ignored.
        {"string type: \"Morph\"\npoint extent: (1, 2)\npoint position: (3, 4)\n"
         "string string: \"unused\"\nstring animation: \"none.bbq\"\n"
         "string highlighter: \"SpriteMorphHighlighter\"\n",
         "ScreenMorph Screen(0,0,800,600)[Morph UntitledMorph(3,4,4,6)]"},
        {"string type: \"StringMorph\"\npoint extent: (80, 12)\npoint position: (5, 5)\n"
         "string string: \"Hello\"\n",
         "ScreenMorph Screen(0,0,800,600)[StringMorph UntitledStringMorph(5,5,85,17)]"},
    };
    for (const auto& c : cases) {
        screen = std::make_shared<ScreenMorph>();
        try {
            EXPECT_EQ(Build(c.text), c.tree) << c.text;
        } catch (const Exception& e) {
            ADD_FAILURE() << c.text << "\nthrew: " << e.What();
        }
    }
}

TEST_F(ScreenFileTest, FaultsGiveTheirExactMessages) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"string type: \"Foo\"\npoint extent: (1, 1)\npoint position: (0, 0)\n",
         "Unknown Morph Type: Foo\nFile: menus/test.txt"},
        {"string type: \"morph\"\npoint extent: (1, 1)\npoint position: (0, 0)\n",
         "Unknown Morph Type: morph\nFile: menus/test.txt"},
        {"string type: \"Morph\"\npoint extent: (1, 1)\n", "Property Not Found: position"},
        {"string type: \"Morph\"\npoint position: (1, 1)\n", "Property Not Found: extent"},
        {"point extent: (1, 1)\npoint position: (1, 1)\n", "Property Not Found: type"},
        {"string type: \"Morph\"\nstring extent: \"big\"\npoint position: (0, 0)\n",
         "Incorrect type for: extent"},
        {"string type: \"Morph\"\npoint extent: (1, 1)\npointf position: (0, 0)\n",
         "Incorrect type for: position"},
        {"string type: \"Morph\"\npoint extent: (1, 1)\npoint position: (0, 0)\n"
         "int colour: 5\n",
         "Incorrect type for: colour"},
        {"string type: \"Morph\"\npoint extent: (1, 1)\npoint position: (0, 0)\n"
         "list int children {\n1\n}\n",
         "Incorrect type for: children"},
        {"string type: \"Morph\"\npoint extent: (1, 1)\npoint position: (0, 0)\n"
         "struct children {\n}\n",
         "Incorrect type for: children"},
        {"string type: \"StringMorph\"\npoint extent: (1, 1)\npoint position: (0, 0)\n"
         "int string: 5\n",
         "Incorrect type for: string"},
        {"string type: \"SpriteMorph\"\npoint position: (0, 0)\n", "Property Not Found: animation"},
        {"string type: \"Morph\"\npoint extent: (1, 1)\npoint position: (2147483647, 0)\n",
         "Error: The position (2147483647, 0) lies outside -100000..100000\nFile: menus/test.txt"},
        {"string type: \"Morph\"\npoint extent: (1, 1)\npoint position: (0, -2147483648)\n",
         "Error: The position (0, -2147483648) lies outside -100000..100000\nFile: menus/test.txt"},
        {"string type: \"Morph\"\npoint extent: (2147483647, 1)\npoint position: (0, 0)\n",
         "Error: The extent (2147483647, 1) lies outside 0..100000\nFile: menus/test.txt"},
        {"string type: \"StringMorph\"\npoint extent: (1, -1)\npoint position: (0, 0)\n",
         "Error: The extent (1, -1) lies outside 0..100000\nFile: menus/test.txt"},
        {"string type: \"Morph\"\npoint extent: (10, 1)\npoint position: (99995, 0)\n",
         "Error: The position (99995, 0) puts UntitledMorph outside -100000..100000\n"
         "File: menus/test.txt"},
        {"string type: \"Morph\"\npoint extent: (10, 10)\npoint position: (60000, 0)\n"
         "list struct children {\n{\nstring type: \"Morph\"\nstring name: \"Far\"\n"
         "point extent: (1, 1)\npoint position: (60000, 0)\n}\n}\n",
         "Error: The position (60000, 0) puts Far outside -100000..100000\nFile: menus/test.txt"},
    };
    for (const auto& c : cases) {
        screen = std::make_shared<ScreenMorph>();
        EXPECT_EQ(Failure(c.text), c.message) << c.text;
    }
}

TEST_F(ScreenFileTest, MorphsMadeBeforeAnErrorStay) {
    const std::string text =
        "string type: \"Morph\"\nstring name: \"Panel\"\npoint extent: (10, 10)\n"
        "point position: (0, 0)\n"
        "list struct children {\n"
        "{\nstring type: \"Morph\"\nstring name: \"Good\"\npoint extent: (1, 1)\n"
        "point position: (0, 0)\n}\n"
        "{\nstring type: \"Bad\"\n}\n"
        "}\n";
    EXPECT_EQ(Failure(text), "Unknown Morph Type: Bad\nFile: menus/test.txt");
    EXPECT_EQ(Describe(*screen),
              "ScreenMorph Screen(0,0,800,600)[Morph Panel(0,0,10,10)[Morph Good(0,0,1,1)]]");
}

TEST_F(ScreenFileTest, SpriteMorphOutsideAScreenIsAnEngineError) {
    const MorphPtr plain = std::make_shared<Morph>(PropertyKey("NotAScreen"));
    const PropertiesPtr description = ParsePropertyString(
        "string type: \"SpriteMorph\"\nstring animation: \"button.bbq\"\n"
        "point position: (0, 0)\n",
        FILE_NAME);
    try {
        CreateMorph(plain.get(), *description, FILE_NAME);
        ADD_FAILURE() << "no error";
    } catch (const ExceptionGeneral& e) {
        EXPECT_NE(e.GetText().find("menus/button.bbq"), std::string::npos) << e.GetText();
        EXPECT_NE(e.GetText().find("File: menus/test.txt"), std::string::npos) << e.GetText();
    }
    EXPECT_TRUE(plain->GetChildren().empty());
    EXPECT_THROW(CreateMorph(nullptr, *description, FILE_NAME), ExceptionGeneral);
}

TEST_F(ScreenFileTest, UntitledMorphsShareANameAndTheFirstIsFound) {
    Build(
        "string type: \"Morph\"\npoint extent: (10, 10)\npoint position: (0, 0)\n"
        "list struct children {\n"
        "{\nstring type: \"Morph\"\npoint extent: (1, 1)\npoint position: (5, 5)\n}\n"
        "}\n");
    const Morph* top = screen->GetChildren().front().get();
    EXPECT_EQ(screen->FindChild("UntitledMorph"), top);
    EXPECT_EQ(top->FindChild("UntitledMorph"), top->GetChildren().front().get());
}

TEST_F(ScreenFileTest, StringMorphKeepsItsExtentAndTakesItsText) {
    Build(
        "string type: \"StringMorph\"\nstring name: \"Title\"\npoint extent: (80, 12)\n"
        "point position: (5, 5)\nstring string: \"Hello\"\n");
    const StringMorph* title = dynamic_cast<const StringMorph*>(screen->FindChild("Title"));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetText(), "Hello");
    EXPECT_EQ(title->GetRect(), MorphRect(5, 5, 85, 17));
}

TEST_F(ScreenFileTest, LoadScreenReadsTheFileUnderTheParent) {
    TempFolder folder;
    WriteFile("screens/menu.txt",
              "string type: \"Morph\"\nstring name: \"Menu\"\npoint extent: (30, 30)\n"
              "point position: (100, 100)\n");
    Morph* menu = LoadScreen(screen.get(), "screens/menu.txt");
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->GetParent(), screen.get());
    EXPECT_EQ(menu->GetMorphName(), PropertyKey("Menu"));
    // Every load reads the file again.
    WriteFile("screens/menu.txt",
              "string type: \"Morph\"\nstring name: \"Changed\"\npoint extent: (30, 30)\n"
              "point position: (100, 100)\n");
    EXPECT_EQ(LoadScreen(screen.get(), "screens/menu.txt")->GetMorphName(), PropertyKey("Changed"));
    EXPECT_THROW(LoadScreen(screen.get(), "screens/missing.txt"), ExceptionFileNotFound);
}

}  // namespace
