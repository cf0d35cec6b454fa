#pragma once

#include <string>

#include "engine/core/properties.h"

namespace orvel {

class Mechanica;

// Applies a material file ("resources/materials1.txt") to a world: creates
// the groups of "materialGroupIDs" in order, then sets the pairs of each
// "materialProperties" entry, where "allMaterialGroupString" as a group name
// stands for every group of the list. Missing required keys throw
// ExceptionStringNotFound with the key and the path; a friction, elasticity
// or softness that is not a finite number, or a negative one, throws
// ExceptionGeneral naming the key; a pair naming a group the file did not
// create throws ExceptionStringNotFound with that name.
void LoadMaterialGroups(Mechanica& world, const std::string& path);
// The same for a file already parsed; `path` names it in errors.
void ApplyMaterialGroups(Mechanica& world, const Properties& file, const std::string& path);

}  // namespace orvel
