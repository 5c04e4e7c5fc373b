// Ends a stretch of shader source in a C++ file: the shading language's
// keywords that <metal_stdlib> turned into no-ops become names again, so
// the code after it (adapters, registrations) may use them.
#pragma once

#undef vertex
#undef fragment
#undef constant
#undef device
#undef thread
