// The constraint rows of a contact joint: per point in use one normal row
// that pushes the bodies apart with restitution and penetration correction,
// then, after all normal rows, up to two friction rows along the point's
// tangents, bounded by the static coefficients while the point sticks and by
// the kinetic ones once it slides.
#ifndef PHYSICS_SDK_DYNAMICS_CONTACT_ROWS_H
#define PHYSICS_SDK_DYNAMICS_CONTACT_ROWS_H

// Approach speeds above this get the restitution term.
inline constexpr float kContactApproachSpeed = 0.001f;
// Penetration corrected per step at most.
inline constexpr float kContactMaxCorrection = 0.5f;
// Tangential speeds up to this use the static friction coefficients.
inline constexpr float kContactStaticSpeed = 0.3f;

#endif
