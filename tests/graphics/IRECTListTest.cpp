// The optimised dirty list must cover exactly the input area, with no two
// rectangles sharing interior: checked cell by cell on a fine pixel grid.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "IRECTList.h"

using plugin::igraphics::IRECT;
using plugin::igraphics::IRECTList;

namespace {

constexpr float kCell = 0.5f; // grid of the random edges
constexpr int kCells = 64;    // 32 points at half-point resolution

// Cover count of every cell (by its centre) over a set of rects.
std::vector<int> CoverCounts(const std::vector<IRECT>& rects)
{
  std::vector<int> counts(kCells * kCells, 0);
  for (const IRECT& r : rects)
    for (int cy = 0; cy < kCells; ++cy)
      for (int cx = 0; cx < kCells; ++cx) {
        const float x = (cx + 0.5f) * kCell, y = (cy + 0.5f) * kCell;
        if (x > r.L && x < r.R && y > r.T && y < r.B)
          ++counts[cy * kCells + cx];
      }
  return counts;
}

std::vector<IRECT> Contents(const IRECTList& list)
{
  std::vector<IRECT> v;
  for (int i = 0; i < list.Size(); ++i)
    v.push_back(list.Get(i));
  return v;
}

void ExpectExactCover(const std::vector<IRECT>& input, const IRECTList& out)
{
  const std::vector<int> in = CoverCounts(input);
  const std::vector<int> res = CoverCounts(Contents(out));
  for (int c = 0; c < kCells * kCells; ++c) {
    ASSERT_EQ(in[c] > 0, res[c] > 0) << "cell " << c % kCells << "," << c / kCells << " coverage changed";
    ASSERT_LE(res[c], 1) << "cell " << c % kCells << "," << c / kCells << " covered twice";
  }
}

} // namespace

TEST(IRECTList, BandCrossingTheMiddleKeepsTheStripRightOfTheOverlap)
{
  IRECTList list;
  const std::vector<IRECT> input = {IRECT(0, 4, 12, 6), IRECT(5, 0, 7, 12)};
  for (const IRECT& r : input)
    list.Add(r);
  list.Optimize();
  ExpectExactCover(input, list);
}

TEST(IRECTList, EqualRectanglesOptimiseToOne)
{
  IRECTList list;
  list.Add(IRECT(1, 2, 3, 4));
  list.Add(IRECT(1, 2, 3, 4));
  list.Optimize();
  ASSERT_EQ(list.Size(), 1);
  EXPECT_EQ(list.Get(0), IRECT(1, 2, 3, 4));
}

TEST(IRECTList, RectangleInsideAnotherDisappears)
{
  IRECTList list;
  list.Add(IRECT(2, 2, 4, 4));
  list.Add(IRECT(0, 0, 10, 10));
  list.Optimize();
  ASSERT_EQ(list.Size(), 1);
  EXPECT_EQ(list.Get(0), IRECT(0, 0, 10, 10));
}

TEST(IRECTList, StackedRectanglesMergeIntoOneColumn)
{
  IRECTList list;
  list.Add(IRECT(0, 0, 10, 10));
  list.Add(IRECT(0, 10, 10, 20));
  list.Optimize();
  ASSERT_EQ(list.Size(), 1);
  EXPECT_EQ(list.Get(0), IRECT(0, 0, 10, 20));
}

TEST(IRECTList, OverlappingCornersBecomeDisjointPiecesOfTheSameArea)
{
  const std::vector<IRECT> input = {IRECT(0, 0, 10, 10), IRECT(5, 5, 15, 15)};
  IRECTList list;
  for (const IRECT& r : input)
    list.Add(r);
  list.Optimize();
  ExpectExactCover(input, list);
  EXPECT_GE(list.Size(), 2);
}

TEST(IRECTList, SplitAndShrinkCutTheDocumentedPieces)
{
  struct Case {
    IRECT r, x, kept, appended;
  };
  const Case cases[] = {
    {IRECT(0, 0, 10, 10), IRECT(0, 0, 4, 4), IRECT(0, 4, 10, 10), IRECT(4, 0, 10, 4)},
    {IRECT(0, 0, 10, 10), IRECT(0, 6, 4, 10), IRECT(4, 6, 10, 10), IRECT(0, 0, 10, 6)},
    {IRECT(0, 0, 10, 10), IRECT(6, 0, 10, 4), IRECT(0, 4, 10, 10), IRECT(0, 0, 6, 4)},
    {IRECT(0, 0, 10, 10), IRECT(6, 6, 10, 10), IRECT(0, 6, 6, 10), IRECT(0, 0, 10, 6)},
  };
  for (const Case& c : cases) {
    IRECTList list;
    EXPECT_EQ(list.Split(c.r, c.x), c.kept);
    ASSERT_EQ(list.Size(), 1);
    EXPECT_EQ(list.Get(0), c.appended);
  }
  EXPECT_EQ(IRECTList::Shrink(IRECT(0, 0, 10, 10), IRECT(6, 0, 10, 10)), IRECT(0, 0, 6, 10));
  EXPECT_EQ(IRECTList::Shrink(IRECT(0, 0, 10, 10), IRECT(0, 6, 10, 10)), IRECT(0, 0, 10, 6));
  EXPECT_EQ(IRECTList::Shrink(IRECT(0, 0, 10, 10), IRECT(0, 0, 4, 10)), IRECT(4, 0, 10, 10));
  EXPECT_EQ(IRECTList::Shrink(IRECT(0, 0, 10, 10), IRECT(0, 0, 10, 4)), IRECT(0, 4, 10, 10));
}

TEST(IRECTList, RandomRectanglesOptimiseToAnExactDisjointCover)
{
  std::mt19937 rng(20240611u);
  std::uniform_int_distribution<int> edge(0, kCells);
  std::uniform_int_distribution<int> count(1, 14);
  for (int trial = 0; trial < 400; ++trial) {
    std::vector<IRECT> input;
    IRECTList list;
    const int n = count(rng);
    for (int k = 0; k < n; ++k) {
      int l = edge(rng), r = edge(rng), t = edge(rng), b = edge(rng);
      if (l > r)
        std::swap(l, r);
      if (t > b)
        std::swap(t, b);
      const IRECT rect(l * kCell, t * kCell, r * kCell, b * kCell);
      input.push_back(rect);
      list.Add(rect);
    }
    list.Optimize();
    SCOPED_TRACE(trial);
    ExpectExactCover(input, list);
  }
}
