// The graphics context's drawing interface driven by bytes: each input is a
// stream of calls a control may make while it draws (lines, dotted lines,
// shapes stroked and filled, arcs, grids, data plots, patterns, text,
// bitmaps and bitmap text, SVG, paths, transforms, clips, layers and their
// shadows, blends) with numbers that include NaN, infinities, 1e30, tiny
// and negative sizes. The context is the platform's own, opened in a view
// over the stand-in GPU, with the editor's fonts and pictures from the built
// bundle; one frame per input. No call may crash, convert a float that does
// not fit its integer (the build stops on that), leave a layer behind, make
// the GPU report a misuse, or let memory grow without bound.
#include <AppKit/AppKit.h>
#include <standin/Testing.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "EditorLayout.h"
#include "FuzzFiles.h"
#include "FuzzReader.h"
#include "IControl.h"
#include "IGEditorDelegate.h"
#include "IGraphicsMac.h"

namespace {

using namespace plugin::igraphics;

constexpr int kW = 96, kH = 64;
constexpr int kMaxCalls = 256;
constexpr int kMaxLayers = 3;

// Special values, coordinates around the 96 x 64 view, or raw bits; whole
// numbers, rectangles and colours of them.
class Reader : public fuzzsupport::ByteReader {
public:
  using ByteReader::ByteReader;
  float Float() { return ByteReader::Float(0.5f); }
  // Whole numbers a control passes: frames, offsets, counts, sizes.
  int Whole()
  {
    constexpr int kWhole[] = {0, -1, 1, 2, 7, 100, -100000, std::numeric_limits<int>::max(),
                              std::numeric_limits<int>::min()};
    const int k = Byte();
    return k < 9 ? kWhole[k] : k - 128;
  }
  IRECT Rect() { return IRECT(Float(), Float(), Float(), Float()); }
  // Mostly in 0..255; at times beyond it.
  IColor Color()
  {
    if (Int(8) == 0)
      return IColor(Whole(), Whole(), Whole(), Whole());
    return IColor(Byte(), Byte(), Byte(), Byte());
  }
};

// The editor's resources and the document every SVG call draws.
struct Assets {
  IBitmap bitmaps[3];
  ISVG svg;
};

constexpr const char* kSVG =
  "<svg width='40' height='20'><defs><linearGradient id='g'><stop offset='0' stop-color='red'/>"
  "<stop offset='1' stop-color='blue'/></linearGradient></defs>"
  "<rect x='1' y='1' width='30' height='15' fill='url(#g)' stroke='black' stroke-dasharray='2 1'/>"
  "<path d='M5 5 L35 5 35 18 Z M10 8 L20 8 20 12 Z' fill='#0f08' fill-rule='evenodd'/></svg>";

class Calls : public IControl {
public:
  Calls(const IRECT& r, Assets& assets) : IControl(r), mAssets(assets) {}
  void Run(const uint8_t* data, size_t size)
  {
    mData = data;
    mSize = size;
    SetDirty(false);
  }
  void Draw(IGraphics& g) override
  {
    Reader in(mData, mSize);
    int layers = 0;
    for (int calls = 0; in.More() && calls < kMaxCalls; ++calls)
      Call(g, in, layers);
    // A control ends every layer it starts.
    while (layers-- > 0) {
      ILayerPtr layer = g.EndLayer();
      if (layer)
        g.DrawLayer(layer);
    }
    mData = nullptr;
    mSize = 0;
  }

private:
  void Call(IGraphics& g, Reader& in, int& layers);
  const IBitmap& Bitmap(Reader& in) { return mAssets.bitmaps[in.Int(3)]; }

  Assets& mAssets;
  const uint8_t* mData = nullptr;
  size_t mSize = 0;
};

const IBlend* Blend(Reader& in, IBlend& blend)
{
  if (in.Int(2) == 0)
    return nullptr;
  blend.mMethod = EBlend(in.Int(11));
  blend.mWeight = in.Float();
  return &blend;
}

IPattern Pattern(Reader& in)
{
  IPattern p(EPatternType(in.Int(3)));
  p.mExtend = EPatternExtend(1 + in.Int(3));
  p.mNStops = in.Int(IPattern::kMaxStops + 1);
  for (int i = 0; i < p.mNStops; ++i) {
    p.mStops[i].mColor = in.Color();
    p.mStops[i].mOffset = in.Float();
  }
  if (in.Int(2))
    p.mTransform = IMatrix(in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float());
  return p;
}

IText Text(Reader& in)
{
  constexpr const char* kFonts[] = {"Roboto-Regular", "verdana", "verdanab", "no-such-font"};
  IText text(in.Float(), in.Color(), kFonts[in.Int(4)], EAlign(in.Int(4)), EVAlign(in.Int(4)));
  if (in.Int(4) == 0)
    text.mAngle = in.Float();
  return text;
}

void Calls::Call(IGraphics& g, Reader& in, int& layers)
{
  IBlend b;
  char str[32];
  float xs[8], ys[8];
  const bool fill = in.Int(2);
  switch (in.Int(30)) {
  case 0: {
    const IColor c = in.Color();
    const float x1 = in.Float(), y1 = in.Float(), x2 = in.Float(), y2 = in.Float();
    if (fill)
      g.DrawLine(c, x1, y1, x2, y2, Blend(in, b), in.Float());
    else
      g.DrawDottedLine(c, x1, y1, x2, y2, Blend(in, b), in.Float(), in.Float());
    break;
  }
  case 1: {
    const IColor c = in.Color();
    const float x1 = in.Float(), y1 = in.Float(), x2 = in.Float(), y2 = in.Float(), x3 = in.Float(), y3 = in.Float();
    fill ? g.FillTriangle(c, x1, y1, x2, y2, x3, y3, Blend(in, b))
         : g.DrawTriangle(c, x1, y1, x2, y2, x3, y3, Blend(in, b), in.Float());
    break;
  }
  case 2: {
    const IColor c = in.Color();
    const IRECT r = in.Rect();
    fill ? g.FillRect(c, r, Blend(in, b)) : g.DrawRect(c, r, Blend(in, b), in.Float());
    break;
  }
  case 3: {
    const IColor c = in.Color();
    const IRECT r = in.Rect();
    const float radius = in.Float();
    fill ? g.FillRoundRect(c, r, radius, Blend(in, b)) : g.DrawRoundRect(c, r, radius, Blend(in, b), in.Float());
    break;
  }
  case 4: {
    const IColor c = in.Color();
    const IRECT r = in.Rect();
    const float tl = in.Float(), tr = in.Float(), br = in.Float(), bl = in.Float();
    fill ? g.FillRoundRectCorners(c, r, tl, tr, br, bl, Blend(in, b))
         : g.DrawRoundRectCorners(c, r, tl, tr, br, bl, Blend(in, b), in.Float());
    break;
  }
  case 5: {
    const IColor c = in.Color();
    const float cx = in.Float(), cy = in.Float(), r = in.Float(), a1 = in.Float(), a2 = in.Float();
    fill ? g.FillArc(c, cx, cy, r, a1, a2, Blend(in, b)) : g.DrawArc(c, cx, cy, r, a1, a2, Blend(in, b), in.Float());
    break;
  }
  case 6: {
    const IColor c = in.Color();
    const float cx = in.Float(), cy = in.Float(), r = in.Float();
    fill ? g.FillCircle(c, cx, cy, r, Blend(in, b)) : g.DrawCircle(c, cx, cy, r, Blend(in, b), in.Float());
    break;
  }
  case 7: {
    const IColor c = in.Color();
    const IRECT r = in.Rect();
    fill ? g.FillEllipse(c, r, Blend(in, b)) : g.DrawEllipse(c, r, Blend(in, b), in.Float());
    break;
  }
  case 8: {
    const IColor c = in.Color();
    const float x = in.Float(), y = in.Float(), r1 = in.Float(), r2 = in.Float(), angle = in.Float();
    fill ? g.FillEllipseRotated(c, x, y, r1, r2, angle, Blend(in, b))
         : g.DrawEllipseRotated(c, x, y, r1, r2, angle, Blend(in, b), in.Float());
    break;
  }
  case 9: {
    const IColor c = in.Color();
    const int n = 1 + in.Int(8);
    for (int i = 0; i < n; ++i) {
      xs[i] = in.Float();
      ys[i] = in.Float();
    }
    fill ? g.FillConvexPolygon(c, xs, ys, n, Blend(in, b)) : g.DrawConvexPolygon(c, xs, ys, n, Blend(in, b), in.Float());
    break;
  }
  case 10: {
    const IColor c = in.Color();
    const IRECT r = in.Rect();
    g.DrawDottedRect(c, r, Blend(in, b), in.Float(), in.Float());
    break;
  }
  case 11: {
    const IColor c = in.Color();
    const IRECT r = in.Rect();
    const float h = in.Float(), v = in.Float();
    g.DrawGrid(c, r, h, v, Blend(in, b), in.Float());
    break;
  }
  case 12: {
    const IColor c = in.Color();
    const IRECT r = in.Rect();
    const int n = 1 + in.Int(8);
    for (int i = 0; i < n; ++i) {
      ys[i] = in.Float();
      xs[i] = in.Float();
    }
    g.DrawData(c, r, ys, n, in.Int(2) ? xs : nullptr, Blend(in, b), in.Float());
    break;
  }
  case 13: {
    const IColor c = in.Color();
    switch (in.Int(5)) {
    case 0: {
      const IRECT r = in.Rect();
      const float x = in.Float();
      g.DrawVerticalLine(c, r, x, Blend(in, b), in.Float());
      break;
    }
    case 1: {
      const IRECT r = in.Rect();
      const float y = in.Float();
      g.DrawHorizontalLine(c, r, y, Blend(in, b), in.Float());
      break;
    }
    case 2: {
      const float cx = in.Float(), cy = in.Float(), angle = in.Float(), rMin = in.Float(), rMax = in.Float();
      g.DrawRadialLine(c, cx, cy, angle, rMin, rMax, Blend(in, b), in.Float());
      break;
    }
    case 3: {
      const float x = in.Float(), y = in.Float();
      g.DrawPoint(c, x, y, Blend(in, b));
      break;
    }
    default: {
      const float xi = in.Float(), lo = in.Float(), hi = in.Float();
      g.DrawVerticalLine(c, xi, lo, hi, Blend(in, b), in.Float());
      g.DrawHorizontalLine(c, xi, lo, hi, Blend(in, b), in.Float());
      break;
    }
    }
    break;
  }
  case 14: {
    const IPattern p = Pattern(in);
    const IRECT r = in.Rect();
    g.FillRectPattern(p, r, Blend(in, b));
    break;
  }
  case 15: {
    const IText text = Text(in);
    in.Text(str);
    if (in.Int(2)) {
      const IRECT r = in.Rect();
      g.DrawText(text, in.Int(8) ? str : nullptr, r, Blend(in, b));
    } else {
      const float x = in.Float(), y = in.Float();
      g.DrawTextAt(text, str, x, y, Blend(in, b));
    }
    break;
  }
  case 16: {
    const IText text = Text(in);
    in.Text(str);
    IRECT r = in.Rect();
    g.MeasureText(text, str, r);
    break;
  }
  case 17: {
    const IBitmap& bitmap = Bitmap(in);
    const IRECT r = in.Rect();
    switch (in.Int(4)) {
    case 0: {
      const int x = in.Whole(), y = in.Whole();
      g.DrawBitmap(bitmap, r, x, y, Blend(in, b));
      break;
    }
    case 1: g.DrawBitmapFrame(bitmap, r, in.Whole(), Blend(in, b)); break;
    case 2: g.DrawFittedBitmap(bitmap, r, Blend(in, b)); break;
    default: {
      const float x = in.Float(), y = in.Float(), angle = in.Float();
      g.DrawRotatedBitmap(bitmap, x, y, angle, Blend(in, b));
      break;
    }
    }
    break;
  }
  case 18: {
    const IBitmap& bitmap = Bitmap(in);
    const IRECT r = in.Rect();
    const IText text = Text(in);
    in.Text(str);
    const bool vCenter = in.Int(2), multiline = in.Int(2);
    const int cw = in.Whole(), ch = in.Whole(), offset = in.Whole();
    g.DrawBitmapText(bitmap, r, text, Blend(in, b), str, vCenter, multiline, cw, ch, offset);
    break;
  }
  case 19:
    if (in.Int(2)) {
      const IRECT r = in.Rect();
      g.DrawSVG(mAssets.svg, r, Blend(in, b));
    } else {
      const float x = in.Float(), y = in.Float(), w = in.Float(), h = in.Float(), angle = in.Float();
      g.DrawRotatedSVG(mAssets.svg, x, y, w, h, angle, Blend(in, b));
    }
    break;
  case 20:
    switch (in.Int(8)) {
    case 0: g.PathTransformSave(); break;
    case 1: g.PathTransformRestore(); break;
    case 2: g.PathTransformReset(in.Int(2)); break;
    case 3: {
      const float x = in.Float(), y = in.Float();
      g.PathTransformTranslate(x, y);
      break;
    }
    case 4: {
      const float x = in.Float(), y = in.Float();
      g.PathTransformScale(x, y);
      break;
    }
    case 5: g.PathTransformRotate(in.Float()); break;
    case 6: {
      const float x = in.Float(), y = in.Float();
      g.PathTransformSkew(x, y);
      break;
    }
    default: {
      const float m[6] = {in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float()};
      g.PathTransformMatrix(IMatrix(m[0], m[1], m[2], m[3], m[4], m[5]));
      break;
    }
    }
    break;
  case 21: g.PathClipRegion(in.Int(4) ? in.Rect() : IRECT()); break;
  case 22:
    if (layers < kMaxLayers) {
      g.StartLayer(this, in.Rect(), in.Int(2));
      ++layers;
    }
    break;
  case 23:
    if (layers > 0) {
      --layers;
      ILayerPtr layer = g.EndLayer();
      if (!layer)
        break;
      switch (in.Int(4)) {
      case 0: g.DrawLayer(layer, Blend(in, b)); break;
      case 1: {
        const IRECT r = in.Rect();
        g.DrawFittedLayer(layer, r, Blend(in, b));
        break;
      }
      case 2: g.DrawRotatedLayer(layer, in.Float()); break;
      default: {
        IShadow shadow;
        shadow.mPattern = Pattern(in);
        shadow.mBlurSize = in.Float();
        shadow.mXOffset = in.Float();
        shadow.mYOffset = in.Float();
        shadow.mOpacity = in.Float();
        shadow.mDrawForeground = in.Int(2);
        g.ApplyLayerDropShadow(layer, shadow);
        g.DrawLayer(layer, Blend(in, b));
        break;
      }
      }
    }
    break;
  case 24:
    switch (in.Int(9)) {
    case 0: g.PathClear(); break;
    case 1: {
      const float x = in.Float(), y = in.Float();
      g.PathMoveTo(x, y);
      break;
    }
    case 2: {
      const float x = in.Float(), y = in.Float();
      g.PathLineTo(x, y);
      break;
    }
    case 3: {
      const float cx = in.Float(), cy = in.Float(), r = in.Float(), a1 = in.Float(), a2 = in.Float();
      g.PathArc(cx, cy, r, a1, a2, in.Int(2));
      break;
    }
    case 4: {
      const float c[6] = {in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float()};
      g.PathCubicBezierTo(c[0], c[1], c[2], c[3], c[4], c[5]);
      break;
    }
    case 5: {
      const float c[4] = {in.Float(), in.Float(), in.Float(), in.Float()};
      g.PathQuadraticBezierTo(c[0], c[1], c[2], c[3]);
      break;
    }
    case 6: g.PathClose(); break;
    case 7: g.PathSetWinding(in.Int(3)); break;
    default: g.PathConvexPolygon(xs, ys, 0); break;
    }
    break;
  case 25:
    switch (in.Int(7)) {
    case 0: g.PathRect(in.Rect()); break;
    case 1: {
      const IRECT r = in.Rect();
      g.PathRoundRect(r, in.Float());
      break;
    }
    case 2: {
      const float x = in.Float(), y = in.Float(), r1 = in.Float(), r2 = in.Float(), angle = in.Float();
      g.PathEllipse(x, y, r1, r2, angle);
      break;
    }
    case 3: {
      const float cx = in.Float(), cy = in.Float(), r = in.Float();
      g.PathCircle(cx, cy, r);
      break;
    }
    case 4: {
      const float c[6] = {in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float()};
      g.PathTriangle(c[0], c[1], c[2], c[3], c[4], c[5]);
      break;
    }
    case 5: {
      const float cx = in.Float(), cy = in.Float(), angle = in.Float(), rMin = in.Float(), rMax = in.Float();
      g.PathRadialLine(cx, cy, angle, rMin, rMax);
      break;
    }
    default: {
      const int n = 1 + in.Int(8);
      for (int i = 0; i < n; ++i) {
        xs[i] = in.Float();
        ys[i] = in.Float();
      }
      g.PathConvexPolygon(xs, ys, n);
      break;
    }
    }
    break;
  case 26: {
    IStrokeOptions options;
    options.mMiterLimit = in.Float();
    options.mPreserve = in.Int(2);
    options.mCapOption = ELineCap(in.Int(3));
    options.mJoinOption = ELineJoin(in.Int(3));
    options.mDash.mCount = in.Int(9);
    for (int i = 0; i < options.mDash.mCount; ++i)
      options.mDash.mArray[i] = in.Float();
    options.mDash.mOffset = in.Float();
    const IPattern p = Pattern(in);
    const float thickness = in.Float();
    g.PathStroke(p, thickness, options, Blend(in, b));
    break;
  }
  case 27: {
    IFillOptions options;
    options.mFillRule = EFillRule(in.Int(3));
    options.mPreserve = in.Int(2);
    const IPattern p = Pattern(in);
    g.PathFill(p, options, Blend(in, b));
    break;
  }
  case 28: {
    const IRECT inner = in.Rect(), outer = in.Rect();
    const float drop = in.Float(), roundness = in.Float(), blur = in.Float();
    g.DrawFastDropShadow(inner, outer, drop, roundness, blur, Blend(in, b));
    break;
  }
  default: {
    // A control's own layer kept between frames, checked and redrawn.
    const IRECT r = in.Rect();
    g.StartLayer(this, r, true);
    g.FillRect(in.Color(), r);
    ILayerPtr layer = g.EndLayer();
    if (layer && g.CheckLayer(layer))
      g.DrawLayer(layer, Blend(in, b));
    break;
  }
  }
}

// The editor delegate of a plug-in without parameters.
class Delegate : public IGEditorDelegate {
public:
  Delegate() : IGEditorDelegate(0) {}
  void BeginInformHostOfParamChangeFromUI(int) override {}
  void EndInformHostOfParamChangeFromUI(int) override {}
};

struct World {
  Delegate delegate;
  Assets assets;
  Calls* calls = nullptr;
  NSView* view = nullptr;
  NSWindow* window = nullptr;
};

World& TheWorld()
{
  static World& w = *[] {
    auto* made = new World;
    if (!standin::RegisterBundleAtPath(VORELLE3_BUNDLE_DIR))
      fuzzsupport::Fail("the built bundle is missing");
    made->delegate.SetMakeGraphicsFunc([](IGEditorDelegate& d) -> IEditorGraphics* {
      auto* g = new IGraphicsMac(d, kW, kH, 60, 1.f);
      g->SetBundleID(editorlayout::kBundleID);
      g->SetSharedResourcesSubPath(editorlayout::kSharedResourcesSubPath);
      return g;
    });
    made->delegate.SetLayoutFunc([made](IGraphics* g) {
      if (!g->LoadFont("Roboto-Regular", "Roboto-Regular.ttf") || !g->LoadFont("verdana", "verdana.ttf") ||
          !g->LoadFont("verdanab", "verdanab.ttf"))
        fuzzsupport::Fail("the editor's fonts are missing");
      made->assets.bitmaps[0] = g->LoadBitmap("led_3.png", 3, false, 0);
      made->assets.bitmaps[1] = g->LoadBitmap("tune_but_small.png", 2, true, 0);
      made->assets.bitmaps[2] = g->LoadBitmap("match.png", 1, false, 0);
      made->assets.svg = g->LoadSVGFromData("calls.svg", kSVG, 0);
      made->calls = new Calls(g->GetBounds(), made->assets);
      g->AttachControl(made->calls);
    });
    // The view lays the editor out as it opens; a host's window shows it.
    made->view = static_cast<NSView*>(made->delegate.OpenWindow(nullptr));
    made->window = NSWindow::alloc()->initWithContentRect(NSMakeRect(100, 100, kW, kH), NSWindowStyleMaskTitled,
                                                          NSBackingStoreBuffered, NO);
    if (made->view)
      made->window->contentView()->addSubview(made->view);
    if (!made->view || !made->calls)
      fuzzsupport::Fail("no editor view");
    return made;
  }();
  return w;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > 4096)
    return 0;
  World& w = TheWorld();
  IGraphics* g = w.delegate.GetGraphics();
  w.calls->Run(data, size);
  // One frame of the view's timer: the control draws the calls.
  standin::RunMainRunLoopFor(1.0 / 60);
  standin::DrainAutoreleasePools();
  if (g->NLayers() != 0)
    fuzzsupport::Fail("a layer outlives the frame");
  if (!standin::GPUValidationErrors().empty())
    fuzzsupport::Fail("the GPU reports a misuse");
  return 0;
}
