// The TrueType parser, compiled once. It allocates through the font stash,
// which serves glyph rasterisation from its scratch area.

#include "FontStashInternal.h"

#define STBTT_malloc(x, u) fst_tmpalloc(x, u)
#define STBTT_free(x, u) fst_tmpfree(x, u)
// Its asserts would stop debug builds on damaged outlines that release builds
// rasterise as they are; memory safety rests on the checks made before the
// parser sees a font or a glyph.
#define STBTT_assert(x) ((void)0)
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>
