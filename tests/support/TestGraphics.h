#pragma once
// Headless graphics context for tests: records every drawing and platform
// call as a line of text and every path with its transform and paint, holds
// real pixels for layers and decoded bitmaps, answers platform prompts from
// queues the test fills, and runs animations on a virtual clock the test
// advances. Header-only: only suites that link the graphics library include it.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "APIBitmap.h"
#include "IControl.h"
#include "IGEditorDelegate.h"
#include "IGraphics.h"
#include "IPluginStructs.h"
#include "TestImageCodec.h"

namespace testsupport {

using namespace plugin;
using namespace plugin::igraphics;

inline std::string Fmt(const char* fmt, double a = 0, double b = 0, double c = 0, double d = 0)
{
  char buf[160];
  std::snprintf(buf, sizeof(buf), fmt, a, b, c, d);
  return buf;
}

inline std::string RectStr(const IRECT& r) { return Fmt("(%g,%g,%g,%g)", r.L, r.T, r.R, r.B); }

// A back-end bitmap with its RGBA pixels (alpha last, rows top first).
class TestBitmap : public APIBitmap {
public:
  TestBitmap(int w, int h, float scale, float drawScale)
  : APIBitmap(0, w, h, scale, drawScale), mPixels(static_cast<std::size_t>(w > 0 ? w : 0) * (h > 0 ? h : 0) * 4, 0)
  {
  }
  std::uint8_t* At(int x, int y) { return &mPixels[(static_cast<std::size_t>(y) * GetWidth() + x) * 4]; }
  std::vector<std::uint8_t> mPixels;
};

// One path step as the back end received it, with the transform then in force.
struct PathOp {
  enum Kind { kMove, kLine, kArc, kCubic, kQuad, kClose, kWinding } kind;
  float v[6];
  IMatrix m;
};

// One stroke or fill with everything the core handed over.
struct PaintCall {
  bool isFill = false;
  IPattern pattern;
  float thickness = 0.f;
  IStrokeOptions stroke;
  IFillOptions fill;
  bool hasBlend = false;
  IBlend blend;
  std::vector<PathOp> path;
};

class TestGraphics : public IGraphics {
public:
  TestGraphics(IGEditorDelegate& dlg, int w, int h, int fps = 60, float scale = 1.f) : IGraphics(dlg, w, h, fps, scale)
  {
    SetClock([this] { return mNowMs; });
  }

  void Advance(double ms) { mNowMs += ms; }
  void Log(const std::string& s)
  {
    if (!mQuiet)
      mLog.push_back(s);
  }
  // Drops the record so far and returns it.
  std::vector<std::string> TakeLog()
  {
    auto l = std::move(mLog);
    mLog.clear();
    return l;
  }

  // One display tick as the platform runs it: dirty check, clean, draw.
  bool Tick(double ms = 1000.0 / 60.0)
  {
    Advance(ms);
    IRECTList rects;
    if (!IsDirty(rects))
      return false;
    SetAllControlsClean();
    DrawDirtyRects(rects);
    return true;
  }

  IColor GetDefaultColor() const override { return IColor(); }
  void* GetDrawContext() override { return nullptr; }
  const char* GetDrawingAPIStr() override { return "test"; }

  void BeginFrame() override
  {
    Log("BeginFrame");
    IGraphics::BeginFrame();
  }
  void EndFrame() override { Log("EndFrame"); }
  void DrawBitmap(const IBitmap& bitmap, const IRECT& bounds, int srcX, int srcY, const IBlend*) override
  {
    if (mQuiet)
      return;
    Log(std::string("DrawBitmap ") + bitmap.GetResourceName() + " " + RectStr(bounds) + Fmt(" src %g,%g", srcX, srcY));
    if (!mLayers.empty())
      RasterBitmap(bitmap, bounds, srcX, srcY);
  }
  bool BitmapExtSupported(const char* ext) override { return ext && std::string(ext) == "png"; }
  void GetLayerBitmapData(const ILayerPtr& layer, RawBitmapData& data) override
  {
    auto* b = layer ? dynamic_cast<TestBitmap*>(layer->mBitmap.get()) : nullptr;
    const int n = b ? static_cast<int>(b->mPixels.size()) : 0;
    data.Resize(n);
    if (n > 0 && data.GetSize() == n)
      std::memcpy(data.Get(), b->mPixels.data(), static_cast<std::size_t>(n));
  }
  // Colours the mask with the shadow's first stop (source-in), moves it by
  // the offset in pixels and puts it under the content (destination-over).
  void ApplyShadowMask(ILayerPtr& layer, RawBitmapData& mask, const IShadow& shadow) override
  {
    Log("ApplyShadowMask");
    if (!mQuiet)
      mLastMask.assign(mask.Get(), mask.Get() + mask.GetSize());
    auto* b = layer ? dynamic_cast<TestBitmap*>(layer->mBitmap.get()) : nullptr;
    if (!b || mask.GetSize() < static_cast<int>(b->mPixels.size()))
      return;
    if (!shadow.mDrawForeground)
      std::fill(b->mPixels.begin(), b->mPixels.end(), 0);
    const float pxPerPt = b->GetScale() * b->GetDrawScale();
    const int dx = static_cast<int>(std::lround(shadow.mXOffset * pxPerPt));
    const int dy = static_cast<int>(std::lround(shadow.mYOffset * pxPerPt));
    const IColor c = shadow.mPattern.mStops[0].mColor;
    const float opacity = std::clamp(shadow.mOpacity, 0.f, 1.f);
    const int w = b->GetWidth(), h = b->GetHeight();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int sx = x - dx, sy = y - dy;
        if (sx < 0 || sy < 0 || sx >= w || sy >= h)
          continue;
        const float sa = mask.Get()[(static_cast<std::size_t>(sy) * w + sx) * 4 + 3] / 255.f * c.A / 255.f * opacity;
        std::uint8_t* d = b->At(x, y);
        const float da = d[3] / 255.f;
        const float oa = da + sa * (1.f - da);
        if (oa <= 0.f)
          continue;
        const int rgb[3] = {c.R, c.G, c.B};
        for (int k = 0; k < 3; ++k)
          d[k] = static_cast<std::uint8_t>(std::lround((d[k] * da + rgb[k] * sa * (1.f - da)) / oa));
        d[3] = static_cast<std::uint8_t>(std::lround(oa * 255.f));
      }
  }
  void ReplaceLayerBitmapData(ILayerPtr& layer, const RawBitmapData& data) override
  {
    Log("ReplaceLayerBitmapData");
    auto* b = layer ? dynamic_cast<TestBitmap*>(layer->mBitmap.get()) : nullptr;
    if (b && data.GetSize() == static_cast<int>(b->mPixels.size()) && data.GetSize() > 0)
      std::memcpy(b->mPixels.data(), data.Get(), b->mPixels.size());
  }
  void AfterDrawControlHook(const IRECT& clip) override
  {
    if (!mQuiet)
      mAfterDraw.push_back(clip);
  }
  void UpdateLayer() override { Log(Fmt("UpdateLayer %g", static_cast<double>(mLayers.size()))); }
  bool IsContextReady() const override { return true; }
  // The layer drawn into now, or null.
  TestBitmap* TopLayerBitmap() const
  {
    return mLayers.empty() ? nullptr : dynamic_cast<TestBitmap*>(mLayers.top()->mBitmap.get());
  }
  // Fonts load when their name is in mFontFiles; the back end accepts ids
  // not in mRejectedFontIds.
  PlatformFontPtr LoadPlatformFont(const char* fontID, const char* file) override
  {
    Log(std::string("LoadPlatformFont ") + fontID + " " + file);
    return mFontFiles.count(file) ? std::make_unique<PlatformFont>() : nullptr;
  }
  PlatformFontPtr LoadPlatformFontFromData(const char* fontID, void* data, int size) override
  {
    Log(std::string("LoadPlatformFontFromData ") + fontID + Fmt(" %g", size));
    return data && size > 0 ? std::make_unique<PlatformFont>() : nullptr;
  }
  PlatformFontPtr LoadPlatformFontByName(const char* fontID, const char* name, ETextStyle style) override
  {
    Log(std::string("LoadPlatformFontByName ") + fontID + " " + name + Fmt(" %g", style));
    return mFontFiles.count(name) ? std::make_unique<PlatformFont>() : nullptr;
  }
  void CachePlatformFont(const char* fontID, const PlatformFontPtr&) override
  {
    Log(std::string("CachePlatformFont ") + fontID);
  }
  // Files and bytes are decoded for real; each decode is counted.
  APIBitmap* LoadAPIBitmap(const char* path, int scale, int, const char*) override
  {
    ++mBitmapLoads;
    Log(Fmt("LoadAPIBitmap %g ", scale) + path);
    RGBAImage image;
    return DecodeImageFile(path, image) ? MakeBitmap(image, static_cast<float>(scale)) : nullptr;
  }
  APIBitmap* LoadAPIBitmapFromData(const char* name, const void* data, int size, int scale) override
  {
    ++mBitmapLoads;
    Log(Fmt("LoadAPIBitmapFromData %g ", scale) + name);
    RGBAImage image;
    return DecodeImageBytes(data, size, image) ? MakeBitmap(image, static_cast<float>(scale)) : nullptr;
  }
  APIBitmap* CreateAPIBitmap(int w, int h, float scale, double drawScale, bool) override
  {
    Log(Fmt("CreateAPIBitmap %gx%g scale %g draw %g", w, h, scale, drawScale));
    // As a GPU back end does, a side past the texture limit gets no pixels.
    constexpr int kMaxSide = 16384;
    const bool fits = w <= kMaxSide && h <= kMaxSide;
    return new TestBitmap(fits ? w : 0, fits ? h : 0, scale, static_cast<float>(drawScale));
  }
  static TestBitmap* MakeBitmap(const RGBAImage& image, float scale)
  {
    auto* b = new TestBitmap(image.w, image.h, scale, 1.f);
    b->mPixels = image.px;
    return b;
  }
  bool LoadAPIFont(const char* fontID, const PlatformFontPtr&) override
  {
    Log(std::string("LoadAPIFont ") + fontID);
    return !mRejectedFontIds.count(fontID);
  }
  int AlphaChannelIndex() const override { return 3; }
  bool FlippedBitmap() const override { return mFlipped; }
  // Every character is 7 points wide and the text 10 high, at the top left.
  float DoMeasureText(const IText&, const char* str, IRECT& bounds) override
  {
    const float w = 7.f * static_cast<float>(std::strlen(str));
    bounds = IRECT(bounds.L, bounds.T, bounds.L + w, bounds.T + 10.f);
    return w;
  }
  void DoDrawText(const IText&, const char* str, const IRECT& bounds, const IBlend*) override
  {
    if (mQuiet)
      return;
    Log(std::string("DrawText \"") + str + "\" " + RectStr(bounds));
  }
  void PathClear() override
  {
    mPath.clear();
    if (mLogPaths)
      Log("PathClear");
  }
  void PathClose() override
  {
    Op(PathOp::kClose);
    if (mLogPaths)
      Log("PathClose");
  }
  void PathArc(float cx, float cy, float r, float a1, float a2, int winding) override
  {
    Op(PathOp::kArc, cx, cy, r, a1, a2, static_cast<float>(winding));
    if (mQuiet)
      return;
    Log(mLogPaths ? Fmt("PathArc %g,%g r%g ", cx, cy, r) + Fmt("%g..%g", a1, a2) : Fmt("PathArc %g,%g r%g", cx, cy, r));
  }
  void PathMoveTo(float x, float y) override
  {
    Op(PathOp::kMove, x, y);
    if (mLogPaths)
      Log(Fmt("PathMoveTo %g,%g", x, y));
  }
  void PathLineTo(float x, float y) override
  {
    Op(PathOp::kLine, x, y);
    if (mLogPaths)
      Log(Fmt("PathLineTo %g,%g", x, y));
  }
  void PathSetWinding(int winding) override { Op(PathOp::kWinding, static_cast<float>(winding)); }
  void PathCubicBezierTo(float c1x, float c1y, float c2x, float c2y, float x2, float y2) override
  {
    Op(PathOp::kCubic, c1x, c1y, c2x, c2y, x2, y2);
  }
  void PathQuadraticBezierTo(float cx, float cy, float x2, float y2) override { Op(PathOp::kQuad, cx, cy, x2, y2); }
  void PathStroke(const IPattern& p, float thickness, const IStrokeOptions& o, const IBlend* blend) override
  {
    if (!mQuiet) {
      Log(Fmt("PathStroke %g", thickness));
      PaintCall call;
      call.pattern = p;
      call.thickness = thickness;
      call.stroke = o;
      call.hasBlend = blend != nullptr;
      if (blend)
        call.blend = *blend;
      call.path = mPath;
      mPaints.push_back(std::move(call));
    }
    if (!o.mPreserve)
      mPath.clear();
  }
  void PathFill(const IPattern& p, const IFillOptions& o, const IBlend* blend) override
  {
    if (!mQuiet) {
      Log(Fmt("PathFill %g,%g,%g,%g", p.mStops[0].mColor.A, p.mStops[0].mColor.R, p.mStops[0].mColor.G,
              p.mStops[0].mColor.B));
      PaintCall call;
      call.isFill = true;
      call.pattern = p;
      call.fill = o;
      call.hasBlend = blend != nullptr;
      if (blend)
        call.blend = *blend;
      call.path = mPath;
      mPaints.push_back(std::move(call));
    }
    if (!o.mPreserve)
      mPath.clear();
  }
  void PathTransformSetMatrix(const IMatrix& m) override
  {
    mMatrix = m;
    if (mLogPaths)
      Log(Fmt("Matrix %g %g %g %g", m.mXX, m.mYX, m.mXY, m.mYY) + Fmt(" %g %g", m.mTX, m.mTY));
  }
  void SetClipRegion(const IRECT& r) override
  {
    mClip = r;
    if (!mQuiet)
      Log(std::string("Clip ").append(RectStr(r)));
  }

  // Nearest-neighbour copy of the bitmap's pixels into the top layer, through
  // the inverse of the current transform.
  void RasterBitmap(const IBitmap& bitmap, const IRECT& bounds, int srcX, int srcY)
  {
    auto* src = dynamic_cast<TestBitmap*>(bitmap.GetAPIBitmap());
    TestBitmap* dst = TopLayerBitmap();
    if (!src || !dst)
      return;
    const IRECT& area = mLayers.top()->mRECT;
    const double s = dst->GetScale() * dst->GetDrawScale();
    const IMatrix& m = mMatrix;
    const double det = m.mXX * m.mYY - m.mXY * m.mYX;
    if (det == 0.0)
      return;
    for (int py = 0; py < dst->GetHeight(); ++py)
      for (int px = 0; px < dst->GetWidth(); ++px) {
        const double X = area.L + (px + 0.5) / s - m.mTX, Y = area.T + (py + 0.5) / s - m.mTY;
        const double lx = (m.mYY * X - m.mXY * Y) / det, ly = (-m.mYX * X + m.mXX * Y) / det;
        if (lx < bounds.L || lx >= bounds.R || ly < bounds.T || ly >= bounds.B)
          continue;
        const int sx = static_cast<int>(std::floor((srcX + lx - bounds.L) * src->GetScale()));
        const int sy = static_cast<int>(std::floor((srcY + ly - bounds.T) * src->GetScale()));
        if (sx < 0 || sy < 0 || sx >= src->GetWidth() || sy >= src->GetHeight())
          continue;
        std::memcpy(dst->At(px, py), src->At(sx, sy), 4);
      }
  }

  void GetMouseLocation(float& x, float& y) const override
  {
    x = mMouseX;
    y = mMouseY;
  }
  void HideMouseCursor(bool hide, bool lock) override
  {
    Log(Fmt("HideMouseCursor %g %g", hide, lock));
    mCursorHidden = hide;
  }
  void MoveMouseCursor(float x, float y) override { Log(Fmt("MoveMouseCursor %g,%g", x, y)); }
  void EndUserInput(bool commit) override { Log(Fmt("EndUserInput %g", commit)); }
  void* OpenWindow(void*) override
  {
    Log("OpenWindow");
    mWindowOpen = true;
    return this;
  }
  void CloseWindow() override
  {
    Log("CloseWindow");
    mWindowOpen = false;
  }
  void* GetWindow() override { return mWindowOpen ? this : nullptr; }
  bool GetTextFromClipboard(UT_String& str) override
  {
    str.Set(mClipboard.c_str());
    return true;
  }
  bool SetTextInClipboard(const char* str) override
  {
    mClipboard = str ? str : "";
    return true;
  }
  void UpdateTooltips() override { Log("UpdateTooltips"); }
  int ShowMessageBox(const char* str, const char* caption, int, std::function<void(int)>) override
  {
    Log(std::string("MessageBox ") + (caption ? caption : "") + ": " + (str ? str : ""));
    return 1;
  }
  void PromptForFile(UT_String& fileName, UT_String&, int, const char*) override { fileName.Set(""); }
  void PromptForDirectory(UT_String& dir) override { dir.Set(""); }
  bool PromptForColor(IColor&, const char*, std::function<void(const IColor&)>) override { return false; }
  bool OpenURL(const char* url, const char*, const char*, const char*) override
  {
    Log(std::string("OpenURL ") + (url ? url : ""));
    return true;
  }
  void CreatePlatformTextEntry(int paramIdx, const IText&, const IRECT& bounds, int length, const char* str) override
  {
    Log(Fmt("TextEntry param %g len %g ", paramIdx, length) + RectStr(bounds) + " \"" + (str ? str : "") + "\"");
  }
  // Answers with the next queued item index (-1 dismisses), synchronously.
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRECT& bounds, bool& isAsync) override
  {
    Log(std::string("PopupMenu \"") + menu.GetRootTitle() + "\" " + Fmt("%g items ", menu.NItems()) + RectStr(bounds));
    isAsync = false;
    const int choice = mMenuAnswers.empty() ? -1 : mMenuAnswers.front();
    if (!mMenuAnswers.empty())
      mMenuAnswers.pop_front();
    menu.SetChosenItemIdx(choice);
    return choice >= 0 ? &menu : nullptr;
  }
  void PlatformResize(bool parentResized) override { Log(Fmt("PlatformResize %g", parentResized)); }
  void DrawResize() override { Log("DrawResize"); }
  float GetPlatformWindowScale() const override { return mWindowScale; }

  void Op(PathOp::Kind kind, float a = 0, float b = 0, float c = 0, float d = 0, float e = 0, float f = 0)
  {
    if (mQuiet)
      return;
    if (mPath.size() >= mPathStepLimit)
      throw PathStepLimitReached();
    mPath.push_back(PathOp{kind, {a, b, c, d, e, f}, mMatrix});
  }
  std::vector<PaintCall> TakePaints()
  {
    auto p = std::move(mPaints);
    mPaints.clear();
    return p;
  }

  double mNowMs = 1000.0;
  // Nothing is recorded (no heap use of the back end's own), for allocation counts.
  bool mQuiet = false;
  std::vector<PathOp> mPath;
  // A path longer than this throws, so that drawing without bound fails a
  // test at once instead of exhausting memory.
  struct PathStepLimitReached {};
  std::size_t mPathStepLimit = std::numeric_limits<std::size_t>::max();
  std::vector<PaintCall> mPaints;
  IMatrix mMatrix;
  IRECT mClip;
  int mBitmapLoads = 0;
  bool mFlipped = false;
  std::vector<IRECT> mAfterDraw;
  std::vector<std::uint8_t> mLastMask;
  // Path building and transforms are logged only when asked, so frame logs
  // stay short.
  bool mLogPaths = false;
  std::set<std::string> mFontFiles;
  std::set<std::string> mRejectedFontIds;
  float mMouseX = 0.f, mMouseY = 0.f;
  float mWindowScale = 1.f;
  bool mWindowOpen = false;
  std::string mClipboard;
  std::deque<int> mMenuAnswers;
  std::vector<std::string> mLog;
};

// Editor delegate that records what the graphics core and controls send it.
class TestDelegate : public IGEditorDelegate {
public:
  explicit TestDelegate(int nParams = 4) : IGEditorDelegate(nParams) { SetSizeConstraints(100, 4000, 100, 4000); }

  void BeginInformHostOfParamChangeFromUI(int p) override { mLog.push_back(Fmt("Begin %g", p)); }
  void EndInformHostOfParamChangeFromUI(int p) override { mLog.push_back(Fmt("End %g", p)); }
  void SendParameterValueFromUI(int p, double v, bool notify) override
  {
    mLog.push_back(Fmt("Send %g %.4g", p, v));
    IGEditorDelegate::SendParameterValueFromUI(p, v, notify);
  }
  bool EditorResizeFromUI(int w, int h, bool needsPlatformResize) override
  {
    mLog.push_back(Fmt("EditorResize %gx%g %g", w, h, needsPlatformResize));
    return needsPlatformResize;
  }
  void SendMidiMsgFromUI(const IMidiMsg& m) override
  {
    mLog.push_back(Fmt("Midi %g %g %g", m.mStatus, m.mData1, m.mData2));
  }
  void OnUIMouseDown() override { mLog.push_back("UIMouseDown"); }
  void OnUIMouseUp() override { mLog.push_back("UIMouseUp"); }
  void OnUIOpen() override
  {
    mLog.push_back("OnUIOpen");
    IGEditorDelegate::OnUIOpen();
  }
  void OnUIClose() override { mLog.push_back("OnUIClose"); }

  std::vector<std::string> TakeLog()
  {
    auto l = std::move(mLog);
    mLog.clear();
    return l;
  }

  std::vector<std::string> mLog;
};

// Control that records its callbacks (into its graphics' log when attached
// to a TestGraphics) and draws one filled rect.
class RecordingControl : public IControl {
public:
  RecordingControl(const char* name, const IRECT& r, int paramIdx = -1) : IControl(r, paramIdx), mName(name) {}
  RecordingControl(const char* name, const IRECT& r, const std::vector<int>& params) : IControl(r, params), mName(name)
  {
  }
  ~RecordingControl() override
  {
    if (mDestroyed)
      ++*mDestroyed;
  }

  void Rec(const std::string& s)
  {
    if (auto* g = dynamic_cast<TestGraphics*>(GetUI()))
      g->Log(mName + " " + s);
  }

  void Draw(IGraphics&) override { Rec("Draw"); }
  void OnMouseDown(float x, float y, const IMouseMod& m) override
  {
    Rec(Fmt("Down %g,%g", x, y));
    IControl::OnMouseDown(x, y, m);
  }
  void OnMouseUp(float x, float y, const IMouseMod&) override { Rec(Fmt("Up %g,%g", x, y)); }
  void OnMouseDrag(float x, float y, float dx, float dy, const IMouseMod&) override
  {
    Rec(Fmt("Drag %g,%g d%g,%g", x, y, dx, dy));
    if (mDragSetsValue) {
      SetValue(GetValue() + dy * -0.01);
      SetDirty(true, 0);
    }
  }
  void OnMouseDblClick(float x, float y, const IMouseMod& m) override
  {
    Rec("DblClick");
    IControl::OnMouseDblClick(x, y, m);
  }
  void OnMouseWheel(float, float, const IMouseMod&, float d) override { Rec(Fmt("Wheel %g", d)); }
  bool OnKeyDown(float, float, const IKeyPress& k) override
  {
    Rec(Fmt("KeyDown %g", k.VK));
    return mUsesKeys;
  }
  bool OnKeyUp(float, float, const IKeyPress& k) override
  {
    Rec(Fmt("KeyUp %g", k.VK));
    return mUsesKeys;
  }
  void OnMouseOver(float x, float y, const IMouseMod& m) override
  {
    Rec("Over");
    IControl::OnMouseOver(x, y, m);
  }
  void OnMouseOut() override
  {
    Rec("Out");
    IControl::OnMouseOut();
  }
  void OnDrop(const char* s) override { Rec(std::string("Drop ") + s); }
  void OnTouchCancelled(float, float, const IMouseMod&) override { Rec("TouchCancelled"); }
  void CreateContextMenu(IPopupMenu& menu) override
  {
    Rec("CreateContextMenu");
    for (const std::string& item : mContextItems)
      menu.AddItem(item.c_str());
  }
  void OnContextSelection(int idx) override { Rec(Fmt("ContextSelection %g", idx)); }
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override
  {
    Rec(Fmt("PopupSelection %g %g", menu ? menu->GetChosenItemIdx() : -1, valIdx));
    IControl::OnPopupMenuSelection(menu, valIdx);
  }
  void OnTextEntryCompletion(const char* s, int valIdx) override { Rec(Fmt("TextDone %g ", valIdx) + (s ? s : "")); }
  void OnMidi(const IMidiMsg& m) override { Rec(Fmt("Midi %g", m.mData1)); }
  void OnMsgFromDelegate(int tag, int size, const void*) override { Rec(Fmt("Msg %g %g", tag, size)); }
  void OnResize() override { Rec("OnResize"); }
  void OnRescale() override { Rec("OnRescale"); }
  void OnInit() override { Rec("OnInit"); }
  void OnAttached() override { Rec("OnAttached"); }

  std::string mName;
  bool mUsesKeys = false;
  bool mDragSetsValue = false;
  int* mDestroyed = nullptr;
  std::vector<std::string> mContextItems;
};

// Draws through a function of the test.
struct DrawingControl : RecordingControl {
  DrawingControl(const char* name, const IRECT& r, std::function<void(IGraphics&)> f)
  : RecordingControl(name, r), draw(std::move(f))
  {
  }
  void Draw(IGraphics& g) override
  {
    RecordingControl::Draw(g);
    draw(g);
  }
  std::function<void(IGraphics&)> draw;
};

// Recording stand-ins for the special controls, each with its slot side.
class RecordingPopup : public RecordingControl, public IPopupMenuSlot {
public:
  RecordingPopup(const char* name, const IRECT& r) : RecordingControl(name, r) {}
  bool IsMenuOpen() const override { return mOpen; }
  void CreatePopupMenu(IPopupMenu& menu, const IRECT&) override
  {
    mShown = &menu;
    mOpen = true;
  }
  void CollapseWithoutChoice() override
  {
    Rec("Collapse");
    mOpen = false;
    if (GetUI())
      GetUI()->SetControlValueAfterPopupMenu(nullptr);
  }
  bool mOpen = false;
  IPopupMenu* mShown = nullptr;
};

class RecordingTextEntry : public RecordingControl, public ITextEntrySlot {
public:
  RecordingTextEntry(const char* name, const IRECT& r) : RecordingControl(name, r) {}
  bool EditInProgress() const override { return mEditing; }
  void CreateTextEntry(int paramIdx, const IText&, const IRECT&, int length, const char* str) override
  {
    mOpened = std::to_string(paramIdx) + ":" + std::to_string(length) + ":" + (str ? str : "");
    mEditing = true;
  }
  void DismissEdit() override
  {
    Rec("Dismiss");
    mEditing = false;
  }
  bool mEditing = false;
  std::string mOpened;
};

class RecordingBubble : public RecordingControl, public IBubbleSlot {
public:
  RecordingBubble(const char* name, const IRECT& r) : RecordingControl(name, r) {}
  void ShowBubble(IControl*, const char* str, EDirection dir, std::uint64_t touchId, float x, float y, IRECT) override
  {
    Rec(Fmt("Show %g,%g dir %g touch %g ", x, y, dir, static_cast<double>(touchId)) + str);
  }
  std::uint64_t GetTouchId() const override { return mTouch; }
  std::uint64_t mTouch = 0;
};

class RecordingFrameTime : public RecordingControl, public IFrameTimeSlot {
public:
  RecordingFrameTime(const char* name, const IRECT& r) : RecordingControl(name, r) {}
  void Update(float s) override { mSamples.push_back(s); }
  std::vector<float> mSamples;
};

} // namespace testsupport
