#include "engine/ui/scrollable_morph.h"

namespace orvel {

PropertyKey ScrollableMorph::GetTypeName() const {
    static const PropertyKey type("ScrollableMorph");
    return type;
}

}  // namespace orvel
