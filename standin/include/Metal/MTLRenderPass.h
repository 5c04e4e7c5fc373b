// Render pass descriptions: the colour and stencil attachments a render
// encoder draws into, with their load and store actions.
#pragma once

#include <Metal/MTLResource.h>

class NS_EXPORT MTLRenderPassAttachmentDescriptor : public NSObject {
public:
  MTLTexture* texture() const { return mTexture; }
  void setTexture(MTLTexture* t) { standin::mtl::Assign(mTexture, t); }
  MTLLoadAction loadAction() const { return mLoad; }
  void setLoadAction(MTLLoadAction a) { mLoad = a; }
  MTLStoreAction storeAction() const { return mStore; }
  void setStoreAction(MTLStoreAction a) { mStore = a; }

protected:
  MTLRenderPassAttachmentDescriptor() = default;
  void dealloc() override;

private:
  MTLTexture* mTexture = nullptr;
  MTLLoadAction mLoad = MTLLoadActionDontCare;
  MTLStoreAction mStore = MTLStoreActionStore;
};

class NS_EXPORT MTLRenderPassColorAttachmentDescriptor : public MTLRenderPassAttachmentDescriptor {
public:
  MTLClearColor clearColor() const { return mClear; }
  void setClearColor(MTLClearColor c) { mClear = c; }
  const char* className() const override { return "MTLRenderPassColorAttachmentDescriptor"; }

protected:
  friend class MTLRenderPassColorAttachmentDescriptorArray;
  MTLRenderPassColorAttachmentDescriptor() = default;

private:
  MTLClearColor mClear = {0, 0, 0, 1};
};

class NS_EXPORT MTLRenderPassStencilAttachmentDescriptor : public MTLRenderPassAttachmentDescriptor {
public:
  uint32_t clearStencil() const { return mClear; }
  void setClearStencil(uint32_t s) { mClear = s; }
  const char* className() const override { return "MTLRenderPassStencilAttachmentDescriptor"; }

protected:
  friend class MTLRenderPassDescriptor;
  MTLRenderPassStencilAttachmentDescriptor() = default;

private:
  uint32_t mClear = 0;
};

class NS_EXPORT MTLRenderPassColorAttachmentDescriptorArray : public NSObject {
public:
  MTLRenderPassColorAttachmentDescriptor* objectAtIndexedSubscript(NSUInteger index) const;
  const char* className() const override { return "MTLRenderPassColorAttachmentDescriptorArray"; }

protected:
  friend class MTLRenderPassDescriptor;
  MTLRenderPassColorAttachmentDescriptorArray();
  void dealloc() override;

private:
  MTLRenderPassColorAttachmentDescriptor* mItems[8];
};

class NS_EXPORT MTLRenderPassDescriptor : public NSObject {
public:
  static MTLRenderPassDescriptor* alloc() { return new MTLRenderPassDescriptor(); }
  static MTLRenderPassDescriptor* new_() { return alloc(); }
  MTLRenderPassDescriptor* init() override { return this; }
  static MTLRenderPassDescriptor* renderPassDescriptor(); // autoreleased

  MTLRenderPassColorAttachmentDescriptorArray* colorAttachments() const { return mColor; }
  MTLRenderPassStencilAttachmentDescriptor* stencilAttachment() const { return mStencil; }
  const char* className() const override { return "MTLRenderPassDescriptor"; }

protected:
  MTLRenderPassDescriptor();
  void dealloc() override;

private:
  MTLRenderPassColorAttachmentDescriptorArray* mColor;
  MTLRenderPassStencilAttachmentDescriptor* mStencil;
};
