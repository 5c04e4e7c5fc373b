// Feeds arbitrary bytes to the SVG parser as document text and walks every
// record it returns. The first byte also picks the output units and dpi, so
// the unit conversions are reached without a separate input format.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "SVGParser.h"

using namespace plugin::igraphics;

namespace {

volatile float gSink;

void Walk(const SVGImage* image)
{
  float sum = image->width + image->height;
  for (const SVGShape* s = image->shapes; s; s = s->next) {
    sum += s->bounds[0] + s->bounds[3] + s->strokeWidth;
    for (int i = 0; i < s->strokeDashCount; i++)
      sum += s->strokeDashArray[i];
    if (s->strokeDashCount < 0 || s->strokeDashCount > 8)
      std::abort();
    for (const SVGPaint* paint : {&s->fill, &s->stroke}) {
      if (paint->type == 2 || paint->type == 3) {
        const SVGGradient* g = paint->gradient;
        for (int i = 0; i < 6; i++)
          sum += g->xform[i];
        for (int i = 0; i < g->nstops; i++)
          sum += g->stops[i].offset + static_cast<float>(g->stops[i].color);
      }
    }
    for (const SVGPath* p = s->paths; p; p = p->next) {
      // Only whole cubics after the start point.
      if (p->npts < 4 || (p->npts - 1) % 3 != 0 || (p->hole != 0 && p->hole != 1))
        std::abort();
      for (int i = 0; i < p->npts * 2; i++)
        sum += p->pts[i];
      SVGPath* copy = svgDuplicatePath(p);
      if (copy) {
        sum += copy->pts[copy->npts * 2 - 1];
        std::free(copy->pts);
        std::free(copy);
      }
    }
  }
  gSink = sum;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  static const char* const kUnits[] = {"px", "mm", "in", "pt", "%", "em", "cm", "pc"};
  static const float kDpi[] = {96.0f, 72.0f, 0.0f, 300.0f};
  const uint8_t pick = size ? data[0] : 0;
  std::vector<char> text(data, data + size);
  text.push_back('\0');
  SVGImage* image = svgParse(text.data(), kUnits[pick & 7], kDpi[(pick >> 3) & 3]);
  if (image)
    Walk(image);
  svgDelete(image);
  return 0;
}
