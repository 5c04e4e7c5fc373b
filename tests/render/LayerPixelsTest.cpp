// Layer pixels read back and replaced, shadow masks, layers kept across
// bitmap creation, joins and caps: pixels from the renderer.

#include "BackendFixture.h"

namespace backendtest {
namespace {

class LayerPixels : public BackendFixture {
protected:
  // A layer of the given bounds filled with colour, drawn in its own frame.
  ILayerPtr FilledLayer(const IRECT& r, const IColor& c)
  {
    ILayerPtr layer;
    Frame([&](IGraphics& g) {
      g.StartLayer(nullptr, r);
      g.FillRect(c, r);
      layer = g.EndLayer();
    });
    return layer;
  }

  static std::vector<int> Pixel(const RawBitmapData& d, int w, int x, int y)
  {
    const uint8_t* p = d.Get() + (static_cast<std::size_t>(y) * w + x) * 4;
    return {p[0], p[1], p[2], p[3]};
  }
};

TEST_F(LayerPixels, ABitmapMadeWhileALayerIsOpenLeavesDrawingInTheLayer)
{
  ILayerPtr layer;
  Frame([&](IGraphics& gr) {
    gr.StartLayer(nullptr, IRECT(0, 0, 40, 20));
    gr.FillRect(IColor(255, 255, 0, 0), IRECT(0, 0, 20, 20));
    delete g->CreateAPIBitmap(4, 4, 1, 1);
    gr.FillRect(IColor(255, 0, 0, 255), IRECT(20, 0, 40, 20));
    layer = gr.EndLayer();
  });
  RawBitmapData data;
  g->GetLayerBitmapData(layer, data);
  ASSERT_EQ(data.GetSize(), 40 * 20 * 4);
  EXPECT_EQ(Pixel(data, 40, 5, 5), (std::vector<int>{255, 0, 0, 255}));
  EXPECT_EQ(Pixel(data, 40, 30, 5), (std::vector<int>{0, 0, 255, 255}));
  // Nothing leaked into the view.
  EXPECT_EQ(Shown(30, 5)[3], 0);
}

TEST_F(LayerPixels, LayerPixelsReadBackAndReplaced)
{
  ILayerPtr layer = FilledLayer(IRECT(10, 10, 30, 20), IColor(255, 0, 200, 0));
  RawBitmapData data;
  g->GetLayerBitmapData(layer, data);
  ASSERT_EQ(data.GetSize(), 20 * 10 * 4);
  EXPECT_EQ(Pixel(data, 20, 19, 9), (std::vector<int>{0, 200, 0, 255}));
  for (int i = 0; i < data.GetSize(); i += 4) {
    data.Get()[i] = 255;
    data.Get()[i + 1] = 0;
  }
  g->ReplaceLayerBitmapData(layer, data);
  RawBitmapData back;
  g->GetLayerBitmapData(layer, back);
  EXPECT_EQ(Pixel(back, 20, 3, 3), (std::vector<int>{255, 0, 0, 255}));

  // A short buffer changes nothing.
  RawBitmapData shortData;
  shortData.Resize(16);
  std::memset(shortData.Get(), 0, 16);
  g->ReplaceLayerBitmapData(layer, shortData);
  g->ApplyShadowMask(layer, shortData, IShadow());
  g->GetLayerBitmapData(layer, back);
  EXPECT_EQ(Pixel(back, 20, 3, 3), (std::vector<int>{255, 0, 0, 255}));
}

TEST_F(LayerPixels, ShadowAloneOrBehindTheContent)
{
  for (bool foreground : {false, true}) {
    ILayerPtr layer = FilledLayer(IRECT(0, 0, 40, 40), IColor(0, 0, 0, 0));
    Frame([&](IGraphics& gr) {
      gr.ResumeLayer(layer);
      gr.FillRect(IColor(255, 0, 0, 255), IRECT(5, 5, 25, 25));
      layer = gr.EndLayer();
    });
    IShadow shadow;
    shadow.mPattern = IPattern(IColor(255, 255, 0, 0));
    shadow.mXOffset = shadow.mYOffset = 10;
    shadow.mOpacity = 1.f;
    shadow.mDrawForeground = foreground;
    RawBitmapData mask;
    g->GetLayerBitmapData(layer, mask); // the content itself as an unblurred mask
    g->ApplyShadowMask(layer, mask, shadow);
    RawBitmapData out;
    g->GetLayerBitmapData(layer, out);
    // Only the shadow: red where the content was moved to; the content's own place
    // outside the shadow is empty or blue.
    EXPECT_EQ(Pixel(out, 40, 30, 30), (std::vector<int>{255, 0, 0, 255})) << foreground;
    EXPECT_EQ(Pixel(out, 40, 8, 8)[3], foreground ? 255 : 0) << foreground;
    if (foreground)
      EXPECT_EQ(Pixel(out, 40, 20, 20), (std::vector<int>{0, 0, 255, 255}));
    else
      EXPECT_EQ(Pixel(out, 40, 20, 20), (std::vector<int>{255, 0, 0, 255}));
  }
}

TEST_F(LayerPixels, JoinsAndCapsShapeTheCornersAndEnds)
{
  // A right-angle corner at (60, 20) and a line ending at x = 60 (y = 100),
  // both 10 wide; probes outside the plain outline.
  struct {
    ELineJoin join;
    ELineCap cap;
    bool corner;
    bool capNear;
    bool capDiagonal;
  } table[] = {
    {kJoinMiter, kCapButt, true, false, false},
    {kJoinBevel, kCapSquare, false, true, true},
    {kJoinRound, kCapRound, false, true, false},
  };
  for (const auto& row : table) {
    Frame([&](IGraphics& g) {
      g.FillRect(IColor(255, 255, 255, 255), g.GetBounds());
      IStrokeOptions o;
      o.mJoinOption = row.join;
      o.mCapOption = row.cap;
      g.PathMoveTo(20, 20);
      g.PathLineTo(60, 20);
      g.PathLineTo(60, 60);
      g.PathStroke(IPattern(IColor(255, 0, 0, 0)), 10, o, nullptr);
      g.PathMoveTo(20, 100);
      g.PathLineTo(60, 100);
      g.PathStroke(IPattern(IColor(255, 0, 0, 0)), 10, o, nullptr);
    });
    EXPECT_EQ(Shown(64, 16)[0] < 128, row.corner) << "join " << row.join;
    EXPECT_EQ(Shown(62, 100)[0] < 128, row.capNear) << "cap " << row.cap;
    EXPECT_EQ(Shown(64, 104)[0] < 128, row.capDiagonal) << "cap " << row.cap;
  }
}

} // namespace
} // namespace backendtest
