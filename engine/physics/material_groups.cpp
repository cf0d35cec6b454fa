#include "engine/physics/material_groups.h"

#include <vector>

#include "engine/core/exception.h"
#include "engine/core/property_file.h"
#include "engine/physics/checked_value.h"
#include "engine/physics/mechanica.h"

namespace orvel {

namespace {

const PropertyKey kMaterialGroupIds("materialGroupIDs");
const PropertyKey kAllMaterialGroupString("allMaterialGroupString");
const PropertyKey kMaterialProperties("materialProperties");
const PropertyKey kGroup0("group0");
const PropertyKey kGroup1("group1");
const PropertyKey kStaticFriction("staticFriction");
const PropertyKey kKineticFriction("kineticFriction");
const PropertyKey kElasticity("elasticity");
const PropertyKey kSoftness("softness");
const PropertyKey kCallback("callback");
const PropertyKey kCollidable("collidable");

PropertyKey RequiredName(const Properties& entry, PropertyKey key, const std::string& path) {
    if (!entry.HasProperty(key)) {
        throw ExceptionStringNotFound(key.GetName(), path);
    }
    return PropertyKey::Intern(entry.GetString(key));
}

// The groups a pair entry's name stands for: every group for the wildcard,
// else the name alone. Without a list of groups no pair is set at all.
std::vector<PropertyKey> Expand(PropertyKey name, PropertyKey wildcard,
                                const std::vector<PropertyKey>& groups) {
    if (groups.empty()) {
        return {};
    }
    if (name == wildcard) {
        return groups;
    }
    return {name};
}

// One entry's settings, checked before any of them reaches the world.
struct PairSettings {
    bool hasFriction = false;
    float staticFriction = 0.0f;
    float kineticFriction = 0.0f;
    bool hasElasticity = false;
    float elasticity = 0.0f;
    bool hasSoftness = false;
    float softness = 0.0f;
    bool callback = false;
    bool hasCollidable = false;
    bool collidable = false;
};

PairSettings ReadPairSettings(const Properties& entry, const std::string& path) {
    PairSettings settings;
    const bool hasStatic = entry.HasProperty(kStaticFriction);
    const bool hasKinetic = entry.HasProperty(kKineticFriction);
    if (hasStatic && !hasKinetic) {
        throw ExceptionStringNotFound(kKineticFriction.GetName(), path);
    }
    if (hasKinetic && !hasStatic) {
        throw ExceptionStringNotFound(kStaticFriction.GetName(), path);
    }
    if (hasStatic) {
        settings.hasFriction = true;
        settings.staticFriction =
            CheckNotNegative(entry.GetFloat(kStaticFriction), kStaticFriction, path);
        settings.kineticFriction =
            CheckNotNegative(entry.GetFloat(kKineticFriction), kKineticFriction, path);
    }
    if (entry.HasProperty(kElasticity)) {
        settings.hasElasticity = true;
        settings.elasticity = CheckNotNegative(entry.GetFloat(kElasticity), kElasticity, path);
    }
    if (entry.HasProperty(kSoftness)) {
        settings.hasSoftness = true;
        settings.softness = CheckNotNegative(entry.GetFloat(kSoftness), kSoftness, path);
    }
    settings.callback = entry.HasProperty(kCallback) && entry.GetBool(kCallback);
    if (entry.HasProperty(kCollidable)) {
        settings.hasCollidable = true;
        settings.collidable = entry.GetBool(kCollidable);
    }
    return settings;
}

void ApplyPair(Mechanica& world, PropertyKey group0, PropertyKey group1,
               const PairSettings& settings) {
    if (settings.hasFriction) {
        world.SetMaterialFriction(group0, group1, settings.staticFriction,
                                  settings.kineticFriction);
    }
    if (settings.hasElasticity) {
        world.SetMaterialElasticity(group0, group1, settings.elasticity);
    }
    if (settings.hasSoftness) {
        world.SetMaterialSoftness(group0, group1, settings.softness);
    }
    world.SetMaterialCallbacks(group0, group1, settings.callback);
    if (settings.hasCollidable) {
        world.SetMaterialCollidable(group0, group1, settings.collidable);
    }
}

}  // namespace

void LoadMaterialGroups(Mechanica& world, const std::string& path) {
    ApplyMaterialGroups(world, *LoadPropertyFile(path), path);
}

void ApplyMaterialGroups(Mechanica& world, const Properties& file, const std::string& path) {
    std::vector<PropertyKey> groups;
    if (file.HasProperty(kMaterialGroupIds)) {
        const AnyVectorPtr names = file.GetList(kMaterialGroupIds);
        for (size_t i = 0; i < names->Size(); ++i) {
            groups.push_back(PropertyKey::Intern(names->GetString(i)));
        }
    }
    for (PropertyKey name : groups) {
        world.CreateMaterialGroup(name);
    }
    if (!file.HasProperty(kAllMaterialGroupString)) {
        throw ExceptionStringNotFound(kAllMaterialGroupString.GetName(), path);
    }
    const PropertyKey wildcard = PropertyKey::Intern(file.GetString(kAllMaterialGroupString));
    if (!file.HasProperty(kMaterialProperties)) {
        return;
    }
    const AnyVectorPtr entries = file.GetList(kMaterialProperties);
    for (size_t i = 0; i < entries->Size(); ++i) {
        const PropertiesPtr entry = entries->GetStruct(i);
        const PropertyKey group0 = RequiredName(*entry, kGroup0, path);
        const PropertyKey group1 = RequiredName(*entry, kGroup1, path);
        const PairSettings settings = ReadPairSettings(*entry, path);
        // A name that is no group is an error even when the entry sets
        // nothing, so a misspelt pair never goes unnoticed.
        for (PropertyKey name : {group0, group1}) {
            if (name != wildcard && !groups.empty()) {
                world.GetMaterialGroupId(name);
            }
        }
        for (PropertyKey outer : Expand(group0, wildcard, groups)) {
            for (PropertyKey inner : Expand(group1, wildcard, groups)) {
                ApplyPair(world, outer, inner, settings);
            }
        }
    }
}

}  // namespace orvel
