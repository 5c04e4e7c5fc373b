// Resizing the editor: limits, no-op on unchanged size, the platform size
// and the order of calls.

#include "EditorFixture.h"

using namespace testsupport;

namespace {
class Resize : public EditorFixture {};
} // namespace

TEST_F(Resize, UnchangedSizeAndScaleDoNothing)
{
  g->Resize(400, 300, 1.f, true);
  EXPECT_TRUE(g->TakeLog().empty());
  EXPECT_TRUE(dlg.TakeLog().empty());
}

TEST_F(Resize, ResizeReleasesCaptureTellsThePlatformAndMarksAllDirty)
{
  auto* a = Add("a", IRECT(10, 10, 20, 20));
  g->OnMouseDown(Pt(15, 15));
  g->Tick();
  g->TakeLog();
  dlg.TakeLog();
  g->Resize(500, 350, 1.5f, true);
  EXPECT_FALSE(g->ControlIsCaptured());
  // The press ends before the new size is taken.
  EXPECT_EQ(dlg.TakeLog(), (Log{"UIMouseUp", "EditorResize 750x525 1"}));
  EXPECT_EQ(g->TakeLog(), (Log{"a TouchCancelled", "PlatformResize 1", "a OnResize", "DrawResize"}));
  EXPECT_TRUE(a->IsDirty());
}

TEST_F(Resize, SizesAndScalesAreClampedToTheLimits)
{
  struct Case {
    int w, h;
    float scale;
    int wantW, wantH;
    float wantScale;
  };
  const Case cases[] = {
    {50, 300, 1.f, 100, 300, 1.f},
    {400, 9000, 1.f, 400, 4000, 1.f},
    {400, 300, 0.1f, 400, 300, 0.5f},
    {400, 300, 7.f, 400, 300, 2.f},
  };
  for (const Case& c : cases) {
    g->Resize(c.w, c.h, c.scale, true);
    EXPECT_EQ(g->Width(), c.wantW);
    EXPECT_EQ(g->Height(), c.wantH);
    EXPECT_FLOAT_EQ(g->GetDrawScale(), c.wantScale);
  }
}

TEST_F(Resize, LimitsOnTheScaledSizeAreDividedBackByTheScale)
{
  dlg.SetSizeConstraints(100, 600, 100, 600);
  g->Resize(400, 300, 2.f, true, false);
  EXPECT_EQ(g->Width(), 300); // 800 limited to 600, / 2
  EXPECT_EQ(g->Height(), 300);
}

TEST_F(Resize, PlatformSizeTruncatesTwice)
{
  g->mWindowScale = 1.5f;
  g->Resize(401, 301, 1.25f, false);
  // (int)(401 * 1.25) = 501, * 1.5 = 751.5 -> 751
  EXPECT_EQ(dlg.TakeLog(), (Log{"EditorResize 751x564 0"}));
}

TEST_F(Resize, LayoutRunsAfterResizeWhenAsked)
{
  int layouts = 0;
  dlg.SetLayoutFunc([&](IGraphics*) { ++layouts; });
  g->SetLayoutOnResize(true);
  g->Resize(410, 300, 1.f, true);
  EXPECT_EQ(layouts, 1);
}

TEST_F(Resize, ScreenScaleRescalesEveryControl)
{
  Add("a", IRECT(10, 10, 20, 20));
  g->TakeLog();
  g->SetScreenScale(2.f);
  EXPECT_EQ(g->TakeLog(), (Log{"PlatformResize 1", "a OnRescale", "DrawResize"}));
  EXPECT_FLOAT_EQ(g->GetTotalScale(), 2.f);
}
