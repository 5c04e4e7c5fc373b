// Whole documents: elements, the attribute stack, units, view box and files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "SVGTestSupport.h"

using namespace svgtest;

namespace {

// First point of the first shape's first path.
Point FirstPoint(const SVGImage* image)
{
  const auto shapes = Shapes(image);
  if (shapes.empty())
    return {NAN, NAN};
  const SVGPath* path = Paths(shapes[0]).front();
  return {path->pts[0], path->pts[1]};
}

} // namespace

TEST(SVGDocument, ElementsMakeTheShapesTheyDescribe)
{
  const struct {
    const char* body;
    size_t shapes;
    int npts; // of the first shape's first path, when there is one
    char closed;
    Point first;
  } cases[] = {
    {"", 0, 0, 0, {}},
    {"<rect x='1' y='2' width='3' height='4'/>", 1, 13, 1, {1, 2}},
    {"<rect width='10' height='10' rx='2'/>", 1, 28, 1, {2, 0}},
    {"<rect width='0' height='10'/>", 0, 0, 0, {}},
    {"<rect width='-10' height='10'/>", 1, 13, 1, {0, 0}},
    {"<circle cx='5' cy='5' r='2'/>", 1, 16, 1, {7, 5}},
    {"<circle r='0'/><ellipse rx='3'/>", 0, 0, 0, {}},
    {"<ellipse cx='5' cy='5' rx='2' ry='1'/>", 1, 16, 1, {7, 5}},
    {"<line x1='1' y1='2' x2='3' y2='4'/>", 1, 4, 0, {1, 2}},
    {"<polygon points='0,0 10,0 10,10'/>", 1, 10, 1, {0, 0}},
    {"<polyline points='0,0 10,0 10,10'/>", 1, 7, 0, {0, 0}},
    {"<polygon points=''/>", 0, 0, 0, {}},
    {"<g transform='translate(10,20)'><circle r='1'/></g>", 1, 16, 1, {11, 20}},
    {"<defs><rect width='5' height='5'/><path d='M0 0 L1 1'/></defs>", 0, 0, 0, {}},
    {"<unknown><rect width='5' height='5'/></unknown>", 1, 13, 1, {0, 0}},
    // Skipped whole: a comment holding '>' and character data.
    {"<!-- > <rect width='5' height='5'/> -->", 0, 0, 0, {}},
    {"<![CDATA[<rect width='5' height='5'/>]]>", 0, 0, 0, {}},
  };
  for (const auto& c : cases) {
    ImagePtr image = Parse(std::string("<svg width='100' height='100'>") + c.body + "</svg>");
    ASSERT_NE(image, nullptr) << c.body;
    const auto shapes = Shapes(image.get());
    ASSERT_EQ(shapes.size(), c.shapes) << c.body;
    if (shapes.empty())
      continue;
    const SVGPath* path = Paths(shapes[0]).front();
    EXPECT_EQ(path->npts, c.npts) << c.body;
    EXPECT_EQ(path->closed, c.closed) << c.body;
    EXPECT_NEAR(path->pts[0], c.first.x, 1e-5) << c.body;
    EXPECT_NEAR(path->pts[1], c.first.y, 1e-5) << c.body;
  }
}

TEST(SVGDocument, ChildrenOfContainersThatAreNotDrawnMakeNoShapes)
{
  const std::string circle = "<circle cx='50' cy='50' r='2'/>";
  const struct {
    std::string body;
    size_t shapes;
    Point first;
    char fillType;
  } cases[] = {
    {"<clipPath id='c'><rect width='5' height='5'/></clipPath>" + circle, 1, {52, 50}, kSVGPaintColor},
    {"<mask id='m'><g><rect width='5' height='5' fill='white'/></g></mask>" + circle, 1, {52, 50}, kSVGPaintColor},
    {"<symbol id='s'><path d='M0 0 H9 V9 Z'/></symbol>" + circle, 1, {52, 50}, kSVGPaintColor},
    {"<pattern id='p'><circle r='3'/></pattern>" + circle, 1, {52, 50}, kSVGPaintColor},
    {"<marker id='k'><polygon points='0,0 4,2 0,4'/></marker>" + circle, 1, {52, 50}, kSVGPaintColor},
    {"<clipPath/>" + circle, 1, {52, 50}, kSVGPaintColor},
    // The end of an inner container does not end the outer one.
    {"<defs><clipPath></clipPath><rect width='5' height='5'/></defs>" + circle, 1, {52, 50}, kSVGPaintColor},
    // A group inside a container pushed nothing, so its end pops nothing.
    {"<g transform='translate(10,0)'><defs><g></g></defs><circle r='1'/></g>", 1, {11, 0}, kSVGPaintColor},
    // Gradients inside them are still defined.
    {"<pattern><linearGradient id='g'><stop stop-color='red'/></linearGradient></pattern>"
     "<rect width='5' height='5' fill='url(#g)'/>",
     1,
     {0, 0},
     kSVGPaintLinearGradient},
  };
  for (const auto& c : cases) {
    ImagePtr image = Parse("<svg width='100' height='100'>" + c.body + "</svg>");
    ASSERT_NE(image, nullptr) << c.body;
    const auto shapes = Shapes(image.get());
    ASSERT_EQ(shapes.size(), c.shapes) << c.body;
    const Point p = FirstPoint(image.get());
    EXPECT_NEAR(p.x, c.first.x, 1e-5) << c.body;
    EXPECT_NEAR(p.y, c.first.y, 1e-5) << c.body;
    EXPECT_EQ(shapes[0]->fill.type, c.fillType) << c.body;
  }
}

TEST(SVGDocument, AttributesReachTheShapeRecord)
{
  ImagePtr image = Parse(
    "<svg width='100' height='100'><g id='grp' stroke-width='3' display='none' font-size='10'>"
    "<path d='M0 0 L10 0' stroke-linecap='round' stroke-linejoin='bevel' stroke-miterlimit='-2' fill-rule='evenodd'"
    " stroke-dasharray='2em, 3 -1' stroke-dashoffset='1' opacity='0.25'/></g>"
    "<path id='mine' d='M0 0 L1 1' stroke-width='2em' stroke-dasharray='0 0'/>"
    "<path d='M0 0 L1 1' stroke-dasharray='1 1 1 1 1 1 1 1 1 1'/></svg>");
  const auto shapes = Shapes(image.get());
  ASSERT_EQ(shapes.size(), 3u);
  const SVGShape* s = shapes[0];
  EXPECT_STREQ(s->id, "grp");
  EXPECT_EQ(s->flags & kSVGFlagsVisible, 0);
  EXPECT_EQ(s->strokeWidth, 3.0f);
  EXPECT_EQ(s->strokeLineCap, 1);
  EXPECT_EQ(s->strokeLineJoin, 2);
  EXPECT_EQ(s->miterLimit, 0.0f);
  EXPECT_EQ(s->fillRule, 1);
  EXPECT_EQ(s->opacity, 0.25f);
  ASSERT_EQ(s->strokeDashCount, 3);
  EXPECT_EQ(s->strokeDashArray[0], 20.0f);
  EXPECT_EQ(s->strokeDashArray[1], 3.0f);
  EXPECT_EQ(s->strokeDashArray[2], 1.0f);
  EXPECT_EQ(s->strokeDashOffset, 1.0f);
  // Outside the group: no font size, so 2em is 0; all-zero dashes are none.
  EXPECT_STREQ(shapes[1]->id, "mine");
  EXPECT_EQ(shapes[1]->flags & kSVGFlagsVisible, kSVGFlagsVisible);
  EXPECT_EQ(shapes[1]->strokeWidth, 0.0f);
  EXPECT_EQ(shapes[1]->strokeDashCount, 0);
  EXPECT_EQ(shapes[2]->strokeDashCount, 8);
}

TEST(SVGDocument, ViewBoxAndUnitsScaleIntoFinalPixels)
{
  const struct {
    const char* svg;
    const char* units;
    float dpi;
    float width, height;
    Point first; // of the rect at (10, 20), size 40 x 40
    float strokeWidth;
  } cases[] = {
    {"width='100' height='50'", "px", 96, 100, 50, {10, 20}, 1},
    // Without preserveAspectRatio: uniform and centred (xMidYMid meet); none stretches.
    {"width='100' height='100' viewBox='0 0 200 100'", "px", 96, 100, 100, {5, 35}, 0.5f},
    {"width='100' height='100' viewBox='0 0 100 200'", "px", 96, 100, 100, {30, 10}, 0.5f},
    {"width='100' height='100' viewBox='0 0 200 100' preserveAspectRatio='none'", "px", 96, 100, 100, {5, 20}, 0.75f},
    {"width='100' height='100' viewBox='0 0 200 100' preserveAspectRatio='xMidYMid meet'",
     "px",
     96,
     100,
     100,
     {5, 35},
     0.5f},
    {"width='100' height='100' viewBox='0 0 200 100' preserveAspectRatio='xMinYMax slice'",
     "px",
     96,
     100,
     100,
     {10, 20},
     1},
    // A leading separator does not shift the fields.
    {"width='100' height='50' viewBox=' 0 0 100 50'", "px", 96, 100, 50, {10, 20}, 1},
    {"width='200' height='100' viewBox=',%10 10 100 50'", "px", 96, 200, 100, {0, 20}, 2},
    // A short view box keeps what it read, and later attributes still count.
    {"viewBox='0 0 50' width='100' height='80'", "px", 96, 100, 80, {35, 20}, 1},
    {"width='1in' height='72pt'", "px", 96, 96, 96, {10, 20}, 1},
    // A percentage size is 0: the shapes' horizontal extent becomes the view.
    {"width='10%' height='50'", "px", 96, 40, 50, {0, 20}, 1},
    {"width='100' height='100' viewBox='0 0 200 100' preserveAspectRatio='xMaxYMax meet'",
     "px",
     96,
     100,
     100,
     {5, 60},
     0.5f},
    // Millimetres at 72 dpi: the result is in millimetres.
    {"width='100' height='100'", "mm", 72, 100, 100, {10 * 25.4f / 72, 20 * 25.4f / 72}, 25.4f / 72},
    {"width='100' height='100'", "%", 72, 100, 100, {1000, 2000}, 100},
    // A dpi of 0 cannot express physical units; the result stays in pixels.
    {"width='100' height='100'", "mm", 0, 100, 100, {10, 20}, 1},
    {"width='100' height='100'", "in", 0, 100, 100, {10, 20}, 1},
    {"width='100' height='100'", "em", 96, 100, 100, {10, 20}, 1},
  };
  for (const auto& c : cases) {
    ImagePtr image =
      Parse(std::string("<svg ") + c.svg + "><rect x='10' y='20' width='40' height='40'/></svg>", c.units, c.dpi);
    ASSERT_NE(image, nullptr) << c.svg;
    EXPECT_NEAR(image->width, c.width, 1e-4) << c.svg;
    EXPECT_NEAR(image->height, c.height, 1e-4) << c.svg;
    const Point p = FirstPoint(image.get());
    EXPECT_NEAR(p.x, c.first.x, 1e-3) << c.svg << " " << c.units;
    EXPECT_NEAR(p.y, c.first.y, 1e-3) << c.svg << " " << c.units;
    EXPECT_NEAR(image->shapes->strokeWidth, c.strokeWidth, 1e-4) << c.svg << " " << c.units;
    EXPECT_TRUE(std::isfinite(image->shapes->bounds[0])) << c.svg;
  }
}

TEST(SVGDocument, WithoutSizeTheShapesBoundsBecomeTheView)
{
  ImagePtr image = Parse("<svg><rect x='10' y='20' width='30' height='40'/></svg>");
  EXPECT_EQ(image->width, 30.0f);
  EXPECT_EQ(image->height, 40.0f);
  const float expected[4] = {0, 0, 30, 40};
  for (int i = 0; i < 4; i++)
    EXPECT_NEAR(image->shapes->bounds[i], expected[i], 1e-5) << i;
  ImagePtr empty = Parse("<svg/>");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->width, 0.0f);
  EXPECT_EQ(empty->shapes, nullptr);
}

TEST(SVGDocument, GroupsDeeperThanTheStackStillUnwindToTheirOwnEntry)
{
  // 129 groups inside a translated one: the stack (128 entries) overflows,
  // and closing them must return to the translated group, not below it.
  std::string text = "<svg width='100' height='100'><g transform='translate(5,0)'>";
  for (int i = 0; i < 129; i++)
    text += "<g>";
  text += "<rect width='1' height='1' fill='red'/>";
  for (int i = 0; i < 129; i++)
    text += "</g>";
  text += "<rect width='1' height='1'/></g><rect width='1' height='1'/></svg>";
  ImagePtr image = Parse(text);
  const auto shapes = Shapes(image.get());
  ASSERT_EQ(shapes.size(), 3u);
  EXPECT_EQ(shapes[0]->fill.color, 0xFF0000FFu);
  EXPECT_NEAR(Paths(shapes[0]).front()->pts[0], 5, 1e-6);
  EXPECT_NEAR(Paths(shapes[1]).front()->pts[0], 5, 1e-6);
  EXPECT_EQ(shapes[1]->fill.color, 0xFF000000u);
  EXPECT_NEAR(Paths(shapes[2]).front()->pts[0], 0, 1e-6);
}

TEST(SVGDocument, PathsAreDuplicatedAndFilesReadWhole)
{
  ImagePtr image = Parse("<svg width='10' height='10'><path d='M0 0 L1 2 Z'/></svg>");
  const SVGPath* path = image->shapes->paths;
  SVGPath* copy = svgDuplicatePath(path);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->pts, path->pts);
  EXPECT_EQ(copy->npts, path->npts);
  EXPECT_EQ(copy->closed, 1);
  EXPECT_EQ(copy->next, nullptr);
  EXPECT_EQ(std::memcmp(copy->pts, path->pts, sizeof(float) * 2 * path->npts), 0);
  EXPECT_EQ(std::memcmp(copy->bounds, path->bounds, sizeof(path->bounds)), 0);
  std::free(copy->pts);
  std::free(copy);
  EXPECT_EQ(svgDuplicatePath(nullptr), nullptr);
  svgDelete(nullptr);

  const char* name = "svg_document_test.svg";
  FILE* f = std::fopen(name, "wb");
  ASSERT_NE(f, nullptr);
  std::fputs("<svg width='20' height='10'><circle r='3'/></svg>", f);
  std::fclose(f);
  ImagePtr fromFile(svgParseFromFile(name, "px", 96));
  std::remove(name);
  ASSERT_NE(fromFile, nullptr);
  EXPECT_EQ(fromFile->width, 20.0f);
  EXPECT_EQ(Shapes(fromFile.get()).size(), 1u);
  EXPECT_EQ(svgParseFromFile("no/such/file.svg", "px", 96), nullptr);
  EXPECT_EQ(svgParseFromFile(".", "px", 96), nullptr);
}
