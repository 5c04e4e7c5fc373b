// Default drawing bodies as path calls, text measuring, font loading and the
// bitmap cache's retain and release. Expected paths are written out by hand
// from the shapes' geometry.

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>

#include "EditorFixture.h"
#include "IGraphicsConstants.h"
#include "ResourceCaches.h"

using namespace testsupport;

namespace {

class Drawing : public EditorFixture {
protected:
  void SetUp() override
  {
    EditorFixture::SetUp();
    g->mLogPaths = true;
  }

  // Path calls only, without transforms.
  Log Paths()
  {
    Log out;
    for (const std::string& s : g->TakeLog())
      if (s.rfind("Matrix", 0) != 0)
        out.push_back(s);
    return out;
  }

  // Moves and lines only.
  Log Segments()
  {
    Log out;
    for (const std::string& s : g->TakeLog())
      if (s.rfind("PathMoveTo", 0) == 0 || s.rfind("PathLineTo", 0) == 0)
        out.push_back(s);
    return out;
  }
};

struct CountedBitmap : APIBitmap {
  CountedBitmap(int& deleted, int w, int h, float scale, float drawScale = 1.f)
  : APIBitmap(7, w, h, scale, drawScale), mDeleted(deleted)
  {
  }
  ~CountedBitmap() override { ++mDeleted; }
  int& mDeleted;
};

} // namespace

TEST_F(Drawing, RoundRectWithoutRadiusIsAPlainRectangle)
{
  g->DrawRoundRect(COLOR_BLACK, IRECT(10, 20, 50, 40), 0.f);
  EXPECT_EQ(Paths(), (Log{"PathClear", "PathMoveTo 10,20", "PathLineTo 50,20", "PathLineTo 50,40", "PathLineTo 10,40",
                          "PathClose", "PathStroke 1"}));
}

TEST_F(Drawing, RoundRectCornersAreFourQuarterArcsClockwiseFromTheTopLeft)
{
  g->FillRoundRectCorners(COLOR_BLACK, IRECT(10, 20, 50, 40), 5.f, 3.f, 0.f, 2.f);
  EXPECT_EQ(Paths(), (Log{"PathClear", "PathMoveTo 10,25", "PathArc 15,25 r5 270..360", "PathArc 47,23 r3 0..90",
                          "PathArc 50,40 r0 90..180", "PathArc 12,38 r2 180..270", "PathClose", "PathFill 255,0,0,0"}));
}

TEST_F(Drawing, EllipseIsAUnitCircleInEllipseSpaceAndNothingForZeroRadius)
{
  g->FillEllipse(COLOR_RED, IRECT(10, 20, 50, 40));
  const Log log = g->TakeLog();
  // Translate to the centre, then scale by the two radii.
  EXPECT_NE(std::find(log.begin(), log.end(), "Matrix 20 0 0 10 30 30"), log.end());
  const Log tail(log.end() - 5, log.end());
  EXPECT_EQ(
    tail, (Log{"PathMoveTo 0,-1", "PathArc 0,0 r1 0..360", "PathClose", "Matrix 1 0 0 1 0 0", "PathFill 255,255,0,0"}));

  g->DrawEllipseRotated(COLOR_RED, 5, 5, 0.f, 3.f, 45.f);
  EXPECT_EQ(Paths(), (Log{"PathClear", "PathStroke 1"}));
}

TEST_F(Drawing, GridLinesStartOneStepInAndNeverLieOnTheEdges)
{
  g->DrawGrid(COLOR_BLACK, IRECT(0, 0, 100, 100), 25.f, 25.f);
  EXPECT_EQ(Segments(), (Log{"PathMoveTo 25,0", "PathLineTo 25,100", "PathMoveTo 50,0", "PathLineTo 50,100",
                             "PathMoveTo 75,0", "PathLineTo 75,100", "PathMoveTo 0,25", "PathLineTo 100,25",
                             "PathMoveTo 0,50", "PathLineTo 100,50", "PathMoveTo 0,75", "PathLineTo 100,75"}));
  g->DrawGrid(COLOR_BLACK, IRECT(0, 0, 100, 100), 1.f, 40.f);
  EXPECT_EQ(Segments(), (Log{"PathMoveTo 0,40", "PathLineTo 100,40", "PathMoveTo 0,80", "PathLineTo 100,80"}));
}

TEST_F(Drawing, AGridDrawsOnlyTheLinesItsClipCanShow)
{
  // Drawn by a control at (0, 0, 100, 100), whose clip is that area. Lines
  // lie at L + k step whatever the rectangle's size: -2^30 is 6 mod 10, the
  // float nearest -1e30 is 0 mod 10. Turned 45 degrees about the centre the
  // clip shows lines up to 52.5 sqrt 2 from it; about its corner, x from -3.3
  // to 144.7 and y within 74; 30 degrees about (300, -200), x from 137 to 280.
  const float kInf = std::numeric_limits<float>::infinity();
  const float k30 = 1073741824.f;
  const struct {
    const char* what;
    IRECT r;
    float stepH, stepV, turn, aboutX, aboutY;
    int vertical, horizontal;
    float firstX, lastX;
  } rows[] = {
    {"inside the clip", IRECT(0, 0, 100, 100), 25, 25, 0, 50, 50, 3, 3, 25, 75},
    {"2e7 wide", IRECT(0, 0, 2e7f, 100), 10, 0, 0, 50, 50, 10, 0, 10, 100},
    {"2^30 either way", IRECT(-k30, -k30, k30, k30), 10, 10, 0, 50, 50, 10, 10, 6, 96},
    {"1e30 either way", IRECT(-1e30f, -1e30f, 1e30f, 1e30f), 10, 10, 0, 50, 50, 11, 11, 0, 100},
    {"turned 45 degrees", IRECT(0, 0, 2e7f, 2e7f), 10, 10, 45, 50, 50, 12, 12, 10, 120},
    {"turned 45 degrees about a corner", IRECT(0, 0, 2e7f, 2e7f), 10, 10, 45, 0, 0, 14, 7, 10, 140},
    {"turned 30 degrees about a far point", IRECT(-k30, -k30, k30, k30), 10, 10, 30, 300, -200, 14, 14, 146, 276},
    {"beside the clip", IRECT(200, 0, 300, 100), 10, 10, 0, 50, 50, 0, 0, 0, 0},
    {"infinitely wide", IRECT(-kInf, 0, kInf, 100), 10, 0, 0, 50, 50, 0, 0, 0, 0},
  };
  g->mPathStepLimit = 10000;
  for (const auto& row : rows) {
    auto* c = new DrawingControl("grid", IRECT(0, 0, 100, 100), [&](IGraphics& gr) {
      gr.PathTransformTranslate(row.aboutX, row.aboutY);
      gr.PathTransformRotate(row.turn);
      gr.PathTransformTranslate(-row.aboutX, -row.aboutY);
      gr.DrawGrid(COLOR_BLACK, row.r, row.stepH, row.stepV);
    });
    g->AttachControl(c);
    g->TakePaints();
    EXPECT_NO_THROW(g->DrawControl(c, g->GetBounds(), 1.f)) << row.what;
    g->RemoveAllControls();
    const auto paints = g->TakePaints();
    ASSERT_EQ(paints.size(), 1u) << row.what;
    std::vector<float> xs;
    int horizontal = 0;
    const std::vector<PathOp>& path = paints[0].path;
    for (std::size_t i = 0; i + 1 < path.size(); i += 2) {
      const PathOp &from = path[i], &to = path[i + 1];
      ASSERT_TRUE(from.kind == PathOp::kMove && to.kind == PathOp::kLine) << row.what;
      for (float v : {from.v[0], from.v[1], to.v[0], to.v[1]})
        ASSERT_TRUE(std::isfinite(v)) << row.what;
      if (from.v[0] == to.v[0])
        xs.push_back(from.v[0]);
      else
        horizontal += from.v[1] == to.v[1];
    }
    EXPECT_EQ(static_cast<int>(xs.size()), row.vertical) << row.what;
    EXPECT_EQ(horizontal, row.horizontal) << row.what;
    if (!xs.empty()) {
      EXPECT_EQ(xs.front(), row.firstX) << row.what;
      EXPECT_EQ(xs.back(), row.lastX) << row.what;
    }
  }
}

TEST_F(Drawing, DataPlotStartsOnTheLeftEdgeWithOrWithoutXPoints)
{
  float ys[] = {0.f, 0.5f, 1.f};
  float xs[] = {0.5f, 0.75f, 1.f};
  const IRECT r(10, 0, 110, 20);
  g->DrawData(COLOR_BLACK, r, ys, 3);
  EXPECT_EQ(Segments(), (Log{"PathMoveTo 10,20", "PathLineTo 60,10", "PathLineTo 110,0"}));
  g->DrawData(COLOR_BLACK, r, ys, 3, xs);
  EXPECT_EQ(Segments(), (Log{"PathMoveTo 10,20", "PathLineTo 85,10", "PathLineTo 110,0"}));
  g->DrawData(COLOR_BLACK, r, ys, 1);
  EXPECT_EQ(Segments(), (Log{"PathMoveTo 10,20"}));
}

TEST_F(Drawing, FittedAndRotatedBitmapsDrawThroughTheBackEndInTheirOwnSpace)
{
  int deleted = 0;
  CountedBitmap api(deleted, 40, 20, 2.f, 2.f); // 20 x 10 points
  const IBitmap bmp(&api, 1, false, "knob.png");
  EXPECT_EQ(bmp.W(), 20);
  EXPECT_EQ(bmp.H(), 10);

  g->DrawFittedBitmap(bmp, IRECT(100, 50, 140, 60));
  Log log = g->TakeLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "Matrix 2 0 0 1 100 50"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "DrawBitmap knob.png (0,0,20,10) src 0,0"), log.end());
  EXPECT_EQ(log.back(), "Matrix 1 0 0 1 0 0");

  // Points divided by the back-end bitmap's draw scale, centred on the point.
  g->DrawRotatedBitmap(bmp, 30, 40, 90.0);
  log = g->TakeLog();
  EXPECT_NE(std::find(log.begin(), log.end(), "DrawBitmap knob.png (-5,-2.5,5,2.5) src 0,0"), log.end());
  EXPECT_EQ(log.back(), "Matrix 1 0 0 1 0 0");
}

TEST_F(Drawing, MeasuringNothingReturnsZeroAndLeavesTheBounds)
{
  IRECT bounds(1, 2, 3, 4);
  EXPECT_EQ(g->MeasureText(DEFAULT_TEXT, "", bounds), 0.f);
  EXPECT_EQ(g->MeasureText(DEFAULT_TEXT, nullptr, bounds), 0.f);
  EXPECT_EQ(RectStr(bounds), "(1,2,3,4)");
  EXPECT_EQ(g->MeasureText(DEFAULT_TEXT, "abc", bounds), 21.f);
  EXPECT_EQ(RectStr(bounds), "(1,2,22,12)");
}

TEST_F(Drawing, FontIsCachedOnlyWhenBothStagesAcceptIt)
{
  g->mFontFiles = {"Roboto-Regular.ttf", "Verdana"};
  g->mRejectedFontIds = {"bad"};
  struct Case {
    const char* id;
    const char* file;
    bool ok;
    Log log;
  };
  const Case cases[] = {
    {"Roboto-Regular", "missing.ttf", false, {"LoadPlatformFont Roboto-Regular missing.ttf"}},
    {"bad", "Roboto-Regular.ttf", false, {"LoadPlatformFont bad Roboto-Regular.ttf", "LoadAPIFont bad"}},
    {"Roboto-Regular",
     "Roboto-Regular.ttf",
     true,
     {"LoadPlatformFont Roboto-Regular Roboto-Regular.ttf", "LoadAPIFont Roboto-Regular",
      "CachePlatformFont Roboto-Regular"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(g->LoadFont(c.id, c.file), c.ok) << c.id << " " << c.file;
    EXPECT_EQ(g->TakeLog(), c.log) << c.id << " " << c.file;
  }
  EXPECT_FALSE(g->LoadFontFromData("d", nullptr, 0));
  EXPECT_TRUE(g->LoadFontByName("v", "Verdana", kTextStyleBold));
  EXPECT_EQ(g->TakeLog(), (Log{"LoadPlatformFontFromData d 0", "LoadPlatformFontByName v Verdana 1", "LoadAPIFont v",
                               "CachePlatformFont v"}));
}

TEST_F(Drawing, RetainedBitmapIsCachedUnderItsScaleAndReleasedOnce)
{
  int deleted = 0;
  auto* api = new CountedBitmap(deleted, 40, 40, 2.f);
  const IBitmap bmp(api, 1, false, "led.png");
  g->RetainBitmap(bmp, "led.png");
  {
    std::lock_guard<std::recursive_mutex> lock(BitmapCache().mMutex);
    EXPECT_EQ(BitmapCache().Find("led.png", 2.0), api);
    EXPECT_EQ(BitmapCache().Find("led.png", 1.0), nullptr);
  }
  g->ReleaseBitmap(bmp);
  EXPECT_EQ(deleted, 1);
  g->ReleaseBitmap(bmp); // no longer cached: ignored
  g->ReleaseBitmap(IBitmap());
  EXPECT_EQ(deleted, 1);
}
