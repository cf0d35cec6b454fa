#pragma once

#include <string>

#include <boost/filesystem/path.hpp>

#include "engine/core/property_key.h"
#include "engine/core/property_type.h"

namespace orvel {

// The engine's one error channel. Each exception keeps the data of its case
// and builds its message on demand; the messages are shown verbatim to the
// player, so their exact wording (line breaks and blanks included) matters.
// Catch by const reference: catching by value slices off the text.
class Exception {
public:
    virtual ~Exception() = default;
    virtual std::string What() const;
};

class ExceptionGeneral : public Exception {
public:
    explicit ExceptionGeneral(const std::string& text);
    std::string What() const override;
    const std::string& GetText() const { return text; }

private:
    std::string text;
};

class ExceptionAttributeNotFound : public Exception {
public:
    explicit ExceptionAttributeNotFound(PropertyKey key);
    std::string What() const override;

private:
    PropertyKey key;
};

class ExceptionPropertyNotFound : public Exception {
public:
    explicit ExceptionPropertyNotFound(PropertyKey key);
    std::string What() const override;
    PropertyKey GetKey() const { return key; }

private:
    PropertyKey key;
};

class ExceptionPropertyIncorrectType : public Exception {
public:
    ExceptionPropertyIncorrectType(PropertyKey key, PropertyType storedType);
    std::string What() const override;
    PropertyKey GetKey() const { return key; }
    PropertyType GetStoredType() const { return storedType; }

private:
    PropertyKey key;
    PropertyType storedType;
};

class ExceptionStringNotFound : public Exception {
public:
    ExceptionStringNotFound(const std::string& string, const std::string& where);
    std::string What() const override;

private:
    std::string string;
    std::string where;
};

class ExceptionSyntax : public Exception {
public:
    ExceptionSyntax(const std::string& message, int line);
    std::string What() const override;
    const std::string& GetMessage() const { return message; }
    int GetLine() const { return line; }

private:
    std::string message;
    int line;
};

class ExceptionUnknownMorphType : public Exception {
public:
    ExceptionUnknownMorphType(const boost::filesystem::path& file, const std::string& type);
    std::string What() const override;

private:
    boost::filesystem::path file;
    std::string type;
};

class ExceptionSpriteColourDepthInconsistent : public Exception {
public:
    ExceptionSpriteColourDepthInconsistent(const boost::filesystem::path& spriteFile,
                                           const boost::filesystem::path& imageFile, int expected,
                                           int found);
    std::string What() const override;

private:
    boost::filesystem::path spriteFile;
    boost::filesystem::path imageFile;
    int expected;
    int found;
};

class ExceptionFile : public Exception {
public:
    ExceptionFile(const boost::filesystem::path& file, const std::string& category);
    std::string What() const override;
    const boost::filesystem::path& GetFile() const { return file; }

protected:
    boost::filesystem::path file;
    std::string category;
};

class ExceptionFileNotFound : public ExceptionFile {
public:
    explicit ExceptionFileNotFound(const boost::filesystem::path& file);
    std::string What() const override;
};

class ExceptionFileFormatInvalid : public ExceptionFile {
public:
    ExceptionFileFormatInvalid(const boost::filesystem::path& file, int line);
    std::string What() const override;

private:
    int line;
};

class ExceptionFileFormatUnknownVersion : public ExceptionFile {
public:
    ExceptionFileFormatUnknownVersion(const boost::filesystem::path& file, int version);
    std::string What() const override;

private:
    int version;
};

class ExceptionSpriteDimensionsInconsistent : public ExceptionFile {
public:
    explicit ExceptionSpriteDimensionsInconsistent(const boost::filesystem::path& file);
    std::string What() const override;
};

class ExceptionValueNotFound : public ExceptionFile {
public:
    ExceptionValueNotFound(const std::string& value, const std::string& object,
                           const boost::filesystem::path& file);
    std::string What() const override;

private:
    std::string value;
    std::string object;
};

}  // namespace orvel
