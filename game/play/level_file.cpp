#include "game/play/level_file.h"

#include <cstdio>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"

const PropertyKey STATIC_FACTORY("Static_Factory");

namespace {

const PropertyKey KEY_MUSIC("music");
const PropertyKey KEY_SKY_LAYER("skyLayer");
const PropertyKey KEY_MOUNTAINS_LAYER("mountainsLayer");
const PropertyKey KEY_FOREGROUND("foreground");
const PropertyKey KEY_MIDGROUND("midground");
const PropertyKey KEY_MIDGROUND_SCROLL_RATIO("midgroundScrollRatio");
const PropertyKey KEY_NODE_HEIGHTS("nodeHeights");
const PropertyKey KEY_NODE_SPACING("nodeSpacing");
const PropertyKey KEY_PLACED_OBJECTS("placedObjects");
const PropertyKey KEY_TEAM_NAME("teamName");
const PropertyKey KEY_TYPE("type");
const PropertyKey KEY_PRIORITY("priority");
const PropertyKey KEY_MATRIX("matrix");
const PropertyKey KEY_GOOD_PURCHASE_MENU("goodPurchaseMenu");
const PropertyKey KEY_BAD_PURCHASE_MENU("badPurchaseMenu");
const PropertyKey KEY_ENEMY_AIRSHIP("enemyAirship");
const PropertyKey KEY_AI_CAPABILITIES("AI_COMPONENT_Capabilities");
const PropertyKey KEY_PURCHASE_TIME_PER_UNIT("purchaseTimePerUnit");
const PropertyKey KEY_ENEMY_BUY("enemyBuy");
const PropertyKey KEY_PURCHASE_GROUPS("purchaseGroups");

const char TEAM_GOOD_NAME[] = "team_good";
const char TEAM_BAD_NAME[] = "team_bad";
const char LEVEL_FILE_NAME[] = "level.txt";

// The narrowest midground: the widest screen that levels were made for.
const float MIDGROUND_BASE_WIDTH = 1024.0f;

const char* TypeName(orvel::PropertyType type) {
    static const char* const names[] = {"struct", "list", "string", "int",    "float",
                                        "colour", "bool", "point",  "pointf", "nothing"};
    return type <= orvel::PROPERTY_UNSET ? names[type] : "nothing";
}

// Reads the keys of one property set of a level file. Every failure becomes
// an orvel::ExceptionGeneral naming the file, the place in it and the key,
// because whoever wrote the file must be able to find the mistake from the
// message alone.
class KeyReader {
public:
    KeyReader(const std::string& file, const orvel::Properties& set, const std::string& place)
        : file(file), set(set), place(place) {}

    bool Has(PropertyKey key) const { return set.HasProperty(key); }

    std::string String(PropertyKey key) const {
        return boost::any_cast<std::string>(Value(key, orvel::PROPERTY_STRING));
    }
    int Int(PropertyKey key) const {
        return boost::any_cast<int32_t>(Value(key, orvel::PROPERTY_INT));
    }
    float Float(PropertyKey key) const {
        return boost::any_cast<float>(Value(key, orvel::PROPERTY_FLOAT));
    }
    bool Bool(PropertyKey key) const {
        return boost::any_cast<int32_t>(Value(key, orvel::PROPERTY_BOOL)) != 0;
    }
    orvel::PropertiesPtr Struct(PropertyKey key) const {
        return boost::any_cast<orvel::PropertiesPtr>(Value(key, orvel::PROPERTY_STRUCT));
    }
    orvel::AnyVectorPtr List(PropertyKey key) const {
        return boost::any_cast<orvel::AnyVectorPtr>(Value(key, orvel::PROPERTY_LIST));
    }

    // The elements of a list as one type; `what` names the list in messages.
    std::vector<std::string> Strings(const orvel::AnyVector& list, const std::string& what) const {
        std::vector<std::string> values;
        for (size_t i = 0; i < list.Size(); ++i) {
            values.push_back(
                boost::any_cast<std::string>(Element(list, i, orvel::PROPERTY_STRING, what)));
        }
        return values;
    }
    std::vector<int> Ints(const orvel::AnyVector& list, const std::string& what) const {
        std::vector<int> values;
        for (size_t i = 0; i < list.Size(); ++i) {
            values.push_back(boost::any_cast<int32_t>(Element(list, i, orvel::PROPERTY_INT, what)));
        }
        return values;
    }
    std::vector<float> Floats(const orvel::AnyVector& list, const std::string& what) const {
        std::vector<float> values;
        for (size_t i = 0; i < list.Size(); ++i) {
            values.push_back(boost::any_cast<float>(Element(list, i, orvel::PROPERTY_FLOAT, what)));
        }
        return values;
    }
    const boost::any& Element(const orvel::AnyVector& list, size_t index, orvel::PropertyType type,
                              const std::string& what) const {
        const orvel::Property& element = list.At(index);
        if (element.type != type) {
            Fail("element " + std::to_string(index + 1) + " of " + what + " must be " +
                 Article(type) + ", not " + Article(element.type) + ".");
        }
        return element.value;
    }

    [[noreturn]] void Fail(const std::string& what) const { FailIn(file, place + what); }

    static std::string Quoted(PropertyKey key) { return "\"" + key.GetName() + "\""; }

    [[noreturn]] static void FailIn(const std::string& file, const std::string& what) {
        throw orvel::ExceptionGeneral("Level file \"" + file + "\": " + what);
    }

private:
    static std::string Article(orvel::PropertyType type) {
        const std::string name = TypeName(type);
        return (type == orvel::PROPERTY_INT ? "an " : "a ") + name;
    }

    const boost::any& Value(PropertyKey key, orvel::PropertyType type) const {
        const orvel::Properties::Map::const_iterator found = set.Find(key);
        if (found == set.end()) {
            Fail(Quoted(key) + " is missing.");
        }
        if (found->second.type != type) {
            Fail(Quoted(key) + " must be " + Article(type) + ", not " +
                 Article(found->second.type) + ".");
        }
        return found->second.value;
    }

    const std::string& file;
    const orvel::Properties& set;
    std::string place;
};

orvel::PropertiesPtr ParseFile(const std::string& path) {
    try {
        return orvel::LoadPropertyFile(path);
    } catch (const orvel::ExceptionSyntax& error) {
        KeyReader::FailIn(path,
                          "line " + std::to_string(error.GetLine()) + ": " + error.GetMessage());
    }
}

std::string InFolder(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

std::vector<std::string> TileNames(const KeyReader& reader, const std::string& folder,
                                   PropertyKey key) {
    std::vector<std::string> names = reader.Strings(*reader.List(key), KeyReader::Quoted(key));
    if (names.empty()) {
        reader.Fail(KeyReader::Quoted(key) + " names no tile.");
    }
    for (std::string& name : names) {
        name = InFolder(folder, name);
    }
    return names;
}

void ReadTerrain(const KeyReader& reader, LevelFile& level) {
    level.nodeHeights =
        reader.Ints(*reader.List(KEY_NODE_HEIGHTS), KeyReader::Quoted(KEY_NODE_HEIGHTS));
    if (level.nodeHeights.size() < 2) {
        reader.Fail(KeyReader::Quoted(KEY_NODE_HEIGHTS) + " needs at least two nodes.");
    }
    for (size_t i = 0; i < level.nodeHeights.size(); ++i) {
        const int height = level.nodeHeights[i];
        if (height < 0 || height > PLAY_HEIGHT) {
            reader.Fail("node " + std::to_string(i + 1) + " of " +
                        KeyReader::Quoted(KEY_NODE_HEIGHTS) + " is " + std::to_string(height) +
                        " pixels high; heights run from 0 to " + std::to_string(PLAY_HEIGHT) + ".");
        }
    }
    level.nodeSpacing = reader.Int(KEY_NODE_SPACING);
    if (level.nodeSpacing <= 0) {
        reader.Fail(KeyReader::Quoted(KEY_NODE_SPACING) + " must be above 0, not " +
                    std::to_string(level.nodeSpacing) + ".");
    }
}

int TeamOfName(const std::string& name) {
    if (name == TEAM_GOOD_NAME) {
        return TEAM_GOOD;
    }
    if (name == TEAM_BAD_NAME) {
        return TEAM_BAD;
    }
    return TEAM_NONE;
}

PlacedObject ReadPlacedObject(const std::string& path, const orvel::Properties& entry,
                              size_t index) {
    const KeyReader reader(
        path, entry,
        KeyReader::Quoted(KEY_PLACED_OBJECTS) + " entry " + std::to_string(index + 1) + ": ");
    PlacedObject object;
    if (reader.Has(KEY_TEAM_NAME)) {
        object.team = TeamOfName(reader.String(KEY_TEAM_NAME));
    }
    const std::string type = reader.String(KEY_TYPE);
    if (type.empty()) {
        reader.Fail(KeyReader::Quoted(KEY_TYPE) + " is empty.");
    }
    object.type = PropertyKey(type);
    if (reader.Has(KEY_PRIORITY)) {
        object.priority = reader.Int(KEY_PRIORITY);
    }
    const std::vector<float> matrix =
        reader.Floats(*reader.List(KEY_MATRIX), KeyReader::Quoted(KEY_MATRIX));
    if (matrix.size() != 16) {
        reader.Fail(KeyReader::Quoted(KEY_MATRIX) + " must hold 16 numbers, not " +
                    std::to_string(matrix.size()) + ".");
    }
    std::copy(matrix.begin(), matrix.end(), object.matrix);
    return object;
}

// Finds the one factory of a side; a level needs exactly one per side.
size_t FindFactory(const std::string& path, const std::vector<PlacedObject>& objects, int team,
                   const char* teamName) {
    size_t found = objects.size();
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i].type != STATIC_FACTORY || objects[i].team != team) {
            continue;
        }
        if (found != objects.size()) {
            KeyReader::FailIn(path, "\"placedObjects\" entries " + std::to_string(found + 1) +
                                        " and " + std::to_string(i + 1) + " are both a " +
                                        STATIC_FACTORY.GetName() + " of " + teamName +
                                        "; a side has one factory.");
        }
        found = i;
    }
    if (found == objects.size()) {
        KeyReader::FailIn(path, "\"placedObjects\" holds no " + STATIC_FACTORY.GetName() + " of " +
                                    teamName + "; each side needs one.");
    }
    return found;
}

void ReadPlacedObjects(const KeyReader& reader, LevelFile& level) {
    if (reader.Has(KEY_PLACED_OBJECTS)) {
        const orvel::AnyVectorPtr entries = reader.List(KEY_PLACED_OBJECTS);
        for (size_t i = 0; i < entries->Size(); ++i) {
            const boost::any& entry = reader.Element(*entries, i, orvel::PROPERTY_STRUCT,
                                                     KeyReader::Quoted(KEY_PLACED_OBJECTS));
            level.placedObjects.push_back(
                ReadPlacedObject(level.path, *boost::any_cast<orvel::PropertiesPtr>(entry), i));
        }
    }
    level.goodFactory = FindFactory(level.path, level.placedObjects, TEAM_GOOD, TEAM_GOOD_NAME);
    level.badFactory = FindFactory(level.path, level.placedObjects, TEAM_BAD, TEAM_BAD_NAME);
}

PurchaseMenu ReadPurchaseMenu(const std::string& path, const KeyReader& reader, PropertyKey key) {
    const orvel::PropertiesPtr menu = reader.Struct(key);
    const KeyReader menuReader(path, *menu, KeyReader::Quoted(key) + ": ");
    PurchaseMenu values = {};
    for (int product = 0; product < PRODUCT_UNIT_COUNT; ++product) {
        values[product] = menuReader.Int(PropertyKey(ProductMenuKey(product)));
    }
    return values;
}

std::vector<std::vector<int>> ReadPurchaseGroups(const KeyReader& reader) {
    const orvel::AnyVectorPtr groups = reader.List(KEY_PURCHASE_GROUPS);
    std::vector<std::vector<int>> result;
    for (size_t i = 0; i < groups->Size(); ++i) {
        const std::string what =
            "group " + std::to_string(i + 1) + " of " + KeyReader::Quoted(KEY_PURCHASE_GROUPS);
        const boost::any& group = reader.Element(*groups, i, orvel::PROPERTY_LIST,
                                                 KeyReader::Quoted(KEY_PURCHASE_GROUPS));
        std::vector<int> products;
        for (const std::string& entry :
             reader.Strings(*boost::any_cast<orvel::AnyVectorPtr>(group), what)) {
            products.push_back(ProductOfGroupEntry(entry));
        }
        result.push_back(products);
    }
    return result;
}

void ReadSideTwo(const KeyReader& reader, bool skirmishMode, LevelFile& level) {
    if (reader.Has(KEY_ENEMY_AIRSHIP) && !skirmishMode) {
        level.enemyAirship = reader.Bool(KEY_ENEMY_AIRSHIP);
        if (reader.Has(KEY_AI_CAPABILITIES)) {
            level.aiCapabilities = reader.Struct(KEY_AI_CAPABILITIES);
        }
    }
    if (!skirmishMode) {
        level.purchaseTimePerUnit = reader.Float(KEY_PURCHASE_TIME_PER_UNIT);
    }
    if (reader.Has(KEY_ENEMY_BUY)) {
        level.enemyBuy = reader.Bool(KEY_ENEMY_BUY);
    }
    if (!skirmishMode) {
        level.purchaseGroups = ReadPurchaseGroups(reader);
    }
}

}  // namespace

LevelFile ReadLevelFile(const std::string& folder, bool skirmishMode) {
    LevelFile level;
    level.folder = folder;
    level.path = InFolder(folder, LEVEL_FILE_NAME);
    level.properties = ParseFile(level.path);
    const KeyReader reader(level.path, *level.properties, "");

    if (reader.Has(KEY_MUSIC)) {
        level.music = InFolder(folder, reader.String(KEY_MUSIC));
    }
    if (reader.Has(KEY_SKY_LAYER)) {
        level.skyLayer = InFolder(folder, reader.String(KEY_SKY_LAYER));
    }
    if (reader.Has(KEY_MOUNTAINS_LAYER)) {
        level.mountainsLayer = InFolder(folder, reader.String(KEY_MOUNTAINS_LAYER));
    }
    level.foreground = TileNames(reader, folder, KEY_FOREGROUND);
    level.midground = TileNames(reader, folder, KEY_MIDGROUND);
    if (reader.Has(KEY_MIDGROUND_SCROLL_RATIO)) {
        level.midgroundScrollRatio = reader.Float(KEY_MIDGROUND_SCROLL_RATIO);
    }
    ReadTerrain(reader, level);
    ReadPlacedObjects(reader, level);
    level.goodPurchaseMenu = ReadPurchaseMenu(level.path, reader, KEY_GOOD_PURCHASE_MENU);
    level.badPurchaseMenu = ReadPurchaseMenu(level.path, reader, KEY_BAD_PURCHASE_MENU);
    ReadSideTwo(reader, skirmishMode, level);
    return level;
}

std::vector<std::vector<int>> ReadPurchaseGroupsFile(const std::string& path) {
    const orvel::PropertiesPtr file = ParseFile(path);
    return ReadPurchaseGroups(KeyReader(path, *file, ""));
}

float RequiredMidgroundWidth(float levelWidth, float scrollRatio) {
    const float beyond =
        levelWidth > MIDGROUND_BASE_WIDTH ? levelWidth - MIDGROUND_BASE_WIDTH : 0.0f;
    return beyond * scrollRatio + MIDGROUND_BASE_WIDTH;
}
