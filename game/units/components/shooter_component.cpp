#include "game/units/components/shooter_component.h"

#include <cmath>
#include <cstdlib>

#include "engine/core/attributes.h"
#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"
#include "engine/sound/sound.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "game/units/unit_services.h"

namespace {

const PropertyKey SOUND("sound");
const PropertyKey SHOT_CREATION_POINT("shotCreationPoint");
const PropertyKey RECOIL_VECTOR("recoilVector");
const PropertyKey TIME_BETWEEN_SHOTS("timeBetweenShots");
const PropertyKey SHOT_OBJECT_NAME("shotObjectName");
const PropertyKey RANDOMIZE_BARREL("randomizeBarrel");
const PropertyKey STOP_ON_STATIC("stopOnStatic");
const PropertyKey ALWAYS_ACTIVE("alwaysActive");
const PropertyKey DETECT_FRIENDLY("detectFriendly");
const PropertyKey SUPPRESS_MOVE_MESSAGE("suppressMoveMessage");
const PropertyKey MAKE_SHOT_ENEMY("makeShotEnemy");
const PropertyKey RANDOMIZE_BARREL_BY("randomizeBarrelBy");
const PropertyKey GEOMETRY("Geometry");

const PropertyKey STATIC_UNIT("mg_static_unit");

const PropertyKey GOOD_STOPPED("GoodVehicleStopped");
const PropertyKey GOOD_STOPPED_X("GoodVehicleStoppedAtX");
const PropertyKey GOOD_STOPPED_Y("GoodVehicleStoppedAtY");
const PropertyKey BAD_STOPPED("BadVehicleStopped");
const PropertyKey BAD_STOPPED_X("BadVehicleStoppedAtX");
const PropertyKey BAD_STOPPED_Y("BadVehicleStoppedAtY");

const float RADIANS_PER_DEGREE = 0.0174533f;
// A contact with an enemy building holds the unit for this many updates.
const int STOP_HOLD_UPDATES = 10;
// After this many contact points of one push against an enemy building the
// vehicle counts as stopped by it.
const int STOPPED_CONTACTS = 10;

void Require(const orvel::Properties& entry, PropertyKey key) {
    if (!entry.HasProperty(key)) {
        throw orvel::ExceptionStringNotFound(key.GetName(), "objectFile?");
    }
}

bool OptionalBool(const orvel::Properties& entry, PropertyKey key) {
    return entry.HasProperty(key) && entry.GetBool(key);
}

// Unit length in x and y alone when the vector lies in the play plane.
orvel::Vector4 Normalised(const orvel::Vector4& d) {
    const float length = d.z == 0.0f ? std::sqrt(d.x * d.x + d.y * d.y)
                                     : std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (length == 0.0f) {
        return orvel::Vector4(0.0f, 0.0f, 0.0f, d.w);
    }
    return orvel::Vector4(d.x / length, d.y / length, d.z / length, d.w);
}

}  // namespace

ComponentPtr ShooterComponent::Clone() const { return std::make_shared<ShooterComponent>(); }

void ShooterComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    if (entry.HasProperty(SOUND)) {
        sound = CreateUnitSound(PropertyKey::Intern(entry.GetString(SOUND)));
    }
    Require(entry, SHOT_CREATION_POINT);
    const orvel::PointI point = entry.GetPoint(SHOT_CREATION_POINT);
    const float scale = GetWorld()->GetScale();
    shotCreationPoint = orvel::Vector4(point.x / scale, point.y / scale, 0.0f, 1.0f);
    if (IsOwnerFlipped()) {
        shotCreationPoint.x = -shotCreationPoint.x;
    }
    if (entry.HasProperty(RECOIL_VECTOR)) {
        const orvel::PointF recoil = entry.GetPointF(RECOIL_VECTOR);
        recoilVector = orvel::Vector4(recoil.x, recoil.y, 0.0f, 1.0f);
        recoilEnabled = true;
    }
    Require(entry, TIME_BETWEEN_SHOTS);
    timeBetweenShots = entry.GetFloat(TIME_BETWEEN_SHOTS);
    Require(entry, SHOT_OBJECT_NAME);
    shotObjectName = PropertyKey::Intern(entry.GetString(SHOT_OBJECT_NAME));
    randomizeBarrel = OptionalBool(entry, RANDOMIZE_BARREL);
    stopOnStatic = OptionalBool(entry, STOP_ON_STATIC);
    alwaysActive = OptionalBool(entry, ALWAYS_ACTIVE);
    detectFriendly = OptionalBool(entry, DETECT_FRIENDLY);
    suppressMoveMessage = OptionalBool(entry, SUPPRESS_MOVE_MESSAGE);
    makeShotEnemy = OptionalBool(entry, MAKE_SHOT_ENEMY);
    if (entry.HasProperty(RANDOMIZE_BARREL_BY)) {
        barrelSpread = entry.GetInt(RANDOMIZE_BARREL_BY) * RADIANS_PER_DEGREE;
    }
    if (entry.HasProperty(GEOMETRY)) {
        sensor = CreateSensorFromList(*GetOwner(), entryPtr, entry);
    }
}

void ShooterComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const ShooterComponent&>(prototypeComponent);
    sensor = CopySensor(prototype.sensor);
    shotTimer = prototype.shotTimer;
    timeBetweenShots = prototype.timeBetweenShots;
    shotObjectName = prototype.shotObjectName;
    shotCreationPoint = prototype.shotCreationPoint;
    aimDirection = prototype.aimDirection;
    shotStart = prototype.shotStart;
    recoilVector = prototype.recoilVector;
    recoilEnabled = prototype.recoilEnabled;
    armed = prototype.armed;
    randomizeBarrel = prototype.randomizeBarrel;
    detectFriendly = prototype.detectFriendly;
    makeShotEnemy = prototype.makeShotEnemy;
    alwaysActive = prototype.alwaysActive;
    suppressMoveMessage = prototype.suppressMoveMessage;
    stopOnStatic = prototype.stopOnStatic;
    barrelSpread = prototype.barrelSpread;
    sound = prototype.sound ? CreateUnitSound(prototype.sound->GetSample()->GetName()) : nullptr;
}

bool ShooterComponent::HandleMessage(int id, intptr_t data, void*) {
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

bool ShooterComponent::OnContact(PhysMaterial*, PhysContact*, orvel::Body* other) {
    if (stopOnStatic && other->GetMaterialGroup() == STATIC_UNIT && other->GetTeam() != 0 &&
        other->GetTeam() != GetOwnerTeam()) {
        stopHold = STOP_HOLD_UPDATES;
        ++staticContactCount;
    }
    return true;
}

void ShooterComponent::OnFreeze() {
    if (sensor) {
        sensor->Freeze();
    }
}

void ShooterComponent::OnUnfreeze() {
    if (sensor) {
        sensor->Unfreeze();
    }
}

void ShooterComponent::OnTransform(const orvel::Matrix4& matrix) {
    if (sensor) {
        sensor->SetMatrix(matrix);
    }
}

void ShooterComponent::OnSetPosition(const orvel::Vector4& position) {
    if (sensor) {
        sensor->SetPosition(position);
    }
}

void ShooterComponent::PreStep() {
    shotTimer += GetFrameTime();
    if (stopHold > 0 && stopOnStatic) {
        SendOwnerMessage(MESSAGE_STOP, 0, this);
    }
    stopHold = 0;
}

void ShooterComponent::ClearSensed() {
    if (sensor) {
        sensor->ClearSensed();
    }
}

void ShooterComponent::RaiseVehicleStopped() {
    const int team = GetOwnerTeam();
    if (team == 0) {
        return;
    }
    const bool good = team == 1;
    const orvel::Vector4 position = GetOwner()->GetPosition();
    orvel::Attributes& registry = orvel::GlobalProperties();
    registry.SetBool(good ? GOOD_STOPPED : BAD_STOPPED, true);
    registry[good ? GOOD_STOPPED_X : BAD_STOPPED_X] = position.x;
    registry[good ? GOOD_STOPPED_Y : BAD_STOPPED_Y] = position.y;
}

void ShooterComponent::Update() {
    // The contact points of one push add up over the updates that it lasts
    // (a resting box gives a few a step, never more than ten), and a broken
    // contact starts the count afresh.
    if (stopOnStatic && staticContactCount > STOPPED_CONTACTS) {
        RaiseVehicleStopped();
        staticContactCount = 0;
    } else if (stopHold == 0) {
        staticContactCount = 0;
    }
    if (stopHold > 0 && stopOnStatic) {
        SendOwnerMessage(MESSAGE_STOP, 0, this);
        ClearSensed();
        --stopHold;
        engaged = true;
        return;
    }
    if (!armed && !alwaysActive) {
        ClearSensed();
        return;
    }
    if (sensor) {
        UpdateWithSensor();
        return;
    }
    if (shotTimer >= timeBetweenShots) {
        shotStart = GetOwner()->GetMatrix().TransformPoint(shotCreationPoint);
        aimDirection = orvel::Vector4(0.0f, 1.0f, 0.0f, 1.0f);
        SendOwnerMessage(MESSAGE_EMIT, 0, this);
        Fire();
    }
}

void ShooterComponent::UpdateWithSensor() {
    const int team = GetOwnerTeam();
    orvel::Body* target = detectFriendly ? sensor->FindFriend(team) : sensor->FindEnemy(team);
    if (!target) {
        if (engaged && !suppressMoveMessage) {
            SendOwnerMessage(MESSAGE_MOVE, 0, this);
        }
        engaged = false;
        ClearSensed();
        return;
    }
    shotStart = GetOwner()->GetMatrix().TransformPoint(shotCreationPoint);
    const orvel::Vector4 aim = target->GetPosition();
    aimDirection = Normalised(
        orvel::Vector4(aim.x - shotStart.x, aim.y - shotStart.y, aim.z - shotStart.z, aim.w));
    if (randomizeBarrel) {
        // The barrel turns by up to half the spread either way. The draw is
        // a share of RAND_MAX, which is far above 32767 on this platform.
        const float share = float(std::rand()) / float(RAND_MAX);
        const float angle = (share - 0.5f) * barrelSpread;
        const float c = std::cos(angle);
        const float s = std::sin(angle);
        aimDirection =
            orvel::Vector4(aimDirection.x * c - aimDirection.y * s,
                           aimDirection.x * s + aimDirection.y * c, aimDirection.z, aimDirection.w);
    }
    SendOwnerMessage(MESSAGE_STOP, 0, this);
    if (shotTimer >= timeBetweenShots) {
        Fire();
        SendOwnerMessage(MESSAGE_FIRE, 0, this);
    }
    engaged = true;
    ClearSensed();
}

void ShooterComponent::Fire() {
    ComponentBody* owner = GetOwner();
    auto shot = std::make_shared<ComponentBody>();
    shot->SpawnUnit(owner->GetWorld(), owner->GetCreationContext(), owner->GetLoadContext(),
                    owner->GetObjectDefinitions(), shotObjectName, 0);
    const int team = GetOwnerTeam();
    if (makeShotEnemy) {
        shot->SetTeam(team == 1 ? -1 : 1);
    } else {
        shot->SetTeam(team);
    }
    shot->SetPosition(shotStart);
    shot->SendMessage(MESSAGE_SET_TARGET, reinterpret_cast<intptr_t>(&aimDirection), this);
    shot->SendMessage(MESSAGE_SET_FIRER, 0, owner);
    owner->GetWorld()->AddBody(shot);
    if (sound) {
        sound->PlayAt(owner->GetMatrix().m);
    }
    if (recoilEnabled) {
        Recoil();
    }
    shotTimer = 0.0f;
}

void ShooterComponent::Recoil() {
    ComponentBody* owner = GetOwner();
    orvel::Vector4 kick = recoilVector;
    if (GetOwnerTeam() == -1) {
        kick.x = -kick.x;
    }
    const orvel::Matrix4 matrix = owner->GetMatrix();
    const orvel::Vector4 row0 = matrix.GetRow(0);
    const orvel::Vector4 row1 = matrix.GetRow(1);
    const orvel::Vector4 row2 = matrix.GetRow(2);
    const orvel::Vector4 turned(kick.x * row0.x + kick.y * row1.x + kick.z * row2.x,
                                kick.x * row0.y + kick.y * row1.y + kick.z * row2.y,
                                kick.x * row0.z + kick.y * row1.z + kick.z * row2.z, 0.0f);
    const orvel::Vector4 position = owner->GetPosition();
    const orvel::Vector4 point(position.x + shotCreationPoint.x, position.y + shotCreationPoint.y,
                               position.z + shotCreationPoint.z, 1.0f);
    owner->AddImpulse(turned, point);
}
