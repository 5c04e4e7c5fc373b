// The shared 2-D affine transforms, in float and double, against values
// worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "Affine2D.h"

namespace {

using plugin::AffineIdentity;
using plugin::AffineInverse;
using plugin::AffineMultiply;
using plugin::AffinePoint;
using plugin::AffinePremultiply;
using plugin::AffineVector;

template <class T> void ExpectMatrix(const T* got, const double* want, const char* what)
{
  for (int i = 0; i < 6; i++)
    EXPECT_NEAR(got[i], want[i], 1e-6) << what << " [" << i << "]";
}

template <class T> void CompositionOrderAndMapping()
{
  const T move10[6] = {1, 0, 0, 1, 10, 0};
  // Scale, then move: (1, 1) -> (2, 2) -> (12, 2).
  T t[6] = {2, 0, 0, 2, 0, 0};
  AffineMultiply(t, move10);
  const double scaleThenMove[6] = {2, 0, 0, 2, 10, 0};
  ExpectMatrix(t, scaleThenMove, "multiply");
  // Move, then scale: (1, 1) -> (11, 1) -> (22, 2).
  T u[6] = {2, 0, 0, 2, 0, 0};
  AffinePremultiply(u, move10);
  const double moveThenScale[6] = {2, 0, 0, 2, 20, 0};
  ExpectMatrix(u, moveThenScale, "premultiply");

  // A quarter turn (x to y) with a move: (3, 4) -> (-4, 3) + (5, 6).
  const T turn[6] = {0, 1, -1, 0, 5, 6};
  T x, y;
  AffinePoint(&x, &y, T(3), T(4), turn);
  EXPECT_NEAR(x, 1, 1e-6);
  EXPECT_NEAR(y, 9, 1e-6);
  AffineVector(&x, &y, T(3), T(4), turn);
  EXPECT_NEAR(x, -4, 1e-6);
  EXPECT_NEAR(y, 3, 1e-6);

  // The inverse undoes the transform and leaves it untouched.
  const T m[6] = {2, 1, -1, 3, 4, -5}; // det 7
  T inv[6];
  EXPECT_TRUE(AffineInverse(inv, m));
  const double byHand[6] = {3.0 / 7, -1.0 / 7, 1.0 / 7, 2.0 / 7, -1, 2}; // (4, -5) maps back to (0, 0)
  ExpectMatrix(inv, byHand, "inverse");
  T back[6] = {m[0], m[1], m[2], m[3], m[4], m[5]};
  AffineMultiply(back, inv);
  T id[6];
  AffineIdentity(id);
  const double identity[6] = {1, 0, 0, 1, 0, 0};
  ExpectMatrix(back, identity, "m then inverse");
  ExpectMatrix(id, identity, "identity");
}

TEST(Affine2D, ComposesMapsAndInvertsInFloatAndDouble)
{
  CompositionOrderAndMapping<float>();
  CompositionOrderAndMapping<double>();
}

TEST(Affine2D, SingularOrNonFiniteMatricesInvertToTheIdentity)
{
  const double identity[6] = {1, 0, 0, 1, 0, 0};
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const float cases[][6] = {
    {1e-7f, 0, 0, 1, 5, 6}, // det 1e-7
    {1, 2, 2, 4, 0, 0},     // det 0
    {nan, 0, 0, 1, 0, 0},
    {inf, 0, 0, 1, 0, 0},
  };
  for (const auto& m : cases) {
    float inv[6] = {9, 9, 9, 9, 9, 9};
    EXPECT_FALSE(AffineInverse(inv, m));
    ExpectMatrix(inv, identity, "singular");
  }
}

} // namespace
