#pragma once
// An engine context on the recording renderer, made and freed per test.
#include <gtest/gtest.h>

#include <cmath>

#include "VGInternal.h"
#include "VGRecordingRenderer.h"

namespace vgtest {

class VGTest : public ::testing::Test {
protected:
  void SetUp() override { Make(1); }
  void TearDown() override { vgDeleteInternal(ctx); }

  void Make(int edgeAntiAlias)
  {
    if (ctx)
      vgDeleteInternal(ctx);
    VGparams params = rec.Params(edgeAntiAlias);
    ctx = vgCreateInternal(&params);
    ASSERT_NE(ctx, nullptr);
    vgBeginFrame(ctx, 400, 300, 1.0f);
    rec.Clear();
  }

  VGstate* State() { return &ctx->states[ctx->nstates - 1]; }
  VGpathCache* Cache() { return ctx->cache; }
  VGpoint* Points(int path = 0) { return &ctx->cache->points[ctx->cache->paths[path].first]; }

  VGRecordingRenderer rec;
  VGcontext* ctx = nullptr;
};

// Signed area of a closed polygon of vertices (positive: the engine's
// counter-clockwise, with y down).
inline double PolygonArea(const VGvertex* v, int n)
{
  double a = 0;
  for (int i = 0; i < n; i++) {
    const VGvertex& p = v[i];
    const VGvertex& q = v[(i + 1) % n];
    a += static_cast<double>(p.y) * q.x - static_cast<double>(p.x) * q.y;
  }
  return a * 0.5;
}

} // namespace vgtest
