#pragma once

#include <cstdint>
#include <vector>

// A picture as rows of RGBA bytes, top row first.
struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    bool hasAlpha = false;
    std::vector<uint8_t> rgba;
};
