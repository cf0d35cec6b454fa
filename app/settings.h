#pragma once

#include <string>

#include "engine/core/properties.h"

// The player's settings: progress, medals, sound switches, the magnet mode
// and which tutorial hints were shown. They live in one property set, stored
// in the registry of named values under "TARNMOORE_Settings" and written to
// "settings.txt" in the settings folder. Screens read and change the shared
// set directly; SaveSettings writes it back.

// The settings folder, "Orrowick/Gearhaven" in the per-user application-data
// folder; the folders are created when missing. Throws ExceptionGeneral
// "SettingsPath(): Couldn't find local Application Data dir." when there is
// no usable application-data folder.
std::string SettingsPath();

// Gives every known key its default when it is missing or holds another
// type, holds the highest level reached to the campaign's 17 levels and gives
// every gap in the medal list the normal medal. Other keys are kept as they
// are.
void FillSettingsDefaults(orvel::Properties& settings);

// Reads the settings file (or starts empty when there is none), fills in the
// defaults and stores the set in the registry, replacing any earlier one.
// A file that does not parse is renamed to "settings.txt.damaged" (or
// ".damaged2" and on, never over an earlier one), the player is told so with
// the file and the error's line, and the set starts empty.
// A file that cannot be read throws ExceptionGeneral "Couldn't read settings
// file." naming the file.
void LoadSettings();

// Fills in the defaults as FillSettingsDefaults does, then writes the
// registry's settings set to the settings file. The old file is replaced only
// by a complete new one. Throws ExceptionGeneral "Couldn't write to settings
// file." (naming the file once its folder is known) when anything fails.
void SaveSettings();

// SaveSettings for places that must not throw, such as destructors: a failure
// is shown to the player and reported by returning false.
bool TrySaveSettings();
