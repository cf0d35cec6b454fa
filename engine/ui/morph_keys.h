#pragma once

#include "engine/core/property_key.h"

namespace orvel {

// The names of the mouse events that a screen sends into its morph tree. A
// morph keeps the handler of an event in its attributes under the event's
// name. The drag events are named for handlers that want them; the toolkit
// never sends them.
extern const PropertyKey MORPH_EVENT_MOUSE_L_DOWN;  // "MouseLDown"
extern const PropertyKey MORPH_EVENT_MOUSE_L_UP;    // "MouseLUp"
extern const PropertyKey MORPH_EVENT_MOUSE_R_DOWN;  // "MouseRDown"
extern const PropertyKey MORPH_EVENT_MOUSE_R_UP;    // "MouseRUp"
extern const PropertyKey MORPH_EVENT_MOUSE_M_DOWN;  // "MouseMDown"
extern const PropertyKey MORPH_EVENT_MOUSE_M_UP;    // "MouseMUp"
extern const PropertyKey MORPH_EVENT_MOUSE_MOVE;    // "MouseMove"
extern const PropertyKey MORPH_EVENT_MOUSE_ENTER;   // "MouseEnter"
extern const PropertyKey MORPH_EVENT_MOUSE_LEAVE;   // "MouseLeave"
extern const PropertyKey MORPH_EVENT_DRAG_ENTER;    // "DragEnter"
extern const PropertyKey MORPH_EVENT_DRAG_LEAVE;    // "DragLeave"
extern const PropertyKey MORPH_EVENT_DRAG_DROP;     // "DragDrop"

// Root attributes of a screen: a plain pointer to the screen's own
// orvel::State part, and the shared orvel::State that a handler leaves for
// the screen to switch to.
extern const PropertyKey
    SCREEN_MORPH_PROPERTY_CURRENT_STATE;             // "SCREEN_MORPH_PROPERTY_CurrentState"
extern const PropertyKey MORPH_PROPERTY_NEXT_STATE;  // "MORPH_PROPERTY_NextState"

}  // namespace orvel
