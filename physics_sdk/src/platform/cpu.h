// Processor probes.
#ifndef PHYSICS_SDK_PLATFORM_CPU_H
#define PHYSICS_SDK_PLATFORM_CPU_H

// Processor class: 2 when SSE is usable, 0 when only 3DNow! is, 1 otherwise.
// Only 2 changes anything (the solver's SSE variant).
inline constexpr int kProcessorClassSse = 2;
inline constexpr int kProcessorClass3dNow = 0;
inline constexpr int kProcessorClassPlain = 1;

int phProcessorClass();

#endif
