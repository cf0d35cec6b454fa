#include "engine/core/property_file.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>
#include <boost/filesystem.hpp>

#include "engine/core/colour.h"
#include "engine/core/exception.h"

using namespace orvel;

namespace {

std::string Describe(const Properties& set);

std::string FloatText(float value) {
    char text[40];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    return text;
}

// A canonical text of a value: type letter(s) and value, independent of the
// order in which names were interned.
std::string DescribeValue(const Property& property) {
    switch (property.type) {
        case PROPERTY_STRUCT:
            return Describe(*boost::any_cast<PropertiesPtr>(property.value));
        case PROPERTY_LIST: {
            std::string text = "[";
            const AnyVector& list = *boost::any_cast<AnyVectorPtr>(property.value);
            for (size_t i = 0; i < list.Size(); ++i) {
                text += (i == 0 ? "" : " ") + DescribeValue(list.At(i));
            }
            return text + "]";
        }
        case PROPERTY_STRING:
            return "s'" + boost::any_cast<std::string>(property.value) + "'";
        case PROPERTY_INT:
            return "i" + std::to_string(boost::any_cast<int32_t>(property.value));
        case PROPERTY_FLOAT:
            return "f" + FloatText(boost::any_cast<float>(property.value));
        case PROPERTY_COLOUR: {
            const int32_t c = boost::any_cast<int32_t>(property.value);
            return "c" + std::to_string(GetRed(c)) + "," + std::to_string(GetGreen(c)) + "," +
                   std::to_string(GetBlue(c)) + "," + std::to_string(GetAlpha(c));
        }
        case PROPERTY_BOOL:
            return "b" + std::to_string(boost::any_cast<int32_t>(property.value));
        case PROPERTY_POINT: {
            const PointI p = boost::any_cast<PointI>(property.value);
            return "p(" + std::to_string(p.x) + "," + std::to_string(p.y) + ")";
        }
        case PROPERTY_POINTF: {
            const PointF p = boost::any_cast<PointF>(property.value);
            return "pf(" + FloatText(p.x) + "," + FloatText(p.y) + ")";
        }
        default:
            return "?";
    }
}

// Entries sorted by name text.
std::string Describe(const Properties& set) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : set) {
        entries[entry.first.GetName()] = DescribeValue(entry.second);
    }
    std::string text = "{";
    for (const auto& entry : entries) {
        text += entry.first + ":" + entry.second + ";";
    }
    return text + "}";
}

std::string Parsed(const std::string& text) { return Describe(*ParsePropertyString(text, "test")); }

std::string Printed(const Properties& set, int depth = 0) {
    std::ostringstream out;
    PrintProperties(set, out, depth);
    return out.str();
}

struct ReadCase {
    const char* text;
    const char* tree;
};

const ReadCase readCases[] = {
    // Empty and blank texts.
    {"", "{}"},
    {"\n\n   \n\t\n", "{}"},
    {"// only a comment\n# and another\n\n", "{}"},
    {"# a comment that ends the text", "{}"},
    // Every type.
    {"int a: 5\nint b: -2147483648\nint c: +2147483647\n", "{a:i5;b:i-2147483648;c:i2147483647;}"},
    {"float a: 1.5\nfloat b: 5\nfloat c: -2.5e3\nfloat d: .25\nfloat e: 3.\nfloat f: 1E-2\n",
     "{a:f1.5;b:f5;c:f-2500;d:f0.25;e:f3;f:f0.00999999978;}"},
    {"pointf a: (1.5, -2)\npointf b: 1.5,-2\npointf c: ( 3 , 4 )\n",
     "{a:pf(1.5,-2);b:pf(1.5,-2);c:pf(3,4);}"},
    {"point a: (1, -2)\npoint b: 1,-2\n", "{a:p(1,-2);b:p(1,-2);}"},
    {"bool a: true\nbool b: YES\nbool c: Y\nbool d: 1\nbool e: False\nbool f: no\nbool g: N\n"
     "bool h: 0\n",
     "{a:b1;b:b1;c:b1;d:b1;e:b0;f:b0;g:b0;h:b0;}"},
    {"string a: \"  two  blanks \"\nstring b: \"\"\nstring c: \"# not // a comment\"\n",
     "{a:s'  two  blanks ';b:s'';c:s'# not // a comment';}"},
    {"colour a: 255, 128, 0, 64\ncolour b: (255,128,0,64)\ncolour c: 0,0,0,0\n",
     "{a:c255,128,0,64;b:c255,128,0,64;c:c0,0,0,0;}"},
    // Layout: blanks, comments, line ends.
    {"   int   a   :   5   \n\tint\tb:\t6\t\n", "{a:i5;b:i6;}"},
    {"int a: 1 // trailing\nint b: 2# hash\n\n\n// between\nint c: 3\n", "{a:i1;b:i2;c:i3;}"},
    {"int a: 1\r\nint b: 2\r\n\r\nint c: 3\r\n", "{a:i1;b:i2;c:i3;}"},
    {"int a: 1\rint b: 2\r\rint c: 3\r", "{a:i1;b:i2;c:i3;}"},
    {"int _a1: 1\nint A: 2\nint a: 3\nint 9: 4\n", "{9:i4;A:i2;_a1:i1;a:i3;}"},
    {"int a: 1\nstring a: \"x\"\n", "{a:s'x';}"},
    // The end of the text ends the last line; a byte-order mark is skipped.
    {"int a: 1", "{a:i1;}"},
    {"int a: 1\nint b: 2", "{a:i1;b:i2;}"},
    {"int a: 1 // last", "{a:i1;}"},
    {"\xEF\xBB\xBFint a: 1\n", "{a:i1;}"},
    // Structs: brace on the header's line or its own, optional colon, empty.
    {"struct s {\nint a: 1\n}\n", "{s:{a:i1;};}"},
    {"struct s: {\nint a: 1\n}\n", "{s:{a:i1;};}"},
    {"struct s\n{\nint a: 1\n}\n", "{s:{a:i1;};}"},
    {"struct s // header\n\n# gap\n{ // open\nint a: 1\n} // close\n", "{s:{a:i1;};}"},
    {"struct s {}\n", "{s:{};}"},
    {"struct s\n{\n}\nstruct t {\n}\n", "{s:{};t:{};}"},
    {"struct s {\nstruct t {\nstruct u {\n}\n}\nint a: 1\n}\n", "{s:{a:i1;t:{u:{};};};}"},
    {"struct s { int a: 1\n}", "{s:{a:i1;};}"},
    // Lists of every element type.
    {"list int l {\n1\n-2\n}\n", "{l:[i1 i-2];}"},
    {"list float l\n{\n1.5\n2\n}\n", "{l:[f1.5 f2];}"},
    {"list point l: {\n(1,2)\n3, 4\n}\n", "{l:[p(1,2) p(3,4)];}"},
    {"list pointf l {\n(1.5,2)\n}\n", "{l:[pf(1.5,2)];}"},
    {"list bool l {\nyes\nn\n}\n", "{l:[b1 b0];}"},
    {"list colour l {\n1,2,3,4\n(5,6,7,8)\n}\n", "{l:[c1,2,3,4 c5,6,7,8];}"},
    {"list string l {\n\"a b\" // comment\n\"\"\n}\n", "{l:[s'a b' s''];}"},
    {"list struct l {\n{\nint a: 1\n}\n{\n}\n{ int b: 2\n}\n}\n", "{l:[{a:i1;} {} {b:i2;}];}"},
    // Empty lists, wherever they stand.
    {"list int l {\n}\n", "{l:[];}"},
    {"list int l {}\n", "{l:[];}"},
    {"struct s {\nlist float l\n{\n}\n}\n", "{s:{l:[];};}"},
    // Nested lists.
    {"list list int l {\n{\n1\n2\n}\n{\n3\n}\n}\n", "{l:[[i1 i2] [i3]];}"},
    {"list list int l {\n{\n}\n{\n1\n}\n{}\n}\n", "{l:[[] [i1] []];}"},
    {"list list list string l {\n{\n{\n\"a\"\n}\n{\n\"b\"\n}\n}\n{\n{\n}\n}\n}\n",
     "{l:[[[s'a'] [s'b']] [[]]];}"},
    {"list list struct l {\n{\n{\nint a: 1\n}\n}\n}\n", "{l:[[{a:i1;}]];}"},
};

TEST(PropertyFileTest, TextsReadAsTrees) {
    for (const ReadCase& c : readCases) {
        try {
            EXPECT_EQ(Parsed(c.text), c.tree) << "text: " << c.text;
        } catch (const Exception& e) {
            ADD_FAILURE() << "text: " << c.text << "\nthrew: " << e.What();
        }
    }
}

const char* const INVALID_ELEMENT =
    "Invalid element.  Expected primitive (float, int, string, etc), struct or list.";
const char* const INVALID_LIST_ELEMENT =
    "Invalid list element. Expected literal value of the type declared with the list.";

struct ErrorCase {
    std::string text;
    std::string message;
    int line;
};

const ErrorCase errorCases[] = {
    {"int a 1\n", "Missing colon.", 1},
    {"int a: 1\n\n// c\nbool b yes\n", "Missing colon.", 4},
    {"int a\n", "Missing colon.", 1},
    {"string s: \"abc\n", "Missing quote.", 1},
    {"int a: 1\nstring s: \"abc", "Missing quote.", 2},
    {"list string l {\n\"a\"\n\"b\n}\n", "Missing quote.", 3},
    {"list int l {\n1\n1.5\n}\n", INVALID_LIST_ELEMENT, 3},
    {"list int l {\n1\n", INVALID_LIST_ELEMENT, 3},
    {"list struct l {\n5\n}\n", INVALID_LIST_ELEMENT, 2},
    {"list list int l {\n{\n1\n}\n", INVALID_LIST_ELEMENT, 5},
    {"list list int l {\n{\n1\n\n", INVALID_LIST_ELEMENT, 5},
    {"list list int l {\n{\n1\nx\n}\n}\n", INVALID_LIST_ELEMENT, 4},
    {"list list int l {\n1\n}\n", INVALID_LIST_ELEMENT, 2},
    {"list struct l {\n{\nint a 1\n}\n}\n", "Missing colon.", 3},
    {"list struct l {\n{\nbogus\n}\n}\n", INVALID_ELEMENT, 3},
    // An unreadable first statement is an error, never an empty set.
    {"Int a: 1\n", INVALID_ELEMENT, 1},
    {"\n\n// c\nInt a: 1\n", INVALID_ELEMENT, 4},
    {"integer: 5\n", INVALID_ELEMENT, 1},
    {"bool b: 2\n", INVALID_ELEMENT, 1},
    {"bool b: yesterday\n", INVALID_ELEMENT, 1},
    {"colour c: 256, 0, 0, 0\n", INVALID_ELEMENT, 1},
    {"colour c: 1, 2, 3\n", INVALID_ELEMENT, 1},
    {"int a: 2147483648\n", INVALID_ELEMENT, 1},
    {"int a: 1.5\n", INVALID_ELEMENT, 1},
    {"float f: 1e999\n", INVALID_ELEMENT, 1},
    {"point p: (1, 2\n", INVALID_ELEMENT, 1},
    {"point p: 1.5, 2\n", INVALID_ELEMENT, 1},
    {"int a: 1 int b: 2\n", INVALID_ELEMENT, 1},
    {"string s: \"a\"b\"\n", INVALID_ELEMENT, 1},
    {"struct s\nint a: 1\n", INVALID_ELEMENT, 1},
    {"list int l\n1\n", INVALID_ELEMENT, 1},
    {"list l {\n}\n", INVALID_ELEMENT, 1},
    {std::string("\x00\x01\x02\xff", 4), INVALID_ELEMENT, 1},
    {"\xEF\xBB\xBF\xEF\xBB\xBFint a: 1\n", INVALID_ELEMENT, 1},
    // Later statements, and whatever follows the last one.
    {"int a: 1\nint b: 2x\n", INVALID_ELEMENT, 2},
    {"int a: 1\n}\n", INVALID_ELEMENT, 2},
    {"int a: 1\nx", INVALID_ELEMENT, 2},
    {"int a: 1\r\n\r\n  bad\r\n", INVALID_ELEMENT, 3},
    {"int a: 1\r\rbad\r", INVALID_ELEMENT, 3},
    // Structs that do not close.
    {"struct s {\nint a: 1\n", INVALID_ELEMENT, 3},
    {"struct s {\nint a: 1", INVALID_ELEMENT, 2},
    {"struct s {\nint a: 1\nbogus\n}\n", INVALID_ELEMENT, 3},
    {"struct s {\nstruct t {\n}\n", INVALID_ELEMENT, 4},
};

TEST(PropertyFileTest, ErrorsNameMessageAndLine) {
    for (const ErrorCase& c : errorCases) {
        try {
            ParsePropertyString(c.text, "test");
            ADD_FAILURE() << "no error for: " << c.text;
        } catch (const ExceptionSyntax& e) {
            EXPECT_EQ(e.GetMessage(), c.message) << "text: " << c.text;
            EXPECT_EQ(e.GetLine(), c.line) << "text: " << c.text;
            EXPECT_EQ(e.What(), "Syntax Error: " + c.message + "\nLine:" + std::to_string(c.line));
        }
    }
}

std::string Repeated(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) {
        result += text;
    }
    return result;
}

TEST(PropertyFileTest, DeepNestingReadsUpToALimitAndFailsBeyondIt) {
    const std::string structs = Repeated("struct s {\n", 500) + Repeated("}\n", 500);
    EXPECT_EQ(ParsePropertyString(structs, "deep")->Size(), 1u);
    const std::string lists = "list " + Repeated("list ", 499) + "int l {\n" +
                              Repeated("{\n", 499) + "7\n" + Repeated("}\n", 500);
    EXPECT_EQ(ParsePropertyString(lists, "deep")->Size(), 1u);

    // A hostile text is an error, not a stack overflow.
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {Repeated("struct s {\n", 100000), INVALID_ELEMENT},
        {"list struct l {\n" + Repeated("{\nlist struct l {\n", 100000), INVALID_LIST_ELEMENT},
        {"list " + Repeated("list ", 100000) + "int l {\n" + Repeated("{\n", 100000),
         INVALID_LIST_ELEMENT},
    };
    for (const auto& c : cases) {
        try {
            ParsePropertyString(c.text, "deep");
            ADD_FAILURE() << "no error";
        } catch (const ExceptionSyntax& e) {
            EXPECT_EQ(e.GetMessage(), c.message);
        }
    }
    try {
        ParsePropertyString(Repeated("struct s {\n", 501), "deep");
        ADD_FAILURE() << "no error";
    } catch (const ExceptionSyntax& e) {
        EXPECT_EQ(e.GetLine(), 502);
    }
}

TEST(PropertyFileTest, StreamAndFileReadTheWholeText) {
    std::istringstream stream("int a: 1\nstruct s {\nint b: 2\n}\n");
    EXPECT_EQ(Describe(*ParsePropertyStream(stream, "stream")), "{a:i1;s:{b:i2;};}");

    const boost::filesystem::path path =
        boost::filesystem::temp_directory_path() /
        boost::filesystem::unique_path("property_file_test_%%%%%%.txt");
    {
        std::ofstream file(path.string(), std::ios::binary);
        file << "int a: 1\n";
    }
    EXPECT_EQ(Describe(*LoadPropertyFile(path.string())), "{a:i1;}");
    // Every load reads the file again.
    {
        std::ofstream file(path.string(), std::ios::binary);
        file << "int a: 2\n";
    }
    EXPECT_EQ(Describe(*LoadPropertyFile(path.string())), "{a:i2;}");
    boost::filesystem::remove(path);
    EXPECT_THROW(LoadPropertyFile(path.string()), ExceptionFileNotFound);
}

// Names interned here for the first time, so their ids (and so the order in
// which the writer visits them) follow the order of this list.
const PropertyKey wInt("writerTextInt");
const PropertyKey wFloat("writerTextFloat");
const PropertyKey wString("writerTextString");
const PropertyKey wColour("writerTextColour");
const PropertyKey wBool("writerTextBool");
const PropertyKey wPoint("writerTextPoint");
const PropertyKey wPointF("writerTextPointF");
const PropertyKey wStruct("writerTextStruct");
const PropertyKey wList("writerTextList");
const PropertyKey wNested("writerTextNested");
const PropertyKey wColours("writerTextColours");
const PropertyKey wStructs("writerTextStructs");
const PropertyKey wStrings("writerTextStrings");

AnyVectorPtr ListOf(const std::vector<Property>& elements) {
    auto list = std::make_shared<AnyVector>();
    for (const Property& element : elements) {
        list->Append(element);
    }
    return list;
}

Property ListProperty(const std::vector<Property>& elements) {
    return Property(ListOf(elements), PROPERTY_LIST);
}

TEST(PropertyFileTest, WriterText) {
    Properties set;
    set.SetInt(wInt, -5);
    set.SetFloat(wFloat, 0.1f);
    set.SetString(wString, "a b");
    set.SetColour(wColour, MakeColour(1, 2, 3, 4));
    set.SetBool(wBool, true);
    set.SetPoint(wPoint, PointI(1, -2));
    set.SetPointF(wPointF, PointF(1.5f, -2.25f));
    auto child = std::make_shared<Properties>();
    child->SetInt(wInt, 7);
    set.SetStruct(wStruct, child);
    set.SetList(wList,
                ListOf({Property(int32_t(1), PROPERTY_INT), Property(int32_t(2), PROPERTY_INT)}));
    set.SetList(wNested, ListOf({ListProperty({Property(1.5f, PROPERTY_FLOAT)})}));
    set.SetList(wColours, ListOf({Property(MakeColour(1, 2, 3, 4), PROPERTY_COLOUR)}));
    set.SetList(wStructs, ListOf({Property(child, PROPERTY_STRUCT)}));
    set.SetList(wStrings, ListOf({Property(std::string("x"), PROPERTY_STRING)}));

    EXPECT_EQ(Printed(set),
              "int writerTextInt:   \t-5\n"
              "float writerTextFloat:   \t0.100000001\n"
              "string writerTextString:   \t\"a b\"\n"
              "colour writerTextColour:   \t1,2,3,4\n"
              "bool writerTextBool:   \ttrue\n"
              "point writerTextPoint:   \t(1,-2)\n"
              "pointf writerTextPointF:   \t(1.5,-2.25)\n"
              "struct writerTextStruct\n{\n\tint writerTextInt:   \t7\n}\n\n"
              "list int writerTextList\n{\n\t1\n\t2\n}\n\n"
              "list list float writerTextNested\n{\n\t{\n\t\t1.5\n\t}\n}\n\n"
              "list colour writerTextColours\n{\n1,2,3,4\n}\n\n"
              "list struct writerTextStructs\n{\n\t{\n\t\tint writerTextInt:   \t7\n\t}\n}\n\n"
              "list string writerTextStrings\n{\n\t\"x\"\n}\n\n");

    Properties small;
    small.SetBool(wBool, false);
    small.SetList(wList, ListOf({Property(PointF(1, 2), PROPERTY_POINTF)}));
    EXPECT_EQ(Printed(small, 2),
              "\t\tbool writerTextBool:   \tfalse\n"
              "\t\tlist pointf writerTextList\n\t\t{\n(1,2)\n\t\t}\n\n");
}

TEST(PropertyFileTest, ListHeaderTypeTextFollowsTheFirstElement) {
    auto unset = std::make_shared<AnyVector>();
    unset->SetInt(1, 5);
    const struct {
        AnyVectorPtr list;
        const char* header;
    } cases[] = {
        {ListOf({}), "int "},
        {ListOf({Property(int32_t(1), PROPERTY_INT)}), "int "},
        {ListOf({Property(1.0f, PROPERTY_FLOAT), Property(int32_t(1), PROPERTY_INT)}), "float "},
        {ListOf({Property(std::string(), PROPERTY_STRING)}), "string "},
        {ListOf({Property(int32_t(0), PROPERTY_COLOUR)}), "colour "},
        {ListOf({Property(int32_t(0), PROPERTY_BOOL)}), "bool "},
        {ListOf({Property(PointI(), PROPERTY_POINT)}), "point "},
        {ListOf({Property(PointF(), PROPERTY_POINTF)}), "pointf "},
        {ListOf({Property(std::make_shared<Properties>(), PROPERTY_STRUCT)}), "struct "},
        {ListOf({ListProperty({})}), "list int "},
        {ListOf({ListProperty({ListProperty({Property(1.0f, PROPERTY_FLOAT)})})}),
         "list list float "},
        {unset, ""},
        // Empty lists in front say nothing: the first value decides.
        {ListOf({ListProperty({}), ListProperty({Property(1.0f, PROPERTY_FLOAT)})}), "list float "},
        {ListOf({ListProperty({}),
                 ListProperty({ListProperty({Property(PointI(), PROPERTY_POINT)})})}),
         "list list point "},
        {ListOf({ListProperty({}), ListProperty({ListProperty({})})}), "list list int "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ListHeaderTypeText(*c.list), c.header);
    }
}

TEST(PropertyFileTest, WriteIndentWritesTabs) {
    for (int depth : {-1, 0, 1, 3}) {
        std::ostringstream out;
        WriteIndent(out, depth);
        EXPECT_EQ(out.str(), std::string(depth > 0 ? depth : 0, '\t'));
    }
}

// Builds a tree holding every type at several depths.
PropertiesPtr EveryTypeTree(int depth) {
    auto set = std::make_shared<Properties>();
    set->SetInt(PropertyKey("rtInt"), std::numeric_limits<int32_t>::min());
    set->SetInt(PropertyKey("rtIntMax"), std::numeric_limits<int32_t>::max());
    set->SetFloat(PropertyKey("rtFloat"), 1.0f / 3.0f);
    set->SetString(PropertyKey("rtString"), " {tabs\tand // marks # } ");
    set->SetString(PropertyKey("rtEmpty"), "");
    set->SetColour(PropertyKey("rtColour"), MakeColour(255, 0, 128, 255));
    set->SetBool(PropertyKey("rtTrue"), true);
    set->SetBool(PropertyKey("rtFalse"), false);
    set->SetPoint(PropertyKey("rtPoint"), PointI(-7, 2147483647));
    set->SetPointF(PropertyKey("rtPointF"), PointF(-0.1f, 3e-20f));
    set->SetStruct(PropertyKey("rtEmptyStruct"), std::make_shared<Properties>());
    set->SetList(PropertyKey("rtEmptyList"), ListOf({}));
    set->SetList(PropertyKey("rtInts"),
                 ListOf({Property(int32_t(-1), PROPERTY_INT), Property(int32_t(0), PROPERTY_INT)}));
    set->SetList(PropertyKey("rtFloats"), ListOf({Property(1e30f, PROPERTY_FLOAT)}));
    set->SetList(PropertyKey("rtStrings"), ListOf({Property(std::string("a b"), PROPERTY_STRING),
                                                   Property(std::string(), PROPERTY_STRING)}));
    set->SetList(PropertyKey("rtColours"),
                 ListOf({Property(MakeColour(0, 0, 0, 0), PROPERTY_COLOUR)}));
    set->SetList(PropertyKey("rtBools"), ListOf({Property(int32_t(1), PROPERTY_BOOL),
                                                 Property(int32_t(0), PROPERTY_BOOL)}));
    set->SetList(PropertyKey("rtPoints"), ListOf({Property(PointI(1, 2), PROPERTY_POINT)}));
    set->SetList(PropertyKey("rtPointFs"), ListOf({Property(PointF(1.25f, 2), PROPERTY_POINTF)}));
    set->SetList(
        PropertyKey("rtNested"),
        ListOf({ListProperty({ListProperty({Property(std::string("deep"), PROPERTY_STRING)}),
                              ListProperty({})}),
                ListProperty({})}));
    set->SetList(PropertyKey("rtInnerEmptyFirst"),
                 ListOf({ListProperty({}), ListProperty({Property(int32_t(4), PROPERTY_INT)})}));
    set->SetList(PropertyKey("rtInnerEmptyFirstFloats"),
                 ListOf({ListProperty({}), ListProperty({Property(2.5f, PROPERTY_FLOAT)})}));
    set->SetList(
        PropertyKey("rtInnerEmptyFirstDeep"),
        ListOf({ListProperty({ListProperty({})}), ListProperty({}),
                ListProperty({ListProperty({Property(std::string("s"), PROPERTY_STRING)})})}));
    if (depth > 0) {
        set->SetStruct(PropertyKey("rtChild"), EveryTypeTree(depth - 1));
        set->SetList(PropertyKey("rtStructs"),
                     ListOf({Property(EveryTypeTree(depth - 1), PROPERTY_STRUCT),
                             Property(std::make_shared<Properties>(), PROPERTY_STRUCT)}));
        set->SetList(PropertyKey("rtStructLists"),
                     ListOf({ListProperty({Property(EveryTypeTree(depth - 1), PROPERTY_STRUCT)})}));
    }
    return set;
}

TEST(PropertyFileTest, WrittenTreesReadBackEqual) {
    for (int depth = 0; depth <= 2; ++depth) {
        const PropertiesPtr tree = EveryTypeTree(depth);
        for (int indent : {0, 3}) {
            const std::string text = Printed(*tree, indent);
            EXPECT_EQ(Parsed(text), Describe(*tree)) << text;
        }
    }
}

// A file that reads must write back: the element type of a list of lists
// whose first inner list is empty comes from the header as read.
TEST(PropertyFileTest, ReadListsWithEmptyFirstInnerListWriteBack) {
    const char* const texts[] = {
        "list list float x\n{\n{\n}\n{\n1.5\n}\n}\n",
        "list list list string x\n{\n{\n}\n{\n{\n}\n{\n\"a\"\n}\n}\n}\n",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        const PropertiesPtr read = ParsePropertyString(text, "lists");
        std::string written;
        ASSERT_NO_THROW(written = Printed(*read));
        EXPECT_EQ(Parsed(written), Describe(*read)) << written;
    }
}

TEST(PropertyFileTest, FloatsReadBackToTheSameValue) {
    const float values[] = {0.1f,   1.0f / 3.0f, -0.0f,      FLT_MAX, -FLT_MAX,  FLT_MIN,
                            1e-45f, 123456789.f, 16777217.f, 2.5e-7f, 0.999999f, 1e30f};
    const PropertyKey key("floatRoundTrip");
    for (float value : values) {
        Properties set;
        set.SetFloat(key, value);
        set.SetPointF(PropertyKey("floatRoundTripPoint"), PointF(value, -value));
        const PropertiesPtr back = ParsePropertyString(Printed(set), "floats");
        EXPECT_EQ(back->GetFloat(key), value) << Printed(set);
        EXPECT_EQ(back->GetPointF(PropertyKey("floatRoundTripPoint")), PointF(value, -value));
    }
}

TEST(PropertyFileTest, WriterRefusesWhatCannotBeReadBack) {
    const PropertyKey key("refusedValue");
    auto unsetFirst = std::make_shared<AnyVector>();
    unsetFirst->SetInt(2, 5);
    auto unsetInside = ListOf({Property(int32_t(1), PROPERTY_INT)});
    unsetInside->SetInt(3, 5);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    std::vector<std::function<void(Properties&)>> refused = {
        [&](Properties& s) { s.SetString(key, "say \"hi\""); },
        [&](Properties& s) { s.SetString(key, "two\nlines"); },
        [&](Properties& s) { s.SetString(key, "carriage\rreturn"); },
        [&](Properties& s) { s.SetList(key, unsetFirst); },
        [&](Properties& s) { s.SetList(key, unsetInside); },
        [&](Properties& s) {
            s.SetList(key,
                      ListOf({Property(int32_t(1), PROPERTY_INT), Property(1.0f, PROPERTY_FLOAT)}));
        },
        [&](Properties& s) {
            s.SetList(key, ListOf({ListProperty({Property(int32_t(1), PROPERTY_INT)}),
                                   Property(int32_t(2), PROPERTY_INT)}));
        },
        [&](Properties& s) {
            s.SetList(key, ListOf({Property(int32_t(2), PROPERTY_INT),
                                   ListProperty({Property(int32_t(1), PROPERTY_INT)})}));
        },
        [&](Properties& s) {
            s.SetList(key, ListOf({ListProperty({}), Property(int32_t(2), PROPERTY_INT)}));
        },
        [&](Properties& s) {
            s.SetList(key, ListOf({Property(std::string("a\"b"), PROPERTY_STRING)}));
        },
        [&](Properties& s) { s.SetList(key, ListOf({Property(std::string("x"), PROPERTY_INT)})); },
        [&](Properties& s) { s.SetList(key, ListOf({Property(AnyVectorPtr(), PROPERTY_LIST)})); },
        [&](Properties& s) { s.SetFloat(key, nan); },
        [&](Properties& s) { s.SetFloat(key, inf); },
        [&](Properties& s) { s.SetPointF(key, PointF(1.0f, -inf)); },
        [&](Properties& s) { s.SetStruct(key, PropertiesPtr()); },
        [&](Properties& s) { s.SetList(key, AnyVectorPtr()); },
        [&](Properties& s) { s.SetInt(PropertyKey("bad name"), 1); },
        [&](Properties& s) { s.SetInt(PropertyKey(""), 1); },
        [&](Properties& s) {
            auto child = std::make_shared<Properties>();
            child->SetFloat(key, nan);
            s.SetStruct(key, child);
        },
    };
    for (size_t i = 0; i < refused.size(); ++i) {
        Properties set;
        set.SetInt(PropertyKey("refusedBefore"), 1);
        refused[i](set);
        std::ostringstream out;
        EXPECT_THROW(PrintProperties(set, out, 0), ExceptionGeneral) << "case " << i;
        EXPECT_EQ(out.str(), "") << "case " << i << " wrote before refusing";
    }

    std::ostringstream out;
    EXPECT_THROW(PrintListElements(*unsetFirst, out, 0), ExceptionGeneral);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
