#pragma once

// The events one unit or component raises on another with
// ComponentBody::HandleEvent(id, value, sender). The numbers are fixed; the
// gaps are ids nobody uses.
enum UnitEvent {
    EVENT_QUERY_TEAM = 0,
    EVENT_QUERY_GRAVITY = 1,
    EVENT_HIT = 2,
    // 1 while the unit is alive and below its full hit points: it can be
    // repaired.
    EVENT_QUERY_DAMAGED = 3,
    EVENT_HEAL = 4,
    EVENT_PICKED_UP = 6,
    EVENT_DROPPED = 7,
    EVENT_MAKE_NO_COLLIDE = 8,
    EVENT_SIGNAL = 10,
    EVENT_REBUILD_SPRITE = 12,
    EVENT_SET_SPRITE_VALUE = 13,
    EVENT_STOWED = 14,
    EVENT_UNSTOWED = 15,
    EVENT_STOP = 16,
    EVENT_FALL = 17,
    EVENT_FALL_TO_DEATH = 18,
    EVENT_REMOVE = 19,
};
