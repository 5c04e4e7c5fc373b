#pragma once
// Reference material for the convolution engine tests: test signals and
// impulses, a direct time-domain convolution past double precision, and a stream
// driver that feeds an engine in random pieces the way a host would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "CImpulseBuffer.h"

namespace convref {

// Engine output may differ from the long-double reference by this much,
// relative to the reference's peak over the checked samples.
constexpr double kRelativeTolerance = 1e-12;

using Channels = std::vector<std::vector<double>>;

// Decaying noise; for longer impulses a stretch of exact zeros in the middle
// (whole FFT blocks) so silent impulse blocks are skipped.
inline std::vector<double> MakeImpulseChannel(int length, uint32_t seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  std::vector<double> h(static_cast<size_t>(length));
  for (int i = 0; i < length; ++i)
    h[size_t(i)] = dist(rng) * std::exp(-3.0 * i / length);
  if (length >= 4000)
    std::fill(h.begin() + length / 3, h.begin() + length / 3 + length / 4, 0.0);
  if (length == 1)
    h[0] = 0.75;
  return h;
}

inline CImpulseBuffer MakeImpulse(const Channels& h)
{
  CImpulseBuffer buffer;
  buffer.SetNumChannels(int(h.size()));
  buffer.SetLength(int(h[0].size()));
  for (size_t c = 0; c < h.size(); ++c)
    std::copy(h[c].begin(), h[c].end(), buffer.GetChannel(int(c)));
  return buffer;
}

enum class InputKind {
  kIndependent, // two unrelated noise channels
  kIdentical,   // channel 1 equals channel 0
  kSilences,    // noise with stretches of exact zeros, differing per channel
  kDiverging,   // identical, except where channel 1 sounds alone before both fall silent
};

inline Channels MakeInput(InputKind kind, int nch, size_t length, uint32_t seed)
{
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> dist(-1.0, 1.0);
  Channels x(static_cast<size_t>(nch), std::vector<double>(length));
  for (auto& ch : x)
    for (double& v : ch)
      v = dist(rng);
  if (nch < 2)
    return x;
  if (kind != InputKind::kIndependent && kind != InputKind::kSilences)
    x[1] = x[0];
  if (kind == InputKind::kSilences) {
    for (size_t start = rng() % 700; start < length; start += 700 + rng() % 5000) {
      const size_t end = std::min(length, start + 50 + rng() % 3000);
      const int which = int(rng() % 3); // 0, 1 or both
      for (size_t i = start; i < end; ++i) {
        if (which != 1)
          x[0][i] = 0.0;
        if (which != 0)
          x[1][i] = 0.0;
      }
    }
  }
  if (kind == InputKind::kDiverging) {
    // Channel 1 alone, then silence on both: what a hard-panned sound does.
    for (size_t start = rng() % 700; start < length; start += 700 + rng() % 5000) {
      const size_t alone = std::min(length, start + 50 + rng() % 3000);
      const size_t end = std::min(length, alone + 50 + rng() % 3000);
      for (size_t i = start; i < end; ++i) {
        x[0][i] = 0.0;
        if (i >= alone)
          x[1][i] = 0.0;
      }
    }
  }
  return x;
}

// y[t] = sum_k h[k] x[t - k], to more than double precision: in long double
// where that is the x87's hardware format; elsewhere (arm64's long double is
// a quad computed in software, slow under an emulator) in twice double
// precision, each product and sum carrying its rounding error along.
inline long double DirectAt(const std::vector<double>& h, const std::vector<double>& x, size_t t)
{
  const size_t kEnd = std::min(h.size(), t + 1);
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    long double sum = 0.0L;
    for (size_t k = 0; k < kEnd; ++k)
      sum += (long double)h[k] * (long double)x[t - k];
    return sum;
  } else {
    double sum = 0.0, error = 0.0;
    for (size_t k = 0; k < kEnd; ++k) {
      const double p = h[k] * x[t - k];
      const double pError = std::fma(h[k], x[t - k], -p);
      const double s = sum + p, z = s - sum;
      error += ((sum - (s - z)) + (p - z)) + pError;
      sum = s;
    }
    return (long double)sum + (long double)error;
  }
}

// Output times to check: all of them when affordable, else the start, the
// end of the impulse and a random selection within a fixed work budget.
inline std::vector<size_t> CheckTimes(size_t impulseLength, size_t total, uint32_t seed)
{
  constexpr size_t kBudget = 10000000;
  std::vector<size_t> times;
  if (impulseLength * total <= kBudget) {
    for (size_t t = 0; t < total; ++t)
      times.push_back(t);
    return times;
  }
  for (size_t t = 0; t < 256; ++t)
    times.push_back(t);
  for (size_t t : {impulseLength - 2, impulseLength - 1, impulseLength, impulseLength + 1, total - 1})
    if (t < total)
      times.push_back(t);
  std::mt19937 rng(seed);
  for (size_t i = kBudget / impulseLength; i > 0; --i)
    times.push_back(rng() % total);
  return times;
}

struct Reference {
  std::vector<size_t> times;
  Channels values; // per channel, one value per time
  double peak = 0.0;
};

// impulse channel c serves input channel c, or channel 0 when mono.
inline Reference Convolve(const Channels& h, const Channels& x, size_t total, uint32_t seed)
{
  Reference r;
  r.times = CheckTimes(h[0].size(), total, seed);
  r.values.assign(x.size(), {});
  for (size_t c = 0; c < x.size(); ++c) {
    const auto& hc = h[std::min(c, h.size() - 1)];
    for (size_t t : r.times) {
      const double v = double(DirectAt(hc, x[c], t));
      r.values[c].push_back(v);
      r.peak = std::max(r.peak, std::fabs(v));
    }
  }
  return r;
}

// How a host hands the stream to an engine.
struct Pattern {
  int maxAdd;  // each Add brings 1..maxAdd samples
  int maxWant; // each Avail asks for 0..maxWant samples and takes what it gets
};

// Feeds x (zero after its end) until `total` output samples are collected.
template <class Engine>
Channels Stream(Engine& engine, const Channels& x, size_t total, Pattern p, uint32_t seed, bool noSharing = false)
{
  const int nch = int(x.size());
  std::mt19937 rng(seed);
  Channels out(x.size());
  std::vector<std::vector<double>> piece(x.size());
  std::vector<double*> ptrs(x.size());
  size_t fed = 0;
  for (long guard = 0; out[0].size() < total; ++guard) {
    if (guard > 100000000) {
      ADD_FAILURE() << "stream stalled at " << out[0].size() << " of " << total;
      break;
    }
    const int n = 1 + int(rng() % unsigned(p.maxAdd));
    for (int c = 0; c < nch; ++c) {
      piece[size_t(c)].assign(size_t(n), 0.0);
      for (int i = 0; i < n; ++i)
        if (fed + size_t(i) < x[size_t(c)].size())
          piece[size_t(c)][size_t(i)] = x[size_t(c)][fed + size_t(i)];
      ptrs[size_t(c)] = piece[size_t(c)].data();
    }
    engine.Add(ptrs.data(), n, nch);
    fed += size_t(n);
    const int want = int(rng() % unsigned(p.maxWant + 1));
    const int take = std::min(engine.Avail(want, noSharing), want);
    if (take <= 0)
      continue;
    double** got = engine.Get();
    for (int c = 0; c < nch; ++c) {
      EXPECT_NE(got[c], nullptr) << "channel " << c << " has no output although " << take << " are available";
      if (got[c])
        out[size_t(c)].insert(out[size_t(c)].end(), got[c], got[c] + take);
    }
    engine.Advance(take);
  }
  return out;
}

// Largest deviation from the reference over the checked times, relative to
// the reference's peak.
inline double RelativeError(const Reference& r, const Channels& out)
{
  double worst = 0.0;
  for (size_t c = 0; c < r.values.size(); ++c)
    for (size_t i = 0; i < r.times.size(); ++i) {
      const double got = r.times[i] < out[c].size() ? out[c][r.times[i]] : HUGE_VAL;
      const double e = std::fabs(got - r.values[c][i]);
      if (std::isnan(e))
        return HUGE_VAL;
      worst = std::max(worst, e);
    }
  return r.peak > 0.0 ? worst / r.peak : worst;
}

} // namespace convref

namespace convref {

// One impulse, one input and their reference.
struct Case {
  Channels h;
  Channels x;
  Reference ref;
  size_t total = 0;
  uint32_t seed = 0;
  std::string label;
};

// Mono and stereo impulses of the given length against every input kind,
// stereo and (for unrelated noise) mono input.
template <class Check> void ForEachCase(int impulseLength, Check&& check)
{
  const char* kindNames[] = {"independent", "identical", "silences", "diverging"};
  uint32_t seed = 7000u + uint32_t(impulseLength);
  for (int impulseChannels : {1, 2}) {
    for (InputKind kind :
         {InputKind::kIndependent, InputKind::kIdentical, InputKind::kSilences, InputKind::kDiverging}) {
      for (int nch : {1, 2}) {
        if (nch == 1 && kind != InputKind::kIndependent)
          continue;
        Case c;
        c.total = size_t(impulseLength) + 4000;
        c.seed = seed++;
        for (int ch = 0; ch < impulseChannels; ++ch)
          c.h.push_back(MakeImpulseChannel(impulseLength, c.seed + 17u * uint32_t(ch)));
        c.x = MakeInput(kind, nch, c.total, c.seed);
        c.ref = Convolve(c.h, c.x, c.total, c.seed);
        c.label = "impulse " + std::to_string(impulseLength) + "x" + std::to_string(impulseChannels) + ", input " +
                  kindNames[int(kind)] + "x" + std::to_string(nch);
        check(c);
      }
    }
  }
}

} // namespace convref
