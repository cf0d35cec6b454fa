#include "game/units/component_registry.h"

namespace {
const std::string CLASS_ENDING = "Component";
}

ComponentRegistry& ComponentRegistry::Instance() {
    static ComponentRegistry registry = [] {
        ComponentRegistry made;
        RegisterComponentCatalogue(made);
        return made;
    }();
    return registry;
}

void ComponentRegistry::Register(PropertyKey className, const Factory& factory) {
    factories[className] = factory;
}

PropertyKey ComponentRegistry::ResolveClassName(const std::string& componentName) const {
    const PropertyKey shortForm = PropertyKey::Intern(componentName + CLASS_ENDING);
    if (factories.count(shortForm) != 0) {
        return shortForm;
    }
    const PropertyKey fullForm = PropertyKey::Intern(componentName);
    if (factories.count(fullForm) != 0) {
        return fullForm;
    }
    return PropertyKey();
}

ComponentPtr ComponentRegistry::Create(PropertyKey className) const {
    const auto found = factories.find(className);
    return found == factories.end() ? ComponentPtr() : found->second();
}
