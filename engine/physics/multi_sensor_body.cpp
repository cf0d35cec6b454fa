#include "engine/physics/multi_sensor_body.h"

#include <algorithm>

#include "engine/physics/mechanica.h"

namespace orvel {

MultiSensorBody::~MultiSensorBody() { ClearSensed(); }

void MultiSensorBody::CreateWithCollision(Mechanica* inWorld,
                                          const std::shared_ptr<Collision>& shape) {
    Body::CreateWithCollision(inWorld, shape);
    PhysBodySetMassMatrix(body, 1.0f, 1.0f, 1.0f, 1.0f);
}

void MultiSensorBody::ApplyForces() {
    const float still[3] = {0.0f, 0.0f, 0.0f};
    PhysBodySetVelocity(body, still);
    PhysBodySetAngularVelocity(body, still);
}

std::shared_ptr<Body> MultiSensorBody::Clone() const { return std::make_shared<MultiSensorBody>(); }

bool MultiSensorBody::IsSensed(const Body* other) const {
    for (const SensedBody& record : sensed) {
        if (record.body == other) {
            return true;
        }
    }
    return false;
}

bool MultiSensorBody::OnContact(PhysMaterial* material, PhysContact*, Body* other) {
    if (other == nullptr || IsSensed(other)) {
        return false;
    }
    float position[3];
    float normal[3];
    PhysMaterialGetContactPositionAndNormal(material, position, normal);
    other->AddWatcher(this);
    SensedBody record;
    record.body = other;
    record.position = Vector4::From3(position);
    record.normal = Vector4::From3(normal);
    sensed.push_back(record);
    return false;
}

void MultiSensorBody::ClearSensed() {
    std::vector<SensedBody> records;
    records.swap(sensed);
    for (const SensedBody& record : records) {
        record.body->RemoveWatcher(this);
    }
}

void MultiSensorBody::OnWatchedGoingAway(Watched* watched) {
    sensed.erase(std::remove_if(sensed.begin(), sensed.end(),
                                [watched](const SensedBody& record) {
                                    return static_cast<Watched*>(record.body) == watched;
                                }),
                 sensed.end());
}

Body* MultiSensorBody::FindEnemy(int team) const {
    if (team == 0) {
        return nullptr;
    }
    for (const SensedBody& record : sensed) {
        if (record.body->GetTeam() != team) {
            return record.body;
        }
    }
    return nullptr;
}

Body* MultiSensorBody::FindFriend(int team) const {
    if (team == 0) {
        return nullptr;
    }
    for (const SensedBody& record : sensed) {
        if (record.body->GetTeam() == team) {
            return record.body;
        }
    }
    return nullptr;
}

void MultiSensorBody::PruneOutsideWorld() {
    std::vector<SensedBody> kept;
    for (const SensedBody& record : sensed) {
        if (world != nullptr && world->Contains(record.body)) {
            kept.push_back(record);
        } else {
            record.body->RemoveWatcher(this);
        }
    }
    sensed.swap(kept);
}

}  // namespace orvel
