#include "engine/core/int_to_string.h"

namespace orvel {

std::string IntToString(int value) { return std::to_string(value); }

}  // namespace orvel
