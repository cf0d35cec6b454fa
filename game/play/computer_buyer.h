#pragma once

#include <functional>
#include <vector>

#include "game/units/components/factory_component.h"

// The purchase groups that computer sides buy from: lists of product
// indices, each with its total cost.
struct PurchaseGroups {
    std::vector<std::vector<int>> groups;
    std::vector<int> costs;
};

// The cost of a group at a factory: the sum of the unit costs of the
// factory's prototypes. A product the factory holds no prototype for costs
// nothing (and buys nothing).
int GroupCost(const FactoryComponent& factory, const std::vector<int>& group);

// Buys for a side that no person plays. While the side's airship is alive
// it buys whole purchase groups on a timer: each bought group adds the time
// per unit for each of its products, and the next group is drawn at random.
// While its airship is on offer it saves every dollar for it. With no groups
// at all it buys no units, and none while the side already has kFieldLimit
// bought units on the field: a side that cannot spend its units as fast as
// it earns them would otherwise pile them up without end.
class ComputerBuyer {
public:
    // Called with each product bought and the dollars it took.
    typedef std::function<void(int product, int32_t spent)> PurchaseListener;

    static constexpr int kFieldLimit = 20;

    // `timeForAirship`: buying the airship back also adds the time per unit.
    // `unitsOnField`: the side's living units of the products it buys.
    void Update(FactoryComponent& factory, const PurchaseGroups& groups, float timePerUnit,
                float dt, bool timeForAirship, const PurchaseListener& bought,
                int unitsOnField = 0);

    float GetTimer() const { return timer; }
    int GetGroupIndex() const { return groupIndex; }
    int GetGroupCost() const { return groupCost; }

private:
    // Buys the product; whether the money changed hands.
    static bool Buy(FactoryComponent& factory, int product, const PurchaseListener& bought);

    float timer = 0.0f;
    int groupIndex = 0;
    int groupCost = 0;
};
