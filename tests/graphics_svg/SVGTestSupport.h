#pragma once
// Parsing helpers shared by the SVG parser's tests.

#include <memory>
#include <string>
#include <vector>

#include "SVGParser.h"
#include "SVGParserState.h"

namespace svgtest {

using namespace plugin::igraphics;

struct ImageDeleter {
  void operator()(SVGImage* image) const { svgDelete(image); }
};
using ImagePtr = std::unique_ptr<SVGImage, ImageDeleter>;

// The parser cuts its text in place, so each call parses a private copy.
inline ImagePtr Parse(const std::string& text, const char* units = "px", float dpi = 96.0f)
{
  std::vector<char> buf(text.begin(), text.end());
  buf.push_back('\0');
  return ImagePtr(svgParse(buf.data(), units, dpi));
}

inline std::vector<const SVGShape*> Shapes(const SVGImage* image)
{
  std::vector<const SVGShape*> shapes;
  for (const SVGShape* s = image->shapes; s; s = s->next)
    shapes.push_back(s);
  return shapes;
}

// Paths of a shape in document order (the record keeps them newest first).
inline std::vector<const SVGPath*> Paths(const SVGShape* shape)
{
  std::vector<const SVGPath*> paths;
  for (const SVGPath* p = shape->paths; p; p = p->next)
    paths.insert(paths.begin(), p);
  return paths;
}

struct Point {
  double x, y;
};

inline Point Map(const float* t, double x, double y)
{
  return {x * t[0] + y * t[2] + t[4], x * t[1] + y * t[3] + t[5]};
}

} // namespace svgtest
