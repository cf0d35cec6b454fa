#pragma once

#include <string>

namespace orvel {

// The decimal text of an int; used in every message that shows a number.
std::string IntToString(int value);

}  // namespace orvel
