#include "engine/core/exception.h"

#include "engine/core/int_to_string.h"

namespace orvel {

namespace {
const char* const FILE_CATEGORY = "File Exception";
}

std::string Exception::What() const { return "Unknown Exception Thrown"; }

ExceptionGeneral::ExceptionGeneral(const std::string& text) : text(text) {}

std::string ExceptionGeneral::What() const { return "Error: " + text; }

ExceptionAttributeNotFound::ExceptionAttributeNotFound(PropertyKey key) : key(key) {}

std::string ExceptionAttributeNotFound::What() const {
    return "Attribute Not Found: " + key.GetName();
}

ExceptionPropertyNotFound::ExceptionPropertyNotFound(PropertyKey key) : key(key) {}

std::string ExceptionPropertyNotFound::What() const {
    return "Property Not Found: " + key.GetName();
}

ExceptionPropertyIncorrectType::ExceptionPropertyIncorrectType(PropertyKey key,
                                                               PropertyType storedType)
    : key(key), storedType(storedType) {}

std::string ExceptionPropertyIncorrectType::What() const {
    return "Incorrect type for: " + key.GetName();
}

ExceptionStringNotFound::ExceptionStringNotFound(const std::string& string,
                                                 const std::string& where)
    : string(string), where(where) {}

std::string ExceptionStringNotFound::What() const {
    return "A string could not be found.\nString:" + string + "\nIn " + where;
}

ExceptionSyntax::ExceptionSyntax(const std::string& message, int line)
    : message(message), line(line) {}

std::string ExceptionSyntax::What() const {
    return "Syntax Error: " + message + "\nLine:" + IntToString(line);
}

ExceptionUnknownMorphType::ExceptionUnknownMorphType(const boost::filesystem::path& file,
                                                     const std::string& type)
    : file(file), type(type) {}

std::string ExceptionUnknownMorphType::What() const {
    return "Unknown Morph Type: " + type + "\n" + "File: " + file.string();
}

ExceptionSpriteColourDepthInconsistent::ExceptionSpriteColourDepthInconsistent(
    const boost::filesystem::path& spriteFile, const boost::filesystem::path& imageFile,
    int expected, int found)
    : spriteFile(spriteFile), imageFile(imageFile), expected(expected), found(found) {}

std::string ExceptionSpriteColourDepthInconsistent::What() const {
    return "Sprite colour depth inconsistent. \nExpected: " + IntToString(expected) +
           "\nFound: " + IntToString(found) + "\nIn file: " + imageFile.string() +
           "\nIn Sprite file: " + spriteFile.string();
}

ExceptionFile::ExceptionFile(const boost::filesystem::path& file, const std::string& category)
    : file(file), category(category) {}

std::string ExceptionFile::What() const { return category + "\nFile: " + file.string(); }

ExceptionFileNotFound::ExceptionFileNotFound(const boost::filesystem::path& file)
    : ExceptionFile(file, FILE_CATEGORY) {}

std::string ExceptionFileNotFound::What() const { return "File Not Found: " + file.string(); }

ExceptionFileFormatInvalid::ExceptionFileFormatInvalid(const boost::filesystem::path& file,
                                                       int line)
    : ExceptionFile(file, FILE_CATEGORY), line(line) {}

std::string ExceptionFileFormatInvalid::What() const {
    return "Invalid File Format.\nFile: " + file.string() + "\nLine: " + IntToString(line);
}

ExceptionFileFormatUnknownVersion::ExceptionFileFormatUnknownVersion(
    const boost::filesystem::path& file, int version)
    : ExceptionFile(file, FILE_CATEGORY), version(version) {}

std::string ExceptionFileFormatUnknownVersion::What() const {
    return "File format is newer than this utility can handle.  Try getting the latest "
           "version of this utility.\nFile: " +
           file.string() + "\nVersion: " + IntToString(version);
}

ExceptionSpriteDimensionsInconsistent::ExceptionSpriteDimensionsInconsistent(
    const boost::filesystem::path& file)
    : ExceptionFile(file, FILE_CATEGORY) {}

std::string ExceptionSpriteDimensionsInconsistent::What() const {
    return "Frames from the sprite do not all have the same dimensions.\nSprite: " +
           file.string();
}

ExceptionValueNotFound::ExceptionValueNotFound(const std::string& value,
                                               const std::string& object,
                                               const boost::filesystem::path& file)
    : ExceptionFile(file, FILE_CATEGORY), value(value), object(object) {}

std::string ExceptionValueNotFound::What() const {
    return "A value could not be found...\nString:" + value +
           "\n ...while loading an object.\nObject:" + object + "\nIn file: " + file.string();
}

}  // namespace orvel
