#include "engine/core/exception.h"

#include <functional>
#include <memory>

#include <gtest/gtest.h>

using namespace orvel;

namespace {

struct TextCase {
    std::function<std::shared_ptr<Exception>()> make;
    std::string text;
};

template <typename T, typename... Args>
std::function<std::shared_ptr<Exception>()> Make(Args... args) {
    return [=]() { return std::make_shared<T>(args...); };
}

TEST(ExceptionTest, EveryTextExactly) {
    const PropertyKey key("exceptionTestKey");
    const TextCase cases[] = {
        {Make<Exception>(), "Unknown Exception Thrown"},
        {Make<ExceptionGeneral>(std::string("Unable to convert font!")),
         "Error: Unable to convert font!"},
        {Make<ExceptionAttributeNotFound>(key), "Attribute Not Found: exceptionTestKey"},
        {Make<ExceptionPropertyNotFound>(key), "Property Not Found: exceptionTestKey"},
        {Make<ExceptionPropertyIncorrectType>(key, PROPERTY_FLOAT),
         "Incorrect type for: exceptionTestKey"},
        {Make<ExceptionStringNotFound>(std::string("tank"), std::string("units.txt")),
         "A string could not be found.\nString:tank\nIn units.txt"},
        {Make<ExceptionSyntax>(std::string("Missing colon."), 12),
         "Syntax Error: Missing colon.\nLine:12"},
        {Make<ExceptionSyntax>(std::string(), 0), "Syntax Error: \nLine:0"},
        {Make<ExceptionUnknownMorphType>(boost::filesystem::path("resources/Menu.txt"),
                                         std::string("Wobbler")),
         "Unknown Morph Type: Wobbler\nFile: resources/Menu.txt"},
        {Make<ExceptionSpriteColourDepthInconsistent>(boost::filesystem::path("a.spr"),
                                                      boost::filesystem::path("b.bbq"), 32, 24),
         "Sprite colour depth inconsistent. \nExpected: 32\nFound: 24\nIn file: b.bbq\n"
         "In Sprite file: a.spr"},
        {Make<ExceptionFile>(boost::filesystem::path("x/y.txt"), std::string("Odd File")),
         "Odd File\nFile: x/y.txt"},
        {Make<ExceptionFileNotFound>(boost::filesystem::path("tarnmoore.dat")),
         "File Not Found: tarnmoore.dat"},
        {Make<ExceptionFileFormatInvalid>(boost::filesystem::path("a.bbq"), 3),
         "Invalid File Format.\nFile: a.bbq\nLine: 3"},
        {Make<ExceptionFileFormatUnknownVersion>(boost::filesystem::path("a.bbq"), -2),
         "File format is newer than this utility can handle.  Try getting the latest version "
         "of this utility.\nFile: a.bbq\nVersion: -2"},
        {Make<ExceptionSpriteDimensionsInconsistent>(boost::filesystem::path("s.txt")),
         "Frames from the sprite do not all have the same dimensions.\nSprite: s.txt"},
        {Make<ExceptionValueNotFound>(std::string("hitPoints"), std::string("Tank"),
                                      boost::filesystem::path("tank.txt")),
         "A value could not be found...\nString:hitPoints\n ...while loading an object.\n"
         "Object:Tank\nIn file: tank.txt"},
    };
    for (const TextCase& c : cases) {
        const std::shared_ptr<Exception> exception = c.make();
        EXPECT_EQ(exception->What(), c.text);
    }
}

TEST(ExceptionTest, ThrownCopiesKeepTheirTextThroughTheRoot) {
    try {
        const ExceptionFileFormatInvalid original("level.txt", 7);
        const ExceptionFileFormatInvalid copy(original);
        EXPECT_EQ(copy.What(), original.What());
        throw copy;
    } catch (const Exception& e) {
        EXPECT_EQ(e.What(), "Invalid File Format.\nFile: level.txt\nLine: 7");
    }
}

TEST(ExceptionTest, FileExceptionsShareTheFileCategory) {
    const ExceptionFileNotFound notFound("a.txt");
    const ExceptionFile& asFile = notFound;
    EXPECT_EQ(asFile.GetFile(), boost::filesystem::path("a.txt"));
    EXPECT_EQ(asFile.ExceptionFile::What(), "File Exception\nFile: a.txt");
    const ExceptionPropertyIncorrectType wrongType(PropertyKey("exceptionTestKey"), PROPERTY_BOOL);
    EXPECT_EQ(wrongType.GetStoredType(), PROPERTY_BOOL);
}

}  // namespace
