#include "SoftMVG.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace softmvg {

namespace {

using vgtest::ECall;
using vgtest::RecordedCall;
using vgtest::RecordedPath;

constexpr int kPremultiplied = 16;

std::map<VGcontext*, Context*>& Registry()
{
  static std::map<VGcontext*, Context*> r;
  return r;
}

MVGframebuffer* gBound = nullptr;
int gLive = 0, gDeleted = 0;

struct Vec2 { float x, y; };

void Inverse(const float* t, float* inv)
{
  const double det = static_cast<double>(t[0]) * t[3] - static_cast<double>(t[2]) * t[1];
  if (std::fabs(det) < 1e-12) {
    const float id[6] = {1, 0, 0, 1, 0, 0};
    std::memcpy(inv, id, sizeof(id));
    return;
  }
  const double i = 1.0 / det;
  inv[0] = static_cast<float>(t[3] * i);
  inv[1] = static_cast<float>(-t[1] * i);
  inv[2] = static_cast<float>(-t[2] * i);
  inv[3] = static_cast<float>(t[0] * i);
  inv[4] = static_cast<float>((static_cast<double>(t[2]) * t[5] - static_cast<double>(t[3]) * t[4]) * i);
  inv[5] = static_cast<float>((static_cast<double>(t[1]) * t[4] - static_cast<double>(t[0]) * t[5]) * i);
}

Vec2 Apply(const float* t, Vec2 p) { return {t[0] * p.x + t[2] * p.y + t[4], t[1] * p.x + t[3] * p.y + t[5]}; }

float RoundRectDistance(Vec2 p, Vec2 ext, float rad)
{
  const float ex = ext.x - rad, ey = ext.y - rad;
  const float dx = std::fabs(p.x) - ex, dy = std::fabs(p.y) - ey;
  return std::min(std::max(dx, dy), 0.0f) + std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f)) - rad;
}

// Bilinear, clamped to the edge; premultiplied RGBA out (alpha textures give a a a a).
void Sample(const vgtest::Texture& t, float u, float v, float out[4])
{
  const float fx = std::clamp(u * t.w - 0.5f, 0.0f, static_cast<float>(t.w - 1));
  const float fy = std::clamp(v * t.h - 0.5f, 0.0f, static_cast<float>(t.h - 1));
  const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
  const int x1 = std::min(x0 + 1, t.w - 1), y1 = std::min(y0 + 1, t.h - 1);
  const float ax = fx - x0, ay = fy - y0;
  const int bpp = t.type == VG_TEXTURE_RGBA ? 4 : 1;
  float acc[4] = {};
  const int xs[2] = {x0, x1}, ys[2] = {y0, y1};
  const float wx[2] = {1 - ax, ax}, wy[2] = {1 - ay, ay};
  for (int j = 0; j < 2; j++)
    for (int i = 0; i < 2; i++) {
      const uint8_t* p = &t.data[(static_cast<std::size_t>(ys[j]) * t.w + xs[i]) * bpp];
      float c[4];
      if (bpp == 1) {
        c[0] = c[1] = c[2] = c[3] = p[0] / 255.0f;
      } else {
        const float a = p[3] / 255.0f;
        const float m = (t.imageFlags & kPremultiplied) ? 1.0f : a;
        for (int k = 0; k < 3; k++) c[k] = p[k] / 255.0f * m;
        c[3] = a;
      }
      for (int k = 0; k < 4; k++) acc[k] += c[k] * wx[i] * wy[j];
    }
  std::memcpy(out, acc, sizeof(acc));
}

class Shader {
public:
  Shader(const Context& ctx, const RecordedCall& call) : mCall(call)
  {
    Inverse(call.paint.xform, mPaintInv);
    Inverse(call.scissor.xform, mScissorInv);
    mTex = call.paint.image ? ctx.FindTexture(call.paint.image) : nullptr;
  }

  // Premultiplied colour at canvas point p; for triangles (u, v) are texture coordinates.
  void Shade(Vec2 p, float u, float v, float out[4]) const
  {
    float scissor = 1.0f;
    if (mCall.scissor.extent[0] >= 0) {
      const Vec2 s = Apply(mScissorInv, p);
      scissor = (std::fabs(s.x) <= mCall.scissor.extent[0] && std::fabs(s.y) <= mCall.scissor.extent[1]) ? 1.0f : 0.0f;
    }
    const VGpaint& paint = mCall.paint;
    float inner[4], outer[4];
    Premul(paint.innerColor, inner);
    Premul(paint.outerColor, outer);
    if (mCall.kind == ECall::Triangles) {
      float t[4] = {1, 1, 1, 1};
      if (mTex) Sample(*mTex, u, v, t);
      for (int k = 0; k < 4; k++) out[k] = t[k] * inner[k] * scissor;
      return;
    }
    const Vec2 pt = Apply(mPaintInv, p);
    if (mTex) {
      float t[4];
      Sample(*mTex, pt.x / paint.extent[0], pt.y / paint.extent[1], t);
      for (int k = 0; k < 4; k++) out[k] = t[k] * inner[k] * scissor;
      return;
    }
    float d = 0;
    if (paint.feather > 0)
      d = std::clamp((RoundRectDistance(pt, {paint.extent[0], paint.extent[1]}, paint.radius) + paint.feather * 0.5f) /
                         paint.feather, 0.0f, 1.0f);
    for (int k = 0; k < 4; k++) out[k] = (inner[k] * (1 - d) + outer[k] * d) * scissor;
  }

private:
  static void Premul(const VGcolor& c, float out[4])
  {
    out[0] = c.r * c.a;
    out[1] = c.g * c.a;
    out[2] = c.b * c.a;
    out[3] = c.a;
  }

  const RecordedCall& mCall;
  const vgtest::Texture* mTex = nullptr;
  float mPaintInv[6], mScissorInv[6];
};

float Factor(int f, const float* s, const float* d, int k)
{
  switch (f) {
    case VG_ZERO: return 0;
    case VG_ONE: return 1;
    case VG_SRC_COLOR: return s[k];
    case VG_ONE_MINUS_SRC_COLOR: return 1 - s[k];
    case VG_DST_COLOR: return d[k];
    case VG_ONE_MINUS_DST_COLOR: return 1 - d[k];
    case VG_SRC_ALPHA: return s[3];
    case VG_ONE_MINUS_SRC_ALPHA: return 1 - s[3];
    case VG_DST_ALPHA: return d[3];
    case VG_ONE_MINUS_DST_ALPHA: return 1 - d[3];
    case VG_SRC_ALPHA_SATURATE: return k == 3 ? 1 : std::min(s[3], 1 - d[3]);
  }
  return 0;
}

struct Target {
  uint8_t* px;
  int w, h;
  float ratio;
};

void BlendPixel(const Target& t, int x, int y, const float src[4], const VGcompositeOperationState& op)
{
  uint8_t* p = &t.px[(static_cast<std::size_t>(y) * t.w + x) * 4];
  const float d[4] = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
  for (int k = 0; k < 4; k++) {
    const int sf = k < 3 ? op.srcRGB : op.srcAlpha, df = k < 3 ? op.dstRGB : op.dstAlpha;
    const float v = src[k] * Factor(sf, src, d, k) + d[k] * Factor(df, src, d, k);
    p[k] = static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255));
  }
}

template <class F>
void ForTriangle(const VGvertex& a, const VGvertex& b, const VGvertex& c, const Target& t, F&& f)
{
  const float r = t.ratio;
  const float ax = a.x * r, ay = a.y * r, bx = b.x * r, by = b.y * r, cx = c.x * r, cy = c.y * r;
  const float area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
  if (area == 0) return;
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min({ax, bx, cx}))));
  const int x1 = std::min(t.w - 1, static_cast<int>(std::ceil(std::max({ax, bx, cx}))));
  const int y0 = std::max(0, static_cast<int>(std::floor(std::min({ay, by, cy}))));
  const int y1 = std::min(t.h - 1, static_cast<int>(std::ceil(std::max({ay, by, cy}))));
  const int sign = area > 0 ? 1 : -1;
  for (int y = y0; y <= y1; y++) {
    const float py = y + 0.5f + 1.3e-4f;
    for (int x = x0; x <= x1; x++) {
      const float px = x + 0.5f + 1.1e-4f;
      const float w0 = ((bx - px) * (cy - py) - (by - py) * (cx - px)) / area;
      const float w1 = ((cx - px) * (ay - py) - (cy - py) * (ax - px)) / area;
      const float w2 = 1 - w0 - w1;
      if (w0 < 0 || w1 < 0 || w2 < 0) continue;
      f(x, y, w0 * a.u + w1 * b.u + w2 * c.u, w0 * a.v + w1 * b.v + w2 * c.v, sign);
    }
  }
}

float Mask(float u, float v, float strokeMult, bool aa)
{
  if (!aa) return 1.0f;
  return std::min(1.0f, (1.0f - std::fabs(u * 2.0f - 1.0f)) * strokeMult) * std::min(1.0f, v);
}

// Pixel box of every vertex a call hands over, clamped to the target.
struct Box { int x0, y0, x1, y1; };

Box CallBox(const Context& ctx, const RecordedCall& call, const Target& t)
{
  float lx = 1e30f, ly = 1e30f, hx = -1e30f, hy = -1e30f;
  const auto add = [&](const VGvertex* v, int n) {
    for (int i = 0; i < n; i++) {
      lx = std::min(lx, v[i].x); ly = std::min(ly, v[i].y);
      hx = std::max(hx, v[i].x); hy = std::max(hy, v[i].y);
    }
  };
  if (call.kind == ECall::Triangles) add(ctx.verts.data() + call.firstVert, call.nverts);
  for (int i = 0; call.kind != ECall::Triangles && i < call.npaths; i++) {
    const RecordedPath& p = ctx.Path(call, i);
    add(ctx.FillVerts(p), p.nfill);
    add(ctx.StrokeVerts(p), p.nstroke);
  }
  if (lx > hx) return {0, 0, -1, -1};
  return {std::max(0, static_cast<int>(std::floor(lx * t.ratio)) - 1),
          std::max(0, static_cast<int>(std::floor(ly * t.ratio)) - 1),
          std::min(t.w - 1, static_cast<int>(std::ceil(hx * t.ratio)) + 1),
          std::min(t.h - 1, static_cast<int>(std::ceil(hy * t.ratio)) + 1)};
}

// cov, uvs and stencil are target-sized and zero outside a call; each call
// clears what it touched.
void DrawCall(const Context& ctx, const RecordedCall& call, const Target& t, std::vector<float>& cov,
              std::vector<float>& uvs, std::vector<int>& stencil)
{
  const Box box = CallBox(ctx, call, t);
  if (box.x1 < box.x0 || box.y1 < box.y0) return;
  const Shader shader(ctx, call);
  const bool aa = ctx.antialias;
  if (call.kind == ECall::Triangles) {
    const VGvertex* v = ctx.verts.data() + call.firstVert;
    for (int i = 0; i + 2 < call.nverts; i += 3)
      ForTriangle(v[i], v[i + 1], v[i + 2], t, [&](int x, int y, float u, float vv, int) {
        const std::size_t k = static_cast<std::size_t>(y) * t.w + x;
        cov[k] = 1;
        uvs[k * 2] = u;
        uvs[k * 2 + 1] = vv;
      });
  } else if (call.kind == ECall::Fill) {
    for (int i = 0; i < call.npaths; i++) {
      const RecordedPath& p = ctx.Path(call, i);
      const VGvertex* v = ctx.FillVerts(p);
      for (int k = 1; k + 1 < p.nfill; k++)
        ForTriangle(v[0], v[k], v[k + 1], t,
                    [&](int x, int y, float, float, int sign) { stencil[static_cast<std::size_t>(y) * t.w + x] += sign; });
    }
    for (int y = box.y0; y <= box.y1; y++)
      for (int x = box.x0; x <= box.x1; x++) {
        const std::size_t k = static_cast<std::size_t>(y) * t.w + x;
        if (stencil[k] != 0) cov[k] = 1.0f;
      }
    for (int i = 0; i < call.npaths; i++) {
      const RecordedPath& p = ctx.Path(call, i);
      const VGvertex* v = ctx.StrokeVerts(p);
      for (int k = 0; k + 2 < p.nstroke; k++)
        ForTriangle(v[k], v[k + 1], v[k + 2], t, [&](int x, int y, float u, float vv, int) {
          const std::size_t j = static_cast<std::size_t>(y) * t.w + x;
          if (stencil[j] == 0) cov[j] = std::max(cov[j], Mask(u, vv, 1.0f, aa));
        });
    }
  } else {
    const float strokeMult = (call.strokeWidth * 0.5f + call.fringe * 0.5f) / call.fringe;
    for (int i = 0; i < call.npaths; i++) {
      const RecordedPath& p = ctx.Path(call, i);
      const VGvertex* v = ctx.StrokeVerts(p);
      for (int k = 0; k + 2 < p.nstroke; k++)
        ForTriangle(v[k], v[k + 1], v[k + 2], t, [&](int x, int y, float u, float vv, int) {
          const std::size_t j = static_cast<std::size_t>(y) * t.w + x;
          cov[j] = std::max(cov[j], Mask(u, vv, strokeMult, aa));
        });
    }
  }
  for (int y = box.y0; y <= box.y1; y++)
    for (int x = box.x0; x <= box.x1; x++) {
      const std::size_t k = static_cast<std::size_t>(y) * t.w + x;
      const float c = cov[k];
      stencil[k] = 0;
      if (c <= 0) continue;
      cov[k] = 0;
      float src[4];
      shader.Shade({(x + 0.5f) / t.ratio, (y + 0.5f) / t.ratio}, uvs[k * 2], uvs[k * 2 + 1], src);
      for (float& v : src) v *= c;
      BlendPixel(t, x, y, src, call.op);
    }
}

void Flush(void* uptr)
{
  auto& ctx = static_cast<Context&>(*static_cast<vgtest::VGRecordingRenderer*>(uptr));
  vgtest::VGRecordingRenderer::RenderFlush(uptr);
  ctx.flushes++;
  if (ctx.raster) {
    Target t{};
    t.ratio = ctx.ratio;
    vgtest::Texture* tex = nullptr;
    if (gBound) {
      for (auto& x : ctx.textures)
        if (x.id == gBound->image) tex = &x;
    }
    if (tex) {
      t = {tex->data.data(), tex->w, tex->h, ctx.ratio};
    } else if (!gBound) {
      ctx.drawableW = static_cast<int>(ctx.viewW * ctx.ratio);
      ctx.drawableH = static_cast<int>(ctx.viewH * ctx.ratio);
      ctx.drawable.resize(static_cast<std::size_t>(ctx.drawableW) * ctx.drawableH * 4);
      t = {ctx.drawable.data(), ctx.drawableW, ctx.drawableH, ctx.ratio};
    }
    if (t.px) {
      if (ctx.clearOnFlush)
        for (std::size_t i = 0; i < static_cast<std::size_t>(t.w) * t.h; i++)
          for (int k = 0; k < 4; k++) t.px[i * 4 + k] = static_cast<uint8_t>(std::lround(ctx.clear[k] * 255));
      const std::size_t n = static_cast<std::size_t>(t.w) * t.h;
      ctx.cov.assign(n, 0.0f);
      ctx.uvs.assign(n * 2, 0.0f);
      ctx.stencil.assign(n, 0);
      for (std::size_t i = ctx.firstPending; i < ctx.calls.size(); i++) {
        const RecordedCall& c = ctx.calls[i];
        if (c.kind == ECall::Fill || c.kind == ECall::Stroke || c.kind == ECall::Triangles) DrawCall(ctx, c, t, ctx.cov, ctx.uvs, ctx.stencil);
      }
    }
  }
  ctx.clearOnFlush = false;
  if (ctx.keepCalls)
    ctx.firstPending = ctx.calls.size();
  else {
    ctx.Clear();
    ctx.firstPending = 0;
  }
}

void Viewport(void* uptr, float w, float h, float ratio)
{
  auto& ctx = static_cast<Context&>(*static_cast<vgtest::VGRecordingRenderer*>(uptr));
  vgtest::VGRecordingRenderer::RenderViewport(uptr, w, h, ratio);
  ctx.viewW = w;
  ctx.viewH = h;
  ctx.ratio = ratio;
}

void Delete(void* uptr)
{
  auto* ctx = static_cast<Context*>(static_cast<vgtest::VGRecordingRenderer*>(uptr));
  for (auto it = Registry().begin(); it != Registry().end(); ++it)
    if (it->second == ctx) {
      Registry().erase(it);
      break;
    }
  delete ctx;
}

} // namespace

Context* ContextOf(VGcontext* vg)
{
  auto it = Registry().find(vg);
  return it == Registry().end() ? nullptr : it->second;
}

int LiveFramebuffers() { return gLive; }
int FramebuffersDeleted() { return gDeleted; }
void ResetCounts() { gDeleted = 0; }
MVGframebuffer* BoundFramebuffer() { return gBound; }

void Unpremultiply(const uint8_t* in, uint8_t* out)
{
  const int a = in[3];
  for (int k = 0; k < 3; k++) out[k] = static_cast<uint8_t>(a ? std::min(255, (in[k] * 255 + a / 2) / a) : 0);
  out[3] = static_cast<uint8_t>(a);
}

} // namespace softmvg

using softmvg::Context;

VGcontext* mvgCreateContext(CAMetalLayer*, int flags)
{
  auto* ctx = new Context;
  VGparams p = ctx->Params(flags & VG_ANTIALIAS);
  ctx->antialias = (flags & VG_ANTIALIAS) != 0;
  p.userPtr = static_cast<vgtest::VGRecordingRenderer*>(ctx);
  p.renderFlush = softmvg::Flush;
  p.renderViewport = softmvg::Viewport;
  p.renderDelete = softmvg::Delete;
  VGcontext* vg = vgCreateInternal(&p);
  if (vg) softmvg::Registry()[vg] = ctx;
  return vg;
}

void mvgDeleteContext(VGcontext* ctx)
{
  if (ctx) vgDeleteInternal(ctx);
}

void mvgBindFramebuffer(MVGframebuffer* fb) { softmvg::gBound = fb; }

MVGframebuffer* mvgCreateFramebuffer(VGcontext* ctx, int w, int h, int imageFlags)
{
  Context* c = softmvg::ContextOf(ctx);
  if (!c) return nullptr;
  auto* fb = static_cast<MVGframebuffer*>(std::malloc(sizeof(MVGframebuffer)));
  if (!fb) return nullptr;
  fb->ctx = ctx;
  fb->image = vgtest::VGRecordingRenderer::RenderCreateTexture(static_cast<vgtest::VGRecordingRenderer*>(c),
                                                               VG_TEXTURE_RGBA, w, h, imageFlags | softmvg::kPremultiplied, nullptr);
  softmvg::gLive++;
  return fb;
}

void mvgDeleteFramebuffer(MVGframebuffer* fb)
{
  if (!fb) return;
  if (fb->image > 0)
    if (Context* c = softmvg::ContextOf(fb->ctx))
      vgtest::VGRecordingRenderer::RenderDeleteTexture(static_cast<vgtest::VGRecordingRenderer*>(c), fb->image);
  if (softmvg::gBound == fb) softmvg::gBound = nullptr;
  std::free(fb);
  softmvg::gLive--;
  softmvg::gDeleted++;
}

void mvgClearWithColor(VGcontext* ctx, VGcolor c)
{
  if (Context* x = softmvg::ContextOf(ctx)) {
    const float v[4] = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    std::memcpy(x->clear, v, sizeof(v));
    x->clearOnFlush = true;
  }
}

void mvgReadPixels(VGcontext* ctx, int image, int x, int y, int w, int h, void* data)
{
  Context* c = softmvg::ContextOf(ctx);
  const vgtest::Texture* t = c ? c->FindTexture(image) : nullptr;
  if (!t || !data) return;
  const int bpp = t->type == VG_TEXTURE_RGBA ? 4 : 1;
  const std::size_t row = static_cast<std::size_t>(t->w) * bpp;
  for (int j = 0; j < h && y + j < t->h; j++)
    std::memcpy(static_cast<uint8_t*>(data) + j * row + static_cast<std::size_t>(x) * bpp,
                t->data.data() + (y + j) * row + static_cast<std::size_t>(x) * bpp,
                static_cast<std::size_t>(std::min(w, t->w - x)) * bpp);
}
