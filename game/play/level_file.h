#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/core/properties.h"
#include "engine/core/property_key.h"
#include "game/play/play_field.h"
#include "game/play/product.h"

// One object that a level places: a unit or a building spawned from its
// object definition when the level loads.
struct PlacedObject {
    int team = TEAM_NONE;
    PropertyKey type;
    int priority = 0;  // draw priority handed to the unit's sprites; 0 keeps its own
    // Rows are the axes, the fourth row the position, in play-field pixels.
    float matrix[16] = {};
};

// The products of one side's factory: a menu value per buyable unit type in
// product order; 0 keeps the type off the menu.
typedef std::array<int, PRODUCT_UNIT_COUNT> PurchaseMenu;

// Everything "level.txt" says, checked and in plain form. Levels are files
// that players write themselves (the skirmish "extra levels"), so the reader
// checks every key the game relies on before anything of the level is built:
// a level either reads whole or fails with a message naming the file and
// the key, and a failure leaves nothing behind.
struct LevelFile {
    std::string path;                 // the file read
    std::string folder;               // the level's folder; every file name below lies in it
    orvel::PropertiesPtr properties;  // the parsed file, kept for the life of the level

    std::string music;                    // empty when the level has none
    std::string skyLayer;                 // empty when the level has none
    std::string mountainsLayer;           // empty when the level has none
    std::vector<std::string> foreground;  // tile sprites, left to right
    std::vector<std::string> midground;   // tile sprites, left to right
    float midgroundScrollRatio = 0.3f;

    std::vector<int> nodeHeights;  // terrain heights in pixels, one per node
    int nodeSpacing = 0;           // pixels between two nodes

    std::vector<PlacedObject> placedObjects;
    size_t goodFactory = 0;  // index in placedObjects of side 1's factory
    size_t badFactory = 0;   // index in placedObjects of side 2's factory

    PurchaseMenu goodPurchaseMenu = {};
    PurchaseMenu badPurchaseMenu = {};

    bool enemyAirship = true;
    // Read only when the level says whether side 2 has an airship, outside
    // skirmish mode; empty otherwise.
    orvel::PropertiesPtr aiCapabilities;
    // Seconds of the computer's buying timer per unit; skirmish uses its own.
    float purchaseTimePerUnit = SKIRMISH_PURCHASE_TIME_PER_UNIT;
    bool enemyBuy = true;
    // Side 2's purchase groups as product indices; skirmish mode reads the
    // skirmish groups instead.
    std::vector<std::vector<int>> purchaseGroups;
};

// The object type of the building that makes a side's units.
extern const PropertyKey STATIC_FACTORY;

// Reads and checks "level.txt" of a level folder. Throws orvel::ExceptionGeneral
// naming the file and the key for every missing, mistyped or out-of-range
// value, for a level without exactly one factory per side and for a midground
// too narrow for its scroll ratio; orvel::ExceptionFileNotFound when the file
// is missing.
LevelFile ReadLevelFile(const std::string& folder, bool skirmishMode);

// Reads the purchase groups of a property file whose one key is
// "purchaseGroups" (the skirmish groups), checked like a level's.
std::vector<std::vector<int>> ReadPurchaseGroupsFile(const std::string& path);

// The width that the midground row must have so that its scrolling at the
// given ratio stays covered by tiles; a level of 1024 pixels or less needs
// 1024 whatever the ratio.
float RequiredMidgroundWidth(float levelWidth, float scrollRatio);
