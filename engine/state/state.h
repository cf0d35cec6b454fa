#pragma once

#include <memory>

#include "engine/core/property_key.h"

namespace orvel {

class Input;
class State;

typedef std::shared_ptr<State> StatePtr;

// A screen of the program. The main loop updates and draws the current state
// once per frame; Update hands back the state that is to become current, or
// an empty pointer to stay. States are always owned by shared pointers, so a
// state can hand out a pointer to itself.
class State : public std::enable_shared_from_this<State> {
public:
    State() = default;
    // `name` is kept as the state's stored name (see GetStoredName).
    explicit State(PropertyKey name) : name(name) {}
    virtual ~State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    virtual StatePtr Update(const Input& input, float dt) = 0;
    virtual void Draw() = 0;
    virtual void UnloadTextures() = 0;
    virtual void ReloadTextures() = 0;
    virtual bool IsFinished() const { return false; }
    virtual PropertyKey GetName() const = 0;

    // The name given at construction, or the empty key.
    PropertyKey GetStoredName() const { return name; }

    // Live transitions that hold this state. Menu-like screens ignore input
    // while it is non-zero.
    int GetTransitionCount() const { return transitionCount; }
    void AddTransition() { ++transitionCount; }
    void RemoveTransition() { --transitionCount; }

private:
    int transitionCount = 0;
    PropertyKey name;
};

}  // namespace orvel
