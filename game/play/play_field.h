#pragma once

// The geometry of the play field. The game always runs in an 800x600 window;
// the play field fills it above the minimap strip at the bottom, and the
// view scrolls horizontally only, so the play height always fits the screen.
const int SCREEN_WIDTH = 800;
const int SCREEN_HEIGHT = 600;
const int MINIMAP_HEIGHT = 100;
const int PLAY_HEIGHT = SCREEN_HEIGHT - MINIMAP_HEIGHT;

// Pixels per world unit: level files and object definitions are in pixels,
// the physics world in world units.
const float WORLD_SCALE = 30.0f;

// The sides.
const int TEAM_GOOD = 1;
const int TEAM_BAD = -1;
const int TEAM_NONE = 0;

// Seconds per unit of the computer's buying timer in skirmish mode.
const float SKIRMISH_PURCHASE_TIME_PER_UNIT = 6.0f;

// Where the view stands: 0 shows the level's left end, 1 its right end. The
// view keeps the airship (x in pixels) centred until it comes within half a
// screen of either end. A level no wider than the screen does not scroll.
float ScrollFraction(float levelWidth, float airshipX);

// How far the world is drawn shifted left, in pixels, at a scroll fraction:
// the part of the level that lies beyond the screen times the fraction.
float ScrollOffset(float levelWidth, float fraction);
