// Stencil descriptions per face and the immutable depth-stencil state.
// A face without a stencil descriptor passes and leaves the stencil alone.
#pragma once

#include <Metal/MTLTypes.h>

class NS_EXPORT MTLStencilDescriptor : public NSObject {
public:
  static MTLStencilDescriptor* alloc() { return new MTLStencilDescriptor(); }
  static MTLStencilDescriptor* new_() { return alloc(); }
  MTLStencilDescriptor* init() override { return this; }

  MTLCompareFunction stencilCompareFunction() const { return mCompare; }
  void setStencilCompareFunction(MTLCompareFunction f) { mCompare = f; }
  MTLStencilOperation stencilFailureOperation() const { return mFail; }
  void setStencilFailureOperation(MTLStencilOperation op) { mFail = op; }
  MTLStencilOperation depthFailureOperation() const { return mDepthFail; }
  void setDepthFailureOperation(MTLStencilOperation op) { mDepthFail = op; }
  MTLStencilOperation depthStencilPassOperation() const { return mPass; }
  void setDepthStencilPassOperation(MTLStencilOperation op) { mPass = op; }
  uint32_t readMask() const { return mReadMask; }
  void setReadMask(uint32_t mask) { mReadMask = mask; }
  uint32_t writeMask() const { return mWriteMask; }
  void setWriteMask(uint32_t mask) { mWriteMask = mask; }
  const char* className() const override { return "MTLStencilDescriptor"; }

protected:
  MTLStencilDescriptor() = default;

private:
  MTLCompareFunction mCompare = MTLCompareFunctionAlways;
  MTLStencilOperation mFail = MTLStencilOperationKeep, mDepthFail = MTLStencilOperationKeep,
                      mPass = MTLStencilOperationKeep;
  uint32_t mReadMask = 0xffffffffu, mWriteMask = 0xffffffffu;
};

class NS_EXPORT MTLDepthStencilDescriptor : public NSObject {
public:
  static MTLDepthStencilDescriptor* alloc() { return new MTLDepthStencilDescriptor(); }
  static MTLDepthStencilDescriptor* new_() { return alloc(); }
  MTLDepthStencilDescriptor* init() override { return this; }

  MTLCompareFunction depthCompareFunction() const { return mDepthCompare; }
  void setDepthCompareFunction(MTLCompareFunction f) { mDepthCompare = f; }
  BOOL isDepthWriteEnabled() const { return mDepthWrite; }
  void setDepthWriteEnabled(BOOL enabled) { mDepthWrite = enabled; }
  // Copied on set, as the properties are.
  MTLStencilDescriptor* frontFaceStencil() const { return mFront; }
  void setFrontFaceStencil(MTLStencilDescriptor* d) { mFront = Copy(d, mFront); }
  MTLStencilDescriptor* backFaceStencil() const { return mBack; }
  void setBackFaceStencil(MTLStencilDescriptor* d) { mBack = Copy(d, mBack); }
  const char* className() const override { return "MTLDepthStencilDescriptor"; }

protected:
  MTLDepthStencilDescriptor() = default;
  void dealloc() override;

private:
  static MTLStencilDescriptor* Copy(const MTLStencilDescriptor* from, MTLStencilDescriptor* old);
  MTLCompareFunction mDepthCompare = MTLCompareFunctionAlways;
  BOOL mDepthWrite = NO;
  MTLStencilDescriptor* mFront = nullptr;
  MTLStencilDescriptor* mBack = nullptr;
};

// One face's stencil settings as the rasteriser applies them.
struct MTLStencilFace {
  MTLCompareFunction compare = MTLCompareFunctionAlways;
  MTLStencilOperation fail = MTLStencilOperationKeep;
  MTLStencilOperation depthFail = MTLStencilOperationKeep;
  MTLStencilOperation pass = MTLStencilOperationKeep;
  uint32_t readMask = 0xff, writeMask = 0xff;
  bool enabled = false;
};

class NS_EXPORT MTLDepthStencilState : public NSObject {
public:
  const MTLStencilFace& front() const { return mFront; }
  const MTLStencilFace& back() const { return mBack; }
  const char* className() const override { return "MTLDepthStencilState"; }

protected:
  friend class MTLDevice;
  explicit MTLDepthStencilState(const MTLDepthStencilDescriptor* d);

private:
  MTLStencilFace mFront, mBack;
};
