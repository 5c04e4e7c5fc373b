#include "VGRecordingRenderer.h"

#include <algorithm>
#include <cstring>

namespace vgtest {

namespace {
VGRecordingRenderer& Self(void* uptr) { return *static_cast<VGRecordingRenderer*>(uptr); }
} // namespace

const char* CallName(ECall kind)
{
  switch (kind) {
  case ECall::Create: return "create";
  case ECall::CreateTexture: return "createTexture";
  case ECall::DeleteTexture: return "deleteTexture";
  case ECall::UpdateTexture: return "updateTexture";
  case ECall::GetTextureSize: return "getTextureSize";
  case ECall::Viewport: return "viewport";
  case ECall::Cancel: return "cancel";
  case ECall::Flush: return "flush";
  case ECall::Fill: return "fill";
  case ECall::Stroke: return "stroke";
  case ECall::Triangles: return "triangles";
  case ECall::Delete: return "delete";
  }
  return "?";
}

VGparams VGRecordingRenderer::Params(int edgeAntiAlias)
{
  VGparams p;
  std::memset(&p, 0, sizeof(p));
  p.userPtr = this;
  p.edgeAntiAlias = edgeAntiAlias;
  p.renderCreate = RenderCreate;
  p.renderCreateTexture = RenderCreateTexture;
  p.renderDeleteTexture = RenderDeleteTexture;
  p.renderUpdateTexture = RenderUpdateTexture;
  p.renderGetTextureSize = RenderGetTextureSize;
  p.renderViewport = RenderViewport;
  p.renderCancel = RenderCancel;
  p.renderFlush = RenderFlush;
  p.renderFill = RenderFill;
  p.renderStroke = RenderStroke;
  p.renderTriangles = RenderTriangles;
  p.renderDelete = RenderDelete;
  return p;
}

void VGRecordingRenderer::Clear()
{
  calls.clear();
  paths.clear();
  verts.clear();
}

const Texture* VGRecordingRenderer::FindTexture(int id) const
{
  for (const Texture& t : textures)
    if (t.id == id)
      return &t;
  return nullptr;
}

Texture* VGRecordingRenderer::MutableTexture(int id)
{
  for (Texture& t : textures)
    if (t.id == id)
      return &t;
  return nullptr;
}

std::vector<ECall> VGRecordingRenderer::Kinds() const
{
  std::vector<ECall> kinds;
  for (const RecordedCall& c : calls)
    kinds.push_back(c.kind);
  return kinds;
}

int VGRecordingRenderer::Count(ECall kind) const
{
  return static_cast<int>(
    std::count_if(calls.begin(), calls.end(), [kind](const RecordedCall& c) { return c.kind == kind; }));
}

const RecordedCall* VGRecordingRenderer::Last(ECall kind) const
{
  for (auto it = calls.rbegin(); it != calls.rend(); ++it)
    if (it->kind == kind)
      return &*it;
  return nullptr;
}

RecordedCall& VGRecordingRenderer::Add(ECall kind)
{
  calls.emplace_back();
  calls.back().kind = kind;
  return calls.back();
}

void VGRecordingRenderer::AddPaths(RecordedCall& call, const VGpath* p, int n)
{
  call.firstPath = static_cast<int>(paths.size());
  call.npaths = n;
  for (int i = 0; i < n; i++) {
    RecordedPath rp;
    rp.count = p[i].count;
    rp.closed = p[i].closed;
    rp.nbevel = p[i].nbevel;
    rp.winding = p[i].winding;
    rp.convex = p[i].convex;
    rp.fillFirst = static_cast<int>(verts.size());
    rp.nfill = p[i].fill ? p[i].nfill : 0;
    verts.insert(verts.end(), p[i].fill, p[i].fill + rp.nfill);
    rp.strokeFirst = static_cast<int>(verts.size());
    rp.nstroke = p[i].stroke ? p[i].nstroke : 0;
    verts.insert(verts.end(), p[i].stroke, p[i].stroke + rp.nstroke);
    paths.push_back(rp);
  }
}

int VGRecordingRenderer::RenderCreate(void* uptr)
{
  VGRecordingRenderer& r = Self(uptr);
  r.Add(ECall::Create);
  return r.failCreate ? 0 : 1;
}

int VGRecordingRenderer::RenderCreateTexture(void* uptr, int type, int w, int h, int imageFlags, const uint8_t* data)
{
  VGRecordingRenderer& r = Self(uptr);
  RecordedCall& c = r.Add(ECall::CreateTexture);
  c.type = type;
  c.w = w;
  c.h = h;
  c.imageFlags = imageFlags;
  r.textureRequests++;
  if (r.failTextureFrom > 0 && r.textureRequests >= r.failTextureFrom)
    return 0;
  Texture t;
  t.id = r.nextImage++;
  t.type = type;
  t.w = w;
  t.h = h;
  t.imageFlags = imageFlags;
  const size_t bytes = static_cast<size_t>(w) * h * (type == VG_TEXTURE_RGBA ? 4 : 1);
  t.data.assign(bytes, 0);
  if (data)
    std::memcpy(t.data.data(), data, bytes);
  c.image = t.id;
  r.textures.push_back(std::move(t));
  return c.image;
}

int VGRecordingRenderer::RenderDeleteTexture(void* uptr, int image)
{
  VGRecordingRenderer& r = Self(uptr);
  r.Add(ECall::DeleteTexture).image = image;
  auto it = std::find_if(r.textures.begin(), r.textures.end(), [image](const Texture& t) { return t.id == image; });
  if (it == r.textures.end())
    return 0;
  r.textures.erase(it);
  return 1;
}

int VGRecordingRenderer::RenderUpdateTexture(void* uptr, int image, int x, int y, int w, int h, const uint8_t* data)
{
  VGRecordingRenderer& r = Self(uptr);
  RecordedCall& c = r.Add(ECall::UpdateTexture);
  c.image = image;
  c.x = x;
  c.y = y;
  c.w = w;
  c.h = h;
  Texture* t = r.MutableTexture(image);
  if (!t || !data)
    return 0;
  // The source is a whole image of the texture's size; only the region is copied.
  const int bpp = t->type == VG_TEXTURE_RGBA ? 4 : 1;
  for (int row = y; row < y + h && row < t->h; row++) {
    const size_t off = (static_cast<size_t>(row) * t->w + x) * bpp;
    std::memcpy(t->data.data() + off, data + off, static_cast<size_t>(std::min(w, t->w - x)) * bpp);
  }
  return 1;
}

int VGRecordingRenderer::RenderGetTextureSize(void* uptr, int image, int* w, int* h)
{
  VGRecordingRenderer& r = Self(uptr);
  r.Add(ECall::GetTextureSize).image = image;
  const Texture* t = r.MutableTexture(image);
  if (!t)
    return 0;
  *w = t->w;
  *h = t->h;
  return 1;
}

void VGRecordingRenderer::RenderViewport(void* uptr, float width, float height, float ratio)
{
  RecordedCall& c = Self(uptr).Add(ECall::Viewport);
  c.width = width;
  c.height = height;
  c.ratio = ratio;
}

void VGRecordingRenderer::RenderCancel(void* uptr) { Self(uptr).Add(ECall::Cancel); }
void VGRecordingRenderer::RenderFlush(void* uptr) { Self(uptr).Add(ECall::Flush); }

void VGRecordingRenderer::RenderFill(void* uptr, VGpaint* paint, VGcompositeOperationState op, VGscissor* scissor,
                                     float fringe, const float* bounds, const VGpath* paths, int npaths)
{
  VGRecordingRenderer& r = Self(uptr);
  RecordedCall& c = r.Add(ECall::Fill);
  c.paint = *paint;
  c.op = op;
  c.scissor = *scissor;
  c.fringe = fringe;
  std::memcpy(c.bounds, bounds, sizeof(c.bounds));
  r.AddPaths(c, paths, npaths);
}

void VGRecordingRenderer::RenderStroke(void* uptr, VGpaint* paint, VGcompositeOperationState op, VGscissor* scissor,
                                       float fringe, float strokeWidth, const VGpath* paths, int npaths)
{
  VGRecordingRenderer& r = Self(uptr);
  RecordedCall& c = r.Add(ECall::Stroke);
  c.paint = *paint;
  c.op = op;
  c.scissor = *scissor;
  c.fringe = fringe;
  c.strokeWidth = strokeWidth;
  r.AddPaths(c, paths, npaths);
}

void VGRecordingRenderer::RenderTriangles(void* uptr, VGpaint* paint, VGcompositeOperationState op, VGscissor* scissor,
                                          const VGvertex* verts, int nverts, float fringe)
{
  VGRecordingRenderer& r = Self(uptr);
  RecordedCall& c = r.Add(ECall::Triangles);
  c.paint = *paint;
  c.op = op;
  c.scissor = *scissor;
  c.fringe = fringe;
  c.firstVert = static_cast<int>(r.verts.size());
  c.nverts = nverts;
  r.verts.insert(r.verts.end(), verts, verts + nverts);
}

void VGRecordingRenderer::RenderDelete(void* uptr)
{
  VGRecordingRenderer& r = Self(uptr);
  r.Add(ECall::Delete);
  r.deleted++;
}

} // namespace vgtest
