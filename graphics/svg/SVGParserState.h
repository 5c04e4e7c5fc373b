#pragma once
// The parser's own state and the steps it is built from. Used inside the
// parser and by its tests; drawing code needs only SVGParser.h.

#include <cstdint>

#include "Affine2D.h"
#include "SVGImage.h"

namespace plugin::igraphics {

constexpr int kSVGMaxAttr = 128;
constexpr int kSVGMaxAttrPairs = 127;

enum ESVGUnits {
  kSVGUnitsUser = 0,
  kSVGUnitsPx,
  kSVGUnitsPt,
  kSVGUnitsPc,
  kSVGUnitsMm,
  kSVGUnitsCm,
  kSVGUnitsIn,
  kSVGUnitsPercent,
  kSVGUnitsEm,
  kSVGUnitsEx
};

struct SVGCoordinate {
  float value;
  int units;
};

struct SVGAttrib {
  char id[64];
  float xform[6];
  uint32_t fillColor;
  uint32_t strokeColor;
  float opacity;          // the element's own times its ancestors'
  float inheritedOpacity; // the ancestors' alone
  float fillOpacity;
  float strokeOpacity;
  char fillGradient[64];
  char strokeGradient[64];
  float strokeWidth;
  float strokeDashOffset;
  float strokeDashArray[8];
  int strokeDashCount;
  char strokeLineJoin;
  char strokeLineCap;
  float miterLimit;
  char fillRule;
  float fontSize;
  uint32_t stopColor;
  float stopOpacity;
  float stopOffset;
  char hasFill;
  char hasStroke;
  char visible;
};

// A gradient definition; linear x1 y1 x2 y2 and radial cx cy r fx fy share
// the coordinate slots in that order.
struct SVGGradientData {
  char id[64];
  char ref[64];
  char type;
  SVGCoordinate coords[5];
  char spread;
  char units; // 1 object bounding box, 0 user space
  float xform[6];
  int nstops;
  int cstops; // capacity of stops, grown by doubling
  SVGGradientStop* stops;
  unsigned visit;             // stamp of the last reference walk that passed here
  unsigned stopsGeneration;   // stopsFrom is valid while this is the parser's generation
  SVGGradientData* stopsFrom; // where the walk along href found stops, or null
  SVGGradientData* next;
};

struct SVGParser {
  SVGAttrib attr[kSVGMaxAttr];
  int attrHead;
  int attrOverflow; // pushes past the top entry, undone by pops before the stack moves
  float* pts;
  int npts;
  int cpts;
  SVGPath* plist;
  SVGImage* image;
  SVGGradientData* gradients;
  // Open-addressed index of gradients by id (most recent definition per id);
  // null when it could not be allocated, and lookups then walk the list.
  SVGGradientData** gradientIndex;
  int gradientIndexSize; // a power of two, or 0
  int gradientCount;
  unsigned visitStamp;
  unsigned gradientGeneration; // moves on whenever a definition or a first stop is added
  SVGShape* shapesTail;
  float viewMinx, viewMiny, viewWidth, viewHeight;
  int alignX, alignY, alignType;
  float dpi;
  int hiddenDepth; // nesting of defs, clipPath, mask and other containers not drawn
};

// XML tokenizer: cuts text in place and reports elements. Attribute lists
// alternate name and value and end with two nulls.
using SVGStartElementFn = void (*)(void* ud, const char* el, const char** attr);
using SVGEndElementFn = void (*)(void* ud, const char* el);
using SVGContentFn = void (*)(void* ud, const char* s);
int svgParseXML(char* text, SVGStartElementFn startFn, SVGEndElementFn endFn, SVGContentFn contentFn, void* ud);

void svgStartElement(void* ud, const char* el, const char** attr);
void svgEndElement(void* ud, const char* el);

// Parser lifetime, used by svgParse and by tests that drive single steps.
SVGParser* svgCreateParser();
void svgDeleteParser(SVGParser* p);
void svgScaleToViewbox(SVGParser* p, const char* units);

SVGAttrib* svgGetAttr(SVGParser* p);
void svgPushAttr(SVGParser* p);
void svgPopAttr(SVGParser* p);

// Attributes.
bool svgParseAttr(SVGParser* p, const char* name, const char* value);
void svgParseAttribs(SVGParser* p, const char** attr);

// Numbers and units.
const char* svgScanNumber(const char* s, char item[64]);
double svgParseNumber(const char* s);
SVGCoordinate svgParseCoordinate(const char* s);
float svgConvertToPixels(const SVGParser* p, SVGCoordinate c, float orig, float length);
float svgActualLength(const SVGParser* p);
bool svgIsSpace(char c);

// Basic shapes and the svg element.
void svgParseRect(SVGParser* p, const char** attr);
void svgParseCircle(SVGParser* p, const char** attr);
void svgParseEllipse(SVGParser* p, const char** attr);
void svgParseLine(SVGParser* p, const char** attr);
void svgParsePoly(SVGParser* p, const char** attr, bool closed);
void svgParseSVG(SVGParser* p, const char** attr);

// Path buffer and path data.
void svgResetPath(SVGParser* p);
void svgMoveTo(SVGParser* p, float x, float y);
void svgLineTo(SVGParser* p, float x, float y);
void svgCubicBezTo(SVGParser* p, float c1x, float c1y, float c2x, float c2y, float x, float y);
void svgAddPath(SVGParser* p, char closed);
void svgPathArcTo(SVGParser* p, float* cpx, float* cpy, const float* args, bool rel);
void svgParsePath(SVGParser* p, const char** attr);
int svgGetArgsPerElement(char cmd);

// Transforms: t[6] as in Affine2D.h.
void svgParseTransform(float* xform, const char* str);

// Bounds.
void svgCurveBounds(float* bounds, const float* curve);
void svgGetLocalBounds(float* bounds, const SVGShape* shape, const float* xform);

// Sets each path's hole flag from the winding of the flattened outlines
// under the shape's fill rule.
void svgDecideHoles(SVGShape* shape);

// Paint.
uint32_t svgParseColor(const char* str);
bool svgNamedColor(const char* name, uint32_t* color); // any case; false for unknown names
bool svgIsTransparent(const char* text);
void svgParseGradient(SVGParser* p, const char** attr, char type);
void svgParseGradientStop(SVGParser* p, const char** attr);
void svgCreateShape(SVGParser* p);
SVGGradient* svgCreateGradient(SVGParser* p, const char* id, const float* localBounds, char* paintType);
SVGGradientData* svgFindGradient(SVGParser* p, const char* id);

} // namespace plugin::igraphics
