// The GPU: one software device per process that makes every other object.
#pragma once

#include <Metal/MTLCommandQueue.h>
#include <Metal/MTLDepthStencil.h>
#include <Metal/MTLLibrary.h>
#include <Metal/MTLRenderPipeline.h>
#include <Metal/MTLResource.h>
#include <Metal/MTLSampler.h>
#include <dispatch/dispatch.h>

class NSError;
class NSString;

class NS_EXPORT MTLDevice : public NSObject {
public:
  NSString* name() const; // autoreleased
  // Owned results (the "new" rule); nil on failure, with *error set
  // (autoreleased) where the method takes one.
  MTLCommandQueue* newCommandQueue();
  MTLBuffer* newBufferWithLength(NSUInteger length, MTLResourceOptions options);
  MTLBuffer* newBufferWithBytes(const void* pointer, NSUInteger length, MTLResourceOptions options);
  MTLTexture* newTextureWithDescriptor(MTLTextureDescriptor* descriptor);
  MTLSamplerState* newSamplerStateWithDescriptor(MTLSamplerDescriptor* descriptor);
  MTLDepthStencilState* newDepthStencilStateWithDescriptor(MTLDepthStencilDescriptor* descriptor);
  MTLRenderPipelineState* newRenderPipelineStateWithDescriptor(MTLRenderPipelineDescriptor* descriptor,
                                                               NSError** error);
  MTLLibrary* newLibraryWithData(dispatch_data_t data, NSError** error);
  const char* className() const override { return "MTLDevice"; }

protected:
  friend MTLDevice* MTLCreateSystemDefaultDevice();
  MTLDevice() = default;
};

// The system's device, retained for the caller.
extern "C++" NS_EXPORT MTLDevice* MTLCreateSystemDefaultDevice();
