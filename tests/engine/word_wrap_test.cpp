#include "engine/ui/word_wrap.h"

#include <string>
#include <vector>

#include <allegro.h>
#include <gtest/gtest.h>

#include "engine/core/exception.h"
#include "tests/support/headless_allegro.h"

using namespace orvel;

namespace {

typedef std::vector<std::string> Lines;

// The game library's built-in font: every character is 8 pixels wide.
class WordWrapTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureHeadlessAllegro();
        ASSERT_EQ(text_length(font, "abcd"), 32);
    }
};

TEST_F(WordWrapTest, BreaksTextIntoLinesThatFit) {
    const struct {
        const char* text;
        int width;
        Lines lines;
    } cases[] = {
        {"one*two", 1000, {"one", "two"}},
        {"hello world", 88, {"hello world"}},
        {"hello world", 87, {"hello", "world"}},
        {"a bb ccc dddd", 48, {"a bb", "ccc", "dddd"}},
        {"a bb ccc dddd", 64, {"a bb ccc", "dddd"}},
        {"abc def", 24, {"abc", "def"}},
        {"", 10, {""}},
        {"*", 10, {"", ""}},
        {"first line*a b c d e f", 40, {"first", "line", "a b c", "d e f"}},
        {"too  wide", 64, {"too ", "wide"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WordWrap(font, c.text, c.width), c.lines)
            << "\"" << c.text << "\" in " << c.width << " pixels";
    }
}

TEST_F(WordWrapTest, WordWiderThanTheFieldNamesTheWord) {
    const struct {
        const char* text;
        int width;
        const char* message;
    } cases[] = {
        {"tiny enormousword", 40, "WordWrap: word is longer than fieldWidth: enormousword"},
        {"fits*but this onewordistoolong", 100,
         "WordWrap: word is longer than fieldWidth: onewordistoolong"},
        {"ab", 8, "WordWrap: word is longer than fieldWidth: ab"},
        {"ab", 0, "WordWrap: fieldWidth must be at least 1, not 0"},
        {"", -5, "WordWrap: fieldWidth must be at least 1, not -5"},
    };
    for (const auto& c : cases) {
        try {
            WordWrap(font, c.text, c.width);
            ADD_FAILURE() << "no error for \"" << c.text << "\"";
        } catch (const ExceptionGeneral& e) {
            EXPECT_EQ(e.GetText(), c.message);
        }
    }
}

TEST_F(WordWrapTest, NeedsAFont) { EXPECT_THROW(WordWrap(nullptr, "text", 100), ExceptionGeneral); }

}  // namespace
