#pragma once
// Dirty-rectangle list. Optimize() reduces it to rectangles with pairwise
// disjoint interiors that cover exactly the same area as the input.

#include <vector>

#include "IRECT.h"

namespace plugin::igraphics {

class IRECTList {
public:
  void Add(const IRECT& r) { mRects.push_back(r); }
  void Set(int i, const IRECT& r);
  // Out of range gives the empty rect.
  IRECT Get(int i) const;
  int Size() const { return static_cast<int>(mRects.size()); }
  void Clear() { mRects.clear(); }

  // Pixel-aligns every rect outward at scale s.
  void PixelAlign(float s);
  // Union of all non-empty rects (empty when there are none).
  IRECT Bounds() const;

  void Optimize();

  // Removes the side band x from r (x must span one whole side of r).
  static IRECT Shrink(const IRECT& r, const IRECT& x);
  // x lies inside r, in a corner or along the left/top side: appends one
  // remaining piece of r and returns the other.
  IRECT Split(const IRECT& r, const IRECT& x);

private:
  // Replaces mRects[idx] by r minus x and appends its further pieces.
  void Subtract(int idx, const IRECT& x);

  std::vector<IRECT> mRects;
};

} // namespace plugin::igraphics
