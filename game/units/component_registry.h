#pragma once

#include <functional>
#include <map>
#include <string>

#include "engine/core/property_key.h"
#include "game/units/component.h"

// The component classes that a unit definition can name, by class name
// ("FactoryComponent"). A definition's "componentName" may give the class
// name or the name without its "Component" ending ("Factory"); both find
// the same class. Each component class adds itself to the catalogue in
// component_catalogue.cpp, so the unit code never lists them.
class ComponentRegistry {
public:
    typedef std::function<ComponentPtr()> Factory;

    // The process-wide registry, filled with the catalogue on first use.
    static ComponentRegistry& Instance();

    // Adds or replaces the class of that name.
    void Register(PropertyKey className, const Factory& factory);
    // Registers T under `className` with a factory that default-constructs it.
    template <typename T>
    void Register(PropertyKey className) {
        Register(className, [] { return ComponentPtr(std::make_shared<T>()); });
    }

    // The class name that `componentName` stands for, or the empty name when
    // no registered class answers to it.
    PropertyKey ResolveClassName(const std::string& componentName) const;
    // A new component of the class, or null when the name is unknown.
    ComponentPtr Create(PropertyKey className) const;

private:
    std::map<PropertyKey, Factory> factories;
};

// Registers every component class of the game; defined in the catalogue.
void RegisterComponentCatalogue(ComponentRegistry& registry);
