// Vertex layout, render pipeline descriptions and the pipeline state built
// from them. Indexed sub-objects are reached as with subscripts on the
// platform: colorAttachments()->objectAtIndexedSubscript(0).
#pragma once

#include <Metal/MTLLibrary.h>
#include <Metal/MTLTypes.h>

constexpr NSUInteger kMTLMaxVertexAttributes = 31;
constexpr NSUInteger kMTLMaxBufferSlots = 31;
constexpr NSUInteger kMTLMaxColorAttachments = 8;

class NS_EXPORT MTLVertexAttributeDescriptor : public NSObject {
public:
  MTLVertexFormat format() const { return mFormat; }
  void setFormat(MTLVertexFormat f) { mFormat = f; }
  NSUInteger offset() const { return mOffset; }
  void setOffset(NSUInteger o) { mOffset = o; }
  NSUInteger bufferIndex() const { return mBufferIndex; }
  void setBufferIndex(NSUInteger i) { mBufferIndex = i; }
  const char* className() const override { return "MTLVertexAttributeDescriptor"; }

protected:
  friend class MTLVertexAttributeDescriptorArray;
  MTLVertexAttributeDescriptor() = default;

private:
  MTLVertexFormat mFormat = MTLVertexFormatInvalid;
  NSUInteger mOffset = 0, mBufferIndex = 0;
};

class NS_EXPORT MTLVertexBufferLayoutDescriptor : public NSObject {
public:
  NSUInteger stride() const { return mStride; }
  void setStride(NSUInteger s) { mStride = s; }
  MTLVertexStepFunction stepFunction() const { return mStep; }
  void setStepFunction(MTLVertexStepFunction f) { mStep = f; }
  NSUInteger stepRate() const { return mStepRate; }
  void setStepRate(NSUInteger r) { mStepRate = r; }
  const char* className() const override { return "MTLVertexBufferLayoutDescriptor"; }

protected:
  friend class MTLVertexBufferLayoutDescriptorArray;
  MTLVertexBufferLayoutDescriptor() = default;

private:
  NSUInteger mStride = 0;
  MTLVertexStepFunction mStep = MTLVertexStepFunctionPerVertex;
  NSUInteger mStepRate = 1;
};

class NS_EXPORT MTLVertexAttributeDescriptorArray : public NSObject {
public:
  MTLVertexAttributeDescriptor* objectAtIndexedSubscript(NSUInteger index) const;
  const char* className() const override { return "MTLVertexAttributeDescriptorArray"; }

protected:
  friend class MTLVertexDescriptor;
  MTLVertexAttributeDescriptorArray();
  void dealloc() override;

private:
  MTLVertexAttributeDescriptor* mItems[kMTLMaxVertexAttributes];
};

class NS_EXPORT MTLVertexBufferLayoutDescriptorArray : public NSObject {
public:
  MTLVertexBufferLayoutDescriptor* objectAtIndexedSubscript(NSUInteger index) const;
  const char* className() const override { return "MTLVertexBufferLayoutDescriptorArray"; }

protected:
  friend class MTLVertexDescriptor;
  MTLVertexBufferLayoutDescriptorArray();
  void dealloc() override;

private:
  MTLVertexBufferLayoutDescriptor* mItems[kMTLMaxBufferSlots];
};

class NS_EXPORT MTLVertexDescriptor : public NSObject {
public:
  static MTLVertexDescriptor* alloc() { return new MTLVertexDescriptor(); }
  static MTLVertexDescriptor* new_() { return alloc(); }
  MTLVertexDescriptor* init() override { return this; }
  static MTLVertexDescriptor* vertexDescriptor(); // autoreleased

  MTLVertexAttributeDescriptorArray* attributes() const { return mAttributes; }
  MTLVertexBufferLayoutDescriptorArray* layouts() const { return mLayouts; }
  MTLVertexDescriptor* copy() const; // owned
  const char* className() const override { return "MTLVertexDescriptor"; }

protected:
  MTLVertexDescriptor();
  void dealloc() override;

private:
  MTLVertexAttributeDescriptorArray* mAttributes;
  MTLVertexBufferLayoutDescriptorArray* mLayouts;
};

class NS_EXPORT MTLRenderPipelineColorAttachmentDescriptor : public NSObject {
public:
  MTLPixelFormat pixelFormat() const { return mPixelFormat; }
  void setPixelFormat(MTLPixelFormat f) { mPixelFormat = f; }
  BOOL isBlendingEnabled() const { return mBlending; }
  void setBlendingEnabled(BOOL on) { mBlending = on; }
  MTLBlendFactor sourceRGBBlendFactor() const { return mSrcRGB; }
  void setSourceRGBBlendFactor(MTLBlendFactor f) { mSrcRGB = f; }
  MTLBlendFactor destinationRGBBlendFactor() const { return mDstRGB; }
  void setDestinationRGBBlendFactor(MTLBlendFactor f) { mDstRGB = f; }
  MTLBlendOperation rgbBlendOperation() const { return mRGBOp; }
  void setRgbBlendOperation(MTLBlendOperation op) { mRGBOp = op; }
  MTLBlendFactor sourceAlphaBlendFactor() const { return mSrcA; }
  void setSourceAlphaBlendFactor(MTLBlendFactor f) { mSrcA = f; }
  MTLBlendFactor destinationAlphaBlendFactor() const { return mDstA; }
  void setDestinationAlphaBlendFactor(MTLBlendFactor f) { mDstA = f; }
  MTLBlendOperation alphaBlendOperation() const { return mAOp; }
  void setAlphaBlendOperation(MTLBlendOperation op) { mAOp = op; }
  MTLColorWriteMask writeMask() const { return mWriteMask; }
  void setWriteMask(MTLColorWriteMask m) { mWriteMask = m; }
  const char* className() const override { return "MTLRenderPipelineColorAttachmentDescriptor"; }

protected:
  friend class MTLRenderPipelineColorAttachmentDescriptorArray;
  MTLRenderPipelineColorAttachmentDescriptor() = default;

private:
  MTLPixelFormat mPixelFormat = MTLPixelFormatInvalid;
  BOOL mBlending = NO;
  MTLBlendFactor mSrcRGB = MTLBlendFactorOne, mDstRGB = MTLBlendFactorZero;
  MTLBlendFactor mSrcA = MTLBlendFactorOne, mDstA = MTLBlendFactorZero;
  MTLBlendOperation mRGBOp = MTLBlendOperationAdd, mAOp = MTLBlendOperationAdd;
  MTLColorWriteMask mWriteMask = MTLColorWriteMaskAll;
};

class NS_EXPORT MTLRenderPipelineColorAttachmentDescriptorArray : public NSObject {
public:
  MTLRenderPipelineColorAttachmentDescriptor* objectAtIndexedSubscript(NSUInteger index) const;
  const char* className() const override { return "MTLRenderPipelineColorAttachmentDescriptorArray"; }

protected:
  friend class MTLRenderPipelineDescriptor;
  MTLRenderPipelineColorAttachmentDescriptorArray();
  void dealloc() override;

private:
  MTLRenderPipelineColorAttachmentDescriptor* mItems[kMTLMaxColorAttachments];
};

class NS_EXPORT MTLRenderPipelineDescriptor : public NSObject {
public:
  static MTLRenderPipelineDescriptor* alloc() { return new MTLRenderPipelineDescriptor(); }
  static MTLRenderPipelineDescriptor* new_() { return alloc(); }
  MTLRenderPipelineDescriptor* init() override { return this; }

  MTLRenderPipelineColorAttachmentDescriptorArray* colorAttachments() const { return mColor; }
  MTLPixelFormat stencilAttachmentPixelFormat() const { return mStencilFormat; }
  void setStencilAttachmentPixelFormat(MTLPixelFormat f) { mStencilFormat = f; }
  MTLPixelFormat depthAttachmentPixelFormat() const { return mDepthFormat; }
  void setDepthAttachmentPixelFormat(MTLPixelFormat f) { mDepthFormat = f; }
  MTLFunction* vertexFunction() const { return mVertex; }
  void setVertexFunction(MTLFunction* f) { standin::mtl::Assign(mVertex, f); }
  MTLFunction* fragmentFunction() const { return mFragment; }
  void setFragmentFunction(MTLFunction* f) { standin::mtl::Assign(mFragment, f); }
  MTLVertexDescriptor* vertexDescriptor() const { return mVertexDescriptor; }
  void setVertexDescriptor(MTLVertexDescriptor* d); // copied
  const char* className() const override { return "MTLRenderPipelineDescriptor"; }

protected:
  MTLRenderPipelineDescriptor();
  void dealloc() override;

private:
  MTLRenderPipelineColorAttachmentDescriptorArray* mColor;
  MTLPixelFormat mStencilFormat = MTLPixelFormatInvalid;
  MTLPixelFormat mDepthFormat = MTLPixelFormatInvalid;
  MTLFunction* mVertex = nullptr;
  MTLFunction* mFragment = nullptr;
  MTLVertexDescriptor* mVertexDescriptor = nullptr;
};

namespace standin::mtl {
struct PipelineProgram; // the resolved shader functions and fixed-function state
}

class NS_EXPORT MTLRenderPipelineState : public NSObject {
public:
  MTLDevice* device() const { return mDevice; }
  const char* className() const override { return "MTLRenderPipelineState"; }

  // Stand-in: what the rasteriser runs.
  const standin::mtl::PipelineProgram& program() const { return *mProgram; }

protected:
  friend class MTLDevice;
  MTLRenderPipelineState(MTLDevice* device, standin::mtl::PipelineProgram* program) : mDevice(device), mProgram(program)
  {
  }
  void dealloc() override;

private:
  MTLDevice* mDevice;
  standin::mtl::PipelineProgram* mProgram;
};
