// Sampler descriptions and the immutable sampler state made from them.
#pragma once

#include <Metal/MTLTypes.h>

class NS_EXPORT MTLSamplerDescriptor : public NSObject {
public:
  static MTLSamplerDescriptor* alloc() { return new MTLSamplerDescriptor(); }
  static MTLSamplerDescriptor* new_() { return alloc(); }
  MTLSamplerDescriptor* init() override { return this; }

  MTLSamplerMinMagFilter minFilter() const { return mMinFilter; }
  void setMinFilter(MTLSamplerMinMagFilter f) { mMinFilter = f; }
  MTLSamplerMinMagFilter magFilter() const { return mMagFilter; }
  void setMagFilter(MTLSamplerMinMagFilter f) { mMagFilter = f; }
  MTLSamplerMipFilter mipFilter() const { return mMipFilter; }
  void setMipFilter(MTLSamplerMipFilter f) { mMipFilter = f; }
  MTLSamplerAddressMode sAddressMode() const { return mS; }
  void setSAddressMode(MTLSamplerAddressMode m) { mS = m; }
  MTLSamplerAddressMode tAddressMode() const { return mT; }
  void setTAddressMode(MTLSamplerAddressMode m) { mT = m; }
  const char* className() const override { return "MTLSamplerDescriptor"; }

protected:
  MTLSamplerDescriptor() = default;

private:
  MTLSamplerMinMagFilter mMinFilter = MTLSamplerMinMagFilterNearest;
  MTLSamplerMinMagFilter mMagFilter = MTLSamplerMinMagFilterNearest;
  MTLSamplerMipFilter mMipFilter = MTLSamplerMipFilterNotMipmapped;
  MTLSamplerAddressMode mS = MTLSamplerAddressModeClampToEdge;
  MTLSamplerAddressMode mT = MTLSamplerAddressModeClampToEdge;
};

class NS_EXPORT MTLSamplerState : public NSObject {
public:
  MTLSamplerMinMagFilter minFilter() const { return mMinFilter; }
  MTLSamplerMinMagFilter magFilter() const { return mMagFilter; }
  MTLSamplerMipFilter mipFilter() const { return mMipFilter; }
  MTLSamplerAddressMode sAddressMode() const { return mS; }
  MTLSamplerAddressMode tAddressMode() const { return mT; }
  const char* className() const override { return "MTLSamplerState"; }

protected:
  friend class MTLDevice;
  explicit MTLSamplerState(const MTLSamplerDescriptor* d)
  : mMinFilter(d->minFilter()), mMagFilter(d->magFilter()), mMipFilter(d->mipFilter()), mS(d->sAddressMode()),
    mT(d->tAddressMode())
  {
  }

private:
  MTLSamplerMinMagFilter mMinFilter, mMagFilter;
  MTLSamplerMipFilter mMipFilter;
  MTLSamplerAddressMode mS, mT;
};
