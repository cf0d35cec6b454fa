#pragma once

// The game's one display: an OpenGL window of SCREEN_WIDTH x SCREEN_HEIGHT.
const int SCREEN_WIDTH = 800;
const int SCREEN_HEIGHT = 600;
const int SCREEN_DEPTH = 32;

// Sets the OpenGL graphics mode (double-buffered, the depth and window mode
// as wishes the OpenGL layer may not grant), clears it to black and sets a
// projection with the origin at the bottom left and y upwards. Returns
// whether the mode really is fullscreen: under X the layer may open a window
// although fullscreen was asked for. Throws ExceptionGeneral when no mode
// could be set.
bool SetGraphicsMode(int width, int height, int bpp, bool fullscreen);

// The OpenGL state that every state draws with: black clear colour, no
// lighting or depth test, smooth lines, alpha blending, flat shading, filled
// front faces.
void SetFixedGlState();
