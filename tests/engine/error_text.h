#pragma once

#include <string>

#include "engine/core/exception.h"

// The text of the engine exception `call` throws, or "no exception".
template <typename Call>
std::string ErrorText(Call call) {
    try {
        call();
    } catch (const orvel::Exception& e) {
        return e.What();
    }
    return "no exception";
}
