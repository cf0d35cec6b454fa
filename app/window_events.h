#pragma once

// What the game library's window thread (and the close signals) tell the main
// loop. The callbacks only count and flag; the loop reads the values once per
// turn and does the work on the main thread.

// Switch-out counts up, switch-in counts down; the loop compares the counter
// with the value it handled last.
void OnSwitchOut();
void OnSwitchIn();
// The close button, SIGTERM and SIGINT.
void OnCloseButton();

int GetSwitchCounter();
bool IsQuitRequested();

// Back to a fresh start (no switches, no quit).
void ResetWindowEvents();
