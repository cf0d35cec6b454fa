#pragma once

#include <cstdint>
#include <memory>

namespace orvel {

// Shows a button state on a morph. The screens' button handlers set the
// state: 0 when the mouse enters, 2 when it leaves, 1 when pressed.
class Highlighter {
public:
    virtual ~Highlighter() = default;

    // Once per frame while the morph stays in its tree.
    virtual void Update(float dt) = 0;
    // After the morph has drawn itself.
    virtual void Draw() = 0;
    virtual void SetState(uint8_t state) = 0;
};

typedef std::shared_ptr<Highlighter> HighlighterPtr;

}  // namespace orvel
