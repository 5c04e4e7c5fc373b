#pragma once
// A layer, a renderer context on it and read-back helpers for the renderer's
// tests. Each fixture starts and ends with a fresh stand-in GPU.

#include <Foundation/Foundation.h>
#include <Metal/Metal.h>
#include <QuartzCore/QuartzCore.h>
#include <gtest/gtest.h>
#include <standin/Testing.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "MVG.h"
#include "MVGContext.h"
#include "VGText.h"

namespace mvgtest {

inline std::string OutputPath(const std::string& name) { return std::string(MVG_TEST_OUTPUT_DIR) + "/" + name; }

class MetalFixture : public ::testing::Test {
protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override
  {
    Close();
    mvgBindFramebuffer(nullptr);
    standin::Reset();
  }
  // A layer of w x h pixels and a context with the given flags.
  VGcontext* Open(int w, int h, int flags = VG_ANTIALIAS | VG_TRIPLE_BUFFER)
  {
    layer = CAMetalLayer::alloc()->init();
    layer->setDrawableSize(CGSizeMake(w, h));
    ctx = mvgCreateContext(layer, flags);
    return ctx;
  }
  void Close()
  {
    if (ctx)
      mvgDeleteContext(ctx);
    ctx = nullptr;
    if (layer)
      layer->release();
    layer = nullptr;
  }
  MVGcontext_vVorelle3_au* renderer() const { return mvgRenderer(ctx); }
  // What the layer shows, as RGBA bytes (premultiplied, as stored).
  std::vector<uint8_t> Shown()
  {
    standin::WaitForGPUIdle();
    MTLTexture* t = standin::PresentedTexture(layer);
    return t ? standin::TextureRGBA(t) : std::vector<uint8_t>();
  }

  CAMetalLayer* layer = nullptr;
  VGcontext* ctx = nullptr;
};

inline std::array<int, 4> At(const std::vector<uint8_t>& rgba, int w, int x, int y)
{
  const size_t i = (size_t(y) * size_t(w) + size_t(x)) * 4;
  return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
}

} // namespace mvgtest
