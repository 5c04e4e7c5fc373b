// Shared between the GPU stand-in's files: texture storage, the resolved
// pipeline program, recorded passes, and the execution engine.
#pragma once

#include <Metal/Metal.h>
#include <standin/MetalShaderRegistry.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "FloatToInt.h"

namespace standin::mtl {

// ---- Pixels ------------------------------------------------------------------

unsigned BytesPerPixel(MTLPixelFormat format); // 0 for formats not supported here
bool IsColorFormat(MTLPixelFormat format);
// Texel bytes to (r, g, b, a) in [0, 1]; one-channel formats give (r, 0, 0, 1).
::metal::float4 LoadTexel(MTLPixelFormat format, const uint8_t* texel);
// Clamps to [0, 1], rounds to nearest and writes the channels the write mask
// (MTLColorWriteMask bits) allows.
void StoreTexel(MTLPixelFormat format, ::metal::float4 colour, uint8_t* texel, MTLColorWriteMask mask);
// For a value in [0, 1]; NaN writes 0, as the hardware's conversion does.
inline uint8_t UnitToUnorm8(float v) { return uint8_t(plugin::FloatToInt<int>(v * 255.0f + 0.5f)); }
inline uint8_t ToUnorm8(float v)
{
  v = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
  return plugin::FloatToInt<uint8_t>(v * 255.0f + 0.5f);
}

struct TextureImage {
  struct Level {
    unsigned width = 0, height = 0;
    std::vector<uint8_t> bytes; // rows tightly packed
  };
  MTLPixelFormat format = MTLPixelFormatInvalid;
  unsigned bytesPerPixel = 0;
  std::vector<Level> levels;

  TextureImage(MTLPixelFormat format, unsigned width, unsigned height, unsigned levelCount);
  uint8_t* Texel(unsigned level, unsigned x, unsigned y)
  {
    Level& l = levels[level];
    return l.bytes.data() + (std::size_t(y) * l.width + x) * bytesPerPixel;
  }
  void Fill(::metal::float4 colour);
  void FillStencil(uint8_t value);
  void GenerateMipmaps();
};

// ---- Shader functions and pipelines -----------------------------------------

struct RegisteredShader {
  bool isVertex = false;
  metal::VertexFunction vertex = nullptr;
  metal::FragmentFunction fragment = nullptr;
  unsigned varyingFloats = 0;
  unsigned positionFloat = 0;
};
// Copy of the current registration; false when the name is unknown.
bool FindShader(const std::string& name, RegisteredShader& out);

constexpr unsigned kMaxVaryingFloats = 64;

struct VertexAttribute {
  unsigned index;
  MTLVertexFormat format;
  NSUInteger offset, bufferIndex, stride;
  MTLVertexStepFunction step;
};

struct PipelineProgram {
  metal::VertexFunction vertex = nullptr;
  metal::FragmentFunction fragment = nullptr; // null: no colour output
  unsigned varyingFloats = 0;
  unsigned positionFloat = 0;
  std::vector<VertexAttribute> attributes;
  MTLPixelFormat colorFormat = MTLPixelFormatInvalid;
  MTLPixelFormat stencilFormat = MTLPixelFormatInvalid;
  bool blending = false;
  MTLBlendFactor srcRGB = MTLBlendFactorOne, dstRGB = MTLBlendFactorZero;
  MTLBlendFactor srcA = MTLBlendFactorOne, dstA = MTLBlendFactorZero;
  MTLBlendOperation rgbOp = MTLBlendOperationAdd, alphaOp = MTLBlendOperationAdd;
  MTLColorWriteMask writeMask = MTLColorWriteMaskAll;
};

// ---- Recorded work ------------------------------------------------------------

struct RenderCommand {
  enum Kind : uint8_t {
    kPipeline,
    kDepthStencil,
    kCull,
    kWinding,
    kStencilRef,
    kViewport,
    kVertexBuffer,
    kVertexOffset,
    kFragmentBuffer,
    kFragmentOffset,
    kFragmentTexture,
    kFragmentSampler,
    kDraw,
    kDrawIndexed
  };
  Kind kind;
  unsigned index = 0;
  NSObject* object = nullptr; // retained
  NSUInteger a = 0, b = 0, c = 0;
  MTLViewport viewport{};
};

struct Attachment {
  MTLTexture* texture = nullptr; // retained
  MTLLoadAction load = MTLLoadActionDontCare;
  MTLStoreAction store = MTLStoreActionStore;
  MTLClearColor clearColor{0, 0, 0, 1};
  uint32_t clearStencil = 0;
};

struct Pass {
  virtual ~Pass() = default;
  virtual void Execute() = 0;
};

struct RenderPassRecord : Pass {
  Attachment color, stencil;
  std::vector<RenderCommand> commands;
  ~RenderPassRecord() override;
  void Add(RenderCommand command);
  void Execute() override;
  // The commands drawn into the rows [rowBegin, rowEnd) only.
  void Replay(TextureImage* color, TextureImage* stencil, int rowBegin, int rowEnd);
};

struct BlitCommand {
  enum Kind : uint8_t { kCopyBufferToTexture, kGenerateMipmaps, kSynchronize } kind;
  MTLBuffer* buffer = nullptr;   // retained
  MTLTexture* texture = nullptr; // retained
  NSUInteger offset = 0, bytesPerRow = 0, level = 0;
  MTLSize size{};
  MTLOrigin origin{};
};

struct BlitPassRecord : Pass {
  std::vector<BlitCommand> commands;
  ~BlitPassRecord() override;
  void Execute() override;
};

struct CommandBufferState {
  std::mutex mutex;
  std::condition_variable changed;
  MTLCommandBufferStatus status = MTLCommandBufferStatusNotEnqueued;
  bool done = false; // completed and its handlers have run
  std::vector<std::unique_ptr<Pass>> passes;
  std::vector<MTLCommandBufferHandler> completed;
  std::vector<MTLDrawable*> drawables;      // retained
  MTLCommandEncoder* openEncoder = nullptr; // the encoder being recorded (not retained)
};

struct QueueState {
  std::mutex mutex;
  std::deque<MTLCommandBuffer*> pending; // enqueued, in order; retained
};

// Hands every committed buffer at the head of the queue to the GPU.
void SubmitReady(QueueState& queue);
// Back to synchronous execution with nothing in flight.
void ResetGPU();

// ---- Validation -------------------------------------------------------------

// Records a misuse the platform's validation would report (thread-safe).
void ValidationError(const std::string& message);

} // namespace standin::mtl
