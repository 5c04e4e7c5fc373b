// Rendering through the exported doors allocates nothing.
#include <gtest/gtest.h>

#include <vector>

#include "AUBundle.h"
#include "AUHostUnit.h"
#include "AllocationCounter.h"

TEST(RenderThroughEntry, RenderAllocatesNothingByEitherDoor)
{
  host::AUBundle bundle;
  ASSERT_TRUE(bundle.Load(host::DefaultBundlePath())) << bundle.Error();
  for (host::EDoor door : {host::EDoor::kFactory, host::EDoor::kComponentEntry}) {
    host::AUHostUnit unit(bundle);
    ASSERT_EQ(unit.Open(door), noErr);
    ASSERT_EQ(unit.SetFormat(2, 48000.0), noErr);
    ASSERT_EQ(unit.SetMaxFrames(512), noErr);
    ASSERT_EQ(unit.ConnectInput([](double t, UInt32 n, float* const* ch, int nch) {
      for (int c = 0; c < nch; ++c)
        for (UInt32 i = 0; i < n; ++i)
          ch[c][i] = static_cast<float>((t + i) * 1e-4 * (c + 1));
    }),
              noErr);
    ASSERT_EQ(AudioUnitInitialize(unit.Unit()), noErr);
    std::vector<float> l(512), r(512);
    float* out[2] = {l.data(), r.data()};
    ASSERT_EQ(unit.Render(0, 512, out, 2), noErr);
    testsupport::ScopedAllocationCount count;
    for (int block = 1; block <= 100; ++block)
      unit.Render(block * 512.0, 512, out, 2);
    EXPECT_EQ(count.Count(), 0u);
    EXPECT_FLOAT_EQ(l[7], static_cast<float>((100 * 512.0 + 7) * 1e-4));
  }
}
