#pragma once

#include <memory>

#include <boost/any.hpp>

#include "engine/core/property_key.h"

namespace orvel {

class Morph;

// What a morph does with an event. For every mouse event the argument holds
// a `const orvel::Input*`, the frame's input snapshot.
class EventHandler {
public:
    virtual ~EventHandler() = default;

    // True when the event was handled; false lets the next handler try.
    virtual bool Handle(Morph* morph, PropertyKey event, const boost::any& argument) = 0;
};

typedef std::shared_ptr<EventHandler> EventHandlerPtr;

}  // namespace orvel
