#include "game/play/product.h"

namespace {

const char* const OBJECT_NAMES[PRODUCT_UNIT_COUNT] = {
    "Infantry", "Engineer", "Tank", "FlakTruck", "BalloonBomb", "AutoGyro", "Buster",
};

const char* const MENU_KEYS[PRODUCT_UNIT_COUNT] = {
    "infantry", "engineer", "tank", "flakTruck", "balloon", "autoGyro", "buster",
};

}  // namespace

PropertyKey ProductObjectName(int product) { return PropertyKey(OBJECT_NAMES[product]); }

const char* ProductMenuKey(int product) { return MENU_KEYS[product]; }

// Group entries name the units as the menus do.
int ProductOfGroupEntry(const std::string& entry) {
    for (int product = 0; product < PRODUCT_UNIT_COUNT; ++product) {
        if (entry.compare(0, std::string(MENU_KEYS[product]).size(), MENU_KEYS[product]) == 0) {
            return product;
        }
    }
    return 0;
}
