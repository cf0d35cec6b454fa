#include "game/units/unit_stats.h"

#include <algorithm>

namespace {

const PropertyKey AIRSHIP_ROW("GoodAirShip");
const PropertyKey BAD_AIRSHIP("BadAirShip");
const PropertyKey AI_AIRSHIP("GoodAirShip_AI");

const int GOOD_SIDE = 1;
const int BAD_SIDE = -1;

}  // namespace

void UnitStats::AddUnitType(PropertyKey type) {
    unitTypes.push_back(type);
    counters.insert(counters.end(), 4, 0);
}

int UnitStats::Slot(int kind, PropertyKey type, int side) const {
    if (kind != KIND_GOT && kind != KIND_LOST) {
        return -1;
    }
    if (type == BAD_AIRSHIP || type == AI_AIRSHIP) {
        type = AIRSHIP_ROW;
    }
    const auto found = std::find(unitTypes.begin(), unitTypes.end(), type);
    if (found == unitTypes.end()) {
        return -1;
    }
    const int row = static_cast<int>(found - unitTypes.begin()) * 4;
    if (side == GOOD_SIDE) {
        return row + kind;
    }
    if (side == BAD_SIDE) {
        return row + 2 + kind;
    }
    return -1;
}

int UnitStats::Increment(int kind, PropertyKey type, int side) {
    const int slot = Slot(kind, type, side);
    if (slot != -1) {
        ++counters[slot];
    }
    return slot;
}

int UnitStats::Decrement(int kind, PropertyKey type, int side) {
    const int slot = Slot(kind, type, side);
    if (slot != -1) {
        --counters[slot];
    }
    return slot;
}

int32_t UnitStats::Get(int kind, PropertyKey type, int side) const {
    const int slot = Slot(kind, type, side);
    return slot == -1 ? 0 : counters[slot];
}

int32_t UnitStats::GetMax() const {
    if (counters.empty()) {
        return -1;
    }
    return *std::max_element(counters.begin(), counters.end());
}

int32_t UnitStats::GetSideTotal(int kind, int side) const {
    if ((side != GOOD_SIDE && side != BAD_SIDE) || (kind != KIND_GOT && kind != KIND_LOST)) {
        return -1;
    }
    int32_t total = 0;
    const size_t first = (side == GOOD_SIDE ? 0 : 2) + kind;
    for (size_t i = first; i < counters.size(); i += 4) {
        total += counters[i];
    }
    return total;
}

int32_t UnitStats::GetMaxSide() const {
    if (counters.empty()) {
        return -1;
    }
    return std::max({GetSideTotal(KIND_GOT, GOOD_SIDE), GetSideTotal(KIND_LOST, GOOD_SIDE),
                     GetSideTotal(KIND_GOT, BAD_SIDE), GetSideTotal(KIND_LOST, BAD_SIDE)});
}
