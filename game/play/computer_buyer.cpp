#include "game/play/computer_buyer.h"

#include <cstdlib>

#include "game/play/product.h"
#include "game/units/component_body.h"

int GroupCost(const FactoryComponent& factory, const std::vector<int>& group) {
    int cost = 0;
    for (int product : group) {
        if (const std::shared_ptr<ComponentBody>& prototype = factory.GetHeldBody(product)) {
            cost += prototype->GetUnitCost();
        }
    }
    return cost;
}

bool ComputerBuyer::Buy(FactoryComponent& factory, int product, const PurchaseListener& bought) {
    const int32_t before = factory.GetDollars();
    factory.Buy(product);
    if (factory.GetDollars() == before) {
        return false;
    }
    if (bought) {
        bought(product, before - factory.GetDollars());
    }
    return true;
}

void ComputerBuyer::Update(FactoryComponent& factory, const PurchaseGroups& groups,
                           float timePerUnit, float dt, bool timeForAirship,
                           const PurchaseListener& bought, int unitsOnField) {
    if (factory.CanBuy(PRODUCT_AIRSHIP)) {
        if (factory.CanAfford(PRODUCT_AIRSHIP)) {
            Buy(factory, PRODUCT_AIRSHIP, bought);
            if (timeForAirship) {
                timer += timePerUnit;
            }
        }
        return;
    }
    if (unitsOnField >= kFieldLimit) {
        return;
    }
    timer -= dt;
    if (timer > 0.0f || factory.GetDollars() < groupCost || groups.groups.empty()) {
        return;
    }
    for (int product : groups.groups[size_t(groupIndex)]) {
        if (factory.GetHeldBody(product)) {
            Buy(factory, product, bought);
        }
        timer += timePerUnit;
    }
    groupIndex = std::rand() % int(groups.groups.size());
    groupCost = groups.costs[size_t(groupIndex)];
}
