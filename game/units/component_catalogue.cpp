#include "game/units/component_registry.h"
#include "game/units/components/ai_component.h"
#include "game/units/components/bomber_component.h"
#include "game/units/components/breakable_component.h"
#include "game/units/components/bunker_component.h"
#include "game/units/components/factory_component.h"
#include "game/units/components/fixer_component.h"
#include "game/units/components/floater_component.h"
#include "game/units/components/goto_component.h"
#include "game/units/components/magnet_component.h"
#include "game/units/components/mover_component.h"
#include "game/units/components/pusher_component.h"
#include "game/units/components/shooter_component.h"
#include "game/units/components/spar_component.h"
#include "game/units/components/sprite_component.h"
#include "game/units/components/steam_emitter_component.h"
#include "game/units/components/thruster_component.h"
#include "game/units/components/turret_component.h"
#include "game/units/components/warhead_component.h"

// Every component class a unit definition can name. A new component class
// adds its line here.
void RegisterComponentCatalogue(ComponentRegistry& registry) {
    registry.Register<AIComponent>("AIComponent");
    registry.Register<BomberComponent>("BomberComponent");
    registry.Register<FixerComponent>("FixerComponent");
    registry.Register<PusherComponent>("PusherComponent");
    registry.Register<BreakableComponent>("BreakableComponent");
    registry.Register<FactoryComponent>("FactoryComponent");
    registry.Register<SparComponent>("SparComponent");
    registry.Register<SteamEmitterComponent>("SteamEmitterComponent");
    registry.Register<MoverComponent>("MoverComponent");
    registry.Register<ShooterComponent>("ShooterComponent");
    registry.Register<SpriteComponent>("SpriteComponent");
    registry.Register<FloaterComponent>("FloaterComponent");
    registry.Register<BunkerComponent>("BunkerComponent");
    registry.Register<WarheadComponent>("WarheadComponent");
    registry.Register<ThrusterComponent>("ThrusterComponent");
    registry.Register<MagnetComponent>("MagnetComponent");
    registry.Register<TurretComponent>("TurretComponent");
    registry.Register<GotoComponent>("GotoComponent");
}
