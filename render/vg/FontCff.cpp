#include "FontCff.h"

#include <cmath>

namespace {

// --- Reading as the parser reads: past the end gives zeros, seeks clamp. ---

stbtt__buf MakeBuf(const unsigned char* p, int size) { return stbtt__buf{const_cast<unsigned char*>(p), 0, size}; }

int Get8(stbtt__buf& b) { return b.cursor < b.size ? b.data[b.cursor++] : 0; }
int Peek8(const stbtt__buf& b) { return b.cursor < b.size ? b.data[b.cursor] : 0; }
void Seek(stbtt__buf& b, long o) { b.cursor = (o > b.size || o < 0) ? b.size : static_cast<int>(o); }
void Skip(stbtt__buf& b, long o) { Seek(b, b.cursor + o); }

uint32_t Get(stbtt__buf& b, int n)
{
  uint32_t v = 0;
  for (int i = 0; i < n; i++)
    v = (v << 8) | static_cast<uint32_t>(Get8(b));
  return v;
}

stbtt__buf Range(const stbtt__buf& b, long o, long s)
{
  if (o < 0 || s < 0 || o > b.size || s > b.size - o)
    return MakeBuf(nullptr, 0);
  return MakeBuf(b.data + o, static_cast<int>(s));
}

stbtt__buf GetIndex(stbtt__buf& b)
{
  const int start = b.cursor;
  const int count = static_cast<int>(Get(b, 2));
  if (count) {
    const int offsize = Get8(b);
    Skip(b, static_cast<long>(offsize) * count);
    Skip(b, static_cast<long>(Get(b, offsize)) - 1);
  }
  return Range(b, start, b.cursor - start);
}

int IndexCount(stbtt__buf b)
{
  Seek(b, 0);
  return static_cast<int>(Get(b, 2));
}

// Only called on indexes fst_checkCff accepted, where every offset is small.
stbtt__buf IndexGet(stbtt__buf b, int i)
{
  Seek(b, 0);
  const long count = Get(b, 2);
  const int offsize = Get8(b);
  Skip(b, static_cast<long>(i) * offsize);
  const long start = Get(b, offsize);
  const long end = Get(b, offsize);
  return Range(b, 2 + (count + 1) * offsize + start, end - start);
}

uint32_t DictInt(stbtt__buf& b)
{
  const int b0 = Get8(b);
  if (b0 >= 32 && b0 <= 246)
    return static_cast<uint32_t>(b0 - 139);
  if (b0 >= 247 && b0 <= 250)
    return static_cast<uint32_t>((b0 - 247) * 256 + Get8(b) + 108);
  if (b0 >= 251 && b0 <= 254)
    return static_cast<uint32_t>(-(b0 - 251) * 256 - Get8(b) - 108);
  if (b0 == 28)
    return Get(b, 2);
  if (b0 == 29)
    return Get(b, 4);
  return 0;
}

void SkipOperand(stbtt__buf& b)
{
  if (Peek8(b) == 30) {
    Skip(b, 1);
    while (b.cursor < b.size) {
      const int v = Get8(b);
      if ((v & 0xF) == 0xF || (v >> 4) == 0xF)
        break;
    }
  } else {
    DictInt(b);
  }
}

stbtt__buf DictGet(stbtt__buf& b, int key)
{
  Seek(b, 0);
  while (b.cursor < b.size) {
    const int start = b.cursor;
    while (Peek8(b) >= 28)
      SkipOperand(b);
    const int end = b.cursor;
    int op = Get8(b);
    if (op == 12)
      op = Get8(b) | 0x100;
    if (op == key)
      return Range(b, start, end - start);
  }
  return Range(b, 0, 0);
}

void DictInts(stbtt__buf b, int key, int outcount, uint32_t* out)
{
  stbtt__buf operands = DictGet(b, key);
  for (int i = 0; i < outcount && operands.cursor < operands.size; i++)
    out[i] = DictInt(operands);
}

stbtt__buf GetSubrs(stbtt__buf cff, const stbtt__buf& fontdict)
{
  uint32_t subrsoff = 0, privateLoc[2] = {0, 0};
  DictInts(fontdict, 18, 2, privateLoc);
  if (!privateLoc[1] || !privateLoc[0])
    return MakeBuf(nullptr, 0);
  DictInts(Range(cff, privateLoc[1], privateLoc[0]), 19, 1, &subrsoff);
  if (!subrsoff)
    return MakeBuf(nullptr, 0);
  Seek(cff, static_cast<long>(privateLoc[1]) + subrsoff);
  return GetIndex(cff);
}

stbtt__buf GetSubr(const stbtt__buf& idx, int n)
{
  const int count = IndexCount(idx);
  const int bias = count >= 33900 ? 32768 : count >= 1240 ? 1131 : 107;
  n += bias;
  if (n < 0 || n >= count)
    return MakeBuf(nullptr, 0);
  return IndexGet(idx, n);
}

stbtt__buf CidGlyphSubrs(const stbtt_fontinfo& info, int glyph)
{
  stbtt__buf fdselect = info.fdselect;
  int fd = -1;
  Seek(fdselect, 0);
  const int fmt = Get8(fdselect);
  if (fmt == 0) {
    Skip(fdselect, glyph);
    fd = Get8(fdselect);
  } else if (fmt == 3) {
    const int nranges = static_cast<int>(Get(fdselect, 2));
    int start = static_cast<int>(Get(fdselect, 2));
    for (int i = 0; i < nranges; i++) {
      const int v = Get8(fdselect);
      const int end = static_cast<int>(Get(fdselect, 2));
      if (glyph >= start && glyph < end) {
        fd = v;
        break;
      }
      start = end;
    }
  }
  // The parser goes on with -1 too.
  return GetSubrs(info.cff, IndexGet(info.fontdicts, fd));
}

// --- Checks before the parser sees the table. ---

struct Table {
  const unsigned char* p;
  uint64_t len;
};

uint64_t U(const Table& t, uint64_t at, int n)
{
  uint64_t v = 0;
  for (int i = 0; i < n; i++)
    v = v << 8 | t.p[at + i];
  return v;
}

struct Index {
  uint64_t end = 0;   // first byte after the index
  uint64_t count = 0; // elements
};

// An index whose offsets all lie inside the table, in order.
bool CheckIndex(const Table& t, uint64_t at, Index* out)
{
  if (at > t.len || t.len - at < 2)
    return false;
  out->count = U(t, at, 2);
  if (out->count == 0) {
    out->end = at + 2;
    return true;
  }
  if (t.len - at < 3)
    return false;
  const int offsize = t.p[at + 2];
  if (offsize < 1 || offsize > 4)
    return false;
  const uint64_t offsets = at + 3;
  if ((out->count + 1) * offsize > t.len - offsets)
    return false;
  const uint64_t base = offsets + (out->count + 1) * offsize - 1;
  uint64_t prev = 1;
  for (uint64_t i = 0; i <= out->count; i++) {
    const uint64_t o = U(t, offsets + i * offsize, offsize);
    if (o < prev || o > t.len - base)
      return false;
    prev = o;
  }
  out->end = base + prev;
  return out->end <= t.len;
}

// Bounds of element i of a checked index.
void Element(const Table& t, uint64_t at, uint64_t i, uint64_t* start, uint64_t* end)
{
  const uint64_t count = U(t, at, 2);
  const int offsize = t.p[at + 2];
  const uint64_t base = at + 3 + (count + 1) * offsize - 1;
  *start = base + U(t, at + 3 + i * offsize, offsize);
  *end = base + U(t, at + 3 + (i + 1) * offsize, offsize);
}

stbtt__buf DictOf(const Table& t, uint64_t start, uint64_t end)
{
  return MakeBuf(t.p + start, static_cast<int>(end - start));
}

// The private dictionary of a font dictionary and its local subroutines.
bool CheckPrivate(const Table& t, const stbtt__buf& fontdict)
{
  uint32_t loc[2] = {0, 0};
  DictInts(fontdict, 18, 2, loc);
  if (!loc[1] || !loc[0])
    return true;
  if (loc[1] > t.len || loc[0] > t.len - loc[1])
    return false;
  uint32_t subrsoff = 0;
  DictInts(DictOf(t, loc[1], loc[1] + uint64_t{loc[0]}), 19, 1, &subrsoff);
  Index subrs;
  return !subrsoff || CheckIndex(t, uint64_t{loc[1]} + subrsoff, &subrs);
}

bool CheckFdSelect(const Table& t, uint64_t at, uint64_t glyphs, uint64_t fds)
{
  if (at >= t.len)
    return false;
  const int fmt = t.p[at];
  if (fmt == 0) {
    if (glyphs > t.len - at - 1)
      return false;
    for (uint64_t g = 0; g < glyphs; g++)
      if (t.p[at + 1 + g] >= fds)
        return false;
    return true;
  }
  if (fmt != 3 || t.len - at < 5)
    return false;
  const uint64_t nranges = U(t, at + 1, 2);
  if (3 * nranges + 2 > t.len - at - 3)
    return false;
  for (uint64_t i = 0; i < nranges; i++)
    if (t.p[at + 5 + 3 * i] >= fds)
      return false;
  return true;
}

// --- The walk of one glyph's charstring. ---

// Far above any real glyph, far below what overflows the parser's
// conversions of its accumulated coordinates to int.
constexpr double kMaxSumOfOperands = 16777216.0;
constexpr long kMaxSteps = 1 << 18;
constexpr long kMaxVertices = 1 << 16;

} // namespace

int fst_checkCff(const unsigned char* cff, uint64_t length)
{
  if (cff == nullptr || length < 4 || length > 0x7fffffff)
    return 0;
  const Table t{cff, length};
  Index name, topdicts, strings, gsubrs;
  if (!CheckIndex(t, cff[2], &name) || !CheckIndex(t, name.end, &topdicts) || topdicts.count == 0 ||
      !CheckIndex(t, topdicts.end, &strings) || !CheckIndex(t, strings.end, &gsubrs))
    return 0;
  uint64_t start, end;
  Element(t, name.end, 0, &start, &end);
  const stbtt__buf top = DictOf(t, start, end);
  uint32_t charstrings = 0, cstype = 2, fdarray = 0, fdselect = 0;
  DictInts(top, 17, 1, &charstrings);
  DictInts(top, 0x100 | 6, 1, &cstype);
  DictInts(top, 0x100 | 36, 1, &fdarray);
  DictInts(top, 0x100 | 37, 1, &fdselect);
  Index glyphs;
  if (cstype != 2 || charstrings == 0 || !CheckIndex(t, charstrings, &glyphs) || glyphs.count == 0 ||
      !CheckPrivate(t, top))
    return 0;
  if (fdarray) {
    Index fontdicts;
    if (!fdselect || !CheckIndex(t, fdarray, &fontdicts) || fontdicts.count == 0 ||
        !CheckFdSelect(t, fdselect, glyphs.count, fontdicts.count))
      return 0;
    for (uint64_t i = 0; i < fontdicts.count; i++) {
      Element(t, fdarray, i, &start, &end);
      if (!CheckPrivate(t, DictOf(t, start, end)))
        return 0;
    }
  }
  return 1;
}

void fst_boundCff(stbtt_fontinfo* info, uint64_t length)
{
  const int len = static_cast<int>(length);
  if (info->fdselect.size > 0)
    info->fdselect.size = len - static_cast<int>(info->fdselect.data - info->cff.data);
  info->cff.size = len;
}

int fst_cffOutlineIsSafe(const stbtt_fontinfo* info, int glyph)
{
  if (glyph < 0 || glyph >= IndexCount(info->charstrings))
    return 0;
  int inHeader = 1, maskbits = 0, height = 0, sp = 0;
  bool hasSubrs = false;
  float s[48];
  stbtt__buf stack[10], subrs = info->subrs;
  stbtt__buf b = IndexGet(info->charstrings, glyph);
  double sum = 0;
  long vertices = 0, steps = 0;
  bool done = false;
  while (!done && b.cursor < b.size) {
    if (++steps > kMaxSteps)
      return 0;
    bool clear = true;
    const int b0 = Get8(b);
    switch (b0) {
    case 0x13: // hintmask
    case 0x14: // cntrmask
      if (inHeader)
        maskbits += sp / 2;
      inHeader = 0;
      Skip(b, (maskbits + 7) / 8);
      break;
    case 0x01: // stems
    case 0x03:
    case 0x12:
    case 0x17: maskbits += sp / 2; break;
    case 0x15: // moves close the open contour first
    case 0x04:
    case 0x16:
      inHeader = 0;
      vertices += 2;
      break;
    case 0x05: // lines and curves: at most one vertex per operand
    case 0x06:
    case 0x07:
    case 0x08:
    case 0x18:
    case 0x19:
    case 0x1A:
    case 0x1B:
    case 0x1E:
    case 0x1F: vertices += sp + 1; break;
    case 0x0A: // callsubr
      if (!hasSubrs) {
        if (info->fdselect.size)
          subrs = CidGlyphSubrs(*info, glyph);
        hasSubrs = true;
      }
      [[fallthrough]];
    case 0x1D: { // callgsubr
      if (sp < 1 || height >= 10) {
        done = true;
        break;
      }
      const int v = static_cast<int>(s[--sp]);
      stack[height++] = b;
      b = GetSubr(b0 == 0x0A ? subrs : info->gsubrs, v);
      done = b.size == 0;
      b.cursor = 0;
      clear = false;
      break;
    }
    case 0x0B: // return
      if (height <= 0) {
        done = true;
        break;
      }
      b = stack[--height];
      clear = false;
      break;
    case 0x0E: // endchar
      vertices += 1;
      done = true;
      break;
    case 0x0C: { // flexes; any other escape stops the parser
      const int b1 = Get8(b);
      if (b1 >= 0x22 && b1 <= 0x25)
        vertices += 2;
      else
        done = true;
      break;
    }
    default: {
      if (b0 != 255 && b0 != 28 && b0 < 32) {
        done = true; // reserved
        break;
      }
      float f;
      if (b0 == 255) {
        f = static_cast<float>(static_cast<int32_t>(Get(b, 4))) / 0x10000;
      } else {
        Skip(b, -1);
        f = static_cast<float>(static_cast<int16_t>(DictInt(b)));
      }
      if (sp >= 48) {
        done = true;
        break;
      }
      s[sp++] = f;
      sum += std::fabs(f);
      clear = false;
      break;
    }
    }
    if (clear)
      sp = 0;
  }
  if (sum > kMaxSumOfOperands || vertices > kMaxVertices)
    return 0;
  int x0, y0, x1, y1;
  if (stbtt_GetGlyphBox(info, glyph, &x0, &y0, &x1, &y1) == 0)
    return 1; // nothing to draw
  constexpr int kLimit = 32767;
  return x0 >= -kLimit && y0 >= -kLimit && x1 <= kLimit && y1 <= kLimit ? 1 : 0;
}
