// The drawing interface driven by bytes: each input is a stream of engine
// calls (paths, arcs, strokes, fills, paints, transforms, scissors, text,
// images, save and restore, layers, frames of any size and scale) with
// arguments that include NaN, infinities, 1e30 and zero or negative sizes.
// Every frame ends through the Metal renderer into the stand-in GPU. No call
// may crash, convert a float that does not fit its integer (the build stops
// on that), make the GPU report a misuse, or let memory grow without bound.
#include <Foundation/Foundation.h>
#include <Metal/Metal.h>
#include <QuartzCore/QuartzCore.h>
#include <standin/Testing.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzReader.h"
#include "MVG.h"
#include "VGText.h"

namespace {

// Special values, small coordinates of the 64 x 48 view, or raw bits.
class Reader : public fuzzsupport::ByteReader {
public:
  using ByteReader::ByteReader;
  float Float() { return ByteReader::Float(0.37f); }
  VGcolor Color() { return vgRGBAf(Float(), Float(), Float(), Float()); }
};

struct World {
  CAMetalLayer* layer = nullptr;
  VGcontext* ctx = nullptr;
  int font = -1;
  int image = 0;
};

World& TheWorld()
{
  static World w = [] {
    World made;
    standin::SetGPUBandThreads(1);
    made.layer = CAMetalLayer::alloc()->init();
    made.layer->setDrawableSize(CGSizeMake(64, 48));
    made.ctx = mvgCreateContext(made.layer, VG_ANTIALIAS | VG_STENCIL_STROKES | VG_TRIPLE_BUFFER);
    if (!made.ctx)
      std::abort();
    made.font = vgCreateFont(made.ctx, "sans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    unsigned char pixels[8 * 8 * 4];
    for (int i = 0; i < 8 * 8 * 4; ++i)
      pixels[i] = static_cast<unsigned char>(i * 37);
    made.image = vgCreateImageRGBA(made.ctx, 8, 8, VG_IMAGE_REPEATX | VG_IMAGE_REPEATY, pixels);
    return made;
  }();
  return w;
}

void BeginFrame(VGcontext* ctx, Reader& in)
{
  const float w = in.Float(), h = in.Float(), ratio = in.Float();
  vgBeginFrame(ctx, w, h, ratio);
}

void Call(World& w, Reader& in, MVGframebuffer*& layer)
{
  VGcontext* ctx = w.ctx;
  char text[32];
  float b[4];
  switch (in.Int(44)) {
  case 0: vgBeginPath(ctx); break;
  case 1: vgMoveTo(ctx, in.Float(), in.Float()); break;
  case 2: vgLineTo(ctx, in.Float(), in.Float()); break;
  case 3: vgBezierTo(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float()); break;
  case 4: vgQuadTo(ctx, in.Float(), in.Float(), in.Float(), in.Float()); break;
  case 5: vgArcTo(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Float()); break;
  case 6: vgClosePath(ctx); break;
  case 7: vgPathWinding(ctx, in.Int(4)); break;
  case 8: vgArc(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), 1 + in.Int(2)); break;
  case 9: vgRect(ctx, in.Float(), in.Float(), in.Float(), in.Float()); break;
  case 10: vgRoundedRect(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Float()); break;
  case 11:
    vgRoundedRectVarying(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float(),
                         in.Float());
    break;
  case 12: vgEllipse(ctx, in.Float(), in.Float(), in.Float(), in.Float()); break;
  case 13: vgCircle(ctx, in.Float(), in.Float(), in.Float()); break;
  case 14: vgFill(ctx); break;
  case 15: vgStroke(ctx); break;
  case 16: vgFillColor(ctx, in.Color()); break;
  case 17: vgStrokeColor(ctx, in.Color()); break;
  case 18: {
    const VGpaint p = vgLinearGradient(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Color(), in.Color());
    in.Int(2) ? vgFillPaint(ctx, p) : vgStrokePaint(ctx, p);
    break;
  }
  case 19: {
    const VGpaint p = vgBoxGradient(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float(),
                                    in.Color(), in.Color());
    in.Int(2) ? vgFillPaint(ctx, p) : vgStrokePaint(ctx, p);
    break;
  }
  case 20: {
    const VGpaint p = vgRadialGradient(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Color(), in.Color());
    in.Int(2) ? vgFillPaint(ctx, p) : vgStrokePaint(ctx, p);
    break;
  }
  case 21: {
    const int image = in.Int(3) == 0 ? w.image : in.Int(4);
    const VGpaint p =
      vgImagePattern(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), image, in.Float());
    in.Int(2) ? vgFillPaint(ctx, p) : vgStrokePaint(ctx, p);
    break;
  }
  case 22: vgStrokeWidth(ctx, in.Float()); break;
  case 23: vgMiterLimit(ctx, in.Float()); break;
  case 24:
    vgLineCap(ctx, in.Int(4));
    vgLineJoin(ctx, in.Int(5));
    break;
  case 25: vgGlobalAlpha(ctx, in.Float()); break;
  case 26: vgTranslate(ctx, in.Float(), in.Float()); break;
  case 27: vgRotate(ctx, in.Float()); break;
  case 28: vgScale(ctx, in.Float(), in.Float()); break;
  case 29: in.Int(2) ? vgSkewX(ctx, in.Float()) : vgSkewY(ctx, in.Float()); break;
  case 30: vgTransform(ctx, in.Float(), in.Float(), in.Float(), in.Float(), in.Float(), in.Float()); break;
  case 31: vgResetTransform(ctx); break;
  case 32: vgScissor(ctx, in.Float(), in.Float(), in.Float(), in.Float()); break;
  case 33: vgIntersectScissor(ctx, in.Float(), in.Float(), in.Float(), in.Float()); break;
  case 34: vgResetScissor(ctx); break;
  case 35: in.Int(2) ? vgSave(ctx) : vgRestore(ctx); break;
  case 36:
    vgFontFaceId(ctx, in.Int(8) == 0 ? -1 : w.font);
    vgFontSize(ctx, in.Float());
    vgFontBlur(ctx, in.Int(2) ? in.Float() : 0.0f);
    vgTextLetterSpacing(ctx, in.Int(2) ? in.Float() : 0.0f);
    vgTextLineHeight(ctx, in.Float());
    vgTextAlign(ctx, in.Byte());
    break;
  case 37: {
    const float x = in.Float(), y = in.Float();
    in.Text(text);
    vgText(ctx, x, y, text, nullptr);
    break;
  }
  case 38: {
    const float x = in.Float(), y = in.Float(), width = in.Float();
    in.Text(text);
    in.Int(2) ? vgTextBox(ctx, x, y, width, text, nullptr) : vgTextBoxBounds(ctx, x, y, width, text, nullptr, b);
    break;
  }
  case 39: {
    const float x = in.Float(), y = in.Float();
    in.Text(text);
    VGglyphPosition pos[8];
    vgTextBounds(ctx, x, y, text, nullptr, b);
    vgTextGlyphPositions(ctx, x, y, text, nullptr, pos, 8);
    vgTextMetrics(ctx, &b[0], &b[1], &b[2]);
    break;
  }
  case 40:
    vgGlobalCompositeBlendFuncSeparate(ctx, 1 << in.Int(12), 1 << in.Int(12), 1 << in.Int(12), 1 << in.Int(12));
    break;
  case 41: vgShapeAntiAlias(ctx, in.Int(2)); break;
  case 42:
    // A new frame, as the back end does when it switches targets: into a
    // layer framebuffer of up to 96 x 96 pixels, or back to the view.
    vgEndFrame(ctx);
    if (in.Int(2) && !layer)
      layer = mvgCreateFramebuffer(ctx, in.Int(97), in.Int(97), 0);
    mvgBindFramebuffer(in.Int(2) ? layer : nullptr);
    BeginFrame(ctx, in);
    break;
  default:
    vgEndFrame(ctx);
    BeginFrame(ctx, in);
    break;
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
  if (size > 4096)
    return 0;
  // As the view's timer does: what the frames autorelease goes with them.
  NSAutoreleasePool* pool = NSAutoreleasePool::alloc()->init();
  World& w = TheWorld();
  Reader in(data, size);
  MVGframebuffer* layer = nullptr;
  mvgBindFramebuffer(nullptr);
  BeginFrame(w.ctx, in);
  for (int calls = 0; in.More() && calls < 512; ++calls)
    Call(w, in, layer);
  vgEndFrame(w.ctx);
  mvgBindFramebuffer(nullptr);
  mvgDeleteFramebuffer(layer);
  pool->drain();
  if (!standin::GPUValidationErrors().empty())
    std::abort();
  return 0;
}
