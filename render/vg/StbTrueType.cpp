// The TrueType parser, compiled once. It allocates through the font stash,
// which serves glyph rasterisation from its scratch area.

#include "FontStashInternal.h"

#define STBTT_malloc(x, u) fst__tmpalloc(x, u)
#define STBTT_free(x, u) fst__tmpfree(x, u)
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb/stb_truetype.h>
