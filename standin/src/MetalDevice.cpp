#include "FoundationInternal.h"
#include "MetalInternal.h"

#include <Foundation/NSError.h>
#include <Foundation/NSString.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

using standin::mtl::ValidationError;

MTLDevice* MTLCreateSystemDefaultDevice()
{
  // One device per process, as there is one GPU; it is never freed.
  static MTLDevice* device = [] {
    MTLDevice* d = new MTLDevice();
    NSObjectMakeConstant(d);
    return d;
  }();
  return device;
}

NSString* MTLDevice::name() const { return NSString::stringWithUTF8String("Stand-in Software GPU"); }

MTLCommandQueue* MTLDevice::newCommandQueue() { return new MTLCommandQueue(this); }

MTLBuffer::MTLBuffer(MTLDevice* device, NSUInteger length, MTLResourceOptions options)
: MTLResource(device), mLength(length), mPrivate((options & 0xf0) == MTLResourceStorageModePrivate)
{
  // GPU buffers start zeroed here and are aligned for any vector type.
  const std::size_t size = (length + 255) & ~std::size_t(255);
  mBytes = ::operator new(size, std::align_val_t(256));
  std::memset(mBytes, 0, size);
}

void MTLBuffer::dealloc()
{
  ::operator delete(mBytes, std::align_val_t(256));
  NSObject::dealloc();
}

MTLBuffer* MTLDevice::newBufferWithLength(NSUInteger length, MTLResourceOptions options)
{
  if (length == 0) {
    ValidationError("newBufferWithLength: length 0");
    return nullptr;
  }
  return new MTLBuffer(this, length, options);
}

MTLBuffer* MTLDevice::newBufferWithBytes(const void* pointer, NSUInteger length, MTLResourceOptions options)
{
  MTLBuffer* buffer = newBufferWithLength(length, options);
  if (buffer && pointer)
    std::memcpy(buffer->gpuBytes(), pointer, length);
  return buffer;
}

MTLTexture* MTLDevice::newTextureWithDescriptor(MTLTextureDescriptor* d)
{
  if (!d || d->width() == 0 || d->height() == 0 || d->width() > 16384 || d->height() > 16384) {
    ValidationError("newTextureWithDescriptor: size outside 1 to 16384");
    return nullptr;
  }
  if (standin::mtl::BytesPerPixel(d->pixelFormat()) == 0 || d->textureType() != MTLTextureType2D) {
    ValidationError("newTextureWithDescriptor: type or pixel format not supported");
    return nullptr;
  }
  NSUInteger maxLevels = 1;
  for (NSUInteger size = std::max(d->width(), d->height()); size > 1; size /= 2)
    ++maxLevels;
  if (d->mipmapLevelCount() < 1 || d->mipmapLevelCount() > maxLevels) {
    ValidationError("newTextureWithDescriptor: mipmap level count out of range");
    return nullptr;
  }
  return new MTLTexture(this, d);
}

MTLSamplerState* MTLDevice::newSamplerStateWithDescriptor(MTLSamplerDescriptor* d)
{
  if (!d)
    return nullptr;
  for (MTLSamplerAddressMode m : {d->sAddressMode(), d->tAddressMode()})
    if (m != MTLSamplerAddressModeClampToEdge && m != MTLSamplerAddressModeRepeat)
      ValidationError("newSamplerStateWithDescriptor: address mode not supported, clamping to edge");
  return new MTLSamplerState(d);
}

// ---- Depth and stencil ---------------------------------------------------------

MTLStencilDescriptor* MTLDepthStencilDescriptor::Copy(const MTLStencilDescriptor* from, MTLStencilDescriptor* old)
{
  MTLStencilDescriptor* copy = nullptr;
  if (from) {
    copy = MTLStencilDescriptor::alloc()->init();
    copy->setStencilCompareFunction(from->stencilCompareFunction());
    copy->setStencilFailureOperation(from->stencilFailureOperation());
    copy->setDepthFailureOperation(from->depthFailureOperation());
    copy->setDepthStencilPassOperation(from->depthStencilPassOperation());
    copy->setReadMask(from->readMask());
    copy->setWriteMask(from->writeMask());
  }
  if (old)
    old->release();
  return copy;
}

void MTLDepthStencilDescriptor::dealloc()
{
  if (mFront)
    mFront->release();
  if (mBack)
    mBack->release();
  NSObject::dealloc();
}

namespace {
MTLStencilFace Face(const MTLStencilDescriptor* d)
{
  MTLStencilFace f;
  if (!d)
    return f;
  f.enabled = true;
  f.compare = d->stencilCompareFunction();
  f.fail = d->stencilFailureOperation();
  f.depthFail = d->depthFailureOperation();
  f.pass = d->depthStencilPassOperation();
  f.readMask = d->readMask() & 0xff;
  f.writeMask = d->writeMask() & 0xff;
  return f;
}
} // namespace

MTLDepthStencilState::MTLDepthStencilState(const MTLDepthStencilDescriptor* d)
: mFront(Face(d->frontFaceStencil())), mBack(Face(d->backFaceStencil()))
{
}

MTLDepthStencilState* MTLDevice::newDepthStencilStateWithDescriptor(MTLDepthStencilDescriptor* d)
{
  if (!d)
    return nullptr;
  if (d->isDepthWriteEnabled() || d->depthCompareFunction() != MTLCompareFunctionAlways)
    ValidationError("newDepthStencilStateWithDescriptor: depth testing is not supported, ignored");
  return new MTLDepthStencilState(d);
}

// ---- Pipelines ------------------------------------------------------------------

namespace {
NSError* PipelineError(NSString* text) { return NSError::errorWithDomain(NSSTR("MTLLibraryErrorDomain"), 1, text); }
bool ValidFactor(MTLBlendFactor f) { return f <= MTLBlendFactorSourceAlphaSaturated; }
bool ValidOperation(MTLBlendOperation op) { return op <= MTLBlendOperationMax; }
unsigned FormatFloats(MTLVertexFormat f)
{
  return f >= MTLVertexFormatFloat && f <= MTLVertexFormatFloat4 ? unsigned(f - MTLVertexFormatFloat + 1) : 0;
}
} // namespace

MTLRenderPipelineState* MTLDevice::newRenderPipelineStateWithDescriptor(MTLRenderPipelineDescriptor* d, NSError** error)
{
  auto fail = [&](const char* text) -> MTLRenderPipelineState* {
    if (error)
      *error = PipelineError(NSString::stringWithUTF8String(text));
    return nullptr;
  };
  if (!d)
    return fail("No render pipeline descriptor");
  auto program = std::make_unique<standin::mtl::PipelineProgram>();
  standin::mtl::RegisteredShader vs, fs;
  if (!d->vertexFunction())
    return fail("No vertex function provided");
  if (d->vertexFunction()->functionType() != MTLFunctionTypeVertex ||
      !standin::mtl::FindShader(d->vertexFunction()->functionName(), vs) || !vs.isVertex)
    return fail("The vertex function is not a registered vertex function");
  program->vertex = vs.vertex;
  program->varyingFloats = vs.varyingFloats;
  program->positionFloat = vs.positionFloat;
  if (MTLFunction* f = d->fragmentFunction()) {
    if (f->functionType() != MTLFunctionTypeFragment || !standin::mtl::FindShader(f->functionName(), fs) || fs.isVertex)
      return fail("The fragment function is not a registered fragment function");
    if (fs.varyingFloats > vs.varyingFloats)
      return fail("The fragment function reads more varyings than the vertex function writes");
    program->fragment = fs.fragment;
  }
  MTLRenderPipelineColorAttachmentDescriptor* color = d->colorAttachments()->objectAtIndexedSubscript(0);
  program->colorFormat = color->pixelFormat();
  if (program->colorFormat != MTLPixelFormatInvalid && !standin::mtl::IsColorFormat(program->colorFormat))
    return fail("Colour attachment 0 has a pixel format that is not a colour format");
  program->stencilFormat = d->stencilAttachmentPixelFormat();
  if (program->stencilFormat != MTLPixelFormatInvalid && program->stencilFormat != MTLPixelFormatStencil8)
    return fail("The stencil attachment pixel format is not a stencil format");
  program->blending = color->isBlendingEnabled();
  program->srcRGB = color->sourceRGBBlendFactor();
  program->dstRGB = color->destinationRGBBlendFactor();
  program->srcA = color->sourceAlphaBlendFactor();
  program->dstA = color->destinationAlphaBlendFactor();
  program->rgbOp = color->rgbBlendOperation();
  program->alphaOp = color->alphaBlendOperation();
  program->writeMask = color->writeMask() & MTLColorWriteMaskAll;
  if (program->blending &&
      (!ValidFactor(program->srcRGB) || !ValidFactor(program->dstRGB) || !ValidFactor(program->srcA) ||
       !ValidFactor(program->dstA) || !ValidOperation(program->rgbOp) || !ValidOperation(program->alphaOp)))
    return fail("A blend factor or operation is not supported");
  if (MTLVertexDescriptor* vd = d->vertexDescriptor()) {
    for (unsigned i = 0; i < kMTLMaxVertexAttributes; ++i) {
      MTLVertexAttributeDescriptor* a = vd->attributes()->objectAtIndexedSubscript(i);
      if (a->format() == MTLVertexFormatInvalid)
        continue;
      if (FormatFloats(a->format()) == 0)
        return fail("A vertex attribute format is not supported");
      if (a->bufferIndex() >= kMTLMaxBufferSlots)
        return fail("A vertex attribute buffer index is out of range");
      MTLVertexBufferLayoutDescriptor* l = vd->layouts()->objectAtIndexedSubscript(a->bufferIndex());
      if (l->stride() == 0 && l->stepFunction() != MTLVertexStepFunctionConstant)
        return fail("A vertex buffer layout has stride 0");
      program->attributes.push_back({i, a->format(), a->offset(), a->bufferIndex(), l->stride(), l->stepFunction()});
    }
  }
  return new MTLRenderPipelineState(this, program.release());
}

void MTLRenderPipelineState::dealloc()
{
  delete mProgram;
  NSObject::dealloc();
}

// ---- Libraries ------------------------------------------------------------------

MTLLibrary* MTLDevice::newLibraryWithData(dispatch_data_t data, NSError** error)
{
  auto fail = [&](const char* text) -> MTLLibrary* {
    if (error)
      *error = NSError::errorWithDomain(NSSTR("MTLLibraryErrorDomain"), 1, NSString::stringWithUTF8String(text));
    return nullptr;
  };
  if (!data)
    return fail("No library data");
  const void* bytes = nullptr;
  size_t size = 0;
  dispatch_data_t map = dispatch_data_create_map(data, &bytes, &size);
  const char* p = static_cast<const char*>(bytes);
  std::vector<std::string> names;
  bool ended = false;
  if (size >= 4 && std::memcmp(p, "MTLB", 4) == 0) {
    size_t i = 4;
    while (i < size) {
      const void* nul = std::memchr(p + i, 0, size - i);
      if (!nul)
        break;
      const size_t n = size_t(static_cast<const char*>(nul) - (p + i));
      if (n == 0) {
        ended = true;
        break;
      }
      names.emplace_back(p + i, n);
      i += n + 1;
    }
  }
  dispatch_release(map);
  if (!ended)
    return fail("Invalid library file");
  return new MTLLibrary(this, std::move(names));
}

MTLFunction* MTLLibrary::newFunctionWithName(NSString* functionName)
{
  if (!functionName)
    return nullptr;
  const std::string name = functionName->UTF8String();
  if (std::find(mNames.begin(), mNames.end(), name) == mNames.end())
    return nullptr;
  standin::mtl::RegisteredShader shader;
  if (!standin::mtl::FindShader(name, shader))
    return nullptr;
  return new MTLFunction(mDevice, name, shader.isVertex ? MTLFunctionTypeVertex : MTLFunctionTypeFragment);
}

NSString* MTLFunction::name() const { return NSString::stringWithUTF8String(mName.c_str()); }
