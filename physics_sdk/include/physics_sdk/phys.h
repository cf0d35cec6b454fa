// Public interface of the physics SDK. Everything the caller may use is
// declared here as plain C: callbacks are function pointers and objects are
// opaque handles. Internals live under physics_sdk/src and are not visible.
#ifndef PHYSICS_SDK_PHYS_H
#define PHYSICS_SDK_PHYS_H

#ifdef __cplusplus
extern "C" {
#endif

// Memory callbacks. The SDK takes every block of memory through one
// process-wide pair. The free callback receives the size that was passed to
// the allocation callback for that block.
typedef void* (*PhysAllocCallback)(int sizeInBytes);
typedef void (*PhysFreeCallback)(void* ptr, int sizeInBytes);

#ifdef __cplusplus
}
#endif

#endif
