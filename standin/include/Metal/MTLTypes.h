// Plain types and enumerations of the GPU interface, with the platform's
// numeric values.
#pragma once

#include <Foundation/NSObject.h>

#include <cstdint>

struct MTLOrigin {
  NSUInteger x, y, z;
};
struct MTLSize {
  NSUInteger width, height, depth;
};
struct MTLRegion {
  MTLOrigin origin;
  MTLSize size;
};
inline MTLOrigin MTLOriginMake(NSUInteger x, NSUInteger y, NSUInteger z) { return {x, y, z}; }
inline MTLSize MTLSizeMake(NSUInteger w, NSUInteger h, NSUInteger d) { return {w, h, d}; }
inline MTLRegion MTLRegionMake2D(NSUInteger x, NSUInteger y, NSUInteger w, NSUInteger h)
{
  return {{x, y, 0}, {w, h, 1}};
}

struct MTLViewport {
  double originX, originY, width, height, znear, zfar;
};

struct MTLClearColor {
  double red, green, blue, alpha;
};
inline MTLClearColor MTLClearColorMake(double r, double g, double b, double a) { return {r, g, b, a}; }

typedef NSUInteger MTLPixelFormat;
enum : MTLPixelFormat {
  MTLPixelFormatInvalid = 0,
  MTLPixelFormatR8Unorm = 10,
  MTLPixelFormatRGBA8Unorm = 70,
  MTLPixelFormatBGRA8Unorm = 80,
  MTLPixelFormatStencil8 = 253
};

typedef NSUInteger MTLPrimitiveType;
enum : MTLPrimitiveType {
  MTLPrimitiveTypePoint = 0,
  MTLPrimitiveTypeLine = 1,
  MTLPrimitiveTypeLineStrip = 2,
  MTLPrimitiveTypeTriangle = 3,
  MTLPrimitiveTypeTriangleStrip = 4
};

typedef NSUInteger MTLIndexType;
enum : MTLIndexType { MTLIndexTypeUInt16 = 0, MTLIndexTypeUInt32 = 1 };

typedef NSUInteger MTLCullMode;
enum : MTLCullMode { MTLCullModeNone = 0, MTLCullModeFront = 1, MTLCullModeBack = 2 };

typedef NSUInteger MTLWinding;
enum : MTLWinding { MTLWindingClockwise = 0, MTLWindingCounterClockwise = 1 };

typedef NSUInteger MTLCompareFunction;
enum : MTLCompareFunction {
  MTLCompareFunctionNever = 0,
  MTLCompareFunctionLess = 1,
  MTLCompareFunctionEqual = 2,
  MTLCompareFunctionLessEqual = 3,
  MTLCompareFunctionGreater = 4,
  MTLCompareFunctionNotEqual = 5,
  MTLCompareFunctionGreaterEqual = 6,
  MTLCompareFunctionAlways = 7
};

typedef NSUInteger MTLStencilOperation;
enum : MTLStencilOperation {
  MTLStencilOperationKeep = 0,
  MTLStencilOperationZero = 1,
  MTLStencilOperationReplace = 2,
  MTLStencilOperationIncrementClamp = 3,
  MTLStencilOperationDecrementClamp = 4,
  MTLStencilOperationInvert = 5,
  MTLStencilOperationIncrementWrap = 6,
  MTLStencilOperationDecrementWrap = 7
};

typedef NSUInteger MTLBlendFactor;
enum : MTLBlendFactor {
  MTLBlendFactorZero = 0,
  MTLBlendFactorOne = 1,
  MTLBlendFactorSourceColor = 2,
  MTLBlendFactorOneMinusSourceColor = 3,
  MTLBlendFactorSourceAlpha = 4,
  MTLBlendFactorOneMinusSourceAlpha = 5,
  MTLBlendFactorDestinationColor = 6,
  MTLBlendFactorOneMinusDestinationColor = 7,
  MTLBlendFactorDestinationAlpha = 8,
  MTLBlendFactorOneMinusDestinationAlpha = 9,
  MTLBlendFactorSourceAlphaSaturated = 10
};

typedef NSUInteger MTLBlendOperation;
enum : MTLBlendOperation {
  MTLBlendOperationAdd = 0,
  MTLBlendOperationSubtract = 1,
  MTLBlendOperationReverseSubtract = 2,
  MTLBlendOperationMin = 3,
  MTLBlendOperationMax = 4
};

typedef NSUInteger MTLColorWriteMask;
enum : MTLColorWriteMask {
  MTLColorWriteMaskNone = 0,
  MTLColorWriteMaskRed = 1 << 3,
  MTLColorWriteMaskGreen = 1 << 2,
  MTLColorWriteMaskBlue = 1 << 1,
  MTLColorWriteMaskAlpha = 1 << 0,
  MTLColorWriteMaskAll = 0xf
};

typedef NSUInteger MTLLoadAction;
enum : MTLLoadAction { MTLLoadActionDontCare = 0, MTLLoadActionLoad = 1, MTLLoadActionClear = 2 };
typedef NSUInteger MTLStoreAction;
enum : MTLStoreAction { MTLStoreActionDontCare = 0, MTLStoreActionStore = 1 };

typedef NSUInteger MTLVertexFormat;
enum : MTLVertexFormat {
  MTLVertexFormatInvalid = 0,
  MTLVertexFormatFloat = 28,
  MTLVertexFormatFloat2 = 29,
  MTLVertexFormatFloat3 = 30,
  MTLVertexFormatFloat4 = 31
};
typedef NSUInteger MTLVertexStepFunction;
enum : MTLVertexStepFunction {
  MTLVertexStepFunctionConstant = 0,
  MTLVertexStepFunctionPerVertex = 1,
  MTLVertexStepFunctionPerInstance = 2
};

typedef NSUInteger MTLTextureType;
enum : MTLTextureType { MTLTextureType2D = 2 };
typedef NSUInteger MTLTextureUsage;
enum : MTLTextureUsage {
  MTLTextureUsageUnknown = 0,
  MTLTextureUsageShaderRead = 1,
  MTLTextureUsageShaderWrite = 2,
  MTLTextureUsageRenderTarget = 4
};
typedef NSUInteger MTLStorageMode;
enum : MTLStorageMode { MTLStorageModeShared = 0, MTLStorageModeManaged = 1, MTLStorageModePrivate = 2 };
typedef NSUInteger MTLResourceOptions;
enum : MTLResourceOptions {
  MTLResourceCPUCacheModeDefaultCache = 0,
  MTLResourceCPUCacheModeWriteCombined = 1,
  MTLResourceStorageModeShared = 0 << 4,
  MTLResourceStorageModeManaged = 1 << 4,
  MTLResourceStorageModePrivate = 2 << 4
};

typedef NSUInteger MTLSamplerMinMagFilter;
enum : MTLSamplerMinMagFilter { MTLSamplerMinMagFilterNearest = 0, MTLSamplerMinMagFilterLinear = 1 };
typedef NSUInteger MTLSamplerMipFilter;
enum : MTLSamplerMipFilter {
  MTLSamplerMipFilterNotMipmapped = 0,
  MTLSamplerMipFilterNearest = 1,
  MTLSamplerMipFilterLinear = 2
};
typedef NSUInteger MTLSamplerAddressMode;
enum : MTLSamplerAddressMode { MTLSamplerAddressModeClampToEdge = 0, MTLSamplerAddressModeRepeat = 2 };

typedef NSUInteger MTLFunctionType;
enum : MTLFunctionType { MTLFunctionTypeVertex = 1, MTLFunctionTypeFragment = 2 };

typedef NSUInteger MTLCommandBufferStatus;
enum : MTLCommandBufferStatus {
  MTLCommandBufferStatusNotEnqueued = 0,
  MTLCommandBufferStatusEnqueued = 1,
  MTLCommandBufferStatusCommitted = 2,
  MTLCommandBufferStatusScheduled = 3,
  MTLCommandBufferStatusCompleted = 4,
  MTLCommandBufferStatusError = 5
};

namespace standin::mtl {
// A strong property: retains the new object, then releases the old one.
template <class T> inline void Assign(T*& slot, T* value)
{
  if (value)
    value->retain();
  if (slot)
    slot->release();
  slot = value;
}
} // namespace standin::mtl
