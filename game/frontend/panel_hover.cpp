#include "game/frontend/panel_hover.h"

#include <memory>

#include "engine/core/colour.h"
#include "engine/ui/morph.h"
#include "engine/ui/screen_drawing.h"

void DrawPanelHover(const orvel::Morph* panel) {
    if (panel == nullptr) {
        return;
    }
    for (const std::shared_ptr<orvel::Morph>& row : panel->GetChildren()) {
        if (row->IsMouseInside()) {
            orvel::DrawScreenRectAlpha(row->GetRect(), orvel::MakeColour(140, 101, 33, 255));
        }
    }
}
