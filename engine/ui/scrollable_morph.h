#pragma once

#include "engine/ui/morph.h"

namespace orvel {

// A container that paints nothing itself; only its children show.
class ScrollableMorph : public Morph {
public:
    explicit ScrollableMorph(PropertyKey name) : Morph(name) {}

    void DrawSelf() override {}
    PropertyKey GetTypeName() const override;
};

}  // namespace orvel
