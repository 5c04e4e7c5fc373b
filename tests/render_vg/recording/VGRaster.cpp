#include "VGRaster.h"

#include <algorithm>
#include <cmath>

namespace vgtest {

namespace {

struct Vec2 {
  float x, y;
};

void Inverse(const float* t, float* inv)
{
  const double det = static_cast<double>(t[0]) * t[3] - static_cast<double>(t[2]) * t[1];
  if (std::fabs(det) < 1e-12) {
    inv[0] = 1;
    inv[1] = 0;
    inv[2] = 0;
    inv[3] = 1;
    inv[4] = 0;
    inv[5] = 0;
    return;
  }
  const double id = 1.0 / det;
  inv[0] = static_cast<float>(t[3] * id);
  inv[1] = static_cast<float>(-t[1] * id);
  inv[2] = static_cast<float>(-t[2] * id);
  inv[3] = static_cast<float>(t[0] * id);
  inv[4] = static_cast<float>((static_cast<double>(t[2]) * t[5] - static_cast<double>(t[3]) * t[4]) * id);
  inv[5] = static_cast<float>((static_cast<double>(t[1]) * t[4] - static_cast<double>(t[0]) * t[5]) * id);
}

Vec2 Apply(const float* t, Vec2 p) { return {t[0] * p.x + t[2] * p.y + t[4], t[1] * p.x + t[3] * p.y + t[5]}; }

// Signed distance to a rounded box of half size ext and corner radius rad.
float RoundRectDistance(Vec2 p, Vec2 ext, float rad)
{
  const float ex = ext.x - rad, ey = ext.y - rad;
  const float dx = std::fabs(p.x) - ex, dy = std::fabs(p.y) - ey;
  return std::min(std::max(dx, dy), 0.0f) + std::hypot(std::max(dx, 0.0f), std::max(dy, 0.0f)) - rad;
}

class CallPainter {
public:
  CallPainter(const RecordedCall& call, float ratio) : mCall(call), mRatio(ratio)
  {
    Inverse(call.paint.xform, mPaintInv);
    Inverse(call.scissor.xform, mScissorInv);
  }

  // Premultiplied colour of the paint at a canvas point, scissor applied.
  void Shade(Vec2 p, float out[4]) const
  {
    float scissor = 1.0f;
    if (mCall.scissor.extent[0] >= 0) {
      const Vec2 s = Apply(mScissorInv, p);
      scissor = (std::fabs(s.x) <= mCall.scissor.extent[0] && std::fabs(s.y) <= mCall.scissor.extent[1]) ? 1.0f : 0.0f;
    }
    const VGpaint& paint = mCall.paint;
    const Vec2 pt = Apply(mPaintInv, p);
    float d = 0;
    if (paint.feather > 0) {
      d = (RoundRectDistance(pt, {paint.extent[0], paint.extent[1]}, paint.radius) + paint.feather * 0.5f) /
          paint.feather;
      d = std::clamp(d, 0.0f, 1.0f);
    }
    VGcolor c;
    for (int i = 0; i < 4; i++)
      c[i] = paint.innerColor[i] * (1 - d) + paint.outerColor[i] * d;
    const float a = c.a * scissor;
    out[0] = c.r * a;
    out[1] = c.g * a;
    out[2] = c.b * a;
    out[3] = a;
  }

  float Ratio() const { return mRatio; }

private:
  const RecordedCall& mCall;
  float mRatio;
  float mPaintInv[6];
  float mScissorInv[6];
};

// Visits the pixel centres inside a triangle (in pixels) with the
// interpolated u, v and the triangle's orientation.
template <class F>
void ForTriangle(const VGvertex& a, const VGvertex& b, const VGvertex& c, float ratio, int w, int h, F&& f)
{
  const float ax = a.x * ratio, ay = a.y * ratio, bx = b.x * ratio, by = b.y * ratio, cx = c.x * ratio,
              cy = c.y * ratio;
  const float area = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
  if (area == 0)
    return;
  const int x0 = std::max(0, static_cast<int>(std::floor(std::min({ax, bx, cx}))));
  const int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max({ax, bx, cx}))));
  const int y0 = std::max(0, static_cast<int>(std::floor(std::min({ay, by, cy}))));
  const int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max({ay, by, cy}))));
  const int sign = area > 0 ? 1 : -1;
  for (int y = y0; y <= y1; y++) {
    // Nudged off the centre so that edges through pixel centres count once.
    const float py = y + 0.5f + 1.3e-4f;
    for (int x = x0; x <= x1; x++) {
      const float px = x + 0.5f + 1.1e-4f;
      const float w0 = ((bx - px) * (cy - py) - (by - py) * (cx - px)) / area;
      const float w1 = ((cx - px) * (ay - py) - (cy - py) * (ax - px)) / area;
      const float w2 = 1 - w0 - w1;
      if (w0 < 0 || w1 < 0 || w2 < 0)
        continue;
      f(x, y, w0 * a.u + w1 * b.u + w2 * c.u, w0 * a.v + w1 * b.v + w2 * c.v, sign);
    }
  }
}

float Mask(float u, float v, float strokeMult, bool antialias)
{
  if (!antialias)
    return 1.0f;
  return std::min(1.0f, (1.0f - std::fabs(u * 2.0f - 1.0f)) * strokeMult) * std::min(1.0f, v);
}

void Blend(RasterImage& img, const std::vector<float>& coverage, const CallPainter& painter)
{
  for (int y = 0; y < img.h; y++) {
    for (int x = 0; x < img.w; x++) {
      const float cov = coverage[static_cast<size_t>(y) * img.w + x];
      if (cov <= 0)
        continue;
      float src[4];
      painter.Shade({(x + 0.5f) / painter.Ratio(), (y + 0.5f) / painter.Ratio()}, src);
      float* dst = &img.rgba[(static_cast<size_t>(y) * img.w + x) * 4];
      const float sa = src[3] * cov;
      for (int i = 0; i < 3; i++)
        dst[i] = src[i] * cov + dst[i] * (1 - sa);
      dst[3] = sa + dst[3] * (1 - sa);
    }
  }
}

void Strip(const VGvertex* v, int n, float ratio, int w, int h, float strokeMult, bool antialias,
           const std::vector<int>* stencil, std::vector<float>& coverage)
{
  for (int i = 0; i + 2 < n; i++) {
    ForTriangle(v[i], v[i + 1], v[i + 2], ratio, w, h, [&](int x, int y, float u, float vv, int) {
      const size_t k = static_cast<size_t>(y) * w + x;
      if (stencil && (*stencil)[k] != 0)
        return;
      coverage[k] = std::max(coverage[k], Mask(u, vv, strokeMult, antialias));
    });
  }
}

} // namespace

void RasterImage::Pixel(int x, int y, unsigned char out[4]) const
{
  const float* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
  const float a = p[3];
  for (int i = 0; i < 3; i++)
    out[i] = static_cast<unsigned char>(a > 0 ? std::lround(std::clamp(p[i] / a, 0.0f, 1.0f) * 255) : 0);
  out[3] = static_cast<unsigned char>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255));
}

double RasterImage::AlphaSum() const
{
  double s = 0;
  for (size_t i = 3; i < rgba.size(); i += 4)
    s += rgba[i];
  return s;
}

void Rasterize(const VGRecordingRenderer& rec, int w, int h, float ratio, bool antialias, RasterImage& out)
{
  out.w = w;
  out.h = h;
  out.rgba.assign(static_cast<size_t>(w) * h * 4, 0.0f);
  std::vector<float> coverage(static_cast<size_t>(w) * h);
  std::vector<int> stencil(static_cast<size_t>(w) * h);

  for (const RecordedCall& call : rec.calls) {
    if (call.kind != ECall::Fill && call.kind != ECall::Stroke)
      continue;
    if (call.paint.image != 0)
      continue;
    std::fill(coverage.begin(), coverage.end(), 0.0f);
    const CallPainter painter(call, ratio);

    if (call.kind == ECall::Fill) {
      std::fill(stencil.begin(), stencil.end(), 0);
      // Non-zero winding of every path's fan, then the fringes outside it.
      for (int i = 0; i < call.npaths; i++) {
        const RecordedPath& p = rec.Path(call, i);
        const VGvertex* v = rec.FillVerts(p);
        for (int k = 1; k + 1 < p.nfill; k++)
          ForTriangle(v[0], v[k], v[k + 1], ratio, w, h,
                      [&](int x, int y, float, float, int sign) { stencil[static_cast<size_t>(y) * w + x] += sign; });
      }
      for (size_t k = 0; k < stencil.size(); k++)
        if (stencil[k] != 0)
          coverage[k] = 1.0f;
      for (int i = 0; i < call.npaths; i++) {
        const RecordedPath& p = rec.Path(call, i);
        Strip(rec.StrokeVerts(p), p.nstroke, ratio, w, h, 1.0f, antialias, &stencil, coverage);
      }
    } else {
      const float strokeMult = (call.strokeWidth * 0.5f + call.fringe * 0.5f) / call.fringe;
      for (int i = 0; i < call.npaths; i++) {
        const RecordedPath& p = rec.Path(call, i);
        Strip(rec.StrokeVerts(p), p.nstroke, ratio, w, h, strokeMult, antialias, nullptr, coverage);
      }
    }
    Blend(out, coverage, painter);
  }
}

} // namespace vgtest
