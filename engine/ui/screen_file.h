#pragma once

#include <string>

#include "engine/core/properties.h"

namespace orvel {

class Morph;

// Screen files describe a morph tree in the property-file format. Each morph
// description is a struct of typed keys:
//
//   string type        "Morph", "ScrollableMorph", "StringMorph" or "SpriteMorph"
//   string name        optional; "Untitled" + type when absent
//   point extent       width and height; optional for a SpriteMorph, which
//                      otherwise takes its animation's frame size
//   point position     top-left, relative to the parent's top-left
//   colour colour      optional
//   string string      StringMorph only: the text
//   string animation   SpriteMorph only: picture or sprite description,
//                      relative to the screen file's folder
//   string highlighter SpriteMorph only: "SpriteMorphHighlighter" or
//                      "SpriteMorphBorderHighlighter"; anything else, none
//   list struct children  child descriptions in drawing order
//
// Keys that a type does not use are ignored; names compare exactly.

// Reads a screen file (anew on every call) and builds its tree under
// `parent`, which owns it; returns the file's top morph. A missing key or a
// key of the wrong type throws the property exceptions, an unknown type
// ExceptionUnknownMorphType, an extent outside 0..UI_COORDINATE_LIMIT or a
// position that puts the morph outside that limit either way ExceptionGeneral
// naming the key and the file; the morphs made before the error stay in the
// tree. Sprite morphs need `parent` to belong to a ScreenMorph's tree.
Morph* LoadScreen(Morph* parent, const std::string& file);

// Builds one description and its children under `parent` and returns the new
// morph. `file` is the screen file it came from: animations are read from its
// folder, and errors name it.
Morph* CreateMorph(Morph* parent, const Properties& description, const std::string& file);

}  // namespace orvel
