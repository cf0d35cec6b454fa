#include "engine/core/property_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/resources/resource.h"

namespace orvel {

namespace {

const char* const MISSING_COLON = "Missing colon.";
const char* const MISSING_QUOTE = "Missing quote.";
const char* const INVALID_ELEMENT =
    "Invalid element.  Expected primitive (float, int, string, etc), struct or list.";
const char* const INVALID_LIST_ELEMENT =
    "Invalid list element. Expected literal value of the type declared with the list.";

// Blanks separate tokens; line ends never do, they are tokens themselves.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || IsDigit(c) || c == '_';
}

char ToLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

struct Word {
    const char* begin = nullptr;
    size_t length = 0;

    bool Is(const char* text) const {
        size_t i = 0;
        for (; i < length; ++i) {
            if (text[i] != begin[i]) {
                return false;
            }
        }
        return text[i] == '\0';
    }
};

// The words that start a statement, and the element-type words of a list
// header (the same words less "list").
bool StatementType(const Word& word, PropertyType& type) {
    static const struct {
        const char* text;
        PropertyType type;
    } words[] = {
        {"int", PROPERTY_INT},       {"float", PROPERTY_FLOAT},   {"pointf", PROPERTY_POINTF},
        {"point", PROPERTY_POINT},   {"bool", PROPERTY_BOOL},     {"string", PROPERTY_STRING},
        {"colour", PROPERTY_COLOUR}, {"struct", PROPERTY_STRUCT}, {"list", PROPERTY_LIST},
    };
    for (const auto& entry : words) {
        if (word.Is(entry.text)) {
            type = entry.type;
            return true;
        }
    }
    return false;
}

// A recursive-descent reader over the whole text. Every rule either matches
// and moves on, or fails having moved past blanks at most, so the caller can
// try something else at the same place; the errors of the format are thrown
// where they are found and carry the line of that point. Type words and
// names are whole words: "integer: 5" is no int statement.
class GenericFileParser {
public:
    explicit GenericFileParser(const std::string& text)
        : cursor(text.data()), end(text.data() + text.size()) {}

    PropertiesPtr Parse() {
        SkipByteOrderMark();
        LineEnds();
        while (Statement(*root)) {
        }
        SkipBlanks();
        if (cursor != end) {
            Fail(INVALID_ELEMENT);
        }
        return root;
    }

private:
    struct Position {
        const char* at;
        int line;
    };

    Position Save() const { return Position{cursor, line}; }
    void Restore(const Position& position) {
        cursor = position.at;
        line = position.line;
    }

    [[noreturn]] void Fail(const char* message) const { throw ExceptionSyntax(message, line); }

    void SkipByteOrderMark() {
        static const char mark[] = "\xEF\xBB\xBF";
        if (end - cursor >= 3 && std::equal(mark, mark + 3, cursor)) {
            cursor += 3;
        }
    }

    void SkipBlanks() {
        while (cursor != end && IsBlank(*cursor)) {
            ++cursor;
        }
    }

    // "\r\n", "\r" or "\n".
    bool NewLine() {
        if (cursor == end || (*cursor != '\r' && *cursor != '\n')) {
            return false;
        }
        if (*cursor == '\r' && cursor + 1 != end && cursor[1] == '\n') {
            ++cursor;
        }
        ++cursor;
        ++line;
        return true;
    }

    void SkipComment() {
        const bool slashes = end - cursor >= 2 && cursor[0] == '/' && cursor[1] == '/';
        if (!slashes && (cursor == end || *cursor != '#')) {
            return;
        }
        while (cursor != end && *cursor != '\r' && *cursor != '\n') {
            ++cursor;
        }
    }

    // One or more line ends, each after an optional comment. The end of the
    // text counts as a line end, so a last line needs none of its own.
    bool LineEnds() {
        bool matched = false;
        for (;;) {
            SkipBlanks();
            SkipComment();
            if (NewLine()) {
                matched = true;
                continue;
            }
            return matched || cursor == end;
        }
    }

    bool Char(char c) {
        SkipBlanks();
        if (cursor == end || *cursor != c) {
            return false;
        }
        ++cursor;
        return true;
    }

    bool ReadWord(Word& word) {
        SkipBlanks();
        word.begin = cursor;
        while (cursor != end && IsNameChar(*cursor)) {
            ++cursor;
        }
        word.length = static_cast<size_t>(cursor - word.begin);
        return word.length != 0;
    }

    bool ReadName(PropertyKey& key) {
        Word word;
        if (!ReadWord(word)) {
            return false;
        }
        key = PropertyKey::Intern(std::string(word.begin, word.length));
        return true;
    }

    bool OpenBrace() { return Brace('{'); }
    bool CloseBrace() { return Brace('}'); }

    // Line ends may stand on either side of a brace.
    bool Brace(char brace) {
        const Position start = Save();
        LineEnds();
        if (!Char(brace)) {
            Restore(start);
            return false;
        }
        LineEnds();
        return true;
    }

    // Signed 32-bit decimal.
    bool ReadInt(int32_t& value) {
        SkipBlanks();
        const Position start = Save();
        bool negative = false;
        if (cursor != end && (*cursor == '+' || *cursor == '-')) {
            negative = *cursor == '-';
            ++cursor;
        }
        const int64_t limit = negative ? 2147483648LL : 2147483647LL;
        int64_t magnitude = 0;
        const char* digits = cursor;
        while (cursor != end && IsDigit(*cursor)) {
            magnitude = magnitude * 10 + (*cursor - '0');
            ++cursor;
            if (magnitude > limit) {
                Restore(start);
                return false;
            }
        }
        if (cursor == digits) {
            Restore(start);
            return false;
        }
        value = static_cast<int32_t>(negative ? -magnitude : magnitude);
        return true;
    }

    // A colour component: unsigned decimal up to 255.
    bool ReadByte(int& value) {
        SkipBlanks();
        const Position start = Save();
        value = 0;
        while (cursor != end && IsDigit(*cursor)) {
            value = value * 10 + (*cursor - '0');
            ++cursor;
            if (value > 255) {
                Restore(start);
                return false;
            }
        }
        if (cursor == start.at) {
            return false;
        }
        return true;
    }

    // Optional sign, digits with an optional fraction (or a fraction alone),
    // optional exponent. A value too large for a float does not match.
    bool ReadFloat(float& value) {
        SkipBlanks();
        const char* const start = cursor;
        const char* p = cursor;
        if (p != end && (*p == '+' || *p == '-')) {
            ++p;
        }
        size_t digits = 0;
        while (p != end && IsDigit(*p)) {
            ++p;
            ++digits;
        }
        if (p != end && *p == '.') {
            ++p;
            while (p != end && IsDigit(*p)) {
                ++p;
                ++digits;
            }
        }
        if (digits == 0) {
            return false;
        }
        if (p != end && (*p == 'e' || *p == 'E')) {
            const char* exponent = p + 1;
            if (exponent != end && (*exponent == '+' || *exponent == '-')) {
                ++exponent;
            }
            if (exponent != end && IsDigit(*exponent)) {
                p = exponent;
                while (p != end && IsDigit(*p)) {
                    ++p;
                }
            }
        }
        // strtof wants a terminated text; numbers of ordinary length are
        // copied to the stack rather than the heap.
        char buffer[64];
        const size_t length = static_cast<size_t>(p - start);
        float parsed = 0.0f;
        if (length < sizeof(buffer)) {
            std::copy(start, p, buffer);
            buffer[length] = '\0';
            parsed = std::strtof(buffer, nullptr);
        } else {
            parsed = std::strtof(std::string(start, p).c_str(), nullptr);
        }
        if (std::isinf(parsed)) {
            return false;
        }
        value = parsed;
        cursor = p;
        return true;
    }

    // True forms are tried first: "true", "yes", "y" in any letter case, "1";
    // then "false", "no", "n", "0".
    bool ReadBool(int32_t& value) {
        SkipBlanks();
        static const char* const trueForms[] = {"true", "yes", "y", "1"};
        static const char* const falseForms[] = {"false", "no", "n", "0"};
        for (const char* form : trueForms) {
            if (MatchNoCase(form)) {
                value = 1;
                return true;
            }
        }
        for (const char* form : falseForms) {
            if (MatchNoCase(form)) {
                value = 0;
                return true;
            }
        }
        return false;
    }

    bool MatchNoCase(const char* text) {
        const char* p = cursor;
        for (; *text != '\0'; ++text, ++p) {
            if (p == end || ToLower(*p) != *text) {
                return false;
            }
        }
        cursor = p;
        return true;
    }

    // Everything between two double quotes on one line, kept exactly.
    bool ReadString(std::string& value) {
        if (!Char('"')) {
            return false;
        }
        const char* const begin = cursor;
        while (cursor != end && *cursor != '"' && *cursor != '\r' && *cursor != '\n') {
            ++cursor;
        }
        if (cursor == end || *cursor != '"') {
            Fail(MISSING_QUOTE);
        }
        value.assign(begin, cursor);
        ++cursor;
        return true;
    }

    // What `read` reads, between parentheses or without them. Fails without
    // moving when neither form is here.
    template <typename Read>
    bool MaybeParenthesised(Read read) {
        const Position start = Save();
        if (Char('(') && read() && Char(')')) {
            return true;
        }
        Restore(start);
        if (read()) {
            return true;
        }
        Restore(start);
        return false;
    }

    // "(" a "," b ")" or a "," b, for any reader of one component.
    template <typename T, typename ReadT>
    bool ReadPair(T& x, T& y, ReadT read) {
        return MaybeParenthesised(
            [&] { return (this->*read)(x) && Char(',') && (this->*read)(y); });
    }

    bool ReadComponents(int components[4]) {
        return ReadByte(components[0]) && Char(',') && ReadByte(components[1]) && Char(',') &&
               ReadByte(components[2]) && Char(',') && ReadByte(components[3]);
    }

    bool ReadColour(int32_t& value) {
        int c[4];
        if (!MaybeParenthesised([&] { return ReadComponents(c); })) {
            return false;
        }
        value = MakeColour(c[0], c[1], c[2], c[3]);
        return true;
    }

    // Reads one literal of the type into the scratch values.
    bool ReadValue(PropertyType type) {
        switch (type) {
            case PROPERTY_INT:
                return ReadInt(scratch.number);
            case PROPERTY_BOOL:
                return ReadBool(scratch.number);
            case PROPERTY_COLOUR:
                return ReadColour(scratch.number);
            case PROPERTY_FLOAT:
                return ReadFloat(scratch.real);
            case PROPERTY_STRING:
                return ReadString(scratch.text);
            case PROPERTY_POINT:
                return ReadPair(scratch.point.x, scratch.point.y, &GenericFileParser::ReadInt);
            case PROPERTY_POINTF:
                return ReadPair(scratch.pointF.x, scratch.pointF.y, &GenericFileParser::ReadFloat);
            default:
                return false;
        }
    }

    // Stores the literal read last under the key, with the setter of its type.
    void StoreValue(Properties& set, PropertyKey key, PropertyType type) const {
        switch (type) {
            case PROPERTY_INT:
                set.SetInt(key, scratch.number);
                break;
            case PROPERTY_BOOL:
                set.SetBool(key, scratch.number != 0);
                break;
            case PROPERTY_COLOUR:
                set.SetColour(key, scratch.number);
                break;
            case PROPERTY_FLOAT:
                set.SetFloat(key, scratch.real);
                break;
            case PROPERTY_STRING:
                set.SetString(key, scratch.text);
                break;
            case PROPERTY_POINT:
                set.SetPoint(key, scratch.point);
                break;
            case PROPERTY_POINTF:
                set.SetPointF(key, scratch.pointF);
                break;
            default:
                break;
        }
    }

    // The literal read last as a list element.
    Property ValueElement(PropertyType type) const {
        switch (type) {
            case PROPERTY_FLOAT:
                return Property(scratch.real, type);
            case PROPERTY_STRING:
                return Property(scratch.text, type);
            case PROPERTY_POINT:
                return Property(scratch.point, type);
            case PROPERTY_POINTF:
                return Property(scratch.pointF, type);
            default:
                return Property(scratch.number, type);
        }
    }

    // A typed value, a struct or a list. Fails without moving when the text
    // here is not one of them.
    bool Statement(Properties& set) {
        const Position start = Save();
        Word word;
        PropertyType type = PROPERTY_UNSET;
        if (!ReadWord(word) || !StatementType(word, type)) {
            Restore(start);
            return false;
        }
        bool read = false;
        if (type == PROPERTY_STRUCT) {
            read = StructStatement(set);
        } else if (type == PROPERTY_LIST) {
            read = ListStatement(set);
        } else {
            read = ValueStatement(set, type);
        }
        if (!read) {
            Restore(start);
        }
        return read;
    }

    bool ValueStatement(Properties& set, PropertyType type) {
        PropertyKey key;
        if (!ReadName(key)) {
            return false;
        }
        if (!Char(':')) {
            Fail(MISSING_COLON);
        }
        if (!ReadValue(type) || !LineEnds()) {
            return false;
        }
        StoreValue(set, key, type);
        return true;
    }

    // The name of a struct or a list, an optional colon and the opening brace.
    bool BlockStart(PropertyKey& key) {
        if (!ReadName(key)) {
            return false;
        }
        Char(':');
        return OpenBrace();
    }

    bool StructStatement(Properties& set) {
        PropertyKey key;
        if (!BlockStart(key)) {
            return false;
        }
        const PropertiesPtr child = std::make_shared<Properties>();
        StructBody(*child);
        set.SetStruct(key, child);
        return true;
    }

    // Statements up to the closing brace, which must follow.
    void StructBody(Properties& set) {
        Enter(INVALID_ELEMENT);
        while (Statement(set)) {
        }
        if (!CloseBrace()) {
            Fail(INVALID_ELEMENT);
        }
        Leave();
    }

    // Real files nest braces a handful of levels deep. The limit only keeps a
    // hostile text (a downloaded level, say) from exhausting the stack; going
    // past it is the error of the struct or list that nests too deep.
    void Enter(const char* message) {
        if (++nesting > MAX_NESTING) {
            Fail(message);
        }
    }
    void Leave() { --nesting; }

    // "list" once per nesting level, the element type, the name, the body.
    bool ListStatement(Properties& set) {
        int declaredDepth = 1;
        Word word;
        PropertyType elementType = PROPERTY_UNSET;
        for (;;) {
            if (!ReadWord(word) || !StatementType(word, elementType)) {
                return false;
            }
            if (elementType != PROPERTY_LIST) {
                break;
            }
            ++declaredDepth;
        }
        PropertyKey key;
        if (!BlockStart(key)) {
            return false;
        }
        const AnyVectorPtr list = std::make_shared<AnyVector>();
        ListBody(*list, 1, declaredDepth, elementType);
        set.SetList(key, list);
        return true;
    }

    // A list level up to the closing brace, which must follow.
    void ListBody(AnyVector& list, int depth, int declaredDepth, PropertyType elementType) {
        Enter(INVALID_LIST_ELEMENT);
        ListLevel(list, depth, declaredDepth, elementType);
        if (!CloseBrace()) {
            Fail(INVALID_LIST_ELEMENT);
        }
        Leave();
    }

    // The contents of a list at `depth`: elements at the declared depth, each
    // on a line of its own; above it, inner lists between braces.
    void ListLevel(AnyVector& list, int depth, int declaredDepth, PropertyType elementType) {
        if (depth == declaredDepth) {
            while (Element(list, elementType)) {
            }
            return;
        }
        while (OpenBrace()) {
            const AnyVectorPtr inner = std::make_shared<AnyVector>();
            list.Append(Property(inner, PROPERTY_LIST));
            ListBody(*inner, depth + 1, declaredDepth, elementType);
        }
    }

    bool Element(AnyVector& list, PropertyType elementType) {
        if (elementType == PROPERTY_STRUCT) {
            if (!OpenBrace()) {
                return false;
            }
            const PropertiesPtr child = std::make_shared<Properties>();
            StructBody(*child);
            list.Append(Property(child, PROPERTY_STRUCT));
            return true;
        }
        const Position start = Save();
        if (!ReadValue(elementType) || !LineEnds()) {
            Restore(start);
            return false;
        }
        list.Append(ValueElement(elementType));
        return true;
    }

    static const int MAX_NESTING = 500;

    // The value of the literal read last, one member per kind of value.
    struct Scratch {
        int32_t number = 0;  // int, bool and colour
        float real = 0.0f;
        std::string text;
        PointI point;
        PointF pointF;
    };

    const char* cursor;
    const char* const end;
    int line = 1;
    int nesting = 0;
    Scratch scratch;
    const PropertiesPtr root = std::make_shared<Properties>();
};

// The writer. Everything is checked before anything is written, so a refused
// tree leaves the stream untouched (a settings file is never half written).

const char* const SEPARATOR = ":   \t";

std::string TypeName(PropertyType type) {
    switch (type) {
        case PROPERTY_STRUCT:
            return "struct";
        case PROPERTY_LIST:
            return "list";
        case PROPERTY_STRING:
            return "string";
        case PROPERTY_INT:
            return "int";
        case PROPERTY_FLOAT:
            return "float";
        case PROPERTY_COLOUR:
            return "colour";
        case PROPERTY_BOOL:
            return "bool";
        case PROPERTY_POINT:
            return "point";
        case PROPERTY_POINTF:
            return "pointf";
        default:
            return std::string();
    }
}

[[noreturn]] void Refuse(const std::string& where, const std::string& reason) {
    throw ExceptionGeneral("Cannot write property \"" + where + "\": " + reason);
}

// The held value of a property whose tag says T; a hand-built property whose
// value disagrees with its tag is refused rather than failing a raw cast.
template <typename T>
const T& HeldValue(const Property& property, const std::string& where) {
    const T* held = boost::any_cast<T>(&property.value);
    if (held == nullptr) {
        Refuse(where, "its value does not match its type " + TypeName(property.type) + ".");
    }
    return *held;
}

void CheckSet(const Properties& set);
void CheckList(const AnyVector& list, const std::string& where);

// The list an element of a list of lists holds.
const AnyVector& InnerList(const Property& element, const std::string& where) {
    const AnyVectorPtr& inner = HeldValue<AnyVectorPtr>(element, where);
    if (!inner) {
        Refuse(where, "an inner list is missing.");
    }
    return *inner;
}

void CheckName(PropertyKey key) {
    const std::string& name = key.GetName();
    bool valid = !name.empty();
    for (char c : name) {
        valid = valid && IsNameChar(c);
    }
    if (!valid) {
        Refuse(name, "a name holds only letters, digits and \"_\".");
    }
}

void CheckValue(const Property& property, const std::string& where) {
    switch (property.type) {
        case PROPERTY_STRUCT: {
            const PropertiesPtr& set = HeldValue<PropertiesPtr>(property, where);
            if (!set) {
                Refuse(where, "the struct is missing.");
            }
            CheckSet(*set);
            break;
        }
        case PROPERTY_LIST: {
            const AnyVectorPtr& list = HeldValue<AnyVectorPtr>(property, where);
            if (!list) {
                Refuse(where, "the list is missing.");
            }
            CheckList(*list, where);
            break;
        }
        case PROPERTY_STRING: {
            const std::string& text = HeldValue<std::string>(property, where);
            if (text.find_first_of("\"\r\n") != std::string::npos) {
                Refuse(where, "a string cannot hold a double quote or a line end.");
            }
            break;
        }
        case PROPERTY_INT:
        case PROPERTY_COLOUR:
        case PROPERTY_BOOL:
            HeldValue<int32_t>(property, where);
            break;
        case PROPERTY_FLOAT:
            if (!std::isfinite(HeldValue<float>(property, where))) {
                Refuse(where, "a float must be finite.");
            }
            break;
        case PROPERTY_POINT:
            HeldValue<PointI>(property, where);
            break;
        case PROPERTY_POINTF: {
            const PointF& point = HeldValue<PointF>(property, where);
            if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
                Refuse(where, "a float must be finite.");
            }
            break;
        }
        default:
            Refuse(where, "it holds no value.");
    }
}

void CheckSet(const Properties& set) {
    for (const auto& entry : set) {
        CheckName(entry.first);
        CheckValue(entry.second, entry.first.GetName());
    }
}

// The header names one element type and one depth (see ListShape); the
// reader accepts nothing else, so every element must fit them.
void CheckListLevel(const AnyVector& list, int depth, int declaredDepth, PropertyType elementType,
                    const std::string& where) {
    for (const Property& element : list) {
        if (depth < declaredDepth) {
            if (element.type != PROPERTY_LIST) {
                Refuse(where, "its elements are not all lists of the same depth.");
            }
            CheckListLevel(InnerList(element, where), depth + 1, declaredDepth, elementType, where);
        } else {
            if (element.type != elementType) {
                Refuse(where, element.type > PROPERTY_POINTF ? "a list element holds no value."
                                                             : "its elements are not all of type " +
                                                                   TypeName(elementType) + ".");
            }
            CheckValue(element, where);
        }
    }
}

// The depth and element type that a list's header names. They come from
// the first element that is not a list, wherever it sits, so that a list of
// lists whose first inner list is empty is written back as it was read. A
// list that holds no such element takes the depth of its deepest list and
// the type int.
struct ListShape {
    int depth = 1;
    PropertyType elementType = PROPERTY_INT;
    bool hasLeaf = false;
};

ListShape FindListShape(const AnyVector& list, int depth) {
    ListShape shape;
    shape.depth = depth;
    for (const Property& element : list) {
        const AnyVectorPtr* inner = boost::any_cast<AnyVectorPtr>(&element.value);
        if (element.type != PROPERTY_LIST || inner == nullptr || !*inner) {
            shape.elementType = element.type;
            shape.hasLeaf = true;
            return shape;
        }
        const ListShape innerShape = FindListShape(**inner, depth + 1);
        if (innerShape.hasLeaf) {
            return innerShape;
        }
        shape.depth = std::max(shape.depth, innerShape.depth);
    }
    return shape;
}

void CheckList(const AnyVector& list, const std::string& where) {
    const ListShape shape = FindListShape(list, 1);
    CheckListLevel(list, 1, shape.depth, shape.elementType, where);
}

std::string FloatText(float value) {
    char text[32];
    const std::to_chars_result result =
        std::to_chars(text, text + sizeof(text), value, std::chars_format::general, 9);
    return std::string(text, result.ptr);
}

std::string ColourText(int32_t colour) {
    return std::to_string(GetRed(colour)) + "," + std::to_string(GetGreen(colour)) + "," +
           std::to_string(GetBlue(colour)) + "," + std::to_string(GetAlpha(colour));
}

std::string PointText(const PointI& point) {
    return "(" + std::to_string(point.x) + "," + std::to_string(point.y) + ")";
}

std::string PointFText(const PointF& point) {
    return "(" + FloatText(point.x) + "," + FloatText(point.y) + ")";
}

// The value of a checked string, int, float, colour, bool, point or pointf
// as written after a name or as a list element.
std::string ValueText(const Property& property) {
    switch (property.type) {
        case PROPERTY_STRING:
            return "\"" + boost::any_cast<const std::string&>(property.value) + "\"";
        case PROPERTY_INT:
            return std::to_string(boost::any_cast<int32_t>(property.value));
        case PROPERTY_FLOAT:
            return FloatText(boost::any_cast<float>(property.value));
        case PROPERTY_COLOUR:
            return ColourText(boost::any_cast<int32_t>(property.value));
        case PROPERTY_BOOL:
            return boost::any_cast<int32_t>(property.value) != 0 ? "true" : "false";
        case PROPERTY_POINT:
            return PointText(boost::any_cast<PointI>(property.value));
        case PROPERTY_POINTF:
            return PointFText(boost::any_cast<PointF>(property.value));
        default:
            return std::string();
    }
}

void WriteSet(const Properties& set, std::ostream& out, int depth);
void WriteList(const AnyVector& list, std::ostream& out, int depth);

// The body of a checked struct or list, one level deeper between braces on
// lines of their own.
void WriteBraced(const Property& property, std::ostream& out, int depth) {
    WriteIndent(out, depth);
    out << "{\n";
    if (property.type == PROPERTY_STRUCT) {
        WriteSet(*boost::any_cast<const PropertiesPtr&>(property.value), out, depth + 1);
    } else {
        WriteList(*boost::any_cast<const AnyVectorPtr&>(property.value), out, depth + 1);
    }
    WriteIndent(out, depth);
    out << "}\n";
}

void WriteList(const AnyVector& list, std::ostream& out, int depth) {
    for (const Property& element : list) {
        switch (element.type) {
            case PROPERTY_STRUCT:
            case PROPERTY_LIST:
                WriteBraced(element, out, depth);
                break;
            case PROPERTY_STRING:
            case PROPERTY_INT:
            case PROPERTY_FLOAT:
                WriteIndent(out, depth);
                out << ValueText(element) << "\n";
                break;
            default:
                out << ValueText(element) << "\n";
                break;
        }
    }
}

void WriteSet(const Properties& set, std::ostream& out, int depth) {
    for (const auto& entry : set) {
        const std::string& name = entry.first.GetName();
        const Property& property = entry.second;
        switch (property.type) {
            case PROPERTY_STRUCT:
                WriteIndent(out, depth);
                out << "struct " << name << "\n";
                WriteBraced(property, out, depth);
                out << "\n";
                break;
            case PROPERTY_LIST:
                WriteIndent(out, depth);
                out << "list "
                    << ListHeaderTypeText(*boost::any_cast<const AnyVectorPtr&>(property.value))
                    << name << "\n";
                WriteBraced(property, out, depth);
                out << "\n";
                break;
            default:
                WriteIndent(out, depth);
                out << TypeName(property.type) << " " << name << SEPARATOR << ValueText(property)
                    << "\n";
                break;
        }
    }
}

}  // namespace

PropertiesPtr LoadPropertyFile(const std::string& name) {
    const IStreamPtr stream = OpenResource(name);
    return ParsePropertyStream(*stream, name);
}

PropertiesPtr ParsePropertyStream(std::istream& stream, const std::string& name) {
    const std::string text{std::istreambuf_iterator<char>(stream),
                           std::istreambuf_iterator<char>()};
    return ParsePropertyString(text, name);
}

PropertiesPtr ParsePropertyString(const std::string& text, const std::string&) {
    return GenericFileParser(text).Parse();
}

void PrintProperties(const Properties& set, std::ostream& out, int depth) {
    CheckSet(set);
    WriteSet(set, out, depth);
}

void PrintListElements(const AnyVector& list, std::ostream& out, int depth) {
    CheckList(list, "list");
    WriteList(list, out, depth);
}

std::string ListHeaderTypeText(const AnyVector& list) {
    const ListShape shape = FindListShape(list, 1);
    std::string text;
    for (int depth = 1; depth < shape.depth; ++depth) {
        text += "list ";
    }
    const std::string name = TypeName(shape.elementType);
    return name.empty() ? text : text + name + " ";
}

void WriteIndent(std::ostream& out, int depth) {
    for (int i = 0; i < depth; ++i) {
        out << '\t';
    }
}

}  // namespace orvel
