// The output stage's clip detector at rates whose two-second hold passes the
// range of int.
#include <gtest/gtest.h>

#include "OutputStage.h"

TEST(OutputStage, TheClipHoldLastsTwoSecondsEvenWhereTheyExceedTheRangeOfInt)
{
  const double rates[] = {48000.0, 1073741824.0 /* 2^30 */, 4294967296.0 /* 2^32 */};
  for (double fs : rates) {
    OutputStage stage;
    stage.Prepare(fs);
    double left[3] = {1.5, 0.1, 0.1}, right[3] = {0.0, 0.0, 0.0};
    stage.Process(left, right, 3, false);
    // Two samples after the clip are far inside a hold of 2 * fs samples.
    EXPECT_EQ(stage.ClipState(), OutputStage::kClipHold) << fs << " Hz";
    EXPECT_EQ(stage.ClipEnvelope(), 1.0) << fs << " Hz";
  }
}
