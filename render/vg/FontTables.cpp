#include "FontTables.h"

#include "FontCff.h"

#include <cstring>
#include <initializer_list>

namespace {

uint16_t u16(const unsigned char* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
int16_t s16(const unsigned char* p) { return static_cast<int16_t>(u16(p)); }
uint32_t u32(const unsigned char* p)
{
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         p[3];
}

struct Table {
  uint64_t off = 0, len = 0;
  bool found = false;
};

// First table of that tag, as the parser finds it.
Table findTable(const unsigned char* data, uint32_t fontstart, const char* tag)
{
  Table t;
  const int numTables = u16(data + fontstart + 4);
  for (int i = 0; i < numTables; i++) {
    const unsigned char* rec = data + fontstart + 12 + 16 * i;
    if (std::memcmp(rec, tag, 4) == 0) {
      t.off = u32(rec + 8);
      t.len = u32(rec + 12);
      t.found = true;
      return t;
    }
  }
  return t;
}

bool fits(uint64_t off, uint64_t len, uint64_t size) { return off <= size && len <= size - off; }

// The parser's choice among the character maps: the last Unicode one.
bool checkCmap(const unsigned char* data, uint64_t size, const Table& cmap)
{
  if (cmap.len < 4)
    return false;
  const uint64_t n = u16(data + cmap.off + 2);
  if (4 + 8 * n > cmap.len)
    return false;
  uint64_t indexMap = 0;
  for (uint64_t i = 0; i < n; i++) {
    const unsigned char* rec = data + cmap.off + 4 + 8 * i;
    const int platform = u16(rec);
    const int encoding = u16(rec + 2);
    if (platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10)))
      indexMap = cmap.off + u32(rec + 4);
  }
  if (indexMap == 0 || !fits(indexMap, 4, size))
    return false;
  const unsigned char* map = data + indexMap;
  switch (u16(map)) {
  case 0: return fits(indexMap, u16(map + 2) < 6 ? 6 : u16(map + 2), size);
  case 6: return fits(indexMap, 10, size) && fits(indexMap, 10 + 2ull * u16(map + 8), size);
  case 12:
  case 13: return fits(indexMap, 16, size) && fits(indexMap, 16 + 12ull * u32(map + 12), size);
  case 4: {
    if (!fits(indexMap, 14, size))
      return false;
    const uint64_t segcount = u16(map + 6) >> 1;
    if (segcount == 0 || !fits(indexMap, 16 + 8 * segcount, size))
      return false;
    // The parser's binary search trusts these three; they must be the ones segcount implies.
    uint64_t range = 1, selector = 0;
    while (range * 2 <= segcount) {
      range *= 2;
      selector++;
    }
    if ((u16(map + 8) >> 1) != range || u16(map + 10) != selector || (u16(map + 12) >> 1) != segcount - range)
      return false;
    const unsigned char* ends = map + 14;
    const unsigned char* starts = ends + 2 * segcount + 2;
    const unsigned char* rangeOffsets = starts + 4 * segcount;
    for (uint64_t i = 0; i < segcount; i++) {
      const uint64_t ro = u16(rangeOffsets + 2 * i);
      const uint64_t start = u16(starts + 2 * i), end = u16(ends + 2 * i);
      if (ro == 0 || end < start)
        continue;
      const uint64_t last = indexMap + 16 + 6 * segcount + 2 * i + ro + 2 * (end - start);
      if (!fits(last, 2, size))
        return false;
    }
    return true;
  }
  default: return false; // the parser cannot read the others
  }
}

} // namespace

bool fst_glyphData(const FSTfont* font, int glyph, FSTglyphData* out)
{
  const stbtt_fontinfo& info = font->font;
  const unsigned char* data = font->data;
  uint64_t g1, g2;
  if (info.indexToLocFormat == 0) {
    g1 = 2ull * u16(data + info.loca + glyph * 2);
    g2 = 2ull * u16(data + info.loca + glyph * 2 + 2);
  } else {
    g1 = u32(data + info.loca + glyph * 4);
    g2 = u32(data + info.loca + glyph * 4 + 4);
  }
  if (g2 < g1)
    return false;
  out->p = data + info.glyf + g1;
  out->len = g2 - g1;
  return true;
}

namespace {

bool simpleGlyphIsSafe(const FSTglyphData& g, int contours)
{
  uint64_t pos = 10 + 2ull * contours;
  if (pos + 2 > g.len)
    return false;
  int prevEnd = -1;
  for (int k = 0; k < contours; k++) {
    const int end = u16(g.p + 10 + 2 * k);
    if (end <= prevEnd)
      return false;
    prevEnd = end;
  }
  const int n = prevEnd + 1;
  pos += 2 + u16(g.p + pos);
  uint64_t xbytes = 0, ybytes = 0;
  int contour = 0, contourStart = 0;
  int repeat = 0;
  unsigned char flags = 0;
  for (int i = 0; i < n; i++) {
    if (repeat == 0) {
      if (pos >= g.len)
        return false;
      flags = g.p[pos++];
      if (flags & 8) {
        if (pos >= g.len)
          return false;
        repeat = g.p[pos++];
      }
    } else {
      repeat--;
    }
    xbytes += (flags & 2) ? 1 : ((flags & 16) ? 0 : 2);
    ybytes += (flags & 4) ? 1 : ((flags & 32) ? 0 : 2);
    const int contourEnd = u16(g.p + 10 + 2 * contour);
    // A lone off-curve point makes the parser read past its vertex array.
    if (i == contourStart && contourEnd == i && !(flags & 1))
      return false;
    if (i == contourEnd) {
      contour++;
      contourStart = i + 1;
    }
  }
  return pos + xbytes + ybytes <= g.len;
}

bool outlineIsSafe(const FSTfont* font, int glyph, int depth, int* budget)
{
  if (glyph >= font->font.numGlyphs)
    return true; // the parser treats it as empty
  if (depth > 8 || --*budget < 0)
    return false;
  FSTglyphData g;
  if (!fst_glyphData(font, glyph, &g))
    return false;
  if (g.len == 0)
    return true;
  if (g.len < 10)
    return false;
  const int contours = s16(g.p);
  if (contours > 0)
    return simpleGlyphIsSafe(g, contours);
  if (contours == 0)
    return true;
  uint64_t pos = 10;
  for (;;) {
    if (pos + 4 > g.len)
      return false;
    const int flags = u16(g.p + pos);
    const int component = u16(g.p + pos + 2);
    if (component >= 0x8000)
      return false; // the parser reads it as a negative index
    pos += 4;
    pos += (flags & 1) ? 4 : 2;
    if (flags & 8)
      pos += 2;
    else if (flags & 64)
      pos += 4;
    else if (flags & 128)
      pos += 8;
    if (pos > g.len)
      return false;
    if (!outlineIsSafe(font, component, depth + 1, budget))
      return false;
    if (!(flags & 32))
      return true;
  }
}

} // namespace

int fst_checkFontData(const unsigned char* data, int dataSize, int fontIndex, FSTfontLayout* layout)
{
  if (data == nullptr || dataSize < 12 || fontIndex < 0)
    return 0;
  const uint64_t size = static_cast<uint64_t>(dataSize);
  if (std::memcmp(data, "ttcf", 4) == 0) {
    if (!fits(12, 4ull * fontIndex + 4, size))
      return 0;
  }
  const int offset = stbtt_GetFontOffsetForIndex(data, fontIndex);
  if (offset < 0 || !fits(static_cast<uint64_t>(offset), 12, size))
    return 0;
  const uint32_t start = static_cast<uint32_t>(offset);
  const uint64_t numTables = u16(data + start + 4);
  if (!fits(start + 12ull, 16 * numTables, size))
    return 0;
  for (uint64_t i = 0; i < numTables; i++) {
    const unsigned char* rec = data + start + 12 + 16 * i;
    if (!fits(u32(rec + 8), u32(rec + 12), size))
      return 0;
  }

  const Table cmap = findTable(data, start, "cmap"), head = findTable(data, start, "head"),
              hhea = findTable(data, start, "hhea"), hmtx = findTable(data, start, "hmtx"),
              loca = findTable(data, start, "loca"), glyf = findTable(data, start, "glyf"),
              maxp = findTable(data, start, "maxp"), kern = findTable(data, start, "kern"),
              cff = findTable(data, start, "CFF ");
  for (const Table* t : {&cmap, &head, &hhea, &hmtx, &maxp})
    if (!t->found || t->off == 0)
      return 0;
  if (head.len < 54 || hhea.len < 36 || maxp.len < 6)
    return 0;

  const uint64_t numGlyphs = u16(data + maxp.off + 4);
  // The parser reads TrueType outlines when there is a glyf table, else CFF
  // ones; it has no reader for CFF2.
  layout->cffLength = 0;
  if (glyf.found && glyf.off != 0) {
    if (!loca.found || loca.off == 0)
      return 0;
    const int locFormat = u16(data + head.off + 50);
    if (locFormat > 1)
      return 0;
    const uint64_t entry = locFormat == 0 ? 2 : 4;
    if (loca.len < (numGlyphs + 1) * entry)
      return 0;
    for (uint64_t i = 0; i <= numGlyphs; i++) {
      const unsigned char* p = data + loca.off + i * entry;
      const uint64_t at = locFormat == 0 ? 2ull * u16(p) : u32(p);
      if (at > glyf.len)
        return 0;
    }
  } else {
    if (!cff.found || cff.off == 0 || fst_checkCff(data + cff.off, cff.len) == 0)
      return 0;
    layout->cffLength = static_cast<int>(cff.len);
  }

  const uint64_t numLong = u16(data + hhea.off + 34);
  if (numLong == 0)
    return 0;
  const uint64_t numShort = numGlyphs > numLong ? numGlyphs - numLong : 0;
  if (hmtx.len < 4 * numLong + 2 * numShort)
    return 0;
  if (s16(data + hhea.off + 4) - s16(data + hhea.off + 6) <= 0)
    return 0;

  if (!checkCmap(data, size, cmap))
    return 0;

  layout->offset = offset;
  layout->kernPairs = 0;
  layout->nkernPairs = 0;
  // Only the first subtable, horizontal pair kerning (format 0) without flags.
  if (kern.found && kern.len >= 18 && u16(data + kern.off) == 0 && u16(data + kern.off + 2) >= 1) {
    const int coverage = u16(data + kern.off + 8);
    if ((coverage & 0xff07) == 0x0001) {
      const uint64_t pairs = u16(data + kern.off + 10);
      const uint64_t room = (kern.len - 18) / 6;
      layout->kernPairs = static_cast<int>(kern.off + 18);
      layout->nkernPairs = static_cast<int>(pairs < room ? pairs : room);
    }
  }
  return 1;
}

int fst_glyphOutlineIsSafe(const FSTfont* font, int glyph)
{
  if (font->font.cff.size > 0)
    return fst_cffOutlineIsSafe(&font->font, glyph);
  int budget = 64;
  return outlineIsSafe(font, glyph, 0, &budget) ? 1 : 0;
}

int fst_kernAdvance(const FSTfont* font, int left, int right)
{
  if (font->nkernPairs <= 0)
    return 0;
  const unsigned char* pairs = font->data + font->kernPairs;
  const uint32_t needle = static_cast<uint32_t>(left) << 16 | static_cast<uint32_t>(right);
  int lo = 0, hi = font->nkernPairs - 1;
  while (lo <= hi) {
    const int mid = (lo + hi) >> 1;
    const uint32_t key = u32(pairs + mid * 6);
    if (needle < key)
      hi = mid - 1;
    else if (needle > key)
      lo = mid + 1;
    else
      return s16(pairs + mid * 6 + 4);
  }
  return 0;
}
