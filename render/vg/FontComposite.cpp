#include "FontComposite.h"

#include <cmath>

#include "FontStashInternal.h"
#include "FontTables.h"

namespace {

constexpr int kMaxDepth = 8;

// Component flags of the glyf table.
constexpr int kArgsAreWords = 1, kArgsAreOffsets = 2, kHasScale = 8, kMoreComponents = 32, kHasXYScale = 64,
              kHas2x2 = 128, kScaledOffset = 0x800;

int U16(const unsigned char* p) { return p[0] << 8 | p[1]; }
int S16(const unsigned char* p) { return static_cast<int16_t>(U16(p)); }
float F2Dot14(const unsigned char* p) { return static_cast<float>(S16(p)) / 16384.0f; }

struct Point {
  float x, y;
  bool on;
};

// Points and contour ends (last point of each, absolute) of an outline.
struct Outline {
  Point* points = nullptr;
  unsigned char* flags = nullptr;
  int* ends = nullptr;
  int npoints = 0, ncontours = 0, maxPoints = 0, maxContours = 0;
};

struct Component {
  int flags, glyph, arg1, arg2;
  float m[4]; // xx, xy, yx, yy
};

// Component at `pos` of a composite glyph; the position of the next one.
uint64_t ReadComponent(const FSTglyphData& g, uint64_t pos, Component* c)
{
  c->flags = U16(g.p + pos);
  c->glyph = U16(g.p + pos + 2);
  pos += 4;
  if (c->flags & kArgsAreWords) {
    c->arg1 = U16(g.p + pos);
    c->arg2 = U16(g.p + pos + 2);
    pos += 4;
  } else {
    c->arg1 = g.p[pos];
    c->arg2 = g.p[pos + 1];
    pos += 2;
  }
  if (c->flags & kArgsAreOffsets) {
    // Offsets are signed, point numbers are not.
    c->arg1 = (c->flags & kArgsAreWords) ? static_cast<int16_t>(c->arg1) : static_cast<int8_t>(c->arg1);
    c->arg2 = (c->flags & kArgsAreWords) ? static_cast<int16_t>(c->arg2) : static_cast<int8_t>(c->arg2);
  }
  c->m[0] = c->m[3] = 1.0f;
  c->m[1] = c->m[2] = 0.0f;
  if (c->flags & kHasScale) {
    c->m[0] = c->m[3] = F2Dot14(g.p + pos);
    pos += 2;
  } else if (c->flags & kHasXYScale) {
    c->m[0] = F2Dot14(g.p + pos);
    c->m[3] = F2Dot14(g.p + pos + 2);
    pos += 4;
  } else if (c->flags & kHas2x2) {
    for (int i = 0; i < 4; i++)
      c->m[i] = F2Dot14(g.p + pos + 2 * i);
    pos += 8;
  }
  return pos;
}

enum class Record { kEmpty, kBroken, kOutline };

// A glyph past the font's count or without a header is empty; one that
// cannot be read, or nests too deep, is broken.
Record OpenGlyph(const FSTfont* font, int glyph, int depth, FSTglyphData* g)
{
  if (glyph >= font->font.numGlyphs)
    return Record::kEmpty;
  if (depth > kMaxDepth || !fst_glyphData(font, glyph, g))
    return Record::kBroken;
  return g->len < 10 ? Record::kEmpty : Record::kOutline;
}

// Walks the glyph's tree: counts points and contours, and tells whether a
// part anywhere in it is placed by point matching.
bool Survey(const FSTfont* font, int glyph, int depth, int* points, int* contours, bool* matched)
{
  FSTglyphData g;
  if (const Record r = OpenGlyph(font, glyph, depth, &g); r != Record::kOutline)
    return r == Record::kEmpty;
  const int n = S16(g.p);
  if (n >= 0) {
    *contours += n;
    *points += n > 0 ? U16(g.p + 10 + 2 * (n - 1)) + 1 : 0;
    return true;
  }
  Component c;
  uint64_t pos = 10;
  do {
    pos = ReadComponent(g, pos, &c);
    *matched = *matched || !(c.flags & kArgsAreOffsets);
    if (!Survey(font, c.glyph, depth + 1, points, contours, matched))
      return false;
  } while (c.flags & kMoreComponents);
  return true;
}

bool AppendSimple(const FSTglyphData& g, int contours, Outline* o)
{
  const int base = o->npoints;
  const int n = U16(g.p + 10 + 2 * (contours - 1)) + 1;
  if (o->npoints + n > o->maxPoints || o->ncontours + contours > o->maxContours)
    return false;
  for (int k = 0; k < contours; k++)
    o->ends[o->ncontours++] = base + U16(g.p + 10 + 2 * k);
  uint64_t pos = 12 + 2ull * contours + U16(g.p + 10 + 2 * contours);
  unsigned char* flags = o->flags + base;
  for (int i = 0; i < n;) {
    const unsigned char f = g.p[pos++];
    int repeat = (f & 8) ? g.p[pos++] : 0;
    for (flags[i++] = f; repeat > 0 && i < n; repeat--)
      flags[i++] = f;
  }
  // x deltas, then y deltas: a short one is a byte with its sign in the
  // flags, a repeated one is 0, else a signed word.
  for (int axis = 0; axis < 2; axis++) {
    const int shortBit = axis == 0 ? 2 : 4, sameBit = axis == 0 ? 16 : 32;
    int v = 0;
    for (int i = 0; i < n; i++) {
      if (flags[i] & shortBit) {
        const int d = g.p[pos++];
        v += (flags[i] & sameBit) ? d : -d;
      } else if (!(flags[i] & sameBit)) {
        v += S16(g.p + pos);
        pos += 2;
      }
      Point& p = o->points[base + i];
      (axis == 0 ? p.x : p.y) = static_cast<float>(v);
      p.on = (flags[i] & 1) != 0;
    }
  }
  o->npoints += n;
  return true;
}

bool Append(const FSTfont* font, int glyph, int depth, Outline* o)
{
  FSTglyphData g;
  if (const Record r = OpenGlyph(font, glyph, depth, &g); r != Record::kOutline)
    return r == Record::kEmpty;
  const int n = S16(g.p);
  if (n >= 0)
    return n == 0 || AppendSimple(g, n, o);
  const int base = o->npoints;
  Component c;
  uint64_t pos = 10;
  do {
    pos = ReadComponent(g, pos, &c);
    const int first = o->npoints;
    if (!Append(font, c.glyph, depth + 1, o))
      return false;
    float dx = 0.0f, dy = 0.0f;
    if (c.flags & kArgsAreOffsets) {
      dx = static_cast<float>(c.arg1);
      dy = static_cast<float>(c.arg2);
      if (c.flags & kScaledOffset) {
        dx = c.m[0] * dx + c.m[2] * dy;
        dy = c.m[1] * static_cast<float>(c.arg1) + c.m[3] * dy;
      }
    }
    for (int i = first; i < o->npoints; i++) {
      Point& p = o->points[i];
      const float x = p.x;
      p.x = c.m[0] * x + c.m[2] * p.y;
      p.y = c.m[1] * x + c.m[3] * p.y;
    }
    if (!(c.flags & kArgsAreOffsets)) {
      // A point of the parts placed so far meets a point of this part.
      if (c.arg1 >= first - base || c.arg2 >= o->npoints - first)
        return false;
      dx = o->points[base + c.arg1].x - o->points[first + c.arg2].x;
      dy = o->points[base + c.arg1].y - o->points[first + c.arg2].y;
    }
    for (int i = first; i < o->npoints; i++) {
      o->points[i].x += dx;
      o->points[i].y += dy;
    }
  } while (c.flags & kMoreComponents);
  return true;
}

struct Vertex {
  int x, y;
};

Vertex Round(const Point& p)
{
  auto clamp = [](float v) {
    const float r = std::floor(v + 0.5f);
    return static_cast<int>(r < -32767.0f ? -32767.0f : r > 32767.0f ? 32767.0f : r);
  };
  return Vertex{clamp(p.x), clamp(p.y)};
}

Vertex Mid(const Vertex& a, const Vertex& b) { return Vertex{(a.x + b.x) >> 1, (a.y + b.y) >> 1}; }

void Emit(stbtt_vertex* v, int* n, unsigned char type, const Vertex& to, const Vertex* control)
{
  stbtt_vertex& e = v[(*n)++];
  e = stbtt_vertex{};
  e.type = type;
  e.x = static_cast<short>(to.x);
  e.y = static_cast<short>(to.y);
  if (control != nullptr) {
    e.cx = static_cast<short>(control->x);
    e.cy = static_cast<short>(control->y);
  }
}

// Quadratic contours as the rasteriser takes them: off-curve neighbours
// imply the on-curve point between them.
int ToVertices(const Outline& o, stbtt_vertex* v)
{
  int n = 0, start = 0;
  for (int k = 0; k < o.ncontours; start = o.ends[k++] + 1) {
    const int end = o.ends[k];
    if (end < start)
      continue;
    const Point* p = o.points;
    Vertex first;
    int from = start, to = end;
    if (p[start].on) {
      first = Round(p[start]);
      from = start + 1;
    } else if (p[end].on) {
      first = Round(p[end]);
      to = end - 1;
    } else {
      first = Mid(Round(p[start]), Round(p[end]));
    }
    Emit(v, &n, STBTT_vmove, first, nullptr);
    Vertex control{};
    bool pending = false;
    for (int i = from; i <= to; i++) {
      const Vertex q = Round(p[i]);
      if (p[i].on) {
        Emit(v, &n, pending ? STBTT_vcurve : STBTT_vline, q, &control);
        pending = false;
      } else {
        if (pending)
          Emit(v, &n, STBTT_vcurve, Mid(control, q), &control);
        control = q;
        pending = true;
      }
    }
    Emit(v, &n, pending ? STBTT_vcurve : STBTT_vline, first, &control);
  }
  return n;
}

void DrawAssembled(const FSTfont* font, unsigned char* out, int w, int h, int stride, float scale, int glyph,
                   int maxPoints, int maxContours)
{
  void* user = font->font.userdata;
  Outline o;
  o.maxPoints = maxPoints;
  o.maxContours = maxContours;
  o.points = static_cast<Point*>(fst_tmpalloc(sizeof(Point) * static_cast<size_t>(maxPoints), user));
  o.flags = static_cast<unsigned char*>(fst_tmpalloc(static_cast<size_t>(maxPoints), user));
  o.ends = static_cast<int*>(fst_tmpalloc(sizeof(int) * static_cast<size_t>(maxContours), user));
  // Each point gives at most two vertices, each contour one move and one close.
  const size_t nverts = 2 * static_cast<size_t>(maxPoints) + 2 * static_cast<size_t>(maxContours);
  auto* verts = static_cast<stbtt_vertex*>(fst_tmpalloc(sizeof(stbtt_vertex) * nverts, user));
  if (o.points && o.flags && o.ends && verts && Append(font, glyph, 0, &o)) {
    int ix0, iy0;
    stbtt_GetGlyphBitmapBoxSubpixel(&font->font, glyph, scale, scale, 0.0f, 0.0f, &ix0, &iy0, nullptr, nullptr);
    stbtt__bitmap bitmap{w, h, stride, out};
    if (w > 0 && h > 0)
      stbtt_Rasterize(&bitmap, 0.35f, verts, ToVertices(o, verts), scale, scale, 0.0f, 0.0f, ix0, iy0, 1, user);
  }
  fst_tmpfree(verts, user);
  fst_tmpfree(o.ends, user);
  fst_tmpfree(o.flags, user);
  fst_tmpfree(o.points, user);
}

} // namespace

void fst_makeGlyphBitmap(const FSTfont* font, unsigned char* out, int w, int h, int stride, float scale, int glyph)
{
  int points = 0, contours = 0;
  bool matched = false;
  if (font->font.cff.size == 0 && Survey(font, glyph, 0, &points, &contours, &matched) && matched) {
    if (points > 0 && contours > 0)
      DrawAssembled(font, out, w, h, stride, scale, glyph, points, contours);
    return;
  }
  stbtt_MakeGlyphBitmapSubpixel(&font->font, out, w, h, stride, scale, scale, 0.0f, 0.0f, glyph);
}
