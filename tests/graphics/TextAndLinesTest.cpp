// Text drawing and rotation, the line helpers, bitmap frames, bitmap-font
// text and restyling vector controls.

#include <cmath>
#include <limits>

#include "EditorFixture.h"
#include "IGraphicsConstants.h"

using namespace testsupport;

namespace {

class TextAndLines : public EditorFixture {
protected:
  void SetUp() override
  {
    EditorFixture::SetUp();
    g->mLogPaths = true;
  }
  // Moves and lines, with coordinates rounded to 1e-4.
  Log Segments()
  {
    Log out;
    for (const PaintCall& p : g->TakePaints())
      for (const PathOp& op : p.path)
        if (op.kind == PathOp::kMove || op.kind == PathOp::kLine)
          out.push_back(Fmt(op.kind == PathOp::kMove ? "M %g,%g" : "L %g,%g", std::round(op.v[0] * 1e4) / 1e4 + 0.0,
                            std::round(op.v[1] * 1e4) / 1e4 + 0.0));
    g->TakeLog();
    return out;
  }
  Log Bitmaps()
  {
    Log out;
    for (const std::string& s : g->TakeLog())
      if (s.rfind("DrawBitmap", 0) == 0)
        out.push_back(s.substr(11));
    return out;
  }
};

struct Style {
  int id;
};
struct VectorBase {
  virtual ~VectorBase() = default;
  void SetStyle(const Style& s) { styled = s.id; }
  int styled = 0;
};
struct VectorControl : RecordingControl, VectorBase {
  VectorControl(const IRECT& r) : RecordingControl("v", r) {}
};

} // namespace

TEST(TextRotation, RotatedExtentIsTheBoxOfAllFourCornersAlignedInTheBounds)
{
  struct Case {
    float angle;
    int align, valign;
    IRECT rect, bounds;
    IRECT rotated;
    double tx, ty;
  };
  const Case cases[] = {
    {90, kAlignCenter, kVAlignMiddle, IRECT(0, 0, 10, 2), IRECT(0, 0, 10, 10), IRECT(-2, 0, 0, 10), 6, 0},
    {90, kAlignNear, kVAlignTop, IRECT(0, 0, 10, 2), IRECT(5, 5, 10, 10), IRECT(-2, 0, 0, 10), 7, 5},
    {90, kAlignFar, kVAlignBottom, IRECT(0, 0, 10, 2), IRECT(5, 5, 10, 10), IRECT(-2, 0, 0, 10), 10, 0},
    {180, 9, 9, IRECT(0, 0, 4, 2), IRECT(0, 0, 10, 10), IRECT(-4, -2, 0, 0), 99, 99},
    // A text of no height: both left corners meet at the origin and still count.
    {90, kAlignNear, kVAlignTop, IRECT(0, 0, 10, 0), IRECT(0, 0, 10, 10), IRECT(0, 0, 0, 10), 0, 0},
    {-90, kAlignNear, kVAlignTop, IRECT(0, 0, 10, 0), IRECT(0, 0, 10, 10), IRECT(0, -10, 0, 0), 0, 10},
  };
  for (const Case& c : cases) {
    IText text;
    text.mAngle = c.angle;
    text.mAlign = static_cast<EAlign>(c.align);
    text.mVAlign = static_cast<EVAlign>(c.valign);
    IRECT r = c.rect;
    double tx = 99, ty = 99;
    IGraphics::CalculateTextRotation(text, c.bounds, r, tx, ty);
    EXPECT_NEAR(r.L, c.rotated.L, 1e-5) << c.angle;
    EXPECT_NEAR(r.T, c.rotated.T, 1e-5) << c.angle;
    EXPECT_NEAR(r.R, c.rotated.R, 1e-5) << c.angle;
    EXPECT_NEAR(r.B, c.rotated.B, 1e-5) << c.angle;
    EXPECT_NEAR(tx, c.tx, 1e-5) << c.angle;
    EXPECT_NEAR(ty, c.ty, 1e-5) << c.angle;

    IRECT m = c.rect;
    IGraphics::DoMeasureTextRotation(text, c.bounds, m);
    const double mx = c.tx == 99 ? 0 : c.tx, my = c.ty == 99 ? 0 : c.ty;
    EXPECT_NEAR(m.L, c.rotated.L + mx, 1e-5) << c.angle;
    EXPECT_NEAR(m.B, c.rotated.B + my, 1e-5) << c.angle;
  }
  IText flat;
  IRECT r(1, 2, 3, 4);
  double tx = 7, ty = 8;
  IGraphics::CalculateTextRotation(flat, IRECT(0, 0, 50, 50), r, tx, ty);
  EXPECT_EQ(r, IRECT(1, 2, 3, 4));
  EXPECT_EQ(tx, 7);
  EXPECT_EQ(ty, 8);
}

TEST_F(TextAndLines, TextIsDrawnOnlyWhenThereIsSomeAndAnchoredAtAPoint)
{
  g->DrawText(DEFAULT_TEXT, "", IRECT(0, 0, 10, 10));
  g->DrawText(DEFAULT_TEXT, nullptr, IRECT(0, 0, 10, 10));
  g->DrawTextAt(DEFAULT_TEXT, "", 5, 5);
  EXPECT_EQ(g->TakeLog(), Log{});
  g->DrawText(DEFAULT_TEXT, "dB", IRECT(0, 0, 10, 10));
  g->DrawTextAt(DEFAULT_TEXT, "Hz", 12.5f, 7);
  EXPECT_EQ(g->TakeLog(), (Log{"DrawText \"dB\" (0,0,10,10)", "DrawText \"Hz\" (12.5,7,12.5,7)"}));
}

TEST_F(TextAndLines, LineHelpersPlaceTheirLines)
{
  struct Case {
    const char* what;
    std::function<void()> draw;
    Log segments;
  };
  const IRECT r(10, 0, 20, 10);
  const Case cases[] = {
    {"vertical 0.55 truncates", [&] { g->DrawVerticalLine(COLOR_RED, r, 0.55f); }, {"M 15,0", "L 15,10"}},
    {"vertical clamped", [&] { g->DrawVerticalLine(COLOR_RED, r, 1.5f); }, {"M 20,0", "L 20,10"}},
    {"vertical below 0", [&] { g->DrawVerticalLine(COLOR_RED, r, -1.f); }, {"M 10,0", "L 10,10"}},
    {"vertical at", [&] { g->DrawVerticalLine(COLOR_RED, 3, 4, 8); }, {"M 3,4", "L 3,8"}},
    {"vertical in a huge rect saturates",
     [&] { g->DrawVerticalLine(COLOR_RED, IRECT(0, 0, 1e30f, 10), 0.5f); },
     {"M 2.14748e+09,0", "L 2.14748e+09,10"}},
    {"horizontal from the bottom", [&] { g->DrawHorizontalLine(COLOR_RED, r, 0.25f); }, {"M 10,7.5", "L 20,7.5"}},
    {"horizontal clamped", [&] { g->DrawHorizontalLine(COLOR_RED, r, 2.f); }, {"M 10,0", "L 20,0"}},
    {"horizontal at", [&] { g->DrawHorizontalLine(COLOR_RED, 6, 1, 2); }, {"M 1,6", "L 2,6"}},
    {"radial up", [&] { g->DrawRadialLine(COLOR_RED, 50, 50, 0, 10, 20); }, {"M 50,40", "L 50,30"}},
    {"radial right", [&] { g->DrawRadialLine(COLOR_RED, 50, 50, 90, 10, 20); }, {"M 60,50", "L 70,50"}},
    {"radial down left", [&] { g->DrawRadialLine(COLOR_RED, 0, 0, 225, 0, 2); }, {"M 0,0", "L -1.4142,1.4142"}},
  };
  for (const Case& c : cases) {
    c.draw();
    EXPECT_EQ(Segments(), c.segments) << c.what;
  }
  // The path form only adds to the path: from rMin down to rMax.
  g->PathClear();
  g->PathRadialLine(50, 50, 180, 5, 10);
  ASSERT_EQ(g->mPath.size(), 2u);
  EXPECT_EQ(g->mPath[0].kind, PathOp::kMove);
  EXPECT_NEAR(g->mPath[0].v[1], 55.f, 1e-4);
  EXPECT_NEAR(g->mPath[1].v[1], 60.f, 1e-4);
}

TEST_F(TextAndLines, BitmapFramesAreClampedAndFoundAlongTheStrip)
{
  APIBitmap vapi(1, 20, 100, 1.f, 1.f), hapi(1, 120, 10, 1.f, 1.f);
  const IBitmap vertical(&vapi, 5, false, "v"), horizontal(&hapi, 6, true, "h"), single(&vapi, 1, false, "s");
  struct Case {
    const IBitmap* b;
    int frame;
    const char* src;
  };
  const Case cases[] = {
    {&vertical, 0, "src 0,0"},    {&vertical, 1, "src 0,0"},    {&vertical, 2, "src 0,20"}, {&vertical, 7, "src 0,80"},
    {&horizontal, 3, "src 40,0"}, {&horizontal, -4, "src 0,0"}, {&single, 3, "src 0,0"},
  };
  for (const Case& c : cases) {
    g->DrawBitmapFrame(*c.b, IRECT(0, 0, 20, 20), c.frame);
    const Log log = Bitmaps();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].substr(log[0].find("src")), c.src) << c.b->GetResourceName() << " " << c.frame;
  }
}

TEST_F(TextAndLines, BitmapTextDrawsOneFramePerCharacter)
{
  // 95 printable characters stacked, 10 points each.
  APIBitmap api(1, 8, 950, 1.f, 1.f);
  const IBitmap font(&api, 95, false, "font");
  IText near;
  near.mAlign = kAlignNear;
  struct Case {
    const char* what;
    IText text;
    const char* str;
    bool vCenter, multiline;
    int cw;
    IRECT bounds;
    Log draws;
  };
  const Case cases[] = {
    {"left, top",
     near,
     "A!",
     false,
     false,
     8,
     IRECT(0, 0, 100, 20),
     {"font (0,0,8,12) src 0,330", "font (8,0,16,12) src 0,10"}},
    {"centred both ways",
     IText(),
     " ~",
     true,
     false,
     8,
     IRECT(0, 0, 100, 20),
     {"font (42,4,50,16) src 0,0", "font (50,4,58,16) src 0,940"}},
    {"high bytes and controls are spaces",
     near,
     "\xC8\t",
     false,
     false,
     8,
     IRECT(0, 0, 100, 20),
     {"font (0,0,8,12) src 0,0", "font (8,0,16,12) src 0,0"}},
    {"one line keeps what fits",
     near,
     "abcd",
     false,
     false,
     8,
     IRECT(0, 0, 20, 20),
     {"font (0,0,8,12) src 0,650", "font (8,0,16,12) src 0,660"}},
    {"wrapped",
     near,
     "abcde",
     false,
     true,
     8,
     IRECT(0, 0, 20, 20),
     {"font (0,0,8,12) src 0,650", "font (8,0,16,12) src 0,660", "font (0,12,8,24) src 0,670",
      "font (8,12,16,24) src 0,680", "font (0,24,8,36) src 0,690"}},
    {"no room for one character", near, "a", false, true, 8, IRECT(0, 0, 5, 20), {}},
    {"no width", near, "a", false, false, 0, IRECT(0, 0, 50, 20), {}},
    {"negative width", near, "a", false, true, -3, IRECT(0, 0, 50, 20), {}},
    {"empty", near, "", false, false, 8, IRECT(0, 0, 50, 20), {}},
    {"infinitely wide",
     near,
     "ab",
     false,
     true,
     8,
     IRECT(0, 0, std::numeric_limits<float>::infinity(), 20),
     {"font (0,0,8,12) src 0,650", "font (8,0,16,12) src 0,660"}},
    {"NaN wide", near, "ab", false, true, 8, IRECT(0, 0, std::numeric_limits<float>::quiet_NaN(), 20), {}},
  };
  for (const Case& c : cases) {
    g->DrawBitmapText(font, c.bounds, c.text, nullptr, c.str, c.vCenter, c.multiline, c.cw, 12, 0);
    EXPECT_EQ(Bitmaps(), c.draws) << c.what;
  }
  g->DrawBitmapText(font, IRECT(0, 0, 100, 20), near, nullptr, nullptr);
  EXPECT_EQ(Bitmaps(), Log{});
}

TEST_F(TextAndLines, OnlyVectorControlsAreRestyledInListOrder)
{
  auto* a = new VectorControl(IRECT(0, 0, 5, 5));
  g->AttachControl(a);
  Add("plain", IRECT(0, 0, 5, 5));
  auto* b = new VectorControl(IRECT(0, 0, 5, 5));
  g->AttachControl(b);
  g->StyleAllVectorControls<VectorBase>(Style{4});
  EXPECT_EQ(a->styled, 4);
  EXPECT_EQ(b->styled, 4);
}
