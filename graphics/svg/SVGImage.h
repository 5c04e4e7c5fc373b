#pragma once
// Parsed SVG document: shapes made only of cubic Bezier paths, already in the
// document's final pixel space. Plain records in singly linked lists, allocated
// with malloc and freed by svgDelete; nothing here owns a resource beyond memory.

#include <cstdint>

namespace plugin::igraphics {

struct SVGGradientStop {
  uint32_t color; // 0xAABBGGRR
  float offset;
};

// One allocation: the record followed by its nstops stops (`stops` points there).
// xform maps final pixels into the gradient's unit space: for a linear gradient
// the second coordinate runs 0..1 from its start to its end; for a radial one
// the distance from the origin is 0 at the centre and 1 on the rim.
struct SVGGradient {
  float xform[6];
  char spread; // 0 pad, 1 reflect, 2 repeat
  float fx, fy;
  int nstops;
  SVGGradientStop* stops;
};

enum ESVGPaintType : char {
  kSVGPaintNone = 0,
  kSVGPaintColor = 1,
  kSVGPaintLinearGradient = 2,
  kSVGPaintRadialGradient = 3
};

struct SVGPaint {
  char type;
  union {
    uint32_t color;        // 0xAABBGGRR
    SVGGradient* gradient; // owned by the shape
  };
};

// pts holds npts (x, y) pairs: the start point, then per cubic segment its two
// control points and its end point (npts = 1 + 3 x segments).
struct SVGPath {
  float* pts;
  int npts;
  char closed;
  char hole;       // 1: cut from the shape's other sub-paths under its fill rule
  float bounds[4]; // min x, min y, max x, max y
  SVGPath* next;
};

struct SVGShape {
  char id[64];
  SVGPaint fill;
  SVGPaint stroke;
  float opacity;
  float strokeWidth;
  float strokeDashOffset;
  float strokeDashArray[8];
  char strokeDashCount;
  char strokeLineJoin; // 0 miter, 1 round, 2 bevel
  char strokeLineCap;  // 0 butt, 1 round, 2 square
  float miterLimit;
  char fillRule;       // 0 nonzero, 1 even-odd
  unsigned char flags; // bit 0: visible
  float bounds[4];
  SVGPath* paths; // most recent first
  SVGShape* next;
};

constexpr unsigned char kSVGFlagsVisible = 0x01;

struct SVGImage {
  float width;
  float height;
  SVGShape* shapes; // document order
};

} // namespace plugin::igraphics
