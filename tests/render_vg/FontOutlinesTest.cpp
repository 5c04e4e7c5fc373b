// Outlines the parser reads but cannot always be trusted with: CFF tables and
// composites placed by matching points. References are made by fontTools from
// the installed TrueType faces.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "FontFiles.h"
#include "FontStash.h"

namespace {

struct Stash {
  FSTcontext* s;
  Stash()
  {
    FSTparams p{};
    p.width = 1024;
    p.height = 1024;
    p.flags = FST_ZERO_TOPLEFT;
    s = fstCreateInternal(&p);
  }
  ~Stash() { fstDeleteInternal(s); }
};

// A glyph's coverage placed on a page around the pen at (0, 0).
struct Page {
  static constexpr int kSize = 160, kOrigin = 40;
  std::vector<int> pixels = std::vector<int>(kSize * kSize, 0);
  int xadv = -1;
  long ink = 0;
};

void Utf8Encode(unsigned int cp, char* out)
{
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
  } else if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | cp >> 6);
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out[0] = static_cast<char>(0xE0 | cp >> 12);
    out[1] = static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
  }
}

Page Draw(FSTcontext* s, int font, unsigned int codepoint, float size)
{
  fstSetFont(s, font);
  fstSetSize(s, size);
  char text[8] = {};
  Utf8Encode(codepoint, text);
  FSTtextIter it;
  FSTquad q;
  Page page;
  if (!fstTextIterInit(s, &it, 0, 0, text, nullptr, FST_GLYPH_BITMAP_REQUIRED))
    return page;
  while (fstTextIterNext(s, &it, &q)) {}
  const FSTfont* f = s->fonts[font];
  int w, h;
  const unsigned char* atlas = fstGetTextureData(s, &w, &h);
  for (int i = 0; i < f->nglyphs; i++) {
    const FSTglyph& g = f->glyphs[i];
    if (g.codepoint != codepoint || g.size != static_cast<short>(size * 10.0f))
      continue;
    page.xadv = g.xadv;
    for (int y = g.y0; y < g.y1; y++)
      for (int x = g.x0; x < g.x1; x++) {
        const int px = Page::kOrigin + g.xoff + x - g.x0, py = Page::kOrigin + g.yoff + y - g.y0;
        if (px >= 0 && py >= 0 && px < Page::kSize && py < Page::kSize) {
          page.pixels[static_cast<size_t>(py * Page::kSize + px)] = atlas[y * w + x];
          page.ink += atlas[y * w + x];
        }
      }
  }
  return page;
}

struct Difference {
  int largest = 0;
  long total = 0;
};

Difference Compare(const Page& a, const Page& b)
{
  Difference d;
  for (size_t i = 0; i < a.pixels.size(); i++) {
    const int e = std::abs(a.pixels[i] - b.pixels[i]);
    d.largest = std::max(d.largest, e);
    d.total += e;
  }
  return d;
}

// A big-endian number of n bytes.
size_t BigEndian(const unsigned char* p, int n)
{
  size_t v = 0;
  for (int i = 0; i < n; i++)
    v = v << 8 | p[i];
  return v;
}

unsigned char* MallocCopy(const std::vector<unsigned char>& bytes)
{
  auto* p = static_cast<unsigned char*>(std::malloc(bytes.size()));
  std::memcpy(p, bytes.data(), bytes.size());
  return p;
}

} // namespace

TEST(FontOutlines, CffFacesAndPointMatchedCompositesDrawLikeTheirTrueTypeOrDecomposedReference)
{
  const struct Row {
    const char* command;
    const char* file;
    std::vector<unsigned int> codepoints;
    bool referenceIsNextGlyph; // else the same glyph of the TrueType face
    int largest;               // coverage difference allowed at any pixel
  } rows[] = {
    // The same curves, quadratic made cubic, each flattened to within 0.35
    // pixels: coverage differs at the edges only, and by less than that.
    {"cff", "roboto-cff.otf", {'A', 'g', 'W', '%', '@', 'j', '&', '8', 'e'}, false, 100},
    // A part placed on the first; the part scaled by one half; a composite of
    // a composite with another part placed on it; each beside its flat copy.
    {"matched", "roboto-matched.ttf", {0xE000u, 0xE002u, 0xE004u}, true, 2},
  };
  for (const Row& r : rows) {
    const std::string path = MakeFontWithFontTools(r.command, kRobotoPath, r.file);
    ASSERT_FALSE(path.empty()) << r.command;
    Stash st;
    const int trueType = fstAddFont(st.s, "ttf", kRobotoPath, 0), made = fstAddFont(st.s, "made", path.c_str(), 0);
    ASSERT_EQ(made, 1) << r.command;
    for (float size : {14.0f, 20.0f, 40.0f, 48.0f})
      for (unsigned int cp : r.codepoints) {
        const Page page = Draw(st.s, made, cp, size);
        const Page reference = r.referenceIsNextGlyph ? Draw(st.s, made, cp + 1, size) : Draw(st.s, trueType, cp, size);
        ASSERT_GT(reference.ink, 0) << r.command << " " << cp;
        EXPECT_EQ(page.xadv, reference.xadv) << r.command << " " << cp << " at " << size;
        // Cubics come out a few hundredths of a pixel bolder at small sizes.
        const Difference d = Compare(page, reference);
        EXPECT_NEAR(page.ink, reference.ink, reference.ink * 0.1) << r.command << " " << cp << " at " << size;
        EXPECT_LE(d.largest, r.largest) << r.command << " " << std::hex << cp << " at " << std::dec << size;
        EXPECT_LE(d.total, reference.ink / 5) << r.command << " " << cp << " at " << size;
      }
  }
}

TEST(FontOutlines, DamagedCffTablesAreRefusedOrDrawnWithinBounds)
{
  const std::string cff = MakeFontWithFontTools("cff", kRobotoPath, "roboto-cff-damaged.otf");
  const std::vector<unsigned char> original = ReadFileBytes(cff.c_str());
  ASSERT_FALSE(original.empty());
  size_t record = 0;
  for (size_t i = 0; i < BigEndian(&original[4], 2); i++)
    if (std::memcmp(&original[12 + 16 * i], "CFF ", 4) == 0)
      record = 12 + 16 * i;
  ASSERT_NE(record, 0u);
  const size_t off = BigEndian(&original[record + 8], 4), len = BigEndian(&original[record + 12], 4);

  // A table cut short of its glyph programs: the parser would read on past it.
  {
    std::vector<unsigned char> cut = original;
    cut[record + 12] = cut[record + 13] = 0;
    cut[record + 14] = static_cast<unsigned char>((len / 2) >> 8);
    cut[record + 15] = static_cast<unsigned char>(len / 2);
    Stash st;
    EXPECT_EQ(fstAddFontMem(st.s, "cut", MallocCopy(cut), static_cast<int>(cut.size()), 0, 1), -1);
  }

  std::mt19937 rng(31);
  std::uniform_int_distribution<size_t> inside(off, off + len - 1);
  std::uniform_int_distribution<int> byte(0, 255), count(1, 6);
  int accepted = 0;
  const int rounds = std::getenv("FONT_FUZZ_ROUNDS") ? std::atoi(std::getenv("FONT_FUZZ_ROUNDS")) : 400;
  for (int round = 0; round < rounds; round++) {
    std::vector<unsigned char> b = original;
    for (int i = count(rng); i > 0; i--)
      b[inside(rng)] = static_cast<unsigned char>(byte(rng));
    Stash st;
    const int font = fstAddFontMem(st.s, "fuzz", MallocCopy(b), static_cast<int>(b.size()), 0, 1);
    if (font < 0)
      continue;
    accepted++;
    for (unsigned int cp = 32; cp < 127; cp++)
      Draw(st.s, font, cp, 30.0f);
  }
  // Most damage lands in glyph programs, which are checked glyph by glyph.
  EXPECT_GT(accepted, rounds / 4);
}

TEST(FontOutlines, APartNumberedOutsideTheFontIsNotDrawn)
{
  const struct Row {
    const char* what;
    unsigned int codepoint;
    int count; // glyphs the font is made to hold; 0 keeps its own
    // 16-bit words written into the glyph's outline at these offsets; -1
    // stands for the count.
    std::vector<std::pair<size_t, int>> words;
    bool drawn; // as with that part numbered past the count; else nothing
  } rows[] = {
    // The parser reads a part's glyph number as signed: 0x8001 would send it
    // to a negative glyph. A acute: A, then the acute.
    {"past 32767", 0xC1, 0, {{12, 0x8001}}, false},
    // D with caron (D, Z, caron) made a D, a Z placed by matching points and
    // a third part numbered the count, in a font cut to 395 glyphs: glyph
    // 395 is still in its location table.
    {"the count", 0x1C4, 395, {{16, 0x25}, {20, 0}, {22, 0}, {26, -1}, {28, 0}, {30, 0}}, true},
  };
  for (const Row& r : rows) {
    const auto make = [&](int part) {
      std::vector<unsigned char> bytes = ReadFileBytes(kRobotoPath);
      stbtt_fontinfo info{};
      EXPECT_EQ(stbtt_InitFont(&info, bytes.data(), 0), 1);
      const int glyph = stbtt_FindGlyphIndex(&info, static_cast<int>(r.codepoint));
      const size_t at =
        static_cast<size_t>(info.glyf) + (info.indexToLocFormat == 0 ? 2u * BigEndian(&bytes[info.loca + 2 * glyph], 2)
                                                                     : BigEndian(&bytes[info.loca + 4 * glyph], 4));
      EXPECT_EQ(bytes[at], 0xFF) << r.what << ": a composite";
      for (const auto& [offset, value] : r.words) {
        const int v = value < 0 ? part : value;
        bytes[at + offset] = static_cast<unsigned char>(v >> 8);
        bytes[at + offset + 1] = static_cast<unsigned char>(v);
      }
      if (r.count > 0)
        for (size_t i = 0; i < BigEndian(&bytes[4], 2); i++)
          if (std::memcmp(&bytes[12 + 16 * i], "maxp", 4) == 0) {
            const size_t maxp = BigEndian(&bytes[12 + 16 * i + 8], 4);
            bytes[maxp + 4] = static_cast<unsigned char>(r.count >> 8);
            bytes[maxp + 5] = static_cast<unsigned char>(r.count);
          }
      return bytes;
    };
    const std::vector<unsigned char> bytes = make(r.count), past = make(r.count + 1);
    Stash st;
    const int font = fstAddFontMem(st.s, "parts", MallocCopy(bytes), static_cast<int>(bytes.size()), 0, 1);
    const int reference = fstAddFontMem(st.s, "past", MallocCopy(past), static_cast<int>(past.size()), 0, 1);
    ASSERT_EQ(font, 0) << r.what;
    ASSERT_EQ(reference, 1) << r.what;
    EXPECT_GT(Draw(st.s, font, 'A', 40.0f).ink, 0) << r.what;
    const Page page = Draw(st.s, font, r.codepoint, 40.0f), expected = Draw(st.s, reference, r.codepoint, 40.0f);
    if (r.drawn) {
      EXPECT_GT(expected.ink, 0) << r.what;
      EXPECT_EQ(Compare(page, expected).largest, 0) << r.what;
    } else {
      EXPECT_EQ(page.ink, 0) << r.what;
    }
  }
}
