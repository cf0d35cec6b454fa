#pragma once

// The rules of the skirmish setup's purchase and movement controls: each
// control is a picture whose frame shows a choice; a click moves it to the
// next frame, skipping the frame the other side already shows where both
// sides cannot share the input, and the frame gives the registry value that
// play reads. Sides are 1 (good) and 2 (bad).

// Purchase frames: 0 number-row keys, 1 keypad keys, 2 no human input,
// 3 mouse.
const int PURCHASE_FRAME_COUNT = 4;
const int PURCHASE_FRAME_NONE = 2;
// Movement frames: 0 arrow keys, 1 mouse, 2 no human input.
const int MOVEMENT_FRAME_COUNT = 3;
const int MOVEMENT_FRAME_NONE = 2;

// The purchase-control flags for the keys that the frame's picture shows.
// Side 1 reads 0x10 as number row and 8 as keypad, side 2 the other way
// round, so one frame gives the two sides different flags.
int PurchaseValue(int side, int frame);
// Whether the side is offered the frame: play reads no mouse for side 2, so
// side 2 never shows the mouse frame.
bool PurchaseFrameOffered(int side, int frame);
// The frame that shows `value` for the side; a value that no offered frame
// shows (or none stored, -1) gives the side's default: mouse for side 1, no
// human input for side 2.
int PurchaseFrame(int side, int value);
// The frame after a click on the side's control, given the other side's
// frame: the next offered one that the other side does not show already,
// though side 1 may share "no human input" with side 2.
int NextPurchaseFrame(int side, int frame, int otherFrame);

// The airship-control flags of a movement frame.
int MovementValue(int frame);
// As PurchaseFrame: side 1 defaults to the mouse, side 2 to no human input.
int MovementFrame(int side, int value);
// The frame after a click on the side's movement control. Play flies side
// 2's airship by its computer pilot whatever is chosen, so side 2 only
// offers "no human input"; side 1 never stops on the other side's frame.
int NextMovementFrame(int side, int frame, int otherFrame);
