#pragma once

#include "engine/core/properties.h"

// What a level lets its opponent do with the units it carries. Each level
// may restrict it with its "AI_COMPONENT_Capabilities" set; without one
// everything is allowed.
struct AICapabilities {
    bool putInfantryInBunker = true;
    bool dropInfantryOnArtillery = true;
    bool putEngineerInTurret = true;
    bool putEngineerInFactory = true;
    bool killEnemyTanks = true;
    bool killEnemyInfantry = true;
    bool carryFlakTruckOffensively = true;
    bool carryFlakTruckDefensively = true;

    // Each flag from the bool under its own name; a missing name throws the
    // property store's exception.
    static AICapabilities FromProperties(const orvel::Properties& properties);
    // From the registry's "AI_COMPONENT_Capabilities", all allowed when it
    // is absent.
    static AICapabilities FromRegistry();
};

// How much each planning block's task is worth; pick-ups score below the
// carrying tasks, so a unit once taken is delivered.
struct AIWeights {
    float killEnemyTanks = 0.4f;
    float killEnemyInfantry = 0.2f;
    float putInfantry = 0.25f;
    float putEngineer = 0.33f;
    float flakDefensive = 0.55f;
    float flakOffensive = 0.52f;
    float flakPickup = 0.25f;
    float buster = 0.5f;
};
