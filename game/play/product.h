#pragma once

#include <string>

#include "engine/core/property_key.h"

// The products a factory offers, by index: the seven unit types that can be
// bought, then the side's own airship when it has been destroyed. The same
// indices name the purchase buttons and the entries of purchase groups.
const int PRODUCT_UNIT_COUNT = 7;
const int PRODUCT_AIRSHIP = 7;

// The object definition of each buyable unit type, in product order.
PropertyKey ProductObjectName(int product);

// The key of each buyable unit type in a level's purchase menus.
const char* ProductMenuKey(int product);

// The product index of a purchase-group entry: the first unit name of
// "infantry", "engineer", "tank", "flakTruck", "balloon", "autoGyro",
// "buster" that the entry begins with ("tanks" is a tank); 0 when none.
int ProductOfGroupEntry(const std::string& entry);
