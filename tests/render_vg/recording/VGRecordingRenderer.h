#pragma once
// A renderer for tests and benchmarks on the engine's callback record: it
// keeps every callback in order, with copies of the paints, paths and
// vertices handed over, and holds textures as plain pixel arrays. Clear()
// forgets the calls but keeps the capacity, so a steady frame allocates
// nothing here either.

#include <cstdint>
#include <vector>

#include "VG.h"

namespace vgtest {

enum class ECall {
  Create,
  CreateTexture,
  DeleteTexture,
  UpdateTexture,
  GetTextureSize,
  Viewport,
  Cancel,
  Flush,
  Fill,
  Stroke,
  Triangles,
  Delete,
};

const char* CallName(ECall kind);

// A path as the renderer received it; its vertices are copies in verts.
struct RecordedPath {
  int count = 0;
  int closed = 0;
  int nbevel = 0;
  int winding = 0;
  int convex = 0;
  int fillFirst = 0, nfill = 0;
  int strokeFirst = 0, nstroke = 0;
};

struct RecordedCall {
  ECall kind = ECall::Create;
  // Textures.
  int image = 0, type = 0, x = 0, y = 0, w = 0, h = 0, imageFlags = 0;
  // Viewport.
  float width = 0, height = 0, ratio = 0;
  // Fill, stroke, triangles.
  VGpaint paint{};
  VGcompositeOperationState op{};
  VGscissor scissor{};
  float fringe = 0, strokeWidth = 0;
  float bounds[4] = {};
  int firstPath = 0, npaths = 0;
  int firstVert = 0, nverts = 0; // triangles only
};

struct Texture {
  int id = 0, type = 0, w = 0, h = 0, imageFlags = 0;
  std::vector<uint8_t> data;
};

class VGRecordingRenderer {
public:
  // The callback record for this renderer (renderDelete included).
  VGparams Params(int edgeAntiAlias = 1);

  void Clear();
  const Texture* FindTexture(int id) const;
  std::vector<ECall> Kinds() const;
  int Count(ECall kind) const;
  const RecordedCall* Last(ECall kind) const;
  const RecordedPath& Path(const RecordedCall& call, int i) const { return paths[call.firstPath + i]; }
  const VGvertex* FillVerts(const RecordedPath& p) const { return verts.data() + p.fillFirst; }
  const VGvertex* StrokeVerts(const RecordedPath& p) const { return verts.data() + p.strokeFirst; }

  std::vector<RecordedCall> calls;
  std::vector<RecordedPath> paths;
  std::vector<VGvertex> verts;
  std::vector<Texture> textures;
  int nextImage = 1;
  int deleted = 0; // renderDelete calls

  // Failures to play: renderCreate answers 0; texture creation answers 0
  // from the given call on (counted from 1; 0 = never).
  bool failCreate = false;
  int failTextureFrom = 0;
  int textureRequests = 0;

  // Per-instance callbacks.
  static int RenderCreate(void* uptr);
  static int RenderCreateTexture(void* uptr, int type, int w, int h, int imageFlags, const uint8_t* data);
  static int RenderDeleteTexture(void* uptr, int image);
  static int RenderUpdateTexture(void* uptr, int image, int x, int y, int w, int h, const uint8_t* data);
  static int RenderGetTextureSize(void* uptr, int image, int* w, int* h);
  static void RenderViewport(void* uptr, float width, float height, float ratio);
  static void RenderCancel(void* uptr);
  static void RenderFlush(void* uptr);
  static void RenderFill(void* uptr, VGpaint* paint, VGcompositeOperationState op, VGscissor* scissor, float fringe,
                         const float* bounds, const VGpath* paths, int npaths);
  static void RenderStroke(void* uptr, VGpaint* paint, VGcompositeOperationState op, VGscissor* scissor, float fringe,
                           float strokeWidth, const VGpath* paths, int npaths);
  static void RenderTriangles(void* uptr, VGpaint* paint, VGcompositeOperationState op, VGscissor* scissor,
                              const VGvertex* verts, int nverts, float fringe);
  static void RenderDelete(void* uptr);

private:
  RecordedCall& Add(ECall kind);
  void AddPaths(RecordedCall& call, const VGpath* p, int n);
  Texture* MutableTexture(int id);
};

} // namespace vgtest
