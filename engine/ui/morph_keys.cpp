#include "engine/ui/morph_keys.h"

namespace orvel {

const PropertyKey MORPH_EVENT_MOUSE_L_DOWN("MouseLDown");
const PropertyKey MORPH_EVENT_MOUSE_L_UP("MouseLUp");
const PropertyKey MORPH_EVENT_MOUSE_R_DOWN("MouseRDown");
const PropertyKey MORPH_EVENT_MOUSE_R_UP("MouseRUp");
const PropertyKey MORPH_EVENT_MOUSE_M_DOWN("MouseMDown");
const PropertyKey MORPH_EVENT_MOUSE_M_UP("MouseMUp");
const PropertyKey MORPH_EVENT_MOUSE_MOVE("MouseMove");
const PropertyKey MORPH_EVENT_MOUSE_ENTER("MouseEnter");
const PropertyKey MORPH_EVENT_MOUSE_LEAVE("MouseLeave");
const PropertyKey MORPH_EVENT_DRAG_ENTER("DragEnter");
const PropertyKey MORPH_EVENT_DRAG_LEAVE("DragLeave");
const PropertyKey MORPH_EVENT_DRAG_DROP("DragDrop");

const PropertyKey SCREEN_MORPH_PROPERTY_CURRENT_STATE("SCREEN_MORPH_PROPERTY_CurrentState");
const PropertyKey MORPH_PROPERTY_NEXT_STATE("MORPH_PROPERTY_NextState");

}  // namespace orvel
