#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/properties.h"
#include "engine/core/vector2x.h"

namespace orvel {

// Bits of a frame's flag byte.
enum SpriteFrameFlag : uint8_t {
    SPRITE_FLAG_FOOTSTEP = 1,
    SPRITE_FLAG_TRIGGER = 2,
};

// What a sprite description yields: the frame pictures in order and the
// per-frame data. Every per-frame list holds exactly one element per frame.
struct SpriteDescription {
    std::vector<std::string> frameNames;
    float fps = 0.0f;  // 0: the animation does not advance
    std::vector<Vector2x<long>> hotSpots;
    std::vector<uint8_t> flags;  // SpriteFrameFlag bits
    std::vector<float> lengthMultipliers;

    size_t GetFrameCount() const { return frameNames.size(); }
    // Appends one frame with the default data: hot spot (0, 0), no flags,
    // length multiplier 1.
    void AddFrame(const std::string& name);
};

// ".bbq", ".jpg" and ".jpeg" (compared exactly) name a single picture; any
// other name is a sprite description.
bool IsPictureName(const std::string& name);

// A frame name of a description resolved against the description's folder.
// A backslash in either name is a folder separator.
std::string ResolveFrameName(const std::string& description, const std::string& frame);

// Runs the sprite-file grammar over the whole text and appends the frames it
// lists to `description` (names as written). Throws ExceptionSyntax with an
// empty message and the line of the failure when the text does not match.
void ParseSpriteFile(const std::string& text, SpriteDescription& description);

// Reads a sprite file (the grammar form) and resolves its frame names.
SpriteDescription ReadSpriteFile(const std::string& name);

// Reads the property-file form of a description from its parsed tree and
// resolves its frame names; `name` is the description's resource name.
SpriteDescription ReadSpriteProperties(const Properties& properties, const std::string& name);

// The description of a single picture: one frame, fps 0, default data.
SpriteDescription SinglePictureDescription(const std::string& name);

}  // namespace orvel
