// Colours, stops, gradient references and gradient geometry in final pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>
#include <cstdio>
#include <algorithm>
#include <numbers>
#include <string>

#include "SVGTestSupport.h"

using namespace svgtest;

TEST(SVGColor, TextFormsGiveTheirPackedColour)
{
  const struct {
    const char* text;
    uint32_t color;
  } cases[] = {
    {"#f00", 0x0000FF},
    {"#ff0000", 0x0000FF},
    {"rgb(255,0,0)", 0x0000FF},
    {"rgb(100%, 0%, 0%)", 0x0000FF},
    {"red", 0x0000FF},
    {"  #123", 0x332211},
    {"#A0B1C2", 0xC2B1A0},
    {"#ff000", 0x000000}, // five digits: black
    {"#ggg", 0x000000},   // not hexadecimal: black
    {"#f0g", 0x000000},
    {"#", 0x000000},
    {"Red", 0x0000FF}, // keywords in any case
    {"RED", 0x0000FF},
    {"notacolour", 0x808080}, // unknown names: grey
    {"", 0x808080},
    {"green", 0x008000},
    {"blue", 0xFF0000},
    {"yellow", 0x00FFFF},
    {"cyan", 0xFFFF00},
    {"magenta", 0xFF00FF},
    {"black", 0x000000},
    {"grey", 0x808080},
    {"gray", 0x808080},
    {"white", 0xFFFFFF},
    {"rgb(0 128 255)", 0xFF8000},
    {"rgb(50%,50%,50%)", 0x808080}, // 127.5 rounds up
    // Decimals, as tools write them: 31.875 -> 32, 128.01 -> 128; 20.6 -> 21.
    {"rgb(12.5%, 50.2%, 100%)", 0xFF8020},
    {"rgb(10.4, 20.6, 0)", 0x00150A},
    {"rgb(0.5%,99.9%,.2%)", 0x01FF01},
    // The whole standard keyword table, not ten names.
    {"cornflowerblue", 0xED9564},
    {"CornflowerBlue ", 0xED9564},
    {"lightgrey", 0xD3D3D3},
    {"aliceblue", 0xFFF8F0},
    {"rebeccapurple", 0x993366},
    {"yellowgreen", 0x32CD9A},
    {"navy", 0x800000},
    // Each channel clamped on its own; nothing spills into its neighbour.
    {"rgb(300,0,0)", 0x0000FF},
    {"rgb(-5,256,1000)", 0xFFFF00},
    {"rgb(200%,0%,0%)", 0x0000FF},
    {"rgb(99999999999,1,2)", 0x0201FF},
    // Missing channels are 0, not all bits set.
    {"rgb(255)", 0x0000FF},
    {"rgb(10,20)", 0x00140A},
    {"rgb()", 0x000000},
  };
  for (const auto& c : cases)
    EXPECT_EQ(svgParseColor(c.text), c.color) << c.text;
}

TEST(SVGPaint, ShapePaintsCarryOpacityInTheHighByte)
{
  const struct {
    const char* attrs;
    char fillType;
    uint32_t fill;
    char strokeType;
    uint32_t stroke;
  } cases[] = {
    {"", kSVGPaintColor, 0xFF000000, kSVGPaintNone, 0},
    {"fill='none' stroke='red'", kSVGPaintNone, 0, kSVGPaintColor, 0xFF0000FF},
    {"fill='red' fill-opacity='0.5'", kSVGPaintColor, 0x7F0000FF, kSVGPaintNone, 0},
    {"style='fill: #00ff00 ; stroke:blue;stroke-opacity:2'", kSVGPaintColor, 0xFF00FF00, kSVGPaintColor, 0xFFFF0000},
    {"fill='url(#missing)'", kSVGPaintNone, 0, kSVGPaintNone, 0},
    {"fill-opacity='-1'", kSVGPaintColor, 0x00000000, kSVGPaintNone, 0},
    {"fill='Transparent' stroke='LightGrey'", kSVGPaintNone, 0, kSVGPaintColor, 0xFFD3D3D3},
  };
  for (const auto& c : cases) {
    ImagePtr image =
      Parse(std::string("<svg width='10' height='10'><rect width='5' height='5' ") + c.attrs + "/></svg>");
    const auto shapes = Shapes(image.get());
    ASSERT_EQ(shapes.size(), 1u) << c.attrs;
    EXPECT_EQ(shapes[0]->fill.type, c.fillType) << c.attrs;
    EXPECT_EQ(shapes[0]->stroke.type, c.strokeType) << c.attrs;
    if (c.fillType == kSVGPaintColor) {
      EXPECT_EQ(shapes[0]->fill.color, c.fill) << c.attrs;
    }
    if (c.strokeType == kSVGPaintColor) {
      EXPECT_EQ(shapes[0]->stroke.color, c.stroke) << c.attrs;
    }
  }
}

TEST(SVGPaint, OpacitiesMultiplyDownGroupsAndIntoGradientStops)
{
  const struct {
    std::string body;
    float opacity;    // of the first shape
    uint32_t stopTop; // top byte of its first fill stop, when a gradient
  } cases[] = {
    {"<g opacity='0.5'><g opacity='0.5'><rect width='5' height='5'/></g></g>", 0.25f, 0},
    {"<g opacity='0.5'><rect width='5' height='5' opacity='0.5' style='opacity:0.5'/></g>", 0.25f, 0},
    {"<g opacity='0.5'><g><rect width='5' height='5'/></g></g>", 0.5f, 0},
    {"<g opacity='0.5'></g><rect width='5' height='5'/>", 1.0f, 0},
    // stop-opacity 0.5 (127) times fill-opacity 0.5: 63.5, rounded.
    {"<linearGradient id='g'><stop stop-opacity='0.5'/></linearGradient>"
     "<rect width='5' height='5' fill='url(#g)' fill-opacity='0.5'/>",
     1.0f, 64},
    {"<linearGradient id='g'><stop/></linearGradient><rect width='5' height='5' fill='url(#g)'/>", 1.0f, 255},
  };
  for (const auto& c : cases) {
    ImagePtr image = Parse("<svg width='10' height='10'>" + c.body + "</svg>");
    const auto shapes = Shapes(image.get());
    ASSERT_FALSE(shapes.empty()) << c.body;
    EXPECT_FLOAT_EQ(shapes[0]->opacity, c.opacity) << c.body;
    if (shapes[0]->fill.type == kSVGPaintLinearGradient)
      EXPECT_EQ(shapes[0]->fill.gradient->stops[0].color >> 24, c.stopTop) << c.body;
    else
      EXPECT_EQ(c.stopTop, 0u) << c.body;
  }
}

namespace {

const SVGGradient* FillGradient(const SVGImage* image, size_t shape = 0)
{
  const auto shapes = Shapes(image);
  if (shapes.size() <= shape)
    return nullptr;
  const SVGPaint& fill = shapes[shape]->fill;
  return fill.type == kSVGPaintLinearGradient || fill.type == kSVGPaintRadialGradient ? fill.gradient : nullptr;
}

std::string Rect(const char* fill) { return std::string("<rect width='100' height='20' fill='") + fill + "'/>"; }

} // namespace

TEST(SVGGradient, StopsSortByOffsetKeepingDocumentOrderForTies)
{
  ImagePtr image =
    Parse("<svg width='100' height='20'><defs><linearGradient id='g'>"
          "<stop offset='0.5' stop-color='#000001'/><stop offset='0' stop-color='#000002'/>"
          "<stop offset='0.5' stop-color='#000003'/><stop offset='1' stop-color='#000004'/>"
          "</linearGradient>"
          "<linearGradient id='s'><stop offset='50%' style='stop-color:#00ff00;stop-opacity:0.25'/></linearGradient>"
          "</defs>" +
          Rect("url(#g)") + Rect("url(#s)") + "</svg>");
  const SVGGradient* g = FillGradient(image.get(), 0);
  ASSERT_NE(g, nullptr);
  ASSERT_EQ(g->nstops, 4);
  const uint32_t colors[] = {0xFF020000, 0xFF010000, 0xFF030000, 0xFF040000};
  const float offsets[] = {0, 0.5f, 0.5f, 1};
  for (int i = 0; i < 4; i++) {
    EXPECT_EQ(g->stops[i].color, colors[i]) << i;
    EXPECT_EQ(g->stops[i].offset, offsets[i]) << i;
  }
  const SVGGradient* s = FillGradient(image.get(), 1);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->nstops, 1);
  EXPECT_EQ(s->stops[0].offset, 0.5f);
  EXPECT_EQ(s->stops[0].color, 0x3F00FF00u);
}

TEST(SVGGradient, ReferencesLendOnlyTheirStopsAndCyclesEnd)
{
  const std::string stops = "<stop offset='0' stop-color='red'/><stop offset='1' stop-color='blue'/>";
  ImagePtr image =
    Parse("<svg width='100' height='20'><defs>"
          "<linearGradient id='base' x1='0' y1='0' x2='0' y2='1'>" +
          stops +
          "</linearGradient>"
          "<linearGradient id='mid' xlink:href='#base'/>"
          "<linearGradient id='derived' xlink:href='#mid' x1='0%' x2='50%' spreadMethod='reflect'/>"
          "<linearGradient id='a' xlink:href='#b'/><linearGradient id='b' xlink:href='#a'/>"
          "<linearGradient id='self' xlink:href='#self'/>"
          "<linearGradient>" +
          stops +
          "</linearGradient>"
          "<linearGradient id='empty' xlink:href=''/>"
          "<linearGradient id='bare' xlink:href='base'/>"
          "<radialGradient id='flat' r='0'>" +
          stops +
          "</radialGradient>"
          "</defs>" +
          Rect("url(#derived)") + Rect("url(#a)") + Rect("url(#self)") + Rect("url(#empty)") + Rect("url(#bare)") +
          Rect("url(#flat)") + Rect("url(#later)") + "<linearGradient id='later'>" + stops + "</linearGradient></svg>");
  const auto shapes = Shapes(image.get());
  ASSERT_EQ(shapes.size(), 7u);
  const SVGGradient* derived = FillGradient(image.get(), 0);
  ASSERT_NE(derived, nullptr);
  EXPECT_EQ(derived->nstops, 2);
  EXPECT_EQ(derived->stops[1].color, 0xFFFF0000u);
  EXPECT_EQ(derived->spread, 1);
  // Its own geometry: horizontal over half the box, not base's vertical one.
  const Point start = Map(derived->xform, 0, 10), end = Map(derived->xform, 50, 10);
  EXPECT_NEAR(start.y, 0, 1e-5);
  EXPECT_NEAR(end.y, 1, 1e-5);
  // A cycle, an empty reference, a zero radius and a later definition: no fill.
  for (size_t i : {1u, 2u, 3u, 5u, 6u})
    EXPECT_EQ(shapes[i]->fill.type, kSVGPaintNone) << i;
  // A reference without '#' names the definition as written.
  EXPECT_EQ(shapes[4]->fill.type, kSVGPaintLinearGradient);
}

TEST(SVGGradient, ManyDefinitionsLongChainsAndManyStopsResolveAsTheListWould)
{
  // 300 definitions: g0 holds the stops, each later one refers to the one
  // before; "dup" is defined three times and the last definition counts,
  // also across the index growing between them.
  std::string defs = "<linearGradient id='dup'><stop stop-color='#000001'/></linearGradient>";
  defs += "<linearGradient id='g0'><stop offset='0' stop-color='red'/><stop offset='1' stop-color='blue'/>"
          "</linearGradient>";
  for (int i = 1; i < 300; i++) {
    defs += "<linearGradient id='g" + std::to_string(i) + "' xlink:href='#g" + std::to_string(i - 1) + "'/>";
    if (i == 100)
      defs += "<linearGradient id='dup'><stop stop-color='#000002'/></linearGradient>";
  }
  defs += "<linearGradient id='dup'><stop stop-color='#000003'/></linearGradient>";
  // 500 stops in scrambled order, ties included.
  defs += "<linearGradient id='many'>";
  std::vector<std::pair<int, int>> expected; // (offset in hundredths, colour)
  for (int k = 0; k < 500; k++) {
    const int hundredths = (k * 37) % 101;
    char stop[64];
    std::snprintf(stop, sizeof(stop), "<stop offset='%d%%' stop-color='#0000%02x'/>", hundredths, k & 0xff);
    defs += stop;
    expected.push_back({hundredths, k & 0xff});
  }
  defs += "</linearGradient>";
  std::stable_sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.first < b.first; });

  ImagePtr image = Parse("<svg width='100' height='20'><defs>" + defs + "</defs>" + Rect("url(#g299)") +
                         Rect("url(#g150)") + Rect("url(#dup)") + Rect("url(#many)") + "</svg>");
  for (size_t shape : {0u, 1u}) {
    const SVGGradient* g = FillGradient(image.get(), shape);
    ASSERT_NE(g, nullptr) << shape;
    ASSERT_EQ(g->nstops, 2) << shape;
    EXPECT_EQ(g->stops[0].color, 0xFF0000FFu) << shape;
    EXPECT_EQ(g->stops[1].color, 0xFFFF0000u) << shape;
  }
  const SVGGradient* dup = FillGradient(image.get(), 2);
  ASSERT_NE(dup, nullptr);
  ASSERT_EQ(dup->nstops, 1);
  EXPECT_EQ(dup->stops[0].color, 0xFF030000u);
  const SVGGradient* many = FillGradient(image.get(), 3);
  ASSERT_NE(many, nullptr);
  ASSERT_EQ(many->nstops, 500);
  for (int i = 0; i < 500; i++) {
    EXPECT_NEAR(many->stops[i].offset, expected[i].first / 100.0, 1e-6) << i;
    EXPECT_EQ(many->stops[i].color, 0xFF000000u | (static_cast<uint32_t>(expected[i].second) << 16)) << i;
  }
}

TEST(SVGGradient, ReferencesFollowDefinitionsMadeBetweenShapes)
{
  // Each shape sees the definitions made before it: a reference that named
  // nothing finds its target once defined, and a redefined target lends its
  // new stops.
  ImagePtr image =
    Parse("<svg width='100' height='20'>"
          "<linearGradient id='late' xlink:href='#target'/>" +
          Rect("url(#late)") + "<linearGradient id='target'><stop stop-color='#000001'/></linearGradient>" +
          Rect("url(#late)") + "<linearGradient id='target'><stop stop-color='#000002'/></linearGradient>" +
          Rect("url(#late)") + "</svg>");
  EXPECT_EQ(FillGradient(image.get(), 0), nullptr);
  const uint32_t expected[] = {0xFF010000u, 0xFF020000u};
  for (size_t i = 0; i < 2; i++) {
    const SVGGradient* g = FillGradient(image.get(), i + 1);
    ASSERT_NE(g, nullptr) << i;
    ASSERT_EQ(g->nstops, 1) << i;
    EXPECT_EQ(g->stops[0].color, expected[i]) << i;
  }
}

TEST(SVGGradient, DefaultLinearRunsAcrossTheBoxHorizontally)
{
  ImagePtr image = Parse("<svg width='100' height='20'><linearGradient id='g'><stop offset='0'/></linearGradient>" +
                         Rect("url(#g)") + "</svg>");
  const SVGGradient* g = FillGradient(image.get());
  ASSERT_NE(g, nullptr);
  for (double x : {0.0, 25.0, 100.0})
    for (double y : {0.0, 20.0})
      EXPECT_NEAR(Map(g->xform, x, y).y, x / 100.0, 1e-5) << x << "," << y;
}

namespace {

// Final pixel position of an element-space point under rotate(30 50 50)
// and a view box from (10, 20) that doubles everything.
Point ToFinal(double x, double y)
{
  const double a = 30 * std::numbers::pi / 180;
  const double dx = x - 50, dy = y - 50;
  return {2 * (40 + dx * std::cos(a) - dy * std::sin(a)), 2 * (30 + dx * std::sin(a) + dy * std::cos(a))};
}

std::string Document(const std::string& gradient, const char* units)
{
  return "<svg width='200' height='200' viewBox='10 20 100 100'><defs>" + gradient.substr(0, gradient.find('>')) +
         " gradientUnits='" + units + "'" + gradient.substr(gradient.find('>')) +
         "</defs><g transform='rotate(30 50 50)'>"
         "<rect x='20' y='30' width='40' height='20' fill='url(#g)'/></g></svg>";
}

} // namespace

TEST(SVGGradient, GeometryMapsEndsToZeroAndOneUnderViewBoxAndRotation)
{
  const std::string stop = "<stop offset='0'/>";
  // Bounding box of the rect in its own space: (20, 30) to (60, 50).
  const struct {
    const char* units;
    std::string gradient;
    Point a, b;
  } linear[] = {
    {"objectBoundingBox", "<linearGradient id='g' x1='10%' y1='20%' x2='90%' y2='70%'>", {24, 34}, {56, 44}},
    {"objectBoundingBox", "<linearGradient id='g' x1='0.1' y1='0.2' x2='0.9' y2='0.7'>", {24, 34}, {56, 44}},
    {"userSpaceOnUse", "<linearGradient id='g' x1='10' y1='20%' x2='70' y2='55'>", {10, 40}, {70, 55}},
    {"userSpaceOnUse", "<linearGradient id='g'>", {10, 20}, {110, 20}},
  };
  for (const auto& c : linear) {
    ImagePtr image = Parse(Document(c.gradient + stop + "</linearGradient>", c.units));
    const SVGGradient* g = FillGradient(image.get());
    ASSERT_NE(g, nullptr) << c.gradient;
    const Point fa = ToFinal(c.a.x, c.a.y), fb = ToFinal(c.b.x, c.b.y);
    const Point ua = Map(g->xform, fa.x, fa.y), ub = Map(g->xform, fb.x, fb.y);
    EXPECT_NEAR(ua.y, 0, 1e-4) << c.gradient;
    EXPECT_NEAR(ub.y, 1, 1e-4) << c.gradient;
    // Along the gradient the other coordinate stays put.
    EXPECT_NEAR(ua.x, 0, 1e-4) << c.gradient;
    EXPECT_NEAR(ub.x, 0, 1e-4) << c.gradient;
  }

  const double boxRadius = std::hypot(40, 20) / std::numbers::sqrt2;
  const double userRadius = std::hypot(100, 100) / std::numbers::sqrt2;
  const struct {
    const char* units;
    std::string gradient;
    Point centre;
    double r;
  } radial[] = {
    {"objectBoundingBox", "<radialGradient id='g'>", {40, 40}, 0.5 * boxRadius},
    {"objectBoundingBox", "<radialGradient id='g' cx='0.25' cy='0.5' r='0.3'>", {30, 40}, 0.3 * boxRadius},
    {"userSpaceOnUse", "<radialGradient id='g' cx='30' cy='45' r='12'>", {30, 45}, 12},
    {"userSpaceOnUse", "<radialGradient id='g'>", {60, 70}, 0.5 * userRadius},
  };
  for (const auto& c : radial) {
    ImagePtr image = Parse(Document(c.gradient + stop + "</radialGradient>", c.units));
    const SVGGradient* g = FillGradient(image.get());
    ASSERT_NE(g, nullptr) << c.gradient;
    const Point fc = ToFinal(c.centre.x, c.centre.y);
    const Point uc = Map(g->xform, fc.x, fc.y);
    EXPECT_NEAR(std::hypot(uc.x, uc.y), 0, 1e-4) << c.gradient;
    for (int k = 0; k < 8; k++) {
      const double a = k * std::numbers::pi / 4;
      const Point rim = ToFinal(c.centre.x + c.r * std::cos(a), c.centre.y + c.r * std::sin(a));
      const Point u = Map(g->xform, rim.x, rim.y);
      EXPECT_NEAR(std::hypot(u.x, u.y), 1, 1e-4) << c.gradient << " angle " << k;
    }
  }
}
