#pragma once
// The editor-like frame the drawing benchmarks share: 500 rounded rectangles
// filled and stroked (20 of them with gradients), 200 arcs and 100 strings
// over 650 x 470 points, from one seed, so that every benchmark draws the
// same frame whatever its colour type.

#include <random>
#include <string>
#include <vector>

#include "VG.h"

namespace benchscene {

inline constexpr float kWidth = 650, kHeight = 470;

template <class Colour> struct Scene {
  struct RoundRect {
    float x, y, w, h, r, strokeWidth;
    Colour fill, fill2, stroke;
    bool gradient;
  };
  struct ArcShape {
    float cx, cy, r, a0, a1, width;
    Colour color;
  };
  struct Label {
    float x, y, size;
    Colour color;
    std::string text;
  };
  std::vector<RoundRect> rects;
  std::vector<ArcShape> arcs;
  std::vector<Label> labels;
};

// makeColour(r, g, b, a) turns four components in [0, 1] into a Colour.
template <class Colour, class MakeColour> Scene<Colour> MakeScene(MakeColour makeColour)
{
  Scene<Colour> s;
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> u(0, 1);
  auto colour = [&] {
    const float r = u(rng), g = u(rng), b = u(rng), a = 0.6f + 0.4f * u(rng);
    return makeColour(r, g, b, a);
  };
  for (int i = 0; i < 500; i++) {
    typename Scene<Colour>::RoundRect r;
    r.w = 20 + 70 * u(rng);
    r.h = 10 + 30 * u(rng);
    r.x = u(rng) * (kWidth - r.w);
    r.y = u(rng) * (kHeight - r.h);
    r.r = 2 + 6 * u(rng);
    r.strokeWidth = 1 + u(rng);
    r.fill = colour();
    r.fill2 = colour();
    r.stroke = colour();
    r.gradient = i % 25 == 0; // 20 gradients
    s.rects.push_back(r);
  }
  for (int i = 0; i < 200; i++) {
    typename Scene<Colour>::ArcShape a;
    a.r = 5 + 25 * u(rng);
    a.cx = a.r + u(rng) * (kWidth - 2 * a.r);
    a.cy = a.r + u(rng) * (kHeight - 2 * a.r);
    a.a0 = 0.75f * 3.1415927f;
    a.a1 = a.a0 + 1.5f * 3.1415927f * u(rng);
    a.width = 2 + 2 * u(rng);
    a.color = colour();
    s.arcs.push_back(a);
  }
  for (int i = 0; i < 100; i++) {
    typename Scene<Colour>::Label l;
    l.x = u(rng) * (kWidth - 100);
    l.y = 14 + u(rng) * (kHeight - 20);
    l.size = 11 + 5 * u(rng);
    l.color = colour();
    l.text = "Gain " + std::to_string(i) + ".0 dB";
    s.labels.push_back(l);
  }
  return s;
}

// The rectangles and arcs as direct engine calls into a frame the caller has
// begun; round caps are left set. toVG turns a Colour into the engine's.
template <class Colour, class ToVG> void DrawShapes(VGcontext* ctx, const Scene<Colour>& s, ToVG toVG)
{
  for (const auto& r : s.rects) {
    vgBeginPath(ctx);
    vgRoundedRect(ctx, r.x, r.y, r.w, r.h, r.r);
    if (r.gradient)
      vgFillPaint(ctx, vgLinearGradient(ctx, r.x, r.y, r.x, r.y + r.h, toVG(r.fill), toVG(r.fill2)));
    else
      vgFillColor(ctx, toVG(r.fill));
    vgFill(ctx);
    vgStrokeColor(ctx, toVG(r.stroke));
    vgStrokeWidth(ctx, r.strokeWidth);
    vgStroke(ctx);
  }
  vgLineCap(ctx, VG_ROUND);
  for (const auto& a : s.arcs) {
    vgBeginPath(ctx);
    vgArc(ctx, a.cx, a.cy, a.r, a.a0, a.a1, VG_CW);
    vgStrokeColor(ctx, toVG(a.color));
    vgStrokeWidth(ctx, a.width);
    vgStroke(ctx);
  }
}

} // namespace benchscene
