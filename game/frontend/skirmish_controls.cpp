#include "game/frontend/skirmish_controls.h"

namespace {

const int NUMBER_ROW_SIDE_1 = 0x10;
const int KEYPAD_SIDE_1 = 8;
const int NUMBER_ROW_SIDE_2 = 8;
const int KEYPAD_SIDE_2 = 0x10;
const int MOUSE = 1;
const int NONE = 0;

const int PURCHASE_SIDE_1[PURCHASE_FRAME_COUNT] = {NUMBER_ROW_SIDE_1, KEYPAD_SIDE_1, NONE, MOUSE};
const int PURCHASE_SIDE_2[PURCHASE_FRAME_COUNT] = {NUMBER_ROW_SIDE_2, KEYPAD_SIDE_2, NONE, MOUSE};
const int PURCHASE_FRAME_MOUSE = 3;

const int ARROW_KEYS = 2;
const int MOVEMENT[MOVEMENT_FRAME_COUNT] = {ARROW_KEYS, MOUSE, NONE};
const int MOVEMENT_FRAME_MOUSE = 1;

int Wrap(int frame, int count) { return ((frame % count) + count) % count; }

}  // namespace

int PurchaseValue(int side, int frame) {
    const int* values = side == 1 ? PURCHASE_SIDE_1 : PURCHASE_SIDE_2;
    return values[Wrap(frame, PURCHASE_FRAME_COUNT)];
}

// Side 2 has no mouse in play, so it is never offered the mouse.
bool PurchaseFrameOffered(int side, int frame) { return side == 1 || frame != PURCHASE_FRAME_MOUSE; }

int PurchaseFrame(int side, int value) {
    for (int frame = 0; frame < PURCHASE_FRAME_COUNT; ++frame) {
        if (PurchaseFrameOffered(side, frame) && PurchaseValue(side, frame) == value) {
            return frame;
        }
    }
    return side == 1 ? PURCHASE_FRAME_MOUSE : PURCHASE_FRAME_NONE;
}

int NextPurchaseFrame(int side, int frame, int otherFrame) {
    int next = frame;
    for (int step = 0; step < PURCHASE_FRAME_COUNT; ++step) {
        next = Wrap(next + 1, PURCHASE_FRAME_COUNT);
        const bool mayShare = side == 1 && next == PURCHASE_FRAME_NONE;
        if (PurchaseFrameOffered(side, next) && (next != otherFrame || mayShare)) {
            break;
        }
    }
    return next;
}

int MovementValue(int frame) { return MOVEMENT[Wrap(frame, MOVEMENT_FRAME_COUNT)]; }

int MovementFrame(int side, int value) {
    if (side != 1) {
        return MOVEMENT_FRAME_NONE;
    }
    for (int frame = 0; frame < MOVEMENT_FRAME_COUNT; ++frame) {
        if (MOVEMENT[frame] == value) {
            return frame;
        }
    }
    return MOVEMENT_FRAME_MOUSE;
}

int NextMovementFrame(int side, int frame, int otherFrame) {
    if (side != 1) {
        return MOVEMENT_FRAME_NONE;
    }
    int next = Wrap(frame + 1, MOVEMENT_FRAME_COUNT);
    if (next == otherFrame) {
        next = Wrap(next + 1, MOVEMENT_FRAME_COUNT);
    }
    return next;
}
