#include "engine/ui/screen_file.h"

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/colour.h"
#include "engine/core/exception.h"
#include "engine/core/property_file.h"
#include "engine/resources/resource.h"
#include "engine/ui/morph.h"
#include "engine/ui/screen_morph.h"
#include "engine/ui/scrollable_morph.h"
#include "engine/ui/sprite_morph.h"
#include "engine/ui/sprite_morph_border_highlighter.h"
#include "engine/ui/sprite_morph_highlighter.h"
#include "engine/ui/string_morph.h"

namespace orvel {

namespace {

const PropertyKey KEY_TYPE("type");
const PropertyKey KEY_NAME("name");
const PropertyKey KEY_EXTENT("extent");
const PropertyKey KEY_POSITION("position");
const PropertyKey KEY_COLOUR("colour");
const PropertyKey KEY_STRING("string");
const PropertyKey KEY_ANIMATION("animation");
const PropertyKey KEY_HIGHLIGHTER("highlighter");
const PropertyKey KEY_CHILDREN("children");

const char* const TYPE_MORPH = "Morph";
const char* const TYPE_SCROLLABLE_MORPH = "ScrollableMorph";
const char* const TYPE_STRING_MORPH = "StringMorph";
const char* const TYPE_SPRITE_MORPH = "SpriteMorph";

const char* const HIGHLIGHTER_TINT = "SpriteMorphHighlighter";
const char* const HIGHLIGHTER_BORDER = "SpriteMorphBorderHighlighter";

// The point under `key`, refused with the file and key named when either
// component lies outside low..UI_COORDINATE_LIMIT.
PointI CheckedPoint(const Properties& description, PropertyKey key, int32_t low,
                    const std::string& file) {
    const PointI point = description.GetPoint(key);
    if (point.x < low || point.x > UI_COORDINATE_LIMIT || point.y < low ||
        point.y > UI_COORDINATE_LIMIT) {
        throw ExceptionGeneral("The " + key.GetName() + " (" + std::to_string(point.x) + ", " +
                               std::to_string(point.y) + ") lies outside " + std::to_string(low) +
                               ".." + std::to_string(UI_COORDINATE_LIMIT) + "\nFile: " + file);
    }
    return point;
}

// The folder part of a resource name, with its trailing "/", or "".
std::string FolderOf(const std::string& file) {
    const size_t slash = file.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : file.substr(0, slash + 1);
}

// The sprite cache of the screen that `parent` belongs to.
std::shared_ptr<SpriteCacheManager> ScreenCacheOf(Morph* parent, const std::string& animation,
                                                  const std::string& file) {
    const ScreenMorph* screen = dynamic_cast<const ScreenMorph*>(parent->GetRoot());
    if (screen == nullptr) {
        throw ExceptionGeneral("The SpriteMorph of " + animation +
                               " must be loaded into a screen\nFile: " + file);
    }
    return screen->GetSpriteCacheManager();
}

MorphPtr MakeSpriteMorph(Morph* parent, const Properties& description, const std::string& file) {
    const std::string animation =
        NormaliseResourceName(FolderOf(file) + description.GetString(KEY_ANIMATION));
    const std::shared_ptr<SpriteMorph> morph = std::make_shared<SpriteMorph>(
        ScreenCacheOf(parent, animation, file), animation, PropertyKey("UntitledSpriteMorph"));
    if (description.HasProperty(KEY_EXTENT)) {
        morph->SetSize(CheckedPoint(description, KEY_EXTENT, 0, file));
    }
    if (description.HasProperty(KEY_HIGHLIGHTER)) {
        const std::string highlighter = description.GetString(KEY_HIGHLIGHTER);
        if (highlighter == HIGHLIGHTER_TINT) {
            morph->SetHighlighter(std::make_shared<SpriteMorphHighlighter>(morph.get()));
        } else if (highlighter == HIGHLIGHTER_BORDER) {
            morph->SetHighlighter(std::make_shared<SpriteMorphBorderHighlighter>(
                morph.get(), MakeColour(0, 0, 0, 255)));
        }
    }
    return morph;
}

// A new morph of the description's type, sized; not yet placed or named.
MorphPtr MakeMorphOfType(Morph* parent, const Properties& description, const std::string& file) {
    const std::string type = description.GetString(KEY_TYPE);
    MorphPtr morph;
    if (type == TYPE_MORPH) {
        morph = std::make_shared<Morph>(PropertyKey("UntitledMorph"));
    } else if (type == TYPE_SCROLLABLE_MORPH) {
        morph = std::make_shared<ScrollableMorph>(PropertyKey("UntitledScrollableMorph"));
    } else if (type == TYPE_STRING_MORPH) {
        morph = std::make_shared<StringMorph>(PropertyKey("UntitledStringMorph"), std::string());
    } else if (type == TYPE_SPRITE_MORPH) {
        return MakeSpriteMorph(parent, description, file);
    } else {
        throw ExceptionUnknownMorphType(file, type);
    }
    morph->SetSize(CheckedPoint(description, KEY_EXTENT, 0, file));
    if (type == TYPE_STRING_MORPH && description.HasProperty(KEY_STRING)) {
        static_cast<StringMorph&>(*morph).SetText(description.GetString(KEY_STRING));
    }
    return morph;
}

}  // namespace

Morph* LoadScreen(Morph* parent, const std::string& file) {
    const PropertiesPtr description = LoadPropertyFile(file);
    return CreateMorph(parent, *description, file);
}

Morph* CreateMorph(Morph* parent, const Properties& description, const std::string& file) {
    if (parent == nullptr) {
        throw ExceptionGeneral("A screen file needs a morph to load into\nFile: " + file);
    }
    const MorphPtr morph = MakeMorphOfType(parent, description, file);
    if (description.HasProperty(KEY_NAME)) {
        morph->SetMorphName(PropertyKey(description.GetString(KEY_NAME)));
    }
    const MorphRect parentRect = parent->GetRect();
    const PointI position = CheckedPoint(description, KEY_POSITION, -UI_COORDINATE_LIMIT, file);
    const int64_t left = int64_t(parentRect.left) + position.x;
    const int64_t top = int64_t(parentRect.top) + position.y;
    const MorphRect size = morph->GetRect();
    if (!IsWithinUiLimit(left) || !IsWithinUiLimit(top) || !IsWithinUiLimit(left + size.Width()) ||
        !IsWithinUiLimit(top + size.Height())) {
        throw ExceptionGeneral("The position (" + std::to_string(position.x) + ", " +
                               std::to_string(position.y) + ") puts " +
                               morph->GetMorphName().GetName() + " outside -" +
                               std::to_string(UI_COORDINATE_LIMIT) + ".." +
                               std::to_string(UI_COORDINATE_LIMIT) + "\nFile: " + file);
    }
    morph->SetPosition(PointI(static_cast<int32_t>(left), static_cast<int32_t>(top)));
    if (description.HasProperty(KEY_COLOUR)) {
        morph->SetColour(description.GetColour(KEY_COLOUR));
    }
    parent->AddChild(morph);

    if (description.HasProperty(KEY_CHILDREN)) {
        const AnyVectorPtr children = description.GetList(KEY_CHILDREN);
        for (const Property& child : *children) {
            const PropertiesPtr* childDescription = boost::any_cast<PropertiesPtr>(&child.value);
            if (childDescription == nullptr || !*childDescription) {
                throw ExceptionPropertyIncorrectType(KEY_CHILDREN, child.type);
            }
            CreateMorph(morph.get(), **childDescription, file);
        }
    }
    return morph.get();
}

}  // namespace orvel
