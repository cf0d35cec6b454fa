#pragma once

namespace orvel {
class Morph;
}

// Outlines the row of a menu panel that the mouse is over, after the screen
// is drawn: a filled rectangle drawn over the tree would hide the button it
// marks. Does nothing without a panel.
void DrawPanelHover(const orvel::Morph* panel);
