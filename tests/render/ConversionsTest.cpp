// How the core's blends, paints, arcs, alignment and dashes become engine
// state, seen in the pixels the renderer draws.

#include <cmath>
#include <numbers>

#include "BackendFixture.h"

namespace backendtest {
namespace {

class Conversions : public BackendFixture {
protected:
  // Runs of dark pixels along row y from x0 to x1, with the last dark x.
  int DarkRuns(int y, int x0, int x1, int* lastDark = nullptr)
  {
    int runs = 0;
    bool in = false;
    for (int x = x0; x < x1; x++) {
      const bool dark = Shown(x, y)[3] > 128;
      runs += dark && !in;
      in = dark;
      if (dark && lastDark)
        *lastDark = x;
    }
    return runs;
  }
};

// Straight RGBA bytes of a premultiplied colour.
std::vector<int> Straight(const double p[4])
{
  std::vector<int> out(4);
  for (int k = 0; k < 3; k++)
    out[k] = p[3] > 0 ? static_cast<int>(std::lround(p[k] / p[3] * 255)) : 0;
  out[3] = static_cast<int>(std::lround(p[3] * 255));
  return out;
}

TEST_F(Conversions, BlendMethodsCompositeAsTheirOperators)
{
  // Source translucent blue over destination half red, premultiplied.
  const double sa = 192 / 255.0, da = 128 / 255.0;
  const double s[4] = {0, 0, sa, sa}, d[4] = {da, 0, 0, da};
  // Each method's result written as its compositing rule.
  struct {
    int method;
    double fs, fd;
  } table[] = {
    {-1, 1, 1 - sa},                 // no blend: source-over
    {0, 1, 1 - sa},      {1, da, 0}, // source in
    {2, 1 - da, 0},                  // source out
    {3, da, 1 - sa},                 // atop
    {4, 1 - da, 1},                  // destination over
    {5, 0, sa},                      // destination in
    {6, 0, 1 - sa},                  // destination out
    {7, 1 - da, sa},                 // destination atop
    {8, sa, da},                     // add: source alpha and destination alpha
    {9, 1 - da, 1 - sa},             // xor
    {42, 1, 1 - sa},                 // unknown: the state as it was, source-over
  };
  Frame([&](IGraphics& gr) {
    for (int i = 0; i < 12; i++) {
      const IBlend blend{static_cast<EBlend>(table[i].method), 1.f};
      const float x = 16.f * i;
      gr.FillRect(IColor(128, 255, 0, 0), IRECT(x, 0, x + 12, 24));
      gr.FillRect(IColor(192, 0, 0, 255), IRECT(x, 0, x + 12, 12), table[i].method < 0 ? nullptr : &blend);
      // The next fill composites source-over again.
      gr.FillRect(IColor(192, 0, 0, 255), IRECT(x, 12, x + 12, 24));
    }
  });
  for (int i = 0; i < 12; i++) {
    double p[4], over[4];
    for (int k = 0; k < 4; k++) {
      p[k] = std::min(1.0, s[k] * table[i].fs + d[k] * table[i].fd);
      over[k] = s[k] + d[k] * (1 - sa);
    }
    const std::vector<int> want = Straight(p), got = Shown(16 * i + 6, 6);
    for (int k = 0; k < 4; k++)
      if (want[3] > 0 || k == 3) {
        EXPECT_NEAR(got[k], want[k], 3) << "method " << table[i].method << " channel " << k;
      }
    const std::vector<int> after = Shown(16 * i + 6, 18), wantOver = Straight(over);
    for (int k = 0; k < 4; k++)
      EXPECT_NEAR(after[k], wantOver[k], 3) << "after method " << table[i].method;
  }
}

TEST_F(Conversions, RadialGradientsRunFromFirstToLastStop)
{
  // Centred on (60, 60) with radius 40: the inverse matrix maps (0, 0) there
  // and scales by 40. The middle stop is not used.
  IPattern radial(kRadialPattern);
  radial.mNStops = 3;
  radial.mStops[0] = {IColor(255, 255, 0, 0), 0.f};
  radial.mStops[1] = {IColor(255, 0, 255, 0), 0.5f};
  radial.mStops[2] = {IColor(255, 0, 0, 255), 1.f};
  radial.mTransform = IMatrix(1 / 40.0, 0, 0, 1 / 40.0, -60 / 40.0, -60 / 40.0);
  IPattern single(kLinearPattern);
  single.mNStops = 1;
  single.mStops[0] = {IColor(255, 0, 128, 0), 0.f};
  // No inverse: a plain fill in the first stop's colour.
  IPattern singular = radial;
  singular.mTransform = IMatrix(1, 2, 2, 4, 5, 6);
  Frame([&](IGraphics& gr) {
    gr.FillRectPattern(radial, IRECT(0, 0, 120, 120));
    gr.FillRectPattern(single, IRECT(130, 0, 150, 40));
    gr.FillRectPattern(singular, IRECT(160, 0, 190, 40));
  });
  const std::vector<int> centre = Shown(60, 60), mid = Shown(80, 60), out = Shown(110, 110);
  EXPECT_GT(centre[0], 240);
  EXPECT_LT(centre[2], 15);
  EXPECT_LT(out[0], 15);
  EXPECT_GT(out[2], 240);
  EXPECT_NEAR(mid[0], 128, 20);
  EXPECT_NEAR(mid[2], 128, 20);
  EXPECT_LT(mid[1], 5);
  EXPECT_EQ(Shown(131, 1), Shown(148, 38));
  EXPECT_EQ(Shown(140, 20), (std::vector<int>{0, 128, 0, 255}));
  EXPECT_EQ(Shown(165, 5), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(Shown(185, 35), (std::vector<int>{255, 0, 0, 255}));
}

TEST_F(Conversions, ACircularGradientLooksTheSameTurnedOrMirrored)
{
  // Radius 40 about (60, 60), red inside 10, blue from 40 out: the pattern
  // maps p to (p - c) / 40 turned by the angle, x then mirrored or not. A
  // circle's picture depends on neither.
  const auto circular = [](double degrees, double mirror) {
    const double a = degrees * std::numbers::pi / 180, c = std::cos(a) / 40, s = std::sin(a) / 40;
    IPattern p(kRadialPattern);
    p.mNStops = 2;
    p.mStops[0] = {IColor(255, 255, 0, 0), 0.25f};
    p.mStops[1] = {IColor(255, 0, 0, 255), 1.f};
    p.mTransform = IMatrix(mirror * c, s, -mirror * s, c, -60 * mirror * (c - s), -60 * (s + c));
    return p;
  };
  const int kSide = 120;
  const auto picture = [&](const IPattern& p, const char* png) {
    Frame([&](IGraphics& gr) { gr.FillRectPattern(p, IRECT(0, 0, kSide, kSide)); });
    WriteShown(png, kSide, kSide);
    std::vector<int> px;
    for (int y = 0; y < kSide; y++)
      for (int x = 0; x < kSide; x++)
        for (int v : Shown(x, y))
          px.push_back(v);
    return px;
  };
  const std::vector<int> upright = picture(circular(0, 1), "radial_upright.png");
  // Red at the centre, blue in the corner, a mix half-way.
  ASSERT_GT(upright[(60 * kSide + 60) * 4], 240);
  ASSERT_GT(upright[(5 * kSide + 5) * 4 + 2], 240);
  ASSERT_NEAR(upright[(60 * kSide + 85) * 4], 128, 30);
  const struct {
    const char* png;
    double degrees, mirror;
  } table[] = {
    {"radial_turned_0.png", 0, 1},     {"radial_turned_45.png", 45, 1}, {"radial_turned_90.png", 90, 1},
    {"radial_turned_200.png", 200, 1}, {"radial_mirrored.png", 0, -1},  {"radial_mirrored_turned_30.png", 30, -1},
  };
  for (const auto& row : table) {
    const std::vector<int> px = picture(circular(row.degrees, row.mirror), row.png);
    int worst = 0;
    for (size_t i = 0; i < px.size(); i++)
      worst = std::max(worst, std::abs(px[i] - upright[i]));
    EXPECT_LE(worst, 2) << row.png;
  }
}

TEST_F(Conversions, ArcsRunClockwiseFromTwelveOClock)
{
  // Slices from 0 to 90 degrees around (50, 75) and (150, 75), radius 40,
  // clockwise and counter-clockwise.
  Frame([&](IGraphics& gr) {
    for (int winding = 0; winding < 2; winding++) {
      const float cx = 50.f + 100.f * winding;
      gr.PathMoveTo(cx, 75);
      gr.PathArc(cx, 75, 40, 0, 90, winding);
      gr.PathClose();
      gr.PathFill(IPattern(IColor(255, 0, 0, 0)), IFillOptions(), nullptr);
    }
  });
  // Upper right quadrant only for clockwise; the other three for counter-clockwise.
  EXPECT_EQ(Shown(70, 55)[3], 255);
  EXPECT_EQ(Shown(30, 55)[3], 0);
  EXPECT_EQ(Shown(70, 95)[3], 0);
  EXPECT_EQ(Shown(170, 55)[3], 0);
  EXPECT_EQ(Shown(130, 55)[3], 255);
  EXPECT_EQ(Shown(170, 95)[3], 255);
}

TEST_F(Conversions, TextIsAnchoredByItsAlignment)
{
  ASSERT_TRUE(g->LoadFont("Roboto-Regular", kRobotoPath));
  const IRECT r(40, 30, 160, 90);
  for (int h = 0; h < 3; h++)
    for (int v = 0; v < 3; v++) {
      const IText text(18, IColor(), "Roboto-Regular", static_cast<EAlign>(h), static_cast<EVAlign>(v));
      IRECT m = r;
      const float w = g->MeasureText(text, "Align", m);
      EXPECT_NEAR(w, m.W(), 1e-4);
      EXPECT_GT(w, 20.f);
      const float x[3] = {m.L, m.MW(), m.R}, xr[3] = {r.L, r.MW(), r.R};
      const float y[3] = {m.T, m.MH(), m.B}, yr[3] = {r.T, r.MH(), r.B};
      // The extent is the glyphs' boxes: a point of bearing either side.
      EXPECT_NEAR(x[h], xr[h], 1.5) << h << "," << v;
      EXPECT_NEAR(y[v], yr[v], 0.6) << h << "," << v;
    }
}

TEST_F(Conversions, BitmapExtensionsAreMatchedWithoutCase)
{
  struct {
    const char* ext;
    bool ok;
  } table[] = {
    {"png", true},
    {"PNG", true},
    {"jpg", true},
    {"JPEG", true},
    {"my.jpeg.bak", true},
    {"gif", false},
    {"", false},
    {"svg", false},
    {"0123456789012345678901234567890png", false}, // past the 31 characters looked at
  };
  for (const auto& row : table)
    EXPECT_EQ(g->BitmapExtSupported(row.ext), row.ok) << row.ext;
  EXPECT_FALSE(g->BitmapExtSupported(nullptr));
  EXPECT_STREQ(g->GetDrawingAPIStr(), "VG | Metal");
}

TEST_F(Conversions, DottedLinesDrawEveryOtherDashAndNoDashLengthDrawsALine)
{
  struct {
    float length, dash;
    int runs;
    int reach;
  } table[] = {
    {14, 10, 0, 0},   // 1.4 dashes: only the first move
    {16, 10, 1, 8},   // 1.6 dashes rounds to 2: one dash to the middle
    {100, 10, 5, 90}, // ten steps: dashes 1, 3, 5, 7, 9
    {50, 0, 1, 50},   // no dash length: a solid line
    {50, -3, 1, 50},
  };
  Frame([&](IGraphics& gr) {
    for (int i = 0; i < 5; i++)
      gr.DrawDottedLine(IColor(255, 0, 0, 0), 10, 10 + 10.f * i, 10 + table[i].length, 10 + 10.f * i, nullptr, 2,
                        table[i].dash);
    // Without a dash length a dotted rect is its whole outline; with one,
    // ceil(40 / 8) dashes along the top, and the first dash down the right
    // edge crosses the top row too.
    gr.DrawDottedRect(IColor(255, 0, 0, 0), IRECT(10, 70, 50, 90), nullptr, 2, 0);
    gr.DrawDottedRect(IColor(255, 0, 0, 0), IRECT(60, 70, 100, 90), nullptr, 2, 4);
  });
  for (int i = 0; i < 5; i++) {
    int last = 0;
    EXPECT_EQ(DarkRuns(10 + 10 * i, 0, 130, &last), table[i].runs) << i;
    if (table[i].runs) {
      EXPECT_NEAR(last, 10 + table[i].reach, 1.5) << i;
    }
  }
  EXPECT_EQ(DarkRuns(70, 5, 55), 1);
  EXPECT_EQ(DarkRuns(90, 5, 55), 1);
  EXPECT_EQ(DarkRuns(80, 5, 55), 2);
  EXPECT_EQ(DarkRuns(70, 58, 103), 5 + 1);
}

} // namespace
} // namespace backendtest
