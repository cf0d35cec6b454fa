#pragma once

#include <cstdint>
#include <vector>

#include "engine/core/property_key.h"

// How many units of each type each side got and lost in one level. The
// in-game state registers the types; factories, level loading and the units
// themselves count into it; the statistics screen reads it after the level.
//
// Counters come four per registered type: got and lost for the good side,
// then got and lost for the bad side. Both airships share the row of
// "GoodAirShip".
class UnitStats {
public:
    enum Kind { KIND_GOT = 0, KIND_LOST = 1 };

    UnitStats() = default;

    // Appends the type with its four counters at zero.
    void AddUnitType(PropertyKey type);

    // Add or take one from the counter; nothing happens for an unknown type
    // or a side other than 1 and -1. Return the counter's index, or -1.
    int Increment(int kind, PropertyKey type, int side);
    int Decrement(int kind, PropertyKey type, int side);

    // The counter, 0 when there is none for these arguments.
    int32_t Get(int kind, PropertyKey type, int side) const;
    // The largest counter; -1 when no type is registered.
    int32_t GetMax() const;
    // The counters of one kind and side summed over every type; -1 for a
    // side other than 1 and -1.
    int32_t GetSideTotal(int kind, int side) const;
    // The largest of the four side totals; -1 when no type is registered.
    int32_t GetMaxSide() const;

private:
    int Slot(int kind, PropertyKey type, int side) const;

    std::vector<int32_t> counters;
    std::vector<PropertyKey> unitTypes;
};
