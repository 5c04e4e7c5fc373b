// Parser lifetime, the attribute stack, element dispatch, the svg element and
// the entry points.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "SVGParser.h"
#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

void DeletePaths(SVGPath* path)
{
  while (path) {
    SVGPath* next = path->next;
    std::free(path->pts);
    std::free(path);
    path = next;
  }
}

void DeletePaint(SVGPaint* paint)
{
  if (paint->type == kSVGPaintLinearGradient || paint->type == kSVGPaintRadialGradient)
    std::free(paint->gradient);
}

void DeleteGradientData(SVGGradientData* grad)
{
  while (grad) {
    SVGGradientData* next = grad->next;
    std::free(grad->stops);
    std::free(grad);
    grad = next;
  }
}

void NoContent(void*, const char*) {}

// Containers whose children are referenced or used, never drawn where they
// stand; gradients inside them are still defined.
bool IsHiddenContainer(const char* el)
{
  static const char* const kNames[] = {"defs", "clipPath", "mask", "symbol", "pattern", "marker"};
  for (const char* name : kNames)
    if (std::strcmp(el, name) == 0)
      return true;
  return false;
}

} // namespace

SVGParser* svgCreateParser()
{
  SVGParser* p = static_cast<SVGParser*>(std::calloc(1, sizeof(SVGParser)));
  if (!p)
    return nullptr;
  p->image = static_cast<SVGImage*>(std::calloc(1, sizeof(SVGImage)));
  if (!p->image) {
    std::free(p);
    return nullptr;
  }
  SVGAttrib* a = &p->attr[0];
  AffineIdentity(a->xform);
  a->fillColor = 0;
  a->strokeColor = 0;
  a->opacity = 1.0f;
  a->inheritedOpacity = 1.0f;
  a->fillOpacity = 1.0f;
  a->strokeOpacity = 1.0f;
  a->stopOpacity = 1.0f;
  a->strokeWidth = 1.0f;
  a->strokeLineJoin = 0;
  a->strokeLineCap = 0;
  a->miterLimit = 4.0f;
  a->fillRule = 0;
  a->hasFill = 1;
  a->visible = 1;
  // Without preserveAspectRatio the view is scaled uniformly and centred.
  p->alignX = p->alignY = 1;
  p->alignType = 1;
  return p;
}

void svgDeleteParser(SVGParser* p)
{
  if (!p)
    return;
  DeletePaths(p->plist);
  DeleteGradientData(p->gradients);
  std::free(p->gradientIndex);
  std::free(p->pts);
  std::free(p);
}

SVGAttrib* svgGetAttr(SVGParser* p) { return &p->attr[p->attrHead]; }

void svgPushAttr(SVGParser* p)
{
  if (p->attrHead < kSVGMaxAttr - 1) {
    p->attrHead++;
    std::memcpy(&p->attr[p->attrHead], &p->attr[p->attrHead - 1], sizeof(SVGAttrib));
    // A group's opacity applies to all it holds: nested ones multiply.
    p->attr[p->attrHead].inheritedOpacity = p->attr[p->attrHead - 1].opacity;
  } else {
    // Past the top the entry is shared; count the push so its pop is matched.
    p->attrOverflow++;
  }
}

void svgPopAttr(SVGParser* p)
{
  if (p->attrOverflow > 0)
    p->attrOverflow--;
  else if (p->attrHead > 0)
    p->attrHead--;
}

void svgParseSVG(SVGParser* p, const char** attr)
{
  for (int i = 0; attr[i]; i += 2) {
    const char* name = attr[i];
    const char* value = attr[i + 1];
    if (svgParseAttr(p, name, value))
      continue;
    if (std::strcmp(name, "width") == 0) {
      p->image->width = svgConvertToPixels(p, svgParseCoordinate(value), 0.0f, 0.0f);
    } else if (std::strcmp(name, "height") == 0) {
      p->image->height = svgConvertToPixels(p, svgParseCoordinate(value), 0.0f, 0.0f);
    } else if (std::strcmp(name, "viewBox") == 0) {
      float* fields[4] = {&p->viewMinx, &p->viewMiny, &p->viewWidth, &p->viewHeight};
      const char* s = value;
      for (float* field : fields) {
        // Separators before a field, the first one included, are skipped.
        while (*s && (svgIsSpace(*s) || *s == '%' || *s == ','))
          s++;
        if (!*s)
          break;
        char item[64];
        s = svgScanNumber(s, item);
        *field = static_cast<float>(svgParseNumber(item));
      }
    } else if (std::strcmp(name, "preserveAspectRatio") == 0) {
      if (std::strstr(value, "none")) {
        p->alignType = 0;
      } else {
        if (std::strstr(value, "xMin"))
          p->alignX = 0;
        else if (std::strstr(value, "xMid"))
          p->alignX = 1;
        else if (std::strstr(value, "xMax"))
          p->alignX = 2;
        // The attribute writes the vertical part with a capital Y ("xMidYMid").
        if (std::strstr(value, "YMin") || std::strstr(value, "yMin"))
          p->alignY = 0;
        else if (std::strstr(value, "YMid") || std::strstr(value, "yMid"))
          p->alignY = 1;
        else if (std::strstr(value, "YMax") || std::strstr(value, "yMax"))
          p->alignY = 2;
        p->alignType = std::strstr(value, "slice") ? 2 : 1;
      }
    }
  }
}

void svgStartElement(void* ud, const char* el, const char** attr)
{
  SVGParser* p = static_cast<SVGParser*>(ud);
  const auto is = [el](const char* name) { return std::strcmp(el, name) == 0; };

  if (IsHiddenContainer(el)) {
    p->hiddenDepth++;
    return;
  }
  if (p->hiddenDepth > 0) {
    if (is("linearGradient"))
      svgParseGradient(p, attr, kSVGPaintLinearGradient);
    else if (is("radialGradient"))
      svgParseGradient(p, attr, kSVGPaintRadialGradient);
    else if (is("stop"))
      svgParseGradientStop(p, attr);
    return;
  }

  if (is("g")) {
    svgPushAttr(p);
    svgParseAttribs(p, attr);
  } else if (is("path")) {
    svgPushAttr(p);
    svgParsePath(p, attr);
    svgPopAttr(p);
  } else if (is("rect")) {
    svgPushAttr(p);
    svgParseRect(p, attr);
    svgPopAttr(p);
  } else if (is("circle")) {
    svgPushAttr(p);
    svgParseCircle(p, attr);
    svgPopAttr(p);
  } else if (is("ellipse")) {
    svgPushAttr(p);
    svgParseEllipse(p, attr);
    svgPopAttr(p);
  } else if (is("line")) {
    svgPushAttr(p);
    svgParseLine(p, attr);
    svgPopAttr(p);
  } else if (is("polyline")) {
    svgPushAttr(p);
    svgParsePoly(p, attr, false);
    svgPopAttr(p);
  } else if (is("polygon")) {
    svgPushAttr(p);
    svgParsePoly(p, attr, true);
    svgPopAttr(p);
  } else if (is("linearGradient")) {
    svgParseGradient(p, attr, kSVGPaintLinearGradient);
  } else if (is("radialGradient")) {
    svgParseGradient(p, attr, kSVGPaintRadialGradient);
  } else if (is("stop")) {
    svgParseGradientStop(p, attr);
  } else if (is("svg")) {
    svgParseSVG(p, attr);
  }
}

void svgEndElement(void* ud, const char* el)
{
  SVGParser* p = static_cast<SVGParser*>(ud);
  if (IsHiddenContainer(el)) {
    if (p->hiddenDepth > 0)
      p->hiddenDepth--;
  } else if (p->hiddenDepth == 0 && std::strcmp(el, "g") == 0) {
    // A group inside a hidden container pushed nothing.
    svgPopAttr(p);
  }
}

SVGImage* svgParse(char* text, const char* units, float dpi)
{
  SVGParser* p = svgCreateParser();
  if (!p)
    return nullptr;
  p->dpi = dpi;
  svgParseXML(text, svgStartElement, svgEndElement, NoContent, p);
  svgScaleToViewbox(p, units);
  SVGImage* image = p->image;
  p->image = nullptr;
  svgDeleteParser(p);
  return image;
}

SVGImage* svgParseFromFile(const char* path, const char* units, float dpi)
{
  // Only regular files: a directory opens, but reports a size it cannot read.
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode))
    return nullptr;
  FILE* fp = std::fopen(path, "rb");
  if (!fp)
    return nullptr;
  char* data = nullptr;
  SVGImage* image = nullptr;
  long size = -1;
  if (std::fseek(fp, 0, SEEK_END) == 0)
    size = std::ftell(fp);
  if (size >= 0 && std::fseek(fp, 0, SEEK_SET) == 0) {
    data = static_cast<char*>(std::malloc(static_cast<size_t>(size) + 1));
    if (data && std::fread(data, 1, static_cast<size_t>(size), fp) == static_cast<size_t>(size)) {
      data[size] = '\0';
      image = svgParse(data, units, dpi);
    }
  }
  std::free(data);
  std::fclose(fp);
  return image;
}

void svgDelete(SVGImage* image)
{
  if (!image)
    return;
  SVGShape* shape = image->shapes;
  while (shape) {
    SVGShape* next = shape->next;
    DeletePaths(shape->paths);
    DeletePaint(&shape->fill);
    DeletePaint(&shape->stroke);
    std::free(shape);
    shape = next;
  }
  std::free(image);
}

SVGPath* svgDuplicatePath(const SVGPath* path)
{
  if (!path)
    return nullptr;
  SVGPath* res = static_cast<SVGPath*>(std::calloc(1, sizeof(SVGPath)));
  if (!res)
    return nullptr;
  res->pts = static_cast<float*>(std::malloc(static_cast<size_t>(path->npts) * 2 * sizeof(float)));
  if (!res->pts) {
    std::free(res);
    return nullptr;
  }
  std::memcpy(res->pts, path->pts, static_cast<size_t>(path->npts) * 2 * sizeof(float));
  res->npts = path->npts;
  std::memcpy(res->bounds, path->bounds, sizeof(path->bounds));
  res->closed = path->closed;
  res->hole = path->hole;
  return res;
}

} // namespace plugin::igraphics
