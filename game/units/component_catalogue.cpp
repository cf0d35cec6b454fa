#include "game/units/component_registry.h"
#include "game/units/components/factory_component.h"

// Every component class a unit definition can name. A new component class
// adds its line here.
void RegisterComponentCatalogue(ComponentRegistry& registry) {
    registry.Register<FactoryComponent>("FactoryComponent");
}
