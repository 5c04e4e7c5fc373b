#pragma once
// Multi-value vector controls: one control holds several values, each drawn
// as a track that fills with its value, optionally cut into steps, with
// names, peaks, a base line and per-track highlight. The range slider puts
// two or more values on one shared track as triangular handles that never
// pass each other, the span between neighbours filled.

#include <string>
#include <vector>

#include "IControl.h"
#include "IVectorBase.h"

namespace plugin::igraphics {

class IVTrackControlBase : public IControl, public IVectorBase {
public:
  // One value per entry of params (-1 for an unlinked value).
  IVTrackControlBase(const IRECT& bounds, const char* label, const IVStyle& style, const std::vector<int>& params,
                     int nSteps = 0, EDirection direction = kVertical, const std::vector<const char*>& trackNames = {});

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override { DrawAllTracks(g); }
  // The control's background and, above 0, the base line.
  void DrawBackground(IGraphics& g, const IRECT& r) override;
  virtual void DrawTrack(IGraphics& g, const IRECT& r, int chIdx);
  virtual void DrawTrackBackground(IGraphics& g, const IRECT& r, int chIdx);
  virtual void DrawTrackName(IGraphics& g, const IRECT& r, int chIdx);
  virtual void DrawTrackHandle(IGraphics& g, const IRECT& r, int chIdx, bool aboveBaseValue);
  virtual void DrawPeak(IGraphics& g, const IRECT& r, int chIdx, bool aboveBaseValue);
  virtual void MakeTrackRects(const IRECT& bounds);
  virtual void MakeStepRects(const IRECT& bounds, int nSteps);

  void OnResize() override;
  int GetValIdxForPos(float x, float y) const override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;

  void SetBaseLine(double v)
  {
    mBaseLine = v;
    SetDirty(false, -1);
  }
  void SetHighlightedTrack(int i)
  {
    mHighlightTrack = i;
    SetDirty(false, -1);
  }
  void SetTrackGap(float gap)
  {
    mTrackGap = gap;
    OnResize();
  }
  void SetPeakThickness(float t)
  {
    mPeakThickness = t;
    SetDirty(false, -1);
  }
  void SetZeroStepCell(bool on)
  {
    mZeroStepCell = on;
    OnResize();
  }
  int GetHoverTrack() const { return mHoverTrack; }
  const std::vector<IRECT>& GetTrackRects() const { return mTrackRects; }
  const std::vector<IRECT>& GetStepCells() const { return mStepCells; }

protected:
  void DrawAllTracks(IGraphics& g);
  bool HasTrackNames() const { return !mTrackNameList.empty(); }

  EDirection mDirection;
  std::vector<IRECT> mTrackRects;
  std::vector<IRECT> mStepCells;
  std::vector<std::string> mTrackNameList;
  int mStepCount;
  float mTrackGap = 0.f;
  float mPeakThickness = 1.f;
  int mHighlightTrack = -1;
  int mHoverTrack = -1;
  double mBaseLine = 0.0;
  bool mFrameTracks = true;
  bool mZeroStepCell = true;
};

class IVRangeSliderControl : public IVTrackControlBase {
public:
  IVRangeSliderControl(const IRECT& bounds, const std::vector<int>& params = {-1, -1}, const char* label = "",
                       const IVStyle& style = DEFAULT_STYLE, EDirection direction = kHorizontal, float handleSize = 8.f,
                       float trackSize = 2.f);

  void Draw(IGraphics& g) override;
  void DrawWidget(IGraphics& g) override;
  // Draws handle chIdx.
  void DrawTrack(IGraphics& g, const IRECT& r, int chIdx) override;
  void MakeTrackRects(const IRECT& bounds) override;

  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;

  // Handle i on the shared track: odd handles above (right of) the track,
  // even ones below (left of) it.
  IRECT GetHandleBounds(int i) const;
  // First handle containing the point, -1 for none.
  int HandleAt(float x, float y) const;
  int GetHoverHandle() const { return mHoverHandle; }

protected:
  int mHoverHandle = -1;
  float mHandleHalfSize;
  bool mHandleHeld = false;
};

} // namespace plugin::igraphics
