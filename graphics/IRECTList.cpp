#include "IRECTList.h"

namespace plugin::igraphics {

void IRECTList::Set(int i, const IRECT& r)
{
  if (i >= 0 && i < Size())
    mRects[i] = r;
}

IRECT IRECTList::Get(int i) const { return (i >= 0 && i < Size()) ? mRects[i] : IRECT(); }

void IRECTList::PixelAlign(float s)
{
  for (IRECT& r : mRects)
    r = r.GetPixelAligned(s);
}

IRECT IRECTList::Bounds() const
{
  IRECT u;
  for (const IRECT& r : mRects)
    if (!r.Empty())
      u = u.Union(r);
  return u;
}

IRECT IRECTList::Shrink(const IRECT& r, const IRECT& x)
{
  if (x.L != r.L)
    return IRECT(r.L, r.T, x.L, r.B);
  if (x.T != r.T)
    return IRECT(r.L, r.T, r.R, x.T);
  if (x.R != r.R)
    return IRECT(x.R, r.T, r.R, r.B);
  return IRECT(r.L, x.B, r.R, r.B);
}

IRECT IRECTList::Split(const IRECT& r, const IRECT& x)
{
  if (r.L == x.L) {
    if (r.T == x.T) {
      Add(IRECT(x.R, r.T, r.R, x.B));
      return IRECT(r.L, x.B, r.R, r.B);
    }
    Add(IRECT(r.L, r.T, r.R, x.T));
    return IRECT(x.R, x.T, r.R, r.B);
  }
  if (r.T == x.T) {
    Add(IRECT(r.L, r.T, x.L, x.B));
    return IRECT(r.L, x.B, r.R, r.B);
  }
  Add(IRECT(r.L, r.T, r.R, x.T));
  return IRECT(r.L, x.T, x.L, r.B);
}

void IRECTList::Subtract(int idx, const IRECT& x)
{
  const IRECT r = mRects[idx];
  // Full-width bands above and below the overlap, then the parts left and
  // right of it: wherever x sits inside r, these tile r minus x exactly.
  const IRECT bands[4] = {IRECT(r.L, r.T, r.R, x.T), IRECT(r.L, x.B, r.R, r.B), IRECT(r.L, x.T, x.L, x.B),
                          IRECT(x.R, x.T, r.R, x.B)};
  bool placed = false;
  for (const IRECT& b : bands) {
    if (b.W() <= 0.f || b.H() <= 0.f)
      continue;
    if (!placed) {
      mRects[idx] = b;
      placed = true;
    } else
      mRects.push_back(b);
  }
  if (!placed)
    mRects.erase(mRects.begin() + idx);
}

void IRECTList::Optimize()
{
  // Pass 1: make interiors disjoint. Pieces cut off are appended at the end,
  // where the loops still reach them; every piece is a subset of a rect
  // already checked against the earlier entries.
  for (int i = 0; i < Size(); ++i) {
    bool iDeleted = false;
    for (int j = i + 1; j < Size();) {
      const IRECT a = mRects[i], b = mRects[j];
      if (a.Contains(b)) {
        mRects.erase(mRects.begin() + j);
        continue;
      }
      if (b.Contains(a)) {
        mRects.erase(mRects.begin() + i);
        iDeleted = true;
        break;
      }
      const IRECT x = a.Intersect(b);
      if (x.W() > 0.f && x.H() > 0.f) {
        // Cut the smaller one so the larger area stays in one piece.
        if (b.Area() <= a.Area()) {
          const int before = Size();
          Subtract(j, x);
          if (Size() < before)
            continue; // j vanished; the next rect moved into its slot
        } else {
          const int before = Size();
          Subtract(i, x);
          if (Size() < before) {
            iDeleted = true;
            break;
          }
        }
      }
      ++j;
    }
    if (iDeleted)
      --i;
  }

  // Pass 2: merge neighbours stacked in a column or lined up in a row.
  for (bool merged = true; merged;) {
    merged = false;
    for (int i = 0; i < Size() && !merged; ++i) {
      for (int j = i + 1; j < Size(); ++j) {
        if (IRECT::Mergeable(mRects[i], mRects[j])) {
          mRects[j] = mRects[i].Union(mRects[j]);
          mRects.erase(mRects.begin() + i);
          merged = true;
          break;
        }
      }
    }
  }
}

} // namespace plugin::igraphics
