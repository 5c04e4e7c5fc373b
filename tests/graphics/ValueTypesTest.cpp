// Rectangle, matrix and constant semantics the dirty-rect, hit-test and
// drawing code rely on.

#include <gtest/gtest.h>

#include <cmath>

#include "IGraphicsConstants.h"
#include "IRECT.h"

using namespace plugin::igraphics;

namespace {
constexpr double kMatrixTol = 1e-6;
}

TEST(IRECT, OnlyTheAllZeroRectIsEmpty)
{
  EXPECT_TRUE(IRECT(0, 0, 0, 0).Empty());
  EXPECT_FALSE(IRECT(5, 5, 5, 5).Empty());
  EXPECT_FALSE(IRECT(0, 0, 0, 1).Empty());
}

TEST(IRECT, EmptyRectIntersectsNothingAndUnionsToTheOther)
{
  const IRECT r(1, 2, 3, 4);
  EXPECT_TRUE(r.Intersect(IRECT()).Empty());
  EXPECT_TRUE(IRECT().Intersect(r).Empty());
  EXPECT_EQ(IRECT().Union(r), r);
  EXPECT_EQ(r.Union(IRECT()), r);
  EXPECT_EQ(r.Union(IRECT(-1, 5, 2, 6)), IRECT(-1, 2, 3, 6));
}

TEST(IRECT, TouchingOnTheRightIntersectsButTouchingOnTheLeftDoesNot)
{
  const IRECT first(0, 0, 10, 10);
  struct Case {
    IRECT second;
    bool hit;
  };
  const Case cases[] = {
    {IRECT(10, 0, 20, 10), true},  // first.R == second.L
    {IRECT(-10, 0, 0, 10), false}, // first.L == second.R
    {IRECT(0, 10, 10, 20), true},  // first.B == second.T
    {IRECT(0, -10, 10, 0), false}, // first.T == second.B
  };
  for (const Case& c : cases)
    EXPECT_EQ(first.Intersects(c.second), c.hit);
  EXPECT_EQ(first.Intersect(IRECT(10, 0, 20, 10)), IRECT(10, 0, 10, 10));
}

TEST(IRECT, PointContainmentIsLeftTopInclusive)
{
  const IRECT r(10, 10, 20, 20);
  EXPECT_TRUE(r.Contains(10.f, 10.f));
  EXPECT_FALSE(r.Contains(20.f, 15.f));
  EXPECT_FALSE(r.Contains(15.f, 20.f));
  EXPECT_FALSE(IRECT().Contains(0.f, 0.f));
}

TEST(IRECT, PixelAlignmentRoundsOutwardAtTheScale)
{
  EXPECT_EQ(IRECT(9.25f, 9.25f, 20.75f, 20.75f).GetPixelAligned(2.f), IRECT(9.f, 9.f, 21.f, 21.f));
  EXPECT_EQ(IRECT(0.3f, 0.6f, 1.2f, 1.9f).GetPixelAligned(1.f), IRECT(0.f, 0.f, 2.f, 2.f));
}

TEST(IPattern, SolidPatternFromRedHasOneStopAndIdentity)
{
  const IPattern p(COLOR_RED);
  EXPECT_EQ(p.mType, kSolidPattern);
  EXPECT_EQ(p.mExtend, kExtendPad);
  EXPECT_EQ(p.mNStops, 1);
  EXPECT_EQ(p.mStops[0].mColor, COLOR_RED);
  EXPECT_EQ(p.mStops[0].mOffset, 0.f);
  EXPECT_EQ(p.mStops[5].mColor, COLOR_BLACK);
  EXPECT_EQ(p.mTransform, IMatrix());
}

TEST(IMatrix, RotatingByNinetyDegreesTurnsRightIntoDown)
{
  IMatrix m;
  m.Rotate(90.f);
  double x = 1.0, y = 0.0;
  m.TransformPoint(x, y);
  EXPECT_NEAR(x, 0.0, kMatrixTol);
  EXPECT_NEAR(y, 1.0, kMatrixTol);
}

TEST(IMatrix, OperationsApplyToPointsBeforeTheExistingTransform)
{
  // Translate then scale: a point is scaled first, then moved.
  IMatrix m;
  m.Translate(10.f, 20.f).Scale(2.f, 3.f);
  double x = 1.0, y = 1.0;
  m.TransformPoint(x, y);
  EXPECT_NEAR(x, 12.0, kMatrixTol);
  EXPECT_NEAR(y, 23.0, kMatrixTol);

  // Skew by 45 degrees in x shears x by y.
  IMatrix s;
  s.Skew(45.f, 0.f);
  x = 0.0;
  y = 2.0;
  s.TransformPoint(x, y);
  EXPECT_NEAR(x, 2.0, kMatrixTol);
  EXPECT_NEAR(y, 2.0, kMatrixTol);
}

namespace {

// 3 x 3 product of the two transforms written as matrices (row, column).
IMatrix Product(const IMatrix& a, const IMatrix& b)
{
  const double A[3][3] = {{a.mXX, a.mXY, a.mTX}, {a.mYX, a.mYY, a.mTY}, {0, 0, 1}};
  const double B[3][3] = {{b.mXX, b.mXY, b.mTX}, {b.mYX, b.mYY, b.mTY}, {0, 0, 1}};
  double C[3][3] = {};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k)
        C[i][j] += A[i][k] * B[k][j];
  return IMatrix(C[0][0], C[1][0], C[0][1], C[1][1], C[0][2], C[1][2]);
}

void ExpectMatrixNear(const IMatrix& got, const IMatrix& want, const char* what)
{
  EXPECT_NEAR(got.mXX, want.mXX, kMatrixTol) << what;
  EXPECT_NEAR(got.mYX, want.mYX, kMatrixTol) << what;
  EXPECT_NEAR(got.mXY, want.mXY, kMatrixTol) << what;
  EXPECT_NEAR(got.mYY, want.mYY, kMatrixTol) << what;
  EXPECT_NEAR(got.mTX, want.mTX, kMatrixTol) << what;
  EXPECT_NEAR(got.mTY, want.mTY, kMatrixTol) << what;
}

} // namespace

TEST(IMatrix, EveryOperationIsAProductOnTheRightOfAnyMatrix)
{
  const IMatrix bases[] = {IMatrix(), IMatrix(2, 0.5, -1, 3, 7, -4), IMatrix(0.1, -2, 4, 0.3, -9, 11)};
  const IMatrix m(1.5, -0.25, 0.75, 2, 3, -5);
  const double c = std::cos(30.0 / 180.0 * 3.14159265358979), s = std::sin(30.0 / 180.0 * 3.14159265358979);
  for (const IMatrix& a : bases) {
    ExpectMatrixNear(IMatrix(a).Transform(m), Product(a, m), "transform");
    ExpectMatrixNear(IMatrix(a).Translate(3, -2), Product(a, IMatrix(1, 0, 0, 1, 3, -2)), "translate");
    ExpectMatrixNear(IMatrix(a).Scale(2, -0.5), Product(a, IMatrix(2, 0, 0, -0.5, 0, 0)), "scale");
    ExpectMatrixNear(IMatrix(a).Rotate(30), Product(a, IMatrix(c, s, -s, c, 0, 0)), "rotate");
    ExpectMatrixNear(
      IMatrix(a).Skew(20, 10),
      Product(a, IMatrix(1, std::tan(10 * 3.14159265358979 / 180), std::tan(20 * 3.14159265358979 / 180), 1, 0, 0)),
      "skew");
    // A point goes through m first, then a.
    double x = 2, y = -3, px = 2, py = -3;
    IMatrix(a).Transform(m).TransformPoint(x, y);
    m.TransformPoint(px, py);
    a.TransformPoint(px, py);
    EXPECT_NEAR(x, px, kMatrixTol);
    EXPECT_NEAR(y, py, kMatrixTol);
  }
}

TEST(Constants, TextStylesDifferOnlyInSizeAndVerticalAlignment)
{
  struct Case {
    const IText* t;
    float size;
    EVAlign v;
  };
  const Case cases[] = {
    {&DEFAULT_TEXT, 14.f, kVAlignMiddle},
    {&DEFAULT_LABEL_TEXT, 19.f, kVAlignTop},
    {&DEFAULT_VALUE_TEXT, 14.f, kVAlignBottom},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(c.t->mFont, "Roboto-Regular");
    EXPECT_EQ(c.t->mSize, c.size);
    EXPECT_EQ(c.t->mVAlign, c.v);
    EXPECT_EQ(c.t->mAlign, kAlignCenter);
    EXPECT_EQ(c.t->mFGColor, IColor(255, 0, 0, 0));
    EXPECT_EQ(c.t->mTextEntryBGColor, IColor(255, 255, 255, 255));
    EXPECT_EQ(c.t->mAngle, 0.f);
  }
  EXPECT_EQ(IText().mSize, 14.f);
  EXPECT_STREQ(IText().mFont, "Roboto-Regular");
  EXPECT_EQ(BLEND_DST_IN.mMethod, kBlendDestIn);
  EXPECT_EQ(BLEND_25.mWeight, 0.25f);
}
