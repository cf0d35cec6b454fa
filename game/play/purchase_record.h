#pragma once

#include <cstdint>

// What side 1 spent at one purchase and where its button is (screen pixels,
// GL coordinates): the purse takes that many bags off to there.
struct PurchaseRecord {
    int32_t dollars = 0;
    int32_t x = 0;
    int32_t y = 0;
};
