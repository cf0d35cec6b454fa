#include "game/units/component_body.h"

#include <algorithm>

#include <GL/gl.h>

#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"
#include "engine/physics/terrain_body.h"
#include "engine/sound/sound.h"
#include "game/units/component_registry.h"
#include "game/units/unit_event.h"
#include "game/units/unit_message.h"
#include "game/units/unit_services.h"

namespace {

const PropertyKey EXTRA_SPAWN_TIME("extraSpawnTime");
const PropertyKey HIT_POINTS("hitPoints");
const PropertyKey UNIT_COST("unitCost");
const PropertyKey DAMAGE_MULTIPLIER("damageMultiplier");
const PropertyKey APPLIES_GRAVITY("appliesGravity");
const PropertyKey NO_ROTATE("noRotate");
const PropertyKey KEEP_IN_WORLD("keepInWorld");
const PropertyKey BEGIN_AS_TEAM_NONE("beginAsTeamNone");
const PropertyKey USE_UP_VECTOR_JOINT("useUpVectorJoint");
const PropertyKey CAN_SHOOT_WHILE_MAGNETED("canShootWhileMagneted");
const PropertyKey NO_FLIP_LINES("noFlipLines");
const PropertyKey FALL_TO_DEATH("fallToDeath");
const PropertyKey SPAWN_OFFSET("spawnOffset");
const PropertyKey LINE_OFFSET("lineOffset");
const PropertyKey TEAM_NAME("teamName");
const PropertyKey HIT_SOUND("hitSound");
const PropertyKey LINES("Lines");
const PropertyKey COMPONENTS("Components");
const PropertyKey COMPONENT_NAME("componentName");

const PropertyKey NO_COLLIDE_GROUP("mg_no_collide");
const PropertyKey TERRAIN_GROUP("mg_terrain");
const PropertyKey STEAM_GROUP("mg_steam");

const PropertyKey INFANTRY("Infantry");
const PropertyKey ENGINEER("Engineer");
const PropertyKey TANK("Tank");
const PropertyKey FLAK_TRUCK("FlakTruck");
const PropertyKey BUSTER("Buster");

const char* const OBJECT_FILE = "objectFile?";

int TeamOfName(const std::string& name) {
    if (name == "team_good") {
        return 1;
    }
    if (name == "team_bad") {
        return -1;
    }
    return 0;
}

// diag(-1, 1, -1, 1) x m: the x and z axes turned round.
orvel::Matrix4 Mirrored(orvel::Matrix4 m) {
    for (int i : {0, 1, 2, 3, 8, 9, 10, 11}) {
        m.m[i] = -m.m[i];
    }
    return m;
}

struct IconLayout {
    float scale;
    orvel::Vector4 offset;
};

IconLayout IconLayoutOf(PropertyKey type) {
    if (type == INFANTRY || type == ENGINEER) {
        return {0.5f, orvel::Vector4(-6.0f, -18.0f, 0.0f)};
    }
    if (type == TANK) {
        return {0.65f, orvel::Vector4(-26.0f, -18.0f, 0.0f)};
    }
    if (type == FLAK_TRUCK) {
        return {0.65f, orvel::Vector4(-29.0f, -18.0f, 0.0f)};
    }
    if (type == BUSTER) {
        return {0.4f, orvel::Vector4(-10.0f, -10.0f, 0.0f)};
    }
    return {1.0f, orvel::Vector4(0.0f, 0.0f, 0.0f)};
}

}  // namespace

ComponentBody::ComponentBody() { ResetOwn(); }

ComponentBody::~ComponentBody() {
    hitSound.reset();
    lines.clear();
    joint.reset();
    components.clear();
}

void ComponentBody::ResetOwn() {
    deathHandled = false;
    stowed = false;
    terrainContactNow = false;
    terrainContactBefore = false;
    fallToDeath = false;
    fallingToDeath = false;
    canShootWhileMagneted = true;
    appliesGravity = false;
    gravityOn = false;
    hasHitPoints = false;
    dead = false;
    noRotate = false;
    magneted = false;
    keepInWorld = false;
    beginAsTeamNone = false;
    useUpVectorJoint = true;
    noFlipLines = false;
    countedInUnitStats = false;
    hitPoints = 0;
    maxHitPoints = 0;
    unitCost = 0;
    damageMultiplier = 1;
    savedMass = 0.0f;
    corpseTime = kCorpseTime;
    extraSpawnTime = 0.0f;
    fallTimer = 0.0f;
    components.clear();
    spawnOffset = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    lineOffset = orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f);
    savedMaterialGroup = PropertyKey();
    facingBase = orvel::Matrix4::Identity();
    links[0] = links[1] = links[2] = 0;
    joint.reset();
    lines.clear();
    hitSound.reset();
}

void ComponentBody::Reset() {
    FlatBody::Reset();
    ResetOwn();
}

void ComponentBody::Load(const orvel::PropertiesPtr& definition) {
    FlatBody::Load(definition);
    LoadUnitKeys(*definition);
    LoadComponents(*definition);
}

void ComponentBody::LoadUnitKeys(const orvel::Properties& definition) {
    if (definition.HasProperty(EXTRA_SPAWN_TIME)) {
        extraSpawnTime = definition.GetFloat(EXTRA_SPAWN_TIME);
    }
    if (definition.HasProperty(HIT_POINTS)) {
        hitPoints = maxHitPoints = definition.GetInt(HIT_POINTS);
        hasHitPoints = true;
    }
    if (definition.HasProperty(UNIT_COST)) {
        unitCost = definition.GetInt(UNIT_COST);
    }
    if (definition.HasProperty(DAMAGE_MULTIPLIER)) {
        damageMultiplier = definition.GetInt(DAMAGE_MULTIPLIER);
    }
    if (definition.HasProperty(APPLIES_GRAVITY)) {
        appliesGravity = gravityOn = definition.GetBool(APPLIES_GRAVITY);
    }
    noRotate = definition.HasProperty(NO_ROTATE) && definition.GetBool(NO_ROTATE);
    keepInWorld = definition.HasProperty(KEEP_IN_WORLD) && definition.GetBool(KEEP_IN_WORLD);
    beginAsTeamNone =
        definition.HasProperty(BEGIN_AS_TEAM_NONE) && definition.GetBool(BEGIN_AS_TEAM_NONE);
    useUpVectorJoint =
        definition.HasProperty(USE_UP_VECTOR_JOINT) && definition.GetBool(USE_UP_VECTOR_JOINT);
    canShootWhileMagneted = !definition.HasProperty(CAN_SHOOT_WHILE_MAGNETED) ||
                            definition.GetBool(CAN_SHOOT_WHILE_MAGNETED);
    noFlipLines = definition.HasProperty(NO_FLIP_LINES) && definition.GetBool(NO_FLIP_LINES);
    fallToDeath = definition.HasProperty(FALL_TO_DEATH) && definition.GetBool(FALL_TO_DEATH);
    if (definition.HasProperty(SPAWN_OFFSET)) {
        const orvel::PointI offset = definition.GetPoint(SPAWN_OFFSET);
        const float scale = world->GetScale();
        spawnOffset = orvel::Vector4(offset.x / scale, offset.y / scale, 0.0f, 1.0f);
    }
    if (definition.HasProperty(LINE_OFFSET)) {
        const orvel::PointF offset = definition.GetPointF(LINE_OFFSET);
        lineOffset = orvel::Vector4(offset.x, offset.y, 0.0f, 1.0f);
    }
    if (definition.HasProperty(TEAM_NAME)) {
        team = TeamOfName(definition.GetString(TEAM_NAME));
    }
    if (definition.HasProperty(HIT_SOUND)) {
        hitSound = CreateUnitSound(PropertyKey::Intern(definition.GetString(HIT_SOUND)));
    }
    if (definition.HasProperty(LINES)) {
        const orvel::AnyVectorPtr points = definition.GetList(LINES);
        for (const orvel::Property& point : *points) {
            if (point.type != orvel::PROPERTY_POINTF) {
                throw orvel::ExceptionPropertyIncorrectType(LINES, point.type);
            }
            const auto& p = boost::any_cast<const orvel::PointF&>(point.value);
            lines.push_back(orvel::Vector4(p.x, p.y, 0.0f, 1.0f));
        }
    }
}

void ComponentBody::LoadComponents(const orvel::Properties& definition) {
    components.clear();
    const std::string typeName = objectName.GetName();
    if (!definition.HasProperty(COMPONENTS)) {
        throw orvel::ExceptionValueNotFound(COMPONENTS.GetName(), typeName, OBJECT_FILE);
    }
    const orvel::AnyVectorPtr entries = definition.GetList(COMPONENTS);
    const ComponentRegistry& registry = ComponentRegistry::Instance();
    std::vector<ComponentPtr> loaded;
    for (const orvel::Property& element : *entries) {
        if (element.type != orvel::PROPERTY_STRUCT) {
            throw orvel::ExceptionValueNotFound("Component #", typeName, OBJECT_FILE);
        }
        const auto& entry = boost::any_cast<const orvel::PropertiesPtr&>(element.value);
        if (!entry->HasProperty(COMPONENT_NAME)) {
            throw orvel::ExceptionStringNotFound(COMPONENT_NAME.GetName(), "ComponentBody");
        }
        const std::string componentName = entry->GetString(COMPONENT_NAME);
        const PropertyKey className = registry.ResolveClassName(componentName);
        if (className == PropertyKey()) {
            throw orvel::ExceptionStringNotFound(componentName, "ComponentBody");
        }
        ComponentPtr component = registry.Create(className);
        component->SetOwner(this);
        component->SetType(className);
        component->Load(entry);
        loaded.push_back(component);
    }
    components.swap(loaded);
}

std::shared_ptr<orvel::Body> ComponentBody::Clone() const {
    return std::make_shared<ComponentBody>();
}

void ComponentBody::CopyFrom(const orvel::Body& prototypeBody) {
    FlatBody::CopyFrom(prototypeBody);
    const auto* prototype = dynamic_cast<const ComponentBody*>(&prototypeBody);
    if (prototype == nullptr) {
        return;
    }
    std::vector<ComponentPtr> copies;
    for (const ComponentPtr& original : prototype->components) {
        ComponentPtr copy = original->Clone();
        copy->SetOwner(this);
        copy->CopyFrom(*original);
        copies.push_back(copy);
    }
    components.swap(copies);
    CopyUnitFields(*prototype);
    if (prototype->hitSound) {
        hitSound = CreateUnitSound(prototype->hitSound->GetSample()->GetName());
    }
    CreateJoints();
    dead = false;
    lines.insert(lines.end(), prototype->lines.begin(), prototype->lines.end());
}

void ComponentBody::CopyUnitFields(const ComponentBody& prototype) {
    fallingToDeath = prototype.fallingToDeath;
    fallToDeath = prototype.fallToDeath;
    canShootWhileMagneted = prototype.canShootWhileMagneted;
    useUpVectorJoint = prototype.useUpVectorJoint;
    appliesGravity = prototype.appliesGravity;
    hasHitPoints = prototype.hasHitPoints;
    gravityOn = prototype.gravityOn;
    noRotate = prototype.noRotate;
    hitPoints = prototype.hitPoints;
    maxHitPoints = prototype.maxHitPoints;
    unitCost = prototype.unitCost;
    spawnOffset = prototype.spawnOffset;
    lineOffset = prototype.lineOffset;
    keepInWorld = prototype.keepInWorld;
    savedMaterialGroup = prototype.savedMaterialGroup;
    savedMass = prototype.savedMass;
    extraSpawnTime = prototype.extraSpawnTime;
}

void ComponentBody::CreateJoints() {
    if (useUpVectorJoint) {
        CreateUpVectorJoint();
    }
    if (noRotate) {
        joint = std::make_shared<orvel::Joint>(world);
        joint->CreateUpVector(orvel::Vector4(0.0f, 1.0f, 0.0f, 0.0f), this);
    }
}

void ComponentBody::SpawnUnit(orvel::Mechanica* inWorld, void* creationContext,
                              void* loadContext, const orvel::PropertiesPtr& objectDefinitions,
                              PropertyKey name, int requestedTeam) {
    int definitionTeam = 0;
    if (objectDefinitions->HasProperty(name) &&
        objectDefinitions->GetType(name) == orvel::PROPERTY_STRUCT) {
        const orvel::PropertiesPtr entry = objectDefinitions->GetStruct(name);
        if (entry->HasProperty(TEAM_NAME)) {
            definitionTeam = TeamOfName(entry->GetString(TEAM_NAME));
        }
    }
    if (definitionTeam != requestedTeam && requestedTeam == -1) {
        flipped = true;
    }
    Spawn(inWorld, creationContext, loadContext, objectDefinitions, name);
    if (requestedTeam == -1 && team != -1) {
        flipped = false;
        SendMessage(MESSAGE_SET_TEAM, -1);
        SendMessage(MESSAGE_TURN_AROUND_PARTS);
    }
    if (requestedTeam != 0) {
        team = requestedTeam;
    }
    CreateJoints();
    if (beginAsTeamNone) {
        team = 0;
    }
    savedMaterialGroup = materialGroup;
    savedMass = mass;
    dead = false;
}

bool ComponentBody::SendMessage(int id, intptr_t data, void* arg) {
    switch (id) {
    case MESSAGE_MOVE:
        if (magneted) {
            return true;
        }
        break;
    case MESSAGE_FALL:
        fallTimer = kFallTime;
        break;
    case MESSAGE_FALL_TO_DEATH:
        if (stowed) {
            SendMessage(MESSAGE_DIE);
        } else if (!fallToDeath) {
            SendMessage(MESSAGE_DIE);
            return false;
        } else if (!fallingToDeath) {
            links[2] = 1;
            fallingToDeath = true;
            fallToDeath = false;
            gravityOn = true;
            joint.reset();
            terrainContactBefore = true;
        }
        break;
    case MESSAGE_DIE:
        if (dead) {
            return true;
        }
        Die();
        break;
    case MESSAGE_REMOVE:
        alive = false;
        break;
    case MESSAGE_ADD_MASS:
        *reinterpret_cast<float*>(data) += mass;
        break;
    case MESSAGE_TURN_AROUND:
        if (!flipped) {
            flipped = true;
            SetFacingMatrix(GetMatrix());
        } else {
            flipped = false;
            ClearFacing();
        }
        break;
    case MESSAGE_TURN_AROUND_PARTS:
        id = MESSAGE_TURN_AROUND;
        break;
    case MESSAGE_SET_TEAM:
        team = static_cast<int>(data);
        break;
    case MESSAGE_RESET:
        alive = true;
        // A unit brought back lives again: without this its old corpse
        // timer would remove it and it could never die a second time.
        dead = false;
        deathHandled = false;
        countedInUnitStats = false;
        corpseTime = kCorpseTime;
        SendMessage(MESSAGE_MOVE);
        SendMessage(MESSAGE_REBUILD_SPRITE, 10);
        SendMessage(MESSAGE_SET_SPRITE_VALUE, 1);
        hitPoints = maxHitPoints;
        SetGroupIfNamed(savedMaterialGroup);
        SetMass(savedMass);
        break;
    case MESSAGE_DAMAGE:
        hitPoints -= static_cast<int32_t>(data);
        if (hitPoints < 1 && hasHitPoints) {
            hitPoints = 0;
            SetMaterialGroup(NO_COLLIDE_GROUP);
            gravityOn = false;
            SendMessage(MESSAGE_DIE);
        }
        break;
    default:
        break;
    }
    bool answered = false;
    for (const ComponentPtr& component : components) {
        answered = component->HandleMessage(id, data, arg) || answered;
    }
    return answered;
}

void ComponentBody::Die() {
    dead = true;
    SetMaterialGroup(NO_COLLIDE_GROUP);
    SendMessage(MESSAGE_SET_ARMED, 0);
    SendMessage(MESSAGE_STOP);
    gravityOn = false;
    // Every death is a loss to the side, however the unit died.
    CountLoss();
    OnDeath();
}

void ComponentBody::CountLoss() {
    if (countedInUnitStats) {
        return;
    }
    if (const std::shared_ptr<UnitStats> stats = CurrentUnitStats()) {
        stats->Increment(UnitStats::KIND_LOST, objectName, team);
    }
    countedInUnitStats = true;
}

void ComponentBody::OnDeath() {
    StopMotion();
    if (magneted) {
        deathHandled = true;
        return;
    }
    NotifyEvent();
    // The link is a plain pointer set when the unit touched down; the body
    // may have left the world since, so it is used only while the world
    // still holds it.
    auto* landedOn = reinterpret_cast<orvel::Body*>(links[1]);
    if (landedOn != nullptr && world->Contains(landedOn)) {
        const bool lightCorpse = objectName == INFANTRY || objectName == ENGINEER;
        if (!(hitPoints < 1 && lightCorpse)) {
            joint.reset();
            SetMass(0.0f);
            auto* terrain = dynamic_cast<orvel::TerrainBody*>(landedOn);
            if (terrain != nullptr && landedOn->GetMaterialGroup() == TERRAIN_GROUP) {
                SetMatrix(terrain->SurfaceMatrixAt(GetMatrix()));
            }
        }
    }
    deathHandled = true;
}

void ComponentBody::SetGroupIfNamed(PropertyKey name) {
    if (name != PropertyKey()) {
        SetMaterialGroup(name);
    }
}

void ComponentBody::TakeHit(int damage) {
    if (hasHitPoints && !fallingToDeath) {
        if (hitSound) {
            hitSound->PlayAt(GetMatrix().m);
        }
        hitPoints -= damageMultiplier * damage;
        if (hitPoints < 1) {
            hitPoints = 0;
            gravityOn = false;
            SendMessage(MESSAGE_DIE);
        }
    }
    SendMessage(MESSAGE_HURT, damage);
}

int ComponentBody::HandleEvent(int id, int value, orvel::Body*) {
    switch (id) {
    case EVENT_QUERY_TEAM:
        return team;
    case EVENT_QUERY_GRAVITY:
        return appliesGravity ? 1 : 0;
    case EVENT_HIT:
        TakeHit(value);
        return 1;
    case EVENT_QUERY_DAMAGED:
        return !dead && hitPoints < maxHitPoints ? 1 : 0;
    case EVENT_HEAL:
        hitPoints += value;
        if (hitPoints >= maxHitPoints) {
            hitPoints = maxHitPoints;
            SetGroupIfNamed(materialGroup);
            SendMessage(MESSAGE_HEALED);
        }
        return 1;
    case EVENT_PICKED_UP:
        magneted = true;
        SendMessage(MESSAGE_STOP);
        SendMessage(MESSAGE_MAGNETED);
        if (!canShootWhileMagneted) {
            SendMessage(MESSAGE_SET_ARMED, 0);
        }
        return 0;
    case EVENT_DROPPED:
        magneted = false;
        SendMessage(MESSAGE_FALL);
        if (!canShootWhileMagneted) {
            SendMessage(MESSAGE_SET_ARMED, 1);
        }
        return 0;
    case EVENT_MAKE_NO_COLLIDE:
        SetMaterialGroup(NO_COLLIDE_GROUP);
        return 0;
    case EVENT_SIGNAL:
        SendMessage(MESSAGE_SIGNAL, value);
        return 0;
    case EVENT_REBUILD_SPRITE:
        SendMessage(MESSAGE_REBUILD_SPRITE, value);
        return 0;
    case EVENT_SET_SPRITE_VALUE:
        SendMessage(MESSAGE_SET_SPRITE_VALUE, value);
        return 0;
    case EVENT_STOWED:
        stowed = true;
        appliesGravity = false;
        SendMessage(MESSAGE_STOP);
        SendMessage(MESSAGE_PAUSE_ANIMATION);
        SendMessage(MESSAGE_SET_SPRITE_VALUE, 0);
        if (fallingToDeath) {
            links[2] = 0;
            fallingToDeath = false;
            fallToDeath = true;
            gravityOn = true;
        }
        return 0;
    case EVENT_UNSTOWED:
        stowed = false;
        SendMessage(MESSAGE_STOP);
        SendMessage(MESSAGE_FALL);
        SendMessage(MESSAGE_SET_SPRITE_VALUE, 1);
        return 0;
    case EVENT_STOP:
        SendMessage(MESSAGE_STOP);
        return 0;
    case EVENT_FALL:
        SendMessage(MESSAGE_FALL);
        fallTimer = kFallTime;
        return 0;
    case EVENT_FALL_TO_DEATH:
        SendMessage(MESSAGE_FALL_TO_DEATH);
        return 0;
    case EVENT_REMOVE:
        SendMessage(MESSAGE_REMOVE);
        return 0;
    default:
        return 0;
    }
}

void ComponentBody::SetTarget(orvel::Body* target) {
    SendMessage(MESSAGE_SET_TARGET, reinterpret_cast<intptr_t>(target));
}

void ComponentBody::SetFacingMatrix(const orvel::Matrix4& matrix) {
    facingBase = matrix;
    const orvel::Matrix4 facing = flipped ? Mirrored(matrix) : matrix;
    SetMatrix(facing);
    OnTransform(facing);
}

void ComponentBody::ClearFacing() { SetFacingMatrix(facingBase); }

Component* ComponentBody::GetComponent(PropertyKey typeName) const {
    for (const ComponentPtr& component : components) {
        if (Component* found = component->GetIfType(typeName)) {
            return found;
        }
    }
    return nullptr;
}

void ComponentBody::SetPosition(const orvel::Vector4& position) {
    FlatBody::SetPosition(position);
    for (const ComponentPtr& component : components) {
        component->OnSetPosition(position);
    }
}

void ComponentBody::Freeze() {
    FlatBody::Freeze();
    for (const ComponentPtr& component : components) {
        component->OnFreeze();
    }
}

void ComponentBody::Unfreeze() {
    FlatBody::Unfreeze();
    for (const ComponentPtr& component : components) {
        component->OnUnfreeze();
    }
}

void ComponentBody::ApplyForces() {
    FlattenMotion();
    ApplyAccumulatedForce();
    if (gravityOn) {
        ApplyGravity();
    }
    for (const ComponentPtr& component : components) {
        component->ApplyForces();
    }
}

void ComponentBody::OnTransform(const orvel::Matrix4& matrix) {
    for (const ComponentPtr& component : components) {
        component->OnTransform(matrix);
    }
}

bool ComponentBody::AcceptContact(PhysMaterial* material, orvel::Body* other) {
    if (other->GetMaterialGroup() == STEAM_GROUP) {
        SendMessage(MESSAGE_DIE);
    }
    if (other->GetMaterialGroup() == materialGroup && other->GetTeam() == team) {
        return false;
    }
    bool accepted = true;
    for (const ComponentPtr& component : components) {
        accepted = component->AcceptContact(material, other) && accepted;
    }
    return accepted;
}

bool ComponentBody::OnContact(PhysMaterial* material, PhysContact* contact, orvel::Body* other) {
    if (other->GetMaterialGroup() == TERRAIN_GROUP) {
        terrainContactNow = true;
    }
    if (fallingToDeath && terrainContactNow && !terrainContactBefore) {
        links[0] = 1;
        links[1] = reinterpret_cast<intptr_t>(other);
        SendMessage(MESSAGE_DIE);
    }
    const float tangent[3] = {1.0f, 1.0f, 0.0f};
    PhysMaterialSetContactTangentDirection(material, tangent);
    PhysMaterialSetContactFrictionState(material, 0, 0);
    bool kept = true;
    for (const ComponentPtr& component : components) {
        kept = component->OnContact(material, contact, other) && kept;
    }
    return kept;
}

void ComponentBody::OnContactEnd(PhysMaterial* material, orvel::Body* other) {
    for (const ComponentPtr& component : components) {
        component->OnContactEnd(material, other);
    }
}

bool ComponentBody::PreStep() {
    for (const ComponentPtr& component : components) {
        component->PreStep();
    }
    return alive;
}

bool ComponentBody::Update() {
    for (const ComponentPtr& component : components) {
        component->Update();
    }
    terrainContactBefore = terrainContactNow;
    terrainContactNow = false;
    const float frameTime = world->GetFrameTime();
    if (dead) {
        corpseTime -= frameTime;
        if (corpseTime <= 0.0f) {
            SendMessage(MESSAGE_REMOVE);
        }
    }
    if (fallTimer != 0.0f) {
        fallTimer -= frameTime;
        if (fallTimer <= 0.0f) {
            fallTimer = 0.0f;
            SendMessage(MESSAGE_REBUILD_SPRITE, 10);
        }
    }
    return alive;
}

bool ComponentBody::OnLeaveWorld() {
    orvel::Vector4 boxMin;
    orvel::Vector4 boxMax;
    world->GetWorldBox(boxMin, boxMax);
    if (keepInWorld) {
        orvel::Matrix4 matrix = GetMatrix();
        orvel::Vector4 position = matrix.GetPosition();
        position.x = std::min(std::max(position.x, boxMin.x), boxMax.x);
        position.y = std::min(std::max(position.y, boxMin.y), boxMax.y);
        if (position.z < boxMin.z || position.z > boxMax.z) {
            position.z = 0.0f;
        }
        matrix.SetPosition(position);
        SetMatrix(matrix);
        FlattenMotion();
        return alive;
    }
    // A unit that leaves the world is lost to its side, whichever edge it
    // crossed.
    CountLoss();
    for (const ComponentPtr& component : components) {
        component->OnLeaveWorld();
    }
    SendMessage(MESSAGE_REMOVE);
    return alive;
}

void ComponentBody::DrawLines(const orvel::Matrix4& model, float scale,
                              const orvel::Vector4& offset) const {
    glPushAttrib(GL_CURRENT_BIT);
    if (team == 1) {
        glColor4ub(131, 142, 110, 255);
    } else if (team == -1) {
        glColor4ub(160, 92, 162, 255);
    } else {
        glColor4ub(197, 197, 197, 255);
    }
    glPushMatrix();
    glMultMatrixf(model.m);
    glScalef(scale, scale, 1.0f);
    glTranslatef(offset.x, offset.y, 0.0f);
    glBegin(GL_LINES);
    for (const orvel::Vector4& point : lines) {
        glVertex2f(point.x, point.y);
    }
    glEnd();
    glPopMatrix();
    glPopAttrib();
}

void ComponentBody::DrawComponents() {
    for (const ComponentPtr& component : components) {
        component->Draw();
    }
}

// The outline in pixels: the body's matrix with its position scaled from
// world units, mirrored for the bad side unless the definition forbids it.
void ComponentBody::Draw() {
    if (!lines.empty() && !dead) {
        orvel::Matrix4 model = GetMatrix();
        const float scale = world->GetScale();
        model.m[12] *= scale;
        model.m[13] *= scale;
        model.m[14] *= scale;
        if (team == -1 && !noFlipLines) {
            model = Mirrored(model);
        }
        DrawLines(model, 1.0f, lineOffset);
    }
    DrawComponents();
}

void ComponentBody::DrawIcon() {
    if (!lines.empty() && !dead) {
        orvel::Matrix4 model = GetMatrix();
        const float scale = world->GetScale();
        model.m[12] *= scale;
        model.m[13] *= scale;
        model.m[14] *= scale;
        if (team == -1 && !noFlipLines) {
            model = Mirrored(model);
        }
        const IconLayout layout = IconLayoutOf(objectName);
        DrawLines(model, layout.scale, layout.offset);
    }
    DrawComponents();
}
