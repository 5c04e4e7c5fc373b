#include "CProcessorChain.h"
#include "ChannelBuffers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Multiplies every sample by a gain; counts its destruction and configuration.
class GainProcessor : public CPluginProcessor {
public:
  GainProcessor(double gain, int* destroyed) : mGain(gain), mDestroyed(destroyed) {}
  ~GainProcessor() override { ++*mDestroyed; }
  void Process(double** in, double** out, int n) override
  {
    for (int c = 0; c < mNumChannels; ++c)
      for (int i = 0; i < n; ++i)
        out[c][i] = in[c][i] * mGain;
  }
  void SetNumChannels(int n) override { mNumChannels = n; }
  void SetBlockSize(int n) override { mBlockSize = n; }
  void SetSampleRate(double fs) override { mSampleRate = fs; }
  int GetNumParams() override { return 0; }
  void SetParam(int, double) override {}
  double GetParam(int) override { return 0.0; }
  bool GetName(char* out) override
  {
    out[0] = 'G';
    out[1] = 0;
    return true;
  }
  double SampleRate() const { return mSampleRate; }
  int BlockSize() const { return mBlockSize; }

private:
  double mGain;
  int* mDestroyed;
};

struct Buffers {
  std::vector<double> a{1, 2, 3, 4}, b{-1, -2, -3, -4};
  double* p[2] = {a.data(), b.data()};
};

} // namespace

TEST(CProcessorChain, WithoutProcessorsCopiesInputToOutput)
{
  CProcessorChain chain;
  chain.Configure(2, 4, 48000.0);
  Buffers in, out;
  std::fill(out.a.begin(), out.a.end(), 0.0);
  chain.Process(in.p, out.p, 4);
  EXPECT_EQ(out.a, in.a);
}

TEST(CProcessorChain, EachActiveProcessorReceivesThePreviousOutput)
{
  int destroyed = 0;
  {
    CProcessorChain chain;
    EXPECT_EQ(chain.Append(new GainProcessor(2.0, &destroyed)), 1);
    EXPECT_EQ(chain.Append(new GainProcessor(100.0, &destroyed)), 2);
    EXPECT_EQ(chain.Append(new GainProcessor(3.0, &destroyed)), 3);
    chain.Configure(2, 4, 96000.0);
    chain.Seek(1)->SetActive(false);
    Buffers in, out;
    chain.Process(in.p, out.p, 4);
    EXPECT_EQ(out.a, (std::vector<double>{6, 12, 18, 24}));
    EXPECT_EQ(out.b, (std::vector<double>{-6, -12, -18, -24}));
    EXPECT_EQ(static_cast<GainProcessor*>(chain.Seek(2))->SampleRate(), 96000.0);
    EXPECT_EQ(static_cast<GainProcessor*>(chain.Seek(0))->BlockSize(), 4);
  }
  EXPECT_EQ(destroyed, 3);
}

TEST(CProcessorChain, AllInactiveLeavesTheOutputsUntouched)
{
  int destroyed = 0;
  CProcessorChain chain;
  chain.Append(new GainProcessor(2.0, &destroyed));
  chain.Configure(2, 4, 48000.0);
  chain.Seek(0)->SetActive(false);
  Buffers in, out;
  std::fill(out.a.begin(), out.a.end(), 9.0);
  chain.Process(in.p, out.p, 4);
  EXPECT_EQ(out.a, (std::vector<double>{9, 9, 9, 9}));
}

TEST(CProcessorChain, SeekStopsAtTheEndsAndAnEmptyChainGivesNull)
{
  int destroyed = 0;
  CProcessorChain chain;
  EXPECT_EQ(chain.Seek(0), nullptr);
  CPluginProcessor* first = new GainProcessor(1.0, &destroyed);
  CPluginProcessor* last = new GainProcessor(1.0, &destroyed);
  chain.Append(first);
  chain.Append(last);
  EXPECT_EQ(chain.Seek(5), last);
  EXPECT_EQ(chain.Seek(-3), first);
  EXPECT_EQ(chain.Seek(1), last);
  EXPECT_EQ(chain.GetCount(), 2);
}

TEST(CPluginProcessor, BaseOperationsAnswerTheirDefaults)
{
  int destroyed = 0;
  GainProcessor p(1.0, &destroyed);
  EXPECT_EQ(p.GetInfo(3), 0.0);
  EXPECT_EQ(p.GetData(0), nullptr);
  EXPECT_TRUE(p.IsActive());
  EXPECT_FALSE(p.GetAuxFlag());
  p.SetAuxFlag(true);
  p.SetActive(false);
  EXPECT_TRUE(p.GetAuxFlag());
  EXPECT_FALSE(p.IsActive());
}

TEST(ChannelBuffers, AllocateCopyZeroAndFree)
{
  double** bufs = AllocChannelBuffers(8, 3);
  ZeroChannelBuffers(bufs, 8, 3);
  Buffers src;
  double* three[3] = {src.a.data(), nullptr, src.b.data()};
  CopyChannelBuffers(three, bufs, 4, 3, 2);
  EXPECT_EQ(bufs[0][1], 0.0);
  EXPECT_EQ(bufs[0][2], 1.0);
  EXPECT_EQ(bufs[0][5], 4.0);
  EXPECT_EQ(bufs[1][2], 0.0);
  EXPECT_EQ(bufs[2][3], -2.0);
  CopyChannelBuffer(nullptr, bufs[1], 4, 0);
  CopyChannelBuffer(src.a.data(), bufs[1], 4, 4);
  EXPECT_EQ(bufs[1][7], 4.0);
  FreeChannelBuffers(bufs, 3);
  FreeChannelBuffers(nullptr, 0);
  double** none = AllocChannelBuffers(8, 0);
  FreeChannelBuffers(none, 0);
}
