#include "game/units/components/steam_emitter_component.h"

#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"
#include "engine/sound/sound.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "game/units/unit_services.h"

namespace {

const PropertyKey SOUND("sound");
const PropertyKey SHOT_CREATION_POINT("shotCreationPoint");
const PropertyKey TIME_BETWEEN_SHOTS("timeBetweenShots");
const PropertyKey LIGHT_STEAM("lightSteamObjectName");
const PropertyKey MEDIUM_STEAM("mediumSteamObjectName");
const PropertyKey DARK_STEAM("darkSteamObjectName");
const PropertyKey RANDOMIZE_BARREL("randomizeBarrel");
const PropertyKey RANDOMIZE_BARREL_BY("randomizeBarrelBy");

const float RADIANS_PER_DEGREE = 0.0174533f;

void Require(const orvel::Properties& entry, PropertyKey key) {
    if (!entry.HasProperty(key)) {
        throw orvel::ExceptionStringNotFound(key.GetName(), "objectFile?");
    }
}

PropertyKey NameOf(const orvel::Properties& entry, PropertyKey key) {
    return PropertyKey::Intern(entry.GetString(key));
}

}  // namespace

ComponentPtr SteamEmitterComponent::Clone() const {
    return std::make_shared<SteamEmitterComponent>();
}

void SteamEmitterComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    if (entry.HasProperty(SOUND)) {
        sound = CreateUnitSound(NameOf(entry, SOUND));
    }
    for (PropertyKey key : {SHOT_CREATION_POINT, TIME_BETWEEN_SHOTS, LIGHT_STEAM, MEDIUM_STEAM,
                            DARK_STEAM}) {
        Require(entry, key);
    }
    const orvel::PointI point = entry.GetPoint(SHOT_CREATION_POINT);
    const float scale = GetWorld()->GetScale();
    shotCreationPoint = orvel::Vector4(point.x / scale, point.y / scale, 0.0f, 1.0f);
    if (IsOwnerFlipped()) {
        shotCreationPoint.x = -shotCreationPoint.x;
    }
    timeBetweenShots = entry.GetFloat(TIME_BETWEEN_SHOTS);
    lightSteam = NameOf(entry, LIGHT_STEAM);
    mediumSteam = NameOf(entry, MEDIUM_STEAM);
    darkSteam = NameOf(entry, DARK_STEAM);
    currentSteam = lightSteam;
    randomizeBarrel = entry.HasProperty(RANDOMIZE_BARREL) && entry.GetBool(RANDOMIZE_BARREL);
    if (entry.HasProperty(RANDOMIZE_BARREL_BY)) {
        barrelSpread = entry.GetInt(RANDOMIZE_BARREL_BY) * RADIANS_PER_DEGREE;
    }
}

void SteamEmitterComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const SteamEmitterComponent&>(prototypeComponent);
    currentSteam = prototype.currentSteam;
    lightSteam = prototype.lightSteam;
    mediumSteam = prototype.mediumSteam;
    darkSteam = prototype.darkSteam;
    emitTimer = prototype.emitTimer;
    timeBetweenShots = prototype.timeBetweenShots;
    shotCreationPoint = prototype.shotCreationPoint;
    randomizeBarrel = prototype.randomizeBarrel;
    barrelSpread = prototype.barrelSpread;
    if (prototype.sound) {
        sound = CreateUnitSound(prototype.sound->GetSample()->GetName());
    }
}

bool SteamEmitterComponent::HandleMessage(int id, intptr_t data, void*) {
    switch (id) {
    case MESSAGE_DIE:
    case MESSAGE_REMOVE:
        armed = false;
        return true;
    case MESSAGE_SET_ARMED:
        armed = data != 0;
        return true;
    default:
        return false;
    }
}

void SteamEmitterComponent::ChooseSteam() {
    const int32_t maxHitPoints = GetOwner()->GetMaxHitPoints();
    if (maxHitPoints <= 0) {
        currentSteam = lightSteam;
        return;
    }
    const float ratio = static_cast<float>(GetOwner()->GetHitPoints()) / maxHitPoints;
    if (ratio > kLightAbove) {
        currentSteam = lightSteam;
    } else if (ratio > kMediumAbove) {
        currentSteam = mediumSteam;
    } else {
        currentSteam = darkSteam;
    }
}

void SteamEmitterComponent::PreStep() { emitTimer += GetFrameTime(); }

// The timer runs on while the emitter is disarmed, so a re-armed emitter
// puffs at its next update.
void SteamEmitterComponent::Update() {
    if (armed && emitTimer >= timeBetweenShots) {
        Emit();
    }
}

void SteamEmitterComponent::Emit() {
    ChooseSteam();
    ComponentBody* owner = GetOwner();
    const orvel::Matrix4 matrix = owner->GetMatrix();
    shotStart = matrix.TransformPoint(shotCreationPoint);
    emitDirection = orvel::Vector4(0.0f, 1.0f, 0.0f, 1.0f);
    SendOwnerMessage(MESSAGE_EMIT, 0, this);
    auto puff = std::make_shared<ComponentBody>();
    puff->SpawnUnit(GetWorld(), owner->GetCreationContext(), owner->GetLoadContext(),
                    GetOwnerObjectDefinitions(), currentSteam, 0);
    puff->SetTeam(GetOwnerTeam());
    puff->SetPosition(shotStart);
    // A puff's mover takes the direction as its way to go.
    puff->SendMessage(MESSAGE_SET_TARGET, reinterpret_cast<intptr_t>(&emitDirection));
    GetWorld()->AddBody(puff);
    if (sound) {
        sound->PlayAt(matrix.m);
    }
    emitTimer = 0.0f;
}
