// Gradient definitions, their stops, and the gradient of a painted shape.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

enum { kX1 = 0, kY1 = 1, kX2 = 2, kY2 = 3, kCx = 0, kCy = 1, kR = 2, kFx = 3, kFy = 4 };

void CopyText(char* dst, const char* src, size_t maxChars)
{
  size_t n = 0;
  while (n < maxChars && src[n]) {
    dst[n] = src[n];
    n++;
  }
  dst[n] = '\0';
}

int CoordinateSlot(const char* name)
{
  static const char* const kNames[][2] = {{"x1", "cx"}, {"y1", "cy"}, {"x2", "r"}, {"y2", "fx"}, {"fy", "fy"}};
  for (int i = 0; i < 5; i++)
    if (std::strcmp(name, kNames[i][0]) == 0 || std::strcmp(name, kNames[i][1]) == 0)
      return i;
  return -1;
}

uint32_t HashId(const char* id)
{
  uint32_t h = 2166136261u;
  for (; *id; id++)
    h = (h ^ static_cast<unsigned char>(*id)) * 16777619u;
  return h;
}

// Puts grad in the slot of its id. With replace false an id already there
// keeps its definition.
void IndexPut(SVGGradientData** index, int size, SVGGradientData* grad, bool replace)
{
  const uint32_t mask = static_cast<uint32_t>(size - 1);
  for (uint32_t i = HashId(grad->id) & mask;; i = (i + 1) & mask) {
    if (!index[i]) {
      index[i] = grad;
      return;
    }
    if (std::strcmp(index[i]->id, grad->id) == 0) {
      if (replace)
        index[i] = grad;
      return;
    }
  }
}

// Called with grad already at the front of the list. The index names the
// most recent definition of each id, as a search of the list would find.
void IndexGradient(SVGParser* p, SVGGradientData* grad)
{
  p->gradientCount++;
  if (p->gradientCount * 2 <= p->gradientIndexSize) {
    IndexPut(p->gradientIndex, p->gradientIndexSize, grad, true);
    return;
  }
  const int size = p->gradientIndexSize ? p->gradientIndexSize * 2 : 64;
  std::free(p->gradientIndex);
  p->gradientIndex = static_cast<SVGGradientData**>(std::calloc(static_cast<size_t>(size), sizeof(SVGGradientData*)));
  p->gradientIndexSize = p->gradientIndex ? size : 0;
  // The list runs newest first, so the first of each id is the one to keep.
  if (p->gradientIndex)
    for (SVGGradientData* g = p->gradients; g; g = g->next)
      IndexPut(p->gradientIndex, size, g, false);
}

} // namespace

SVGGradientData* svgFindGradient(SVGParser* p, const char* id)
{
  if (!p->gradientIndex) {
    for (SVGGradientData* g = p->gradients; g; g = g->next)
      if (std::strcmp(g->id, id) == 0)
        return g;
    return nullptr;
  }
  const uint32_t mask = static_cast<uint32_t>(p->gradientIndexSize - 1);
  for (uint32_t i = HashId(id) & mask; p->gradientIndex[i]; i = (i + 1) & mask)
    if (std::strcmp(p->gradientIndex[i]->id, id) == 0)
      return p->gradientIndex[i];
  return nullptr;
}

namespace {

// The definition whose stops data uses: data itself, or the first along its
// href chain that has stops; null for a chain that ends or loops without.
// Every definition a walk passes remembers the answer until a definition or
// a first stop is added, so each chain is walked once.
const SVGGradientData* StopsOf(SVGParser* p, SVGGradientData* data)
{
  const unsigned generation = p->gradientGeneration;
  const unsigned stamp = ++p->visitStamp;
  SVGGradientData* found = nullptr;
  for (SVGGradientData* g = data; g; g = svgFindGradient(p, g->ref)) {
    if (g->stopsGeneration == generation) {
      found = g->stopsFrom;
      break;
    }
    if (g->nstops > 0) {
      found = g;
      break;
    }
    if (g->visit == stamp || !g->ref[0])
      break;
    g->visit = stamp;
  }
  for (SVGGradientData* g = data; g && g->visit == stamp && g->stopsGeneration != generation;
       g = svgFindGradient(p, g->ref)) {
    g->stopsGeneration = generation;
    g->stopsFrom = found;
  }
  return found;
}

// In object-bounding-box units a plain number is a fraction of the box;
// other units convert as everywhere else.
float GradientCoordinate(const SVGParser* p, SVGCoordinate c, bool boxUnits, float orig, float length)
{
  if (boxUnits && c.units == kSVGUnitsUser)
    return orig + c.value * length;
  return svgConvertToPixels(p, c, orig, length);
}

} // namespace

void svgParseGradient(SVGParser* p, const char** attr, char type)
{
  SVGGradientData* grad = static_cast<SVGGradientData*>(std::calloc(1, sizeof(SVGGradientData)));
  if (!grad)
    return;
  grad->type = type;
  if (type == kSVGPaintLinearGradient) {
    grad->coords[kX1] = {0.0f, kSVGUnitsPercent};
    grad->coords[kY1] = {0.0f, kSVGUnitsPercent};
    grad->coords[kX2] = {100.0f, kSVGUnitsPercent};
    grad->coords[kY2] = {0.0f, kSVGUnitsPercent};
  } else {
    grad->coords[kCx] = {50.0f, kSVGUnitsPercent};
    grad->coords[kCy] = {50.0f, kSVGUnitsPercent};
    grad->coords[kR] = {50.0f, kSVGUnitsPercent};
    grad->coords[kFx] = {0.0f, kSVGUnitsUser};
    grad->coords[kFy] = {0.0f, kSVGUnitsUser};
  }
  grad->units = 1;
  AffineIdentity(grad->xform);

  for (int i = 0; attr[i]; i += 2) {
    const char* name = attr[i];
    const char* value = attr[i + 1];
    if (std::strcmp(name, "id") == 0) {
      CopyText(grad->id, value, 63);
    } else if (!svgParseAttr(p, name, value)) {
      const int slot = CoordinateSlot(name);
      if (std::strcmp(name, "gradientUnits") == 0) {
        grad->units = std::strcmp(value, "objectBoundingBox") == 0 ? 1 : 0;
      } else if (std::strcmp(name, "gradientTransform") == 0) {
        svgParseTransform(grad->xform, value);
      } else if (slot >= 0) {
        grad->coords[slot] = svgParseCoordinate(value);
      } else if (std::strcmp(name, "spreadMethod") == 0) {
        if (std::strcmp(value, "pad") == 0)
          grad->spread = 0;
        else if (std::strcmp(value, "reflect") == 0)
          grad->spread = 1;
        else if (std::strcmp(value, "repeat") == 0)
          grad->spread = 2;
      } else if (std::strcmp(name, "xlink:href") == 0) {
        // The '#' is stripped only when it is there: an empty value stays empty.
        CopyText(grad->ref, value[0] == '#' ? value + 1 : value, 62);
      }
    }
  }

  grad->next = p->gradients;
  p->gradients = grad;
  IndexGradient(p, grad);
  p->gradientGeneration++;
}

void svgParseGradientStop(SVGParser* p, const char** attr)
{
  SVGAttrib* cur = svgGetAttr(p);
  cur->stopOffset = 0.0f;
  cur->stopColor = 0;
  cur->stopOpacity = 1.0f;
  for (int i = 0; attr[i]; i += 2)
    svgParseAttr(p, attr[i], attr[i + 1]);

  SVGGradientData* grad = p->gradients;
  if (!grad)
    return;

  if (grad->nstops == grad->cstops) {
    const int cstops = grad->cstops ? grad->cstops * 2 : 4;
    SVGGradientStop* stops =
      static_cast<SVGGradientStop*>(std::realloc(grad->stops, sizeof(SVGGradientStop) * static_cast<size_t>(cstops)));
    if (!stops)
      return;
    grad->stops = stops;
    grad->cstops = cstops;
  }

  // After the last stop whose offset is not greater: equal offsets keep
  // document order, and stops written in order cost no search.
  int idx = grad->nstops;
  while (idx > 0 && grad->stops[idx - 1].offset > cur->stopOffset)
    idx--;
  for (int i = grad->nstops; i > idx; i--)
    grad->stops[i] = grad->stops[i - 1];
  grad->nstops++;
  // A first stop ends every walk that passed through this definition.
  if (grad->nstops == 1)
    p->gradientGeneration++;

  const uint32_t alpha = static_cast<uint32_t>(cur->stopOpacity * 255.0f);
  grad->stops[idx].color = cur->stopColor | (alpha << 24);
  grad->stops[idx].offset = cur->stopOffset;
}

SVGGradient* svgCreateGradient(SVGParser* p, const char* id, const float* localBounds, char* paintType)
{
  SVGGradientData* data = svgFindGradient(p, id);
  if (!data)
    return nullptr;

  const SVGGradientData* ref = StopsOf(p, data);
  if (!ref)
    return nullptr;
  const SVGGradientStop* stops = ref->stops;
  const int nstops = ref->nstops;

  const SVGAttrib* attr = svgGetAttr(p);
  float ox, oy, sw, sh;
  if (data->units) {
    ox = localBounds[0];
    oy = localBounds[1];
    sw = localBounds[2] - localBounds[0];
    sh = localBounds[3] - localBounds[1];
  } else {
    ox = p->viewMinx;
    oy = p->viewMiny;
    sw = p->viewWidth;
    sh = p->viewHeight;
  }
  const float sl = std::sqrt(sw * sw + sh * sh) / 1.4142135f;
  const bool box = data->units != 0;

  float xform[6];
  float fx = 0.0f, fy = 0.0f;
  if (data->type == kSVGPaintLinearGradient) {
    const float x1 = GradientCoordinate(p, data->coords[kX1], box, ox, sw);
    const float y1 = GradientCoordinate(p, data->coords[kY1], box, oy, sh);
    const float x2 = GradientCoordinate(p, data->coords[kX2], box, ox, sw);
    const float y2 = GradientCoordinate(p, data->coords[kY2], box, oy, sh);
    const float dx = x2 - x1, dy = y2 - y1;
    xform[0] = dy;
    xform[1] = -dx;
    xform[2] = dx;
    xform[3] = dy;
    xform[4] = x1;
    xform[5] = y1;
  } else {
    const float cx = GradientCoordinate(p, data->coords[kCx], box, ox, sw);
    const float cy = GradientCoordinate(p, data->coords[kCy], box, oy, sh);
    const float r = GradientCoordinate(p, data->coords[kR], box, 0.0f, sl);
    // A zero radius has no rim to map to 1: the paint is none.
    if (r == 0.0f || !std::isfinite(r))
      return nullptr;
    fx = GradientCoordinate(p, data->coords[kFx], box, ox, sw) / r;
    fy = GradientCoordinate(p, data->coords[kFy], box, oy, sh) / r;
    xform[0] = r;
    xform[1] = 0.0f;
    xform[2] = 0.0f;
    xform[3] = r;
    xform[4] = cx;
    xform[5] = cy;
  }
  AffineMultiply(xform, data->xform);
  AffineMultiply(xform, attr->xform);

  const size_t size = sizeof(SVGGradient) + sizeof(SVGGradientStop) * static_cast<size_t>(nstops);
  SVGGradient* grad = static_cast<SVGGradient*>(std::malloc(size));
  if (!grad)
    return nullptr;
  std::memcpy(grad->xform, xform, sizeof(xform));
  grad->spread = data->spread;
  grad->fx = fx;
  grad->fy = fy;
  grad->nstops = nstops;
  grad->stops = reinterpret_cast<SVGGradientStop*>(grad + 1);
  std::memcpy(grad->stops, stops, sizeof(SVGGradientStop) * static_cast<size_t>(nstops));
  *paintType = data->type;
  return grad;
}

} // namespace plugin::igraphics
