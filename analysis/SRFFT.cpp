#include "SRFFT.h"
#include "CpuFeatures.h"
#include "SRFFTRunners.h"
#include "SRFFTKernels.h"

#include <atomic>
#include <cmath>
#include <mutex>
#include <numbers>
#include <vector>

namespace {

constexpr int kMaxLog2 = kSRFFTMaxLog2;
static_assert((1 << kMaxLog2) == kSRFFTMaxSize);

// Twiddles: n/4 - 1 pairs for n = 16..512, n/8 - 1 pairs (first octant) above.
constexpr int TwiddleCount(int n) { return n <= 512 ? n / 4 - 1 : n / 8 - 1; }
constexpr int TwiddlePairsTotal()
{
  int total = 0;
  for (int n = 16; n <= kSRFFTMaxSize; n *= 2)
    total += TwiddleCount(n);
  return total;
}

// Process-wide tables and the transform routine for this processor: written
// once under gInitOnce, read-only afterwards.
double gTwiddleStore[2 * TwiddlePairsTotal()];
const double* gTwiddle[kMaxLog2 + 1];
int gPermStore[kSRFFTPermuteTableSize];
std::once_flag gInitOnce;
std::atomic<bool> gReady{false};
SRFFTRunner gRun = SRFFTRunBaseline;

void BuildTwiddles()
{
  double* p = gTwiddleStore;
  for (int log = 4; log <= kMaxLog2; ++log) {
    const int n = 1 << log;
    SRFFTMakeTable(p, TwiddleCount(n), n <= 512);
    gTwiddle[log] = p;
    p += 2 * TwiddleCount(n);
  }
}

// perm(i, n): which bin of the positive-exponent transform position i holds.
// Built size by size from the two smaller sizes the recursion splits into.
void BuildPermutations()
{
  std::vector<int> quarter{0}, half{0, 1}, cur;
  for (int n = 4; n <= kSRFFTMaxSize; n *= 2) {
    const int h = n / 2, q = n / 4;
    cur.resize(n);
    for (int i = 0; i < h; ++i)
      cur[i] = 2 * half[i];
    for (int j = 0; j < q; ++j) {
      cur[h + j] = 4 * quarter[j] + 1;
      cur[h + q + j] = (n - 1) & (4 * quarter[j] - 1);
    }
    if (n >= 16) {
      int* table = gPermStore + (n - 16);
      table[0] = 0;
      for (int k = 1; k < n; ++k)
        table[n - cur[k]] = k;
    }
    quarter.swap(half);
    half.swap(cur);
  }
}

void EnsureInit()
{
  if (!gReady.load(std::memory_order_acquire))
    SRFFTInit();
}

// The permutation rule itself, for the sizes below the table (2, 4, 8).
int PermRule(int i, int n)
{
  if (n < 3)
    return i;
  const int h = n / 2, q = n / 4;
  if (i < h)
    return 2 * PermRule(i, h);
  const int j = i - h;
  if (j < q)
    return 4 * PermRule(j, q) + 1;
  return (n - 1) & (4 * PermRule(j - q, q) - 1);
}

// Position p holds X(n - perm(p)).
int SmallPermute(int m, int n)
{
  for (int p = 0; p < n; ++p)
    if (((n - PermRule(p, n)) & (n - 1)) == m)
      return p;
  return -1;
}

} // namespace

void SRFFTRunBaseline(double* data, int n, int dir, const double* const* tw)
{
  srfft_detail::RunLog<kMaxLog2, false>(data, n, dir, tw);
}

const double* const* SRFFTTwiddleTables()
{
  EnsureInit();
  return gTwiddle;
}

void SRFFTMakeTable(double* table, int count, bool doubled)
{
  if (table == nullptr || count < 1)
    return;
  const double base = (std::numbers::pi / 4.0) / (count + 1);
  const double step = doubled ? 2.0 * base : base;
  for (int k = 1; k <= count; ++k) {
    table[2 * k - 2] = std::cos(k * step);
    table[2 * k - 1] = std::sin(k * step);
  }
}

void SRFFTInit()
{
  std::call_once(gInitOnce, [] {
    BuildTwiddles();
    BuildPermutations();
    if constexpr (kBuildHasAvx2Routines)
      if (ThisProcessor().avx2Fma)
        gRun = SRFFTRunAvx2;
    gReady.store(true, std::memory_order_release);
  });
}

void SRFFT(double* data, int n, int dir)
{
  if (n < kSRFFTMinSize || n > kSRFFTMaxSize || (n & (n - 1)) != 0 || data == nullptr)
    return;
  EnsureInit();
  gRun(data, n, dir, gTwiddle);
}

int SRFFTPermute(int m, int n)
{
  if (n < kSRFFTMinSize || n > kSRFFTMaxSize || (n & (n - 1)) != 0 || m < 0 || m >= n)
    return -1;
  if (n < 16)
    return SmallPermute(m, n);
  EnsureInit();
  return gPermStore[n - 16 + m];
}

const int* SRFFTPermuteTable(int offset)
{
  if (offset < 0 || offset >= kSRFFTPermuteTableSize)
    return nullptr;
  EnsureInit();
  return gPermStore + offset;
}

namespace {
template <typename Op> void PairwiseProducts(double* out, const double* a, const double* b, int count, Op op)
{
  if (count < 2 || (count & 1) != 0)
    return;
  for (int k = 0; k < count; k += 2) {
    for (int e = k; e < k + 2; ++e) {
      const double ar = a[2 * e], ai = a[2 * e + 1], br = b[2 * e], bi = b[2 * e + 1];
      op(out + 2 * e, ar * br - ai * bi, ar * bi + ai * br);
    }
  }
}
} // namespace

void SRFFTComplexMul(double* a, const double* b, int count)
{
  PairwiseProducts(a, a, b, count, [](double* o, double re, double im) {
    o[0] = re;
    o[1] = im;
  });
}

void SRFFTComplexMulTo(double* out, const double* a, const double* b, int count)
{
  PairwiseProducts(out, a, b, count, [](double* o, double re, double im) {
    o[0] = re;
    o[1] = im;
  });
}

void SRFFTComplexMulAdd(double* out, const double* a, const double* b, int count)
{
  PairwiseProducts(out, a, b, count, [](double* o, double re, double im) {
    o[0] += re;
    o[1] += im;
  });
}
