#pragma once

namespace orvel {
class Morph;
}

// The settings switches that the options screen and the pause menu share.
// Each is a sprite morph named after what it switches, whose frame shows the
// value: 1 on, 0 off. The values are ints of the settings set
// "TARNMOORE_Settings": "TARNMOORE_Music", "TARNMOORE_SoundEffects",
// "TARNMOORE_MagnetToggle" (1 toggle mode, 0 hold-down mode, shown by the
// pair "MagnetToggle" and "MagnetHoldDown") and "TUTORIAL_DIALOG_Enabled"
// ("Tutorial"). "ResetTutorial" lets every hint show again.

// Shows the settings in the switches that `screen`'s tree holds; those it
// lacks are left out.
void ShowSettingToggles(orvel::Morph& screen);

// The click of a switch: plays the click (before the change, so that turning
// sound effects off still sounds), changes the setting that the morph's name
// names and shows it. A morph of another name only clicks. Always true.
bool ToggleSetting(orvel::Morph* morph);
