#include "game/units/component_registry.h"
#include "game/units/components/ai_component.h"
#include "game/units/components/bunker_component.h"
#include "game/units/components/factory_component.h"
#include "game/units/components/floater_component.h"
#include "game/units/components/goto_component.h"
#include "game/units/components/magnet_component.h"
#include "game/units/components/mover_component.h"
#include "game/units/components/shooter_component.h"
#include "game/units/components/sprite_component.h"
#include "game/units/components/thruster_component.h"
#include "game/units/components/turret_component.h"
#include "game/units/components/warhead_component.h"

// Every component class a unit definition can name. A new component class
// adds its line here.
void RegisterComponentCatalogue(ComponentRegistry& registry) {
    registry.Register<AIComponent>("AIComponent");
    registry.Register<BunkerComponent>("BunkerComponent");
    registry.Register<FactoryComponent>("FactoryComponent");
    registry.Register<MoverComponent>("MoverComponent");
    registry.Register<FloaterComponent>("FloaterComponent");
    registry.Register<ThrusterComponent>("ThrusterComponent");
    registry.Register<MagnetComponent>("MagnetComponent");
    registry.Register<GotoComponent>("GotoComponent");
    registry.Register<ShooterComponent>("ShooterComponent");
    registry.Register<SpriteComponent>("SpriteComponent");
    registry.Register<TurretComponent>("TurretComponent");
    registry.Register<WarheadComponent>("WarheadComponent");
}
