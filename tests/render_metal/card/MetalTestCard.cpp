#include "MetalTestCard.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace mvgcard {

namespace {
// Polylines drawn with each cap and join.
struct StrokeCase {
  int x0, cap, join;
  cairo_line_cap_t cairoCap;
  cairo_line_join_t cairoJoin;
};
const StrokeCase kStrokes[] = {
  {20, VG_BUTT, VG_MITER, CAIRO_LINE_CAP_BUTT, CAIRO_LINE_JOIN_MITER},
  {170, VG_ROUND, VG_ROUND, CAIRO_LINE_CAP_ROUND, CAIRO_LINE_JOIN_ROUND},
  {320, VG_SQUARE, VG_BEVEL, CAIRO_LINE_CAP_SQUARE, CAIRO_LINE_JOIN_BEVEL},
};
const float kZigzag[4][2] = {{0, 130}, {30, 88}, {60, 130}, {100, 92}};

VGcolor C(Rgb c, float a = 1) { return vgRGBAf(c.r / 255.f, c.g / 255.f, c.b / 255.f, a); }
void CairoColour(cairo_t* cr, Rgb c, double a = 1)
{
  cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, a);
}

} // namespace

std::vector<uint8_t> Checker()
{
  std::vector<uint8_t> px(8 * 8 * 4);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      uint8_t* p = &px[size_t(y * 8 + x) * 4];
      const bool dark = (x + y) % 2;
      p[0] = dark ? 60 : 250, p[1] = dark ? 20 : 200, p[2] = dark ? 90 : 120, p[3] = dark ? 160 : 255;
    }
  return px;
}

void DrawLayer(VGcontext* ctx)
{
  vgBeginFrame(ctx, kLayerW, kLayerH, 1);
  vgBeginPath(ctx);
  vgCircle(ctx, 32, 24, 18);
  vgFillColor(ctx, vgRGB(120, 40, 160));
  vgFill(ctx);
  vgBeginPath(ctx);
  vgMoveTo(ctx, 4, 44);
  vgLineTo(ctx, 60, 6);
  vgStrokeWidth(ctx, 3);
  vgStrokeColor(ctx, vgRGB(0, 90, 40));
  vgStroke(ctx);
  vgEndFrame(ctx);
}

void DrawCard(VGcontext* ctx, int checkerImage, int layerImage)
{
  vgBeginFrame(ctx, kW, kH, 1);
  auto fillWith = [&](VGcolor c) {
    vgFillColor(ctx, c);
    vgFill(ctx);
  };
  vgBeginPath(ctx), vgRect(ctx, 10, 10, 60, 50), fillWith(C(kRed));
  vgBeginPath(ctx), vgRoundedRect(ctx, 80, 10, 60, 50, 12), fillWith(C(kGreen));
  vgBeginPath(ctx), vgCircle(ctx, 175, 35, 25), fillWith(C(kBlue));
  vgBeginPath(ctx), vgRect(ctx, 215, 10, 80, 50);
  vgFillPaint(ctx, vgLinearGradient(ctx, 215, 0, 295, 0, C(kLinA), C(kLinB))), vgFill(ctx);
  vgBeginPath(ctx), vgCircle(ctx, 340, 35, 25);
  vgFillPaint(ctx, vgRadialGradient(ctx, 340, 35, 4, 25, C(kRadA), C(kRadB))), vgFill(ctx);
  vgBeginPath(ctx), vgRect(ctx, 380, 10, 90, 50);
  vgFillPaint(ctx, vgBoxGradient(ctx, 385, 15, 80, 40, 8, 12, C(kBoxA), C(kBoxB))), vgFill(ctx);

  for (const StrokeCase& s : kStrokes) {
    vgBeginPath(ctx);
    vgMoveTo(ctx, s.x0 + kZigzag[0][0], kZigzag[0][1]);
    for (int i = 1; i < 4; ++i)
      vgLineTo(ctx, s.x0 + kZigzag[i][0], kZigzag[i][1]);
    vgLineCap(ctx, s.cap);
    vgLineJoin(ctx, s.join);
    vgStrokeWidth(ctx, 10);
    vgStrokeColor(ctx, C(kInk));
    vgStroke(ctx);
  }

  vgBeginPath(ctx), vgRect(ctx, 10, 160, 64, 64);
  vgFillPaint(ctx, vgImagePattern(ctx, 10, 160, 64, 64, 0, checkerImage, 1)), vgFill(ctx);
  vgSave(ctx);
  vgScissor(ctx, 115, 160, 35, 70);
  vgBeginPath(ctx), vgCircle(ctx, 150, 195, 35), fillWith(C(kTeal));
  vgRestore(ctx);
  vgSave(ctx);
  vgShapeAntiAlias(ctx, 0);
  vgGlobalCompositeOperation(ctx, VG_COPY);
  vgBeginPath(ctx), vgRect(ctx, kLayerX, kLayerY, kLayerW, kLayerH);
  vgFillPaint(ctx, vgImagePattern(ctx, kLayerX, kLayerY, kLayerW, kLayerH, 0, layerImage, 1)), vgFill(ctx);
  vgRestore(ctx);

  for (int i = 0; i < 11; ++i) {
    vgBeginPath(ctx), vgRect(ctx, CellX(i), 250, 30, 30), fillWith(C(kBlue));
    vgSave(ctx);
    vgGlobalCompositeOperation(ctx, kComposites[i].op);
    vgBeginPath(ctx), vgCircle(ctx, CellX(i) + 22, 272, 14), fillWith(C(kRed, kSourceAlpha));
    vgRestore(ctx);
  }

  vgFontFace(ctx, "sans");
  vgFontSize(ctx, 24);
  vgFillColor(ctx, C(kInk));
  vgText(ctx, 10, 335, "Vorelle3 draws text", nullptr);
  vgEndFrame(ctx);
}

// The rounded-box ramp of a box gradient, written from its definition:
// signed distance to the box shrunk by the feather, as a 0..1 fraction.
double BoxRamp(double px, double py)
{
  const double cx = 385 + 40, cy = 15 + 20, hw = 40, hh = 20, r = 8, f = 12;
  const double qx = std::fabs(px - cx) - (hw - r), qy = std::fabs(py - cy) - (hh - r);
  const double d = (qx > 0 || qy > 0) ? std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) - r : std::max(qx, qy) - r;
  return std::clamp((d + f / 2) / f, 0.0, 1.0);
}

// The same card by Cairo, as premultiplied RGBA bytes; the layer comes from
// its read-back pixels.
std::vector<uint8_t> CairoCard(const std::vector<uint8_t>& layerPixels)
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH);
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_rectangle(cr, 10, 10, 60, 50), CairoColour(cr, kRed), cairo_fill(cr);
  // Rounded rectangle of radius 12.
  const double x = 80, y = 10, w = 60, h = 50, r = 12;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
  CairoColour(cr, kGreen), cairo_fill(cr);
  cairo_arc(cr, 175, 35, 25, 0, 2 * M_PI), CairoColour(cr, kBlue), cairo_fill(cr);

  cairo_pattern_t* lin = cairo_pattern_create_linear(215, 0, 295, 0);
  cairo_pattern_add_color_stop_rgb(lin, 0, kLinA.r / 255.0, kLinA.g / 255.0, kLinA.b / 255.0);
  cairo_pattern_add_color_stop_rgb(lin, 1, kLinB.r / 255.0, kLinB.g / 255.0, kLinB.b / 255.0);
  cairo_rectangle(cr, 215, 10, 80, 50), cairo_set_source(cr, lin), cairo_fill(cr);
  cairo_pattern_destroy(lin);
  cairo_pattern_t* rad = cairo_pattern_create_radial(340, 35, 4, 340, 35, 25);
  cairo_pattern_add_color_stop_rgb(rad, 0, kRadA.r / 255.0, kRadA.g / 255.0, kRadA.b / 255.0);
  cairo_pattern_add_color_stop_rgb(rad, 1, kRadB.r / 255.0, kRadB.g / 255.0, kRadB.b / 255.0);
  cairo_arc(cr, 340, 35, 25, 0, 2 * M_PI), cairo_set_source(cr, rad), cairo_fill(cr);
  cairo_pattern_destroy(rad);
  // Cairo has no box gradient: its ramp per pixel, then the rectangle.
  cairo_surface_t* box = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 90, 50);
  cairo_surface_flush(box);
  for (int j = 0; j < 50; ++j)
    for (int i = 0; i < 90; ++i) {
      const double t = BoxRamp(380 + i + 0.5, 10 + j + 0.5);
      auto mix = [t](int a, int b) { return uint32_t(std::lround(a + (b - a) * t)); };
      auto* row =
        reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(box) + j * cairo_image_surface_get_stride(box));
      row[i] = 0xff000000u | mix(kBoxA.r, kBoxB.r) << 16 | mix(kBoxA.g, kBoxB.g) << 8 | mix(kBoxA.b, kBoxB.b);
    }
  cairo_surface_mark_dirty(box);
  cairo_set_source_surface(cr, box, 380, 10), cairo_rectangle(cr, 380, 10, 90, 50), cairo_fill(cr);
  cairo_surface_destroy(box);

  for (const StrokeCase& st : kStrokes) {
    cairo_move_to(cr, st.x0 + kZigzag[0][0], kZigzag[0][1]);
    for (int i = 1; i < 4; ++i)
      cairo_line_to(cr, st.x0 + kZigzag[i][0], kZigzag[i][1]);
    cairo_set_line_width(cr, 10);
    cairo_set_line_cap(cr, st.cairoCap);
    cairo_set_line_join(cr, st.cairoJoin);
    CairoColour(cr, kInk), cairo_stroke(cr);
  }

  const std::vector<uint8_t> checker = Checker();
  cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
  cairo_surface_flush(img);
  for (int j = 0; j < 8; ++j)
    for (int i = 0; i < 8; ++i) {
      // Cairo keeps premultiplied pixels; the image is straight.
      const uint8_t* p = &checker[size_t(j * 8 + i) * 4];
      auto pm = [&](int c) { return uint32_t(std::lround(p[c] * p[3] / 255.0)); };
      reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(img) + j * cairo_image_surface_get_stride(img))[i] =
        uint32_t(p[3]) << 24 | pm(0) << 16 | pm(1) << 8 | pm(2);
    }
  cairo_surface_mark_dirty(img);
  cairo_save(cr);
  cairo_translate(cr, 10, 160), cairo_scale(cr, 8, 8);
  cairo_set_source_surface(cr, img, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_rectangle(cr, 0, 0, 8, 8), cairo_fill(cr);
  cairo_restore(cr);
  cairo_surface_destroy(img);

  cairo_save(cr);
  cairo_rectangle(cr, 115, 160, 35, 70), cairo_clip(cr);
  cairo_arc(cr, 150, 195, 35, 0, 2 * M_PI), CairoColour(cr, kTeal), cairo_fill(cr);
  cairo_restore(cr);

  cairo_surface_t* layer = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kLayerW, kLayerH);
  cairo_surface_flush(layer);
  for (int j = 0; j < kLayerH; ++j)
    for (int i = 0; i < kLayerW; ++i) {
      const uint8_t* p = &layerPixels[size_t(j * kLayerW + i) * 4];
      reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(layer) + j * cairo_image_surface_get_stride(layer))[i] =
        uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
  cairo_surface_mark_dirty(layer);
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, layer, kLayerX, kLayerY), cairo_rectangle(cr, kLayerX, kLayerY, kLayerW, kLayerH);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_surface_destroy(layer);

  for (int i = 0; i < 11; ++i) {
    cairo_rectangle(cr, CellX(i), 250, 30, 30), CairoColour(cr, kBlue), cairo_fill(cr);
    // Clipped to the shape, so unbounded operators touch only what it covers.
    cairo_save(cr);
    cairo_arc(cr, CellX(i) + 22, 272, 14, 0, 2 * M_PI), cairo_clip(cr);
    cairo_set_operator(cr, kComposites[i].cairo);
    CairoColour(cr, kRed, kSourceAlpha), cairo_paint(cr);
    cairo_restore(cr);
  }

  cairo_surface_flush(s);
  std::vector<uint8_t> rgba(size_t(kW) * kH * 4);
  for (int j = 0; j < kH; ++j)
    for (int i = 0; i < kW; ++i) {
      const uint32_t p =
        reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) + j * cairo_image_surface_get_stride(s))[i];
      uint8_t* o = &rgba[size_t(j * kW + i) * 4];
      o[0] = uint8_t(p >> 16), o[1] = uint8_t(p >> 8), o[2] = uint8_t(p), o[3] = uint8_t(p >> 24);
    }
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  return rgba;
}

bool WriteRGBAPng(const std::vector<uint8_t>& rgba, int w, int h, const std::string& path)
{
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_surface_flush(s);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const uint8_t* p = &rgba[size_t(j * w + i) * 4];
      reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s) + j * cairo_image_surface_get_stride(s))[i] =
        uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
  cairo_surface_mark_dirty(s);
  const std::string tmp = path + ".part";
  const bool ok =
    cairo_surface_write_to_png(s, tmp.c_str()) == CAIRO_STATUS_SUCCESS && std::rename(tmp.c_str(), path.c_str()) == 0;
  cairo_surface_destroy(s);
  return ok;
}

} // namespace mvgcard
