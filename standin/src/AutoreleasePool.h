// Per-thread stack of autorelease pools shared by CF (CFAutorelease) and the
// Foundation objects. Objects autoreleased with no pool open go to the
// thread's outermost pool, which the main run loop drains on every pump.
#pragma once

#include <cstddef>

namespace standin {

using ReleaseFunction = void (*)(const void* object);

void AutoreleaseAdd(const void* object, ReleaseFunction release);
// Opens a pool; returns its depth token for PopAutoreleasePool.
std::size_t PushAutoreleasePool();
// Releases everything added since the matching push (inner pools included).
void PopAutoreleasePool(std::size_t token);
// Releases everything pending on this thread and closes every pool.
void DrainAllAutoreleasePools();
std::size_t PendingAutoreleased();

} // namespace standin
