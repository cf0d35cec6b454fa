#pragma once

// The messages a unit takes with ComponentBody::SendMessage(id, data, arg).
// The body acts on some itself and offers every one to its components. The
// numbers are fixed: components and the play code send them by value, and
// the gaps are ids nobody uses.
enum UnitMessage {
    MESSAGE_STOP = 1,
    MESSAGE_LOSE = 2,
    MESSAGE_IDLE = 3,
    MESSAGE_MOVE = 4,
    MESSAGE_EMIT = 5,
    MESSAGE_FIRE = 6,
    MESSAGE_AIM = 7,
    MESSAGE_FALL = 8,
    MESSAGE_FALL_TO_DEATH = 9,
    MESSAGE_DIE = 10,
    MESSAGE_HEALED = 11,
    MESSAGE_HURT = 12,
    MESSAGE_REMOVE = 13,
    MESSAGE_ADD_MASS = 16,
    MESSAGE_ADD_CARRIED_MASS = 17,
    MESSAGE_TURN_AROUND = 18,
    MESSAGE_TURN_AROUND_PARTS = 19,
    MESSAGE_SET_TEAM = 21,
    MESSAGE_SET_TARGET = 22,
    MESSAGE_SIGNAL = 23,
    MESSAGE_MAGNETED = 24,
    MESSAGE_SET_SPRITE_VALUE = 25,
    MESSAGE_REBUILD_SPRITE = 26,
    MESSAGE_PAUSE_ANIMATION = 27,
    MESSAGE_RESUME_ANIMATION = 28,
    MESSAGE_SET_ARMED = 29,
    MESSAGE_RESET = 30,
    MESSAGE_DAMAGE = 31,
    // To a shot as it leaves the gun: `arg` is the unit that fired it.
    MESSAGE_SET_FIRER = 32,
    // Answered by a unit that the unit `arg` mans (a turret by its gunner).
    MESSAGE_IS_CREW = 33,
};
