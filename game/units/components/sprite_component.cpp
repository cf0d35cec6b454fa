#include "game/units/components/sprite_component.h"

#include <cstdlib>

#include "engine/core/exception.h"
#include "engine/physics/mechanica.h"
#include "engine/sound/sound.h"
#include "engine/sprites/sprite_manager.h"
#include "game/units/component_body.h"
#include "game/units/unit_message.h"
#include "game/units/unit_services.h"

namespace {

const PropertyKey HIDE_IF_STATE_NOT_FOUND("hideIfStateNotFound");
const PropertyKey CAN_H_FLIP("canHFlip");
const PropertyKey STATES("States");

const PropertyKey STOPPING("stopping");
const PropertyKey LOSING("losing");
const PropertyKey IDLING("idling");
const PropertyKey MOVING("moving");
const PropertyKey EMITTING("emitting");
const PropertyKey FIRING("firing");
const PropertyKey AIMING("aiming");
const PropertyKey FALLING("falling");
const PropertyKey FALLING_TO_DEATH("fallingtodeath");
const PropertyKey MAGNETED("magneted");
const PropertyKey DYING("dying");
const PropertyKey DYING_ON_GROUND("dyingonground");
const PropertyKey SPLATTING("splatting");

// A turned-around sprite is drawn a shade darker.
const int32_t TURNED_COLOUR = static_cast<int32_t>(0xAAAAAAAAu);
const int32_t PLAIN_COLOUR = -1;

const int LINK_TOUCHED_DOWN = 0;
const int LINK_FALLING = 2;

float RateOf(const orvel::Sprite& sprite) {
    return sprite.GetFrameTime() == 0.0f ? 0.0f : 1.0f / sprite.GetFrameTime();
}

}  // namespace

// The sprite may outlive the component for a frame in the manager's hands;
// it must not call back into a component that is gone.
SpriteComponent::~SpriteComponent() {
    if (sprite) {
        sprite->callback = nullptr;
    }
}

ComponentPtr SpriteComponent::Clone() const { return std::make_shared<SpriteComponent>(); }

orvel::SpriteManager* SpriteComponent::GetSpriteManager() const {
    return static_cast<orvel::SpriteManager*>(GetOwner()->GetCreationContext());
}

void SpriteComponent::Load(const orvel::PropertiesPtr& entryPtr) {
    const orvel::Properties& entry = *entryPtr;
    if (entry.HasProperty(HIDE_IF_STATE_NOT_FOUND)) {
        hideIfStateNotFound = entry.GetBool(HIDE_IF_STATE_NOT_FOUND);
    }
    if (entry.HasProperty(CAN_H_FLIP)) {
        canFlip = entry.GetBool(CAN_H_FLIP);
    }
    // Every message and every frame presumes a look to show, so a sprite
    // component without one is refused here rather than failing in play.
    const orvel::AnyVectorPtr list =
        entry.HasProperty(STATES) ? entry.GetList(STATES) : orvel::AnyVectorPtr();
    if (!list || list->Empty()) {
        throw orvel::ExceptionGeneral("The sprite component of " +
                                      GetOwner()->GetObjectName().GetName() + " lists no States");
    }
    sprite.reset();
    current.reset();
    states.clear();
    orvel::SpriteManager* manager = GetSpriteManager();
    for (size_t i = 0; i < list->Size(); ++i) {
        const orvel::PropertiesPtr stateEntry = list->GetStruct(i);
        if (!stateEntry) {
            throw orvel::ExceptionStringNotFound("State #" + std::to_string(i), "sprite state");
        }
        const SpriteStatePtr state = std::make_shared<SpriteState>();
        state->Load(*stateEntry, IsOwnerFlipped());
        states[state->state] = state;
        if (!current) {
            current = state;
        }
        // Every animation is loaded once now, not in the middle of play.
        if (manager && !sprite) {
            sprite = manager->CreateSprite(state->sprite.GetName());
        } else if (manager) {
            sprite->SetAnimation(state->sprite.GetName());
        }
    }
    MakeStateSound();
    StartAnimation();
}

void SpriteComponent::CopyFrom(const Component& prototypeComponent) {
    Component::CopyFrom(prototypeComponent);
    const auto& prototype = static_cast<const SpriteComponent&>(prototypeComponent);
    states.clear();
    current.reset();
    for (const auto& entry : prototype.states) {
        const SpriteStatePtr copy = std::make_shared<SpriteState>(*entry.second);
        states[entry.first] = copy;
        if (entry.second == prototype.current) {
            current = copy;
        }
    }
    hideIfStateNotFound = prototype.hideIfStateNotFound;
    canFlip = prototype.canFlip;
    if (!current) {
        return;
    }
    if (orvel::SpriteManager* manager = GetSpriteManager()) {
        sprite = manager->CreateSprite(current->SpriteFor(GetOwnerTeam()).GetName());
        sprite->callback = this;
        PlaceOnLayer(*current);
    }
    MakeStateSound();
}

void SpriteComponent::MakeStateSound() {
    if (current && current->sound != PropertyKey()) {
        sound = CreateUnitSound(current->sound);
    }
}

void SpriteComponent::PlaceOnLayer(const SpriteState& state) {
    if (sprite) {
        SetLayer(state.priority);
    }
}

void SpriteComponent::StartAnimation() {
    if (current->randomStartingRotation) {
        current->rotation = orvel::Matrix4::RotationZ(static_cast<float>(std::rand()));
    }
    if (!sprite) {
        return;
    }
    sprite->SetAnimation(current->SpriteFor(GetOwnerTeam()).GetName());
    if (current->randomStartingFrame && sprite->GetData()->GetFrameCount() > 0) {
        sprite->SetFrame(std::rand() % sprite->GetData()->GetFrameCount());
    }
    PlaceOnLayer(*current);
    sprite->callback = this;
    savedFps = RateOf(*sprite);
}

PropertyKey SpriteComponent::GetStateName() const {
    return current ? current->state : PropertyKey();
}

SpriteStatePtr SpriteComponent::FindState(PropertyKey name) const {
    const auto found = states.find(name);
    return found == states.end() ? nullptr : found->second;
}

PropertyKey SpriteComponent::SetState(PropertyKey name) {
    const PropertyKey previous = GetStateName();
    if (name == previous) {
        if (hideIfStateNotFound) {
            if (sprite) {
                sprite->SetFrame(0);
            }
            SetVisible(true);
            HandleMessage(MESSAGE_RESUME_ANIMATION, 0, this);
        }
        return previous;
    }
    const SpriteStatePtr found = FindState(name);
    if (!found) {
        if (hideIfStateNotFound) {
            SetVisible(false);
            HandleMessage(MESSAGE_PAUSE_ANIMATION, 0, this);
        }
        return previous;
    }
    current = found;
    if (current->sound != PropertyKey()) {
        if (sound) {
            sound->SetSample(current->sound);
        } else {
            sound = CreateUnitSound(current->sound);
        }
        if (sound) {
            sound->PlayAt(GetOwner()->GetMatrix().m);
        }
    }
    if (current->randomStartingRotation) {
        current->rotation = orvel::Matrix4::RotationZ(static_cast<float>(std::rand()));
    }
    if (sprite) {
        sprite->SetAnimation(current->SpriteFor(GetOwnerTeam()).GetName());
        if (current->randomStartingFrame && sprite->GetData()->GetFrameCount() > 0) {
            sprite->SetFrame(std::rand() % sprite->GetData()->GetFrameCount());
        }
        if (current->hasPriority) {
            SetLayer(current->priority);
        }
        if (current->fps >= 0.0f) {
            sprite->SetFps(current->fps);
        }
    }
    if (hideIfStateNotFound) {
        SetVisible(true);
        HandleMessage(MESSAGE_RESUME_ANIMATION, 0, this);
    }
    return previous;
}

void SpriteComponent::SetStateOr(PropertyKey name, PropertyKey fallback) {
    SetState(name);
    if (GetStateName() != name) {
        SetState(fallback);
    }
}

void SpriteComponent::RemoveOwner() { SendOwnerMessage(MESSAGE_REMOVE, 0, this); }

bool SpriteComponent::HandleMessage(int id, intptr_t data, void*) {
    static const std::map<int, PropertyKey> looks = {
        {MESSAGE_STOP, STOPPING}, {MESSAGE_LOSE, LOSING},   {MESSAGE_IDLE, IDLING},
        {MESSAGE_MOVE, MOVING},   {MESSAGE_EMIT, EMITTING}, {MESSAGE_FIRE, FIRING},
        {MESSAGE_AIM, AIMING},    {MESSAGE_FALL, FALLING},  {MESSAGE_MAGNETED, MAGNETED},
    };
    const auto look = looks.find(id);
    if (look != looks.end()) {
        if (!dying) {
            SetState(look->second);
        }
        return true;
    }
    switch (id) {
        case MESSAGE_FALL_TO_DEATH:
            if (!dying) {
                SetStateOr(FALLING_TO_DEATH, FALLING);
            }
            return true;
        case MESSAGE_DIE:
            Die();
            return true;
        case MESSAGE_REMOVE:
            dying = false;
            return true;
        case MESSAGE_SET_TEAM: {
            // A unit made for the bad side from a good definition loads its look
            // before it changes sides; it must not keep the good side's colours.
            const PropertyKey shown = current->SpriteFor(static_cast<int>(data));
            if (sprite && sprite->GetData()->name != shown) {
                sprite->SetAnimation(shown.GetName());
            }
            return false;
        }
        case MESSAGE_TURN_AROUND:
            if (sprite) {
                sprite->mirrored = !sprite->mirrored;
                sprite->colour = sprite->mirrored ? TURNED_COLOUR : PLAIN_COLOUR;
            }
            return true;
        case MESSAGE_SET_SPRITE_VALUE:
            if (sprite) {
                sprite->alpha = static_cast<float>(static_cast<uintptr_t>(data));
            }
            return true;
        case MESSAGE_REBUILD_SPRITE:
            if (sprite) {
                SetLayer(static_cast<int16_t>(data));
            }
            return true;
        case MESSAGE_PAUSE_ANIMATION:
            if (sprite && RateOf(*sprite) != 0.0f) {
                savedFps = RateOf(*sprite);
                sprite->SetFps(0.0f);
            }
            return true;
        case MESSAGE_RESUME_ANIMATION:
            if (sprite && savedFps != 0.0f) {
                sprite->SetFps(savedFps);
            }
            return true;
        default:
            return false;
    }
}

void SpriteComponent::Die() {
    dying = true;
    if (sound) {
        sound->Silence();
    }
    if (sprite && sprite->alpha == 0.0f) {
        RemoveOwner();
    }
    ComponentBody* owner = GetOwner();
    if (!owner->IsMagneted()) {
        const bool touchedDown = owner->GetLink(LINK_TOUCHED_DOWN) != 0;
        if (FindState(SPLATTING) && owner->GetLink(LINK_FALLING) != 0 && touchedDown) {
            SetStateOr(SPLATTING, DYING);
            return;
        }
        if (FindState(DYING_ON_GROUND) && touchedDown) {
            SetStateOr(DYING_ON_GROUND, DYING);
            return;
        }
    }
    SetState(DYING);
    if (GetStateName() != DYING && !hideIfStateNotFound) {
        RemoveOwner();
    }
}

void SpriteComponent::OnLoop(orvel::SpriteAnimation&) {
    if (current->noChangeState) {
        sprite->SetFps(0.0f);
        return;
    }
    const PropertyKey name = current->state;
    if (name == DYING || name == DYING_ON_GROUND || name == SPLATTING) {
        RemoveOwner();
        return;
    }
    static const std::map<PropertyKey, PropertyKey> followUps = {
        {FIRING, AIMING}, {EMITTING, MOVING}, {LOSING, IDLING}};
    const auto followUp = followUps.find(name);
    if (followUp != followUps.end()) {
        pendingState = followUp->second;
        if (sprite->GetData()->GetFrameCount() > 1) {
            sprite->SetFrame(sprite->GetData()->GetFrameCount() - 1);
        }
    }
}

void SpriteComponent::PreStep() {
    if (current->hasLife) {
        current->lifeRemaining -= GetFrameTime();
        const float fraction = current->life > 0.0f ? current->lifeRemaining / current->life : 0.0f;
        if (sprite) {
            sprite->alpha = fraction;
        }
        if (current->hasScaleTo) {
            const float done = 1.0f - fraction;
            for (int i = 0; i < 2; ++i) {
                current->currentScale[i] =
                    current->scale[i] + (current->scaleTo[i] - current->scale[i]) * done;
            }
        }
        if (current->lifeRemaining <= 0.0f) {
            SendOwnerMessage(MESSAGE_DIE, 0, this);
        }
    }
    if (pendingState != PropertyKey()) {
        if (!dying) {
            SetState(pendingState);
        }
        pendingState = PropertyKey();
    }
    if (firstUpdate) {
        if (current->sound != PropertyKey() && sound) {
            sound->PlayAt(GetOwner()->GetMatrix().m);
        }
        firstUpdate = false;
    } else if (sound) {
        sound->SetPosition(GetOwner()->GetMatrix().m);
    }
}

void SpriteComponent::Update() { PlaceSprite(GetOwner()->GetMatrix()); }

void SpriteComponent::OnSetPosition(const orvel::Vector4& position) {
    if (!sprite) {
        return;
    }
    orvel::Matrix4 body = GetOwner()->GetMatrix();
    body.SetPosition(position);
    PlaceSprite(body);
}

void SpriteComponent::SetLayer(int16_t layer) {
    if (orvel::SpriteManager* manager = GetSpriteManager()) {
        manager->SetLayer(sprite, layer);
    }
}

void SpriteComponent::SetVisible(bool visible) {
    if (sprite) {
        sprite->alpha = visible ? 1.0f : 0.0f;
    }
}

void SpriteComponent::PlaceSprite(const orvel::Matrix4& body) {
    if (!sprite) {
        return;
    }
    // The look's own frame first: scale, turn, then the mirror of a flipped
    // unit, all before the body's orientation.
    orvel::Matrix4 local = orvel::Matrix4::Identity();
    local.m[0] = current->currentScale[0];
    local.m[5] = current->currentScale[1];
    if (current->hasRotation) {
        local = local * current->rotation;
    }
    if (IsOwnerFlipped()) {
        orvel::Matrix4 mirror = orvel::Matrix4::Identity();
        mirror.m[0] = -1.0f;
        mirror.m[10] = -1.0f;
        local = local * mirror;
    }
    orvel::Matrix4 orientation = body;
    orientation.SetPosition(orvel::Vector4(0.0f, 0.0f, 0.0f, 1.0f));
    orvel::Matrix4 placed = local * orientation;
    const float scale = GetWorld()->GetScale();
    const orvel::Vector4 offset = orientation.TransformPoint(
        orvel::Vector4(current->offset[0], current->offset[1], 0.0f, 1.0f));
    const orvel::Vector4 position = body.GetPosition();
    placed.SetPosition(orvel::Vector4(position.x * scale + offset.x, position.y * scale + offset.y,
                                      position.z * scale + offset.z, 1.0f));
    sprite->SetTransform(placed.m);
}
