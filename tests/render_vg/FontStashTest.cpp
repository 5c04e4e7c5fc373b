#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "FontAtlas.h"
#include "FontFiles.h"
#include "FontStash.h"
#include "Utf8Decoder.h"

namespace {

struct Stash {
  FSTcontext* s;
  Stash(int w = 512, int h = 512, uint8_t flags = FST_ZERO_TOPLEFT)
  {
    FSTparams p{};
    p.width = w;
    p.height = h;
    p.flags = flags;
    s = fstCreateInternal(&p);
  }
  ~Stash() { fstDeleteInternal(s); }
};

const FSTglyph* FindGlyph(FSTcontext* s, int font, unsigned int codepoint, short isize)
{
  const FSTfont* f = s->fonts[font];
  for (int i = 0; i < f->nglyphs; i++)
    if (f->glyphs[i].codepoint == codepoint && f->glyphs[i].size == isize)
      return &f->glyphs[i];
  return nullptr;
}

// Draws every code point of `text` into the atlas.
void Rasterise(FSTcontext* s, const char* text)
{
  FSTtextIter it;
  FSTquad q;
  ASSERT_EQ(fstTextIterInit(s, &it, 0, 0, text, nullptr, FST_GLYPH_BITMAP_REQUIRED), 1);
  while (fstTextIterNext(s, &it, &q)) {}
}

struct ScratchErrors {
  int scratchFull = 0, overflow = 0, underflow = 0;
  static void Count(void* uptr, int error, int)
  {
    auto* e = static_cast<ScratchErrors*>(uptr);
    if (error == FST_SCRATCH_FULL)
      e->scratchFull++;
    if (error == FST_STATES_OVERFLOW)
      e->overflow++;
    if (error == FST_STATES_UNDERFLOW)
      e->underflow++;
  }
};

// The cell must be the parser's own bitmap of the glyph surrounded by a zero border.
void ExpectCellMatchesParser(FSTcontext* s, int font, const std::vector<unsigned char>& bytes, unsigned int cp,
                             float size)
{
  stbtt_fontinfo info{}; // null userdata: the parser allocates from the heap
  ASSERT_EQ(stbtt_InitFont(&info, bytes.data(), 0), 1);
  const short isize = static_cast<short>(size * 10.0f);
  const FSTglyph* g = FindGlyph(s, font, cp, isize);
  ASSERT_NE(g, nullptr) << cp;
  const float scale = stbtt_ScaleForPixelHeight(&info, isize / 10.0f);
  const int index = stbtt_FindGlyphIndex(&info, static_cast<int>(cp));
  int x0, y0, x1, y1;
  stbtt_GetGlyphBitmapBoxSubpixel(&info, index, scale, scale, 0, 0, &x0, &y0, &x1, &y1);
  const int pad = 2, w = x1 - x0, h = y1 - y0;
  ASSERT_EQ(g->x1 - g->x0, w + 2 * pad);
  ASSERT_EQ(g->y1 - g->y0, h + 2 * pad);
  EXPECT_EQ(g->xoff, x0 - pad);
  EXPECT_EQ(g->yoff, y0 - pad);
  std::vector<unsigned char> expected(static_cast<size_t>((w + 2 * pad) * (h + 2 * pad)), 0);
  if (w > 0 && h > 0)
    stbtt_MakeGlyphBitmapSubpixel(&info, expected.data() + pad * (w + 2 * pad) + pad, w, h, w + 2 * pad, scale, scale,
                                  0, 0, index);
  int atlasW, atlasH;
  const unsigned char* atlas = fstGetTextureData(s, &atlasW, &atlasH);
  int differing = 0, ink = 0;
  for (int y = 0; y < h + 2 * pad; y++)
    for (int x = 0; x < w + 2 * pad; x++) {
      const unsigned char got = atlas[(g->y0 + y) * atlasW + g->x0 + x];
      differing += got != expected[static_cast<size_t>(y * (w + 2 * pad) + x)];
      ink += got;
    }
  EXPECT_EQ(differing, 0) << "code point " << cp << " at " << size;
  if (w > 2 && h > 2) {
    EXPECT_GT(ink, 0) << "code point " << cp << " at " << size;
  }
}

} // namespace

TEST(FontStash, AtlasCellsEqualTheParsersBitmapsWithAZeroBorder)
{
  const char* text = "AgW\xC3\xA9%@j|";
  const unsigned int cps[] = {'A', 'g', 'W', 0xE9, '%', '@', 'j', '|'};
  for (const char* path : {kRobotoPath, kDejaVuPath}) {
    const std::vector<unsigned char> bytes = ReadFileBytes(path);
    ASSERT_FALSE(bytes.empty()) << path;
    for (float size : {9.0f, 14.0f, 18.5f, 41.0f}) {
      Stash st;
      const int font = fstAddFont(st.s, "f", path, 0);
      ASSERT_EQ(font, 0);
      fstSetSize(st.s, size);
      Rasterise(st.s, text);
      for (unsigned int cp : cps)
        ExpectCellMatchesParser(st.s, font, bytes, cp, size);
    }
  }
}

TEST(FontStash, GlyphTooLargeForTheScratchAreaIsDrawnFromTheHeap)
{
  const std::vector<unsigned char> bytes = ReadFileBytes(kDejaVuPath);
  Stash st(4096, 4096);
  ScratchErrors errors;
  fstSetErrorCallback(st.s, ScratchErrors::Count, &errors);
  const int font = fstAddFont(st.s, "f", kDejaVuPath, 0);
  // The snowman has the most outline points of the face.
  fstSetSize(st.s, 3000.0f);
  Rasterise(st.s, "\xE2\x98\x83");
  EXPECT_GT(errors.scratchFull, 0);
  ExpectCellMatchesParser(st.s, font, bytes, 0x2603, 3000.0f);
}

TEST(FontStash, SkylinePackingNeverOverlapsAndKeepsItsLevelsContiguous)
{
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> side(1, 40);
  FSTatlas* atlas = fst_allocAtlas(512, 512, 4);
  ASSERT_NE(atlas, nullptr);
  std::vector<unsigned char> used(512 * 512, 0);
  int placed = 0;
  for (int n = 0; n < 1000; n++) {
    const int w = side(rng), h = side(rng);
    int x, y;
    if (fst_atlasAddRect(atlas, w, h, &x, &y) == 0)
      continue;
    placed++;
    ASSERT_TRUE(x >= 0 && y >= 0 && x + w <= 512 && y + h <= 512) << n;
    for (int yy = y; yy < y + h; yy++)
      for (int xx = x; xx < x + w; xx++) {
        ASSERT_EQ(used[yy * 512 + xx], 0) << "rectangle " << n << " overlaps at " << xx << "," << yy;
        used[yy * 512 + xx] = 1;
      }
    int covered = 0;
    for (int i = 0; i < atlas->nnodes; i++) {
      ASSERT_EQ(atlas->nodes[i].x, covered);
      ASSERT_GT(atlas->nodes[i].width, 0);
      if (i > 0) {
        ASSERT_NE(atlas->nodes[i].y, atlas->nodes[i - 1].y);
      }
      covered += atlas->nodes[i].width;
    }
    ASSERT_EQ(covered, 512);
  }
  EXPECT_GT(placed, 300);
  fst_deleteAtlas(atlas);
}

TEST(FontStash, SizesShareGlyphsWhenTheirTenfoldTruncatesAlike)
{
  Stash st;
  const int font = fstAddFont(st.s, "f", kRobotoPath, 0);
  struct Case {
    float size;
    int newGlyphs;
  } cases[] = {{12.04f, 1}, {12.06f, 0}, {12.1f, 1}, {0.1f, 0}};
  for (const Case& c : cases) {
    const int before = st.s->fonts[font]->nglyphs;
    fstSetSize(st.s, c.size);
    Rasterise(st.s, "x");
    EXPECT_EQ(st.s->fonts[font]->nglyphs - before, c.newGlyphs) << c.size;
  }
}

TEST(FontStash, BlurAbove20IsCachedAs20WithZeroBorders)
{
  Stash st;
  const int font = fstAddFont(st.s, "f", kRobotoPath, 0);
  fstSetSize(st.s, 30.0f);
  fstSetBlur(st.s, 35.0f);
  Rasterise(st.s, "O");
  const FSTglyph* g = FindGlyph(st.s, font, 'O', 300);
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->blur, 20);
  int w;
  const unsigned char* atlas = fstGetTextureData(st.s, &w, nullptr);
  int inside = 0;
  for (int y = g->y0; y < g->y1; y++)
    for (int x = g->x0; x < g->x1; x++) {
      if (y == g->y0 || y == g->y1 - 1 || x == g->x0 || x == g->x1 - 1) {
        EXPECT_EQ(atlas[y * w + x], 0);
      } else {
        inside += atlas[y * w + x];
      }
    }
  EXPECT_GT(inside, 0);
}

TEST(FontStash, AVKernsWithTheKernTableAndNotWithoutOne)
{
  // Pair values read with an independent font tool: DejaVu Sans kerns A,V by -131 of 2048
  // units; Roboto carries no kern table. A negative kern rounds to the nearest pixel like a
  // positive one: at 18 px it is -0.99, one pixel, not zero.
  struct Case {
    const char* path;
    float size;
    int kernUnits;
    float unitsHigh; // ascent - descent
  } cases[] = {{kDejaVuPath, 40.0f, -131, 1901 + 483},
               {kDejaVuPath, 18.0f, -131, 1901 + 483},
               {kRobotoPath, 40.0f, 0, 1900 + 500}};
  for (const Case& c : cases) {
    Stash st;
    fstAddFont(st.s, "f", c.path, 0);
    fstSetSize(st.s, c.size);
    const float pair = fstTextBounds(st.s, 0, 0, "AV", nullptr, nullptr);
    const float apart =
      fstTextBounds(st.s, 0, 0, "A", nullptr, nullptr) + fstTextBounds(st.s, 0, 0, "V", nullptr, nullptr);
    const double expected = std::lround(c.kernUnits * (double(c.size) / c.unitsHigh));
    EXPECT_EQ(pair - apart, static_cast<float>(expected)) << c.path << " at " << c.size;
    if (c.kernUnits != 0) {
      EXPECT_LT(pair, apart);
    }
  }
}

TEST(FontStash, StateStackRefusesThe21stPushAndTheLastPop)
{
  Stash st;
  ScratchErrors errors;
  fstSetErrorCallback(st.s, ScratchErrors::Count, &errors);
  fstSetSize(st.s, 30.0f);
  for (int i = 0; i < 25; i++)
    fstPushState(st.s);
  EXPECT_EQ(st.s->nstates, FST_MAX_STATES);
  EXPECT_EQ(errors.overflow, 6);
  EXPECT_EQ(st.s->states[FST_MAX_STATES - 1].size, 30.0f);
  for (int i = 0; i < 25; i++)
    fstPopState(st.s);
  EXPECT_EQ(st.s->nstates, 1);
  EXPECT_EQ(errors.underflow, 6);
}

TEST(FontStash, FontNamesAreCutTo63Characters)
{
  Stash st;
  const std::string name(70, 'n');
  const int font = fstAddFont(st.s, name.c_str(), kRobotoPath, 0);
  EXPECT_EQ(std::string(st.s->fonts[font]->name), name.substr(0, 63));
  EXPECT_EQ(fstGetFontByName(st.s, name.substr(0, 63).c_str()), font);
  EXPECT_EQ(fstGetFontByName(st.s, nullptr), -1);
}

TEST(FontStash, MissingCodepointComesFromTheFirstFallbackThatHasIt)
{
  Stash st;
  const int roboto = fstAddFont(st.s, "roboto", kRobotoPath, 0);
  const int dejavu = fstAddFont(st.s, "dejavu", kDejaVuPath, 0);
  fstSetSize(st.s, 20.0f);
  const char* arrow = "\xE2\x87\x84"; // U+21C4, in DejaVu Sans only
  Rasterise(st.s, arrow);
  EXPECT_EQ(FindGlyph(st.s, roboto, 0x21C4, 200)->index, 0);
  ASSERT_EQ(fstAddFallbackFont(st.s, roboto, dejavu), 1);
  fstResetAtlas(st.s, 512, 512);
  Rasterise(st.s, arrow);
  stbtt_fontinfo info{}; // null userdata: the parser allocates from the heap
  const std::vector<unsigned char> bytes = ReadFileBytes(kDejaVuPath);
  stbtt_InitFont(&info, bytes.data(), 0);
  EXPECT_EQ(FindGlyph(st.s, roboto, 0x21C4, 200)->index, stbtt_FindGlyphIndex(&info, 0x21C4));
  for (int i = 1; i < FST_MAX_FALLBACKS; i++)
    EXPECT_EQ(fstAddFallbackFont(st.s, roboto, dejavu), 1);
  EXPECT_EQ(fstAddFallbackFont(st.s, roboto, dejavu), 0);
}

TEST(FontStash, ResetAtlasDropsGlyphsAndKeepsTheWhiteSpot)
{
  Stash st;
  const int font = fstAddFont(st.s, "f", kRobotoPath, 0);
  fstSetSize(st.s, 20.0f);
  Rasterise(st.s, "abc");
  int dirty[4];
  EXPECT_EQ(fstValidateTexture(st.s, dirty), 1);
  EXPECT_EQ(fstValidateTexture(st.s, dirty), 0);
  ASSERT_EQ(fstResetAtlas(st.s, 1024, 512), 1);
  EXPECT_EQ(st.s->fonts[font]->nglyphs, 0);
  int w, h;
  const unsigned char* data = fstGetTextureData(st.s, &w, &h);
  EXPECT_EQ(w, 1024);
  EXPECT_EQ(h, 512);
  EXPECT_EQ(data[0] + data[1] + data[w] + data[w + 1], 4 * 255);
  ASSERT_EQ(fstValidateTexture(st.s, dirty), 1);
  EXPECT_EQ(dirty[0], 0);
  EXPECT_EQ(dirty[2], 2);
}

TEST(FontStash, ExpandKeepsPixelsAndGlyphs)
{
  Stash st(256, 256);
  const int font = fstAddFont(st.s, "f", kRobotoPath, 0);
  fstSetSize(st.s, 30.0f);
  Rasterise(st.s, "Q");
  const FSTglyph* g = FindGlyph(st.s, font, 'Q', 300);
  ASSERT_NE(g, nullptr);
  std::vector<unsigned char> before(fstGetTextureData(st.s, nullptr, nullptr),
                                    fstGetTextureData(st.s, nullptr, nullptr) + 256 * 256);
  ASSERT_EQ(fstExpandAtlas(st.s, 512, 300), 1);
  const unsigned char* after = fstGetTextureData(st.s, nullptr, nullptr);
  for (int y = 0; y < 256; y++)
    ASSERT_EQ(std::memcmp(after + y * 512, before.data() + y * 256, 256), 0) << y;
  EXPECT_EQ(st.s->fonts[font]->nglyphs, 1);
  const FSTatlasNode added = st.s->atlas->nodes[st.s->atlas->nnodes - 1];
  EXPECT_EQ(added.x, 256);
  EXPECT_EQ(added.y, 0);
  EXPECT_EQ(added.width, 256);
  int dirty[4];
  ASSERT_EQ(fstValidateTexture(st.s, dirty), 1);
  EXPECT_EQ(dirty[2], 512);
  EXPECT_EQ(dirty[3], g->y1);
}
