#pragma once

#include <memory>
#include <vector>

#include "engine/core/properties.h"
#include "game/units/component.h"
#include "game/units/component_registry.h"

// A component for tests: it records the messages it is offered, answers
// those named in its "answers" list, and carries one parameter, "charge",
// that a clone copies and may then change on its own.
class ProbeComponent : public Component {
public:
    struct Message {
        int id;
        intptr_t data;
    };

    void Load(const orvel::PropertiesPtr& entry) override {
        if (entry->HasProperty("charge")) {
            charge = entry->GetInt("charge");
        }
        if (entry->HasProperty("answers")) {
            const orvel::AnyVectorPtr ids = entry->GetList("answers");
            for (size_t i = 0; i < ids->Size(); ++i) {
                answers.push_back(ids->GetInt(i));
            }
        }
    }
    void CopyFrom(const Component& prototype) override {
        Component::CopyFrom(prototype);
        const auto& probe = static_cast<const ProbeComponent&>(prototype);
        charge = probe.charge;
        answers = probe.answers;
    }
    bool HandleMessage(int id, intptr_t data, void*) override {
        messages.push_back({id, data});
        for (int answer : answers) {
            if (answer == id) {
                return true;
            }
        }
        return false;
    }
    void PreStep() override { ++preSteps; }
    void Update() override { ++updates; }
    ComponentPtr Clone() const override { return std::make_shared<ProbeComponent>(); }

    // The ids of the messages offered so far, in order.
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const Message& message : messages) {
            ids.push_back(message.id);
        }
        return ids;
    }

    int charge = 0;
    std::vector<int> answers;
    std::vector<Message> messages;
    int preSteps = 0;
    int updates = 0;
};

// Makes "Probe" known to unit definitions; every test that names it calls this.
inline void RegisterProbeComponent() {
    ComponentRegistry::Instance().Register<ProbeComponent>("ProbeComponent");
}
