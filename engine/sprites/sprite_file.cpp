// GCC 12 reports -Wuse-after-free in the parser library's grammar helpers that
// this file instantiates, and it is a false alarm: a grammar's definition
// helper owns itself through a shared pointer and is deleted when its grammar
// releases it; the compiler cannot see that the helper's own pointer is
// already empty while the helper's members are destroyed, so it follows a
// path that never runs. The sprite-file tests run this code under
// AddressSanitizer, which reports any real use after free. The warnings are
// reported at the library's lines, so only a setting for the whole file
// reaches them.
#pragma GCC diagnostic ignored "-Wuse-after-free"

#include "engine/sprites/sprite_file.h"

#include <algorithm>
#include <iterator>

#include <boost/spirit/include/classic_chset.hpp>
#include <boost/spirit/include/classic_core.hpp>
#include <boost/spirit/include/classic_directives.hpp>

#include "engine/core/exception.h"
#include "engine/resources/resource.h"

namespace orvel {

namespace spirit = boost::spirit::classic;

void SpriteDescription::AddFrame(const std::string& name) {
    frameNames.push_back(name);
    hotSpots.push_back(Vector2x<long>(0, 0));
    flags.push_back(0);
    lengthMultipliers.push_back(1.0f);
}

namespace {

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string WithForwardSlashes(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

// The state the grammar's actions fill while the parse runs. Items of a
// frame line collect in the pending fields and are appended when the line
// is complete.
struct SpriteFileState {
    SpriteDescription* description = nullptr;
    int lineEnds = 0;
    std::string pendingName;
    Vector2x<long> pendingHotSpot;
    uint8_t pendingFlags = 0;
    int hotSpotX = 0;
    int hotSpotY = 0;
};

struct CountLineEnd {
    SpriteFileState& state;
    template <typename It>
    void operator()(It, It) const {
        ++state.lineEnds;
    }
};

struct SetFps {
    SpriteFileState& state;
    void operator()(double fps) const { state.description->fps = static_cast<float>(fps); }
};

struct SetPendingName {
    SpriteFileState& state;
    void operator()(const char* first, const char* last) const {
        state.pendingName.assign(first, last);
    }
};

struct SetPendingHotSpot {
    SpriteFileState& state;
    template <typename It>
    void operator()(It, It) const {
        state.pendingHotSpot = Vector2x<long>(state.hotSpotX, state.hotSpotY);
    }
};

struct SetPendingFlag {
    SpriteFileState& state;
    uint8_t flag;
    template <typename It>
    void operator()(It, It) const {
        state.pendingFlags |= flag;
    }
};

struct AppendFrame {
    SpriteFileState& state;
    template <typename It>
    void operator()(It, It) const {
        SpriteDescription& description = *state.description;
        description.AddFrame(state.pendingName);
        description.hotSpots.back() = state.pendingHotSpot;
        description.flags.back() = state.pendingFlags;
        state.pendingHotSpot = Vector2x<long>(0, 0);
        state.pendingFlags = 0;
    }
};

// Blanks between tokens; line ends are tokens of their own.
struct BlankSkipper : spirit::grammar<BlankSkipper> {
    template <typename ScannerT>
    struct definition {
        explicit definition(const BlankSkipper&) { blank = spirit::ch_p(' ') | '\t' | '\v' | '\f'; }
        spirit::rule<ScannerT> blank;
        const spirit::rule<ScannerT>& start() const { return blank; }
    };
};

struct SpriteFileGrammar : spirit::grammar<SpriteFileGrammar> {
    explicit SpriteFileGrammar(SpriteFileState& state) : state(state) {}

    template <typename ScannerT>
    struct definition {
        explicit definition(const SpriteFileGrammar& self) {
            using namespace spirit;
            SpriteFileState& state = self.state;

            comment = lexeme_d[(str_p("//") | '#') >> *(anychar_p - (ch_p('\r') | '\n'))];
            lineEnd = !comment >> eol_p[CountLineEnd{state}];

            boolWord = as_lower_d[str_p("true") | "yes" | "y" | "1" | "false" | "no" | "n" | "0"];
            header = (str_p("fps:") >> ureal_p[SetFps{state}]) | (str_p("alpha:") >> boolWord) |
                     (str_p("num_frames") >> ':' >> int_p);

            fileName = lexeme_d[+(alnum_p | chset_p("_./~\\") | '-')];
            hotSpot = (ch_p('(') >> int_p[assign_a(state.hotSpotX)] >> ',' >>
                       int_p[assign_a(state.hotSpotY)] >> ')')[SetPendingHotSpot{state}];
            frameLine =
                (fileName[SetPendingName{state}] >>
                 *(hotSpot | str_p("footstep")[SetPendingFlag{state, SPRITE_FLAG_FOOTSTEP}] |
                   str_p(
                       "trigger")[SetPendingFlag{state, SPRITE_FLAG_TRIGGER}]))[AppendFrame{state}];

            file = str_p("format_version:") >> int_p >> +lineEnd >> *(header >> +lineEnd) >>
                   str_p("frames") >> *lineEnd >> '{' >> *lineEnd >> +(frameLine >> +lineEnd) >>
                   '}' >> *lineEnd;
        }

        spirit::rule<ScannerT> comment, lineEnd, boolWord, header, fileName, hotSpot, frameLine,
            file;
        const spirit::rule<ScannerT>& start() const { return file; }
    };

    SpriteFileState& state;
};

}  // namespace

bool IsPictureName(const std::string& name) {
    return EndsWith(name, ".bbq") || EndsWith(name, ".jpg") || EndsWith(name, ".jpeg");
}

std::string ResolveFrameName(const std::string& description, const std::string& frame) {
    const std::string path = WithForwardSlashes(description);
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) {
        return WithForwardSlashes(frame);
    }
    return path.substr(0, slash) + "/" + WithForwardSlashes(frame);
}

void ParseSpriteFile(const std::string& text, SpriteDescription& description) {
    SpriteFileState state;
    state.description = &description;
    SpriteFileGrammar grammar(state);
    const char* first = text.data();
    const spirit::parse_info<const char*> info =
        spirit::parse(first, first + text.size(), grammar, BlankSkipper());
    // Text after the closing brace is ignored, so only a failed match counts.
    if (!info.hit) {
        throw ExceptionSyntax("", state.lineEnds + 1);
    }
}

SpriteDescription ReadSpriteFile(const std::string& name) {
    const IStreamPtr stream = OpenResource(name);
    const std::string text((std::istreambuf_iterator<char>(*stream)),
                           std::istreambuf_iterator<char>());
    SpriteDescription description;
    ParseSpriteFile(text, description);
    for (std::string& frame : description.frameNames) {
        frame = ResolveFrameName(name, frame);
    }
    return description;
}

namespace {

const PropertyKey FRAMES_KEY("frames");
const PropertyKey FPS_KEY("fps");
const PropertyKey HOT_SPOTS_KEY("hotspots");
const PropertyKey MULTIPLIERS_KEY("frameLengthMultipliers");
const PropertyKey TRIGGERS_KEY("triggers");
const PropertyKey FOOTSTEPS_KEY("footsteps");

// The element of a per-frame list, checked against the type the list must
// hold; a wrongly typed element is reported as the list's incorrect type.
template <typename T>
const T& ListElement(const AnyVector& list, size_t index, PropertyKey key, PropertyType type) {
    const Property& element = list.At(index);
    const T* value = boost::any_cast<T>(&element.value);
    if (element.type != type || value == nullptr) {
        throw ExceptionPropertyIncorrectType(key, element.type);
    }
    return *value;
}

// A per-frame list, or nothing when the key is absent. Elements beyond the
// frame count are ignored; missing ones keep their default.
AnyVectorPtr PerFrameList(const Properties& properties, PropertyKey key) {
    if (!properties.HasProperty(key)) {
        return AnyVectorPtr();
    }
    return properties.GetList(key);
}

void ReadFlagList(const Properties& properties, PropertyKey key, int shift,
                  SpriteDescription& description) {
    const AnyVectorPtr list = PerFrameList(properties, key);
    if (!list) {
        return;
    }
    const size_t count = std::min(list->Size(), description.GetFrameCount());
    for (size_t i = 0; i < count; ++i) {
        const int32_t value = ListElement<int32_t>(*list, i, key, PROPERTY_INT);
        description.flags[i] |= static_cast<uint8_t>(static_cast<uint32_t>(value) << shift);
    }
}

}  // namespace

SpriteDescription ReadSpriteProperties(const Properties& properties, const std::string& name) {
    SpriteDescription description;
    const AnyVectorPtr frames = properties.GetList(FRAMES_KEY);
    for (size_t i = 0; i < frames->Size(); ++i) {
        const std::string& frame =
            ListElement<std::string>(*frames, i, FRAMES_KEY, PROPERTY_STRING);
        description.AddFrame(ResolveFrameName(name, frame));
    }
    if (description.GetFrameCount() == 0) {
        throw ExceptionFileFormatInvalid(name, -1);
    }
    if (properties.HasProperty(FPS_KEY)) {
        description.fps = properties.GetFloat(FPS_KEY);
    }

    if (const AnyVectorPtr hotSpots = PerFrameList(properties, HOT_SPOTS_KEY)) {
        const size_t count = std::min(hotSpots->Size(), description.GetFrameCount());
        for (size_t i = 0; i < count; ++i) {
            const PointI& point = ListElement<PointI>(*hotSpots, i, HOT_SPOTS_KEY, PROPERTY_POINT);
            description.hotSpots[i] = Vector2x<long>(point.x, point.y);
        }
    }
    if (const AnyVectorPtr multipliers = PerFrameList(properties, MULTIPLIERS_KEY)) {
        const size_t count = std::min(multipliers->Size(), description.GetFrameCount());
        for (size_t i = 0; i < count; ++i) {
            description.lengthMultipliers[i] =
                ListElement<float>(*multipliers, i, MULTIPLIERS_KEY, PROPERTY_FLOAT);
        }
    }
    ReadFlagList(properties, FOOTSTEPS_KEY, 0, description);
    ReadFlagList(properties, TRIGGERS_KEY, 1, description);
    return description;
}

SpriteDescription SinglePictureDescription(const std::string& name) {
    // The picture's own name resolved against its folder is the name itself.
    SpriteDescription description;
    description.AddFrame(WithForwardSlashes(name));
    return description;
}

}  // namespace orvel
