#pragma once
// The back end's image. The handle's meaning is private to the back end;
// width and height are pixels made for an integer pixel density `scale`.

#include <cstdint>

namespace plugin::igraphics {

class APIBitmap {
public:
  APIBitmap() = default;
  APIBitmap(std::uintptr_t handle, int width, int height, float scale, float drawScale)
  : mHandle(handle), mWidth(width), mHeight(height), mScale(scale), mDrawScale(drawScale)
  {
  }
  virtual ~APIBitmap() = default;

  APIBitmap(const APIBitmap&) = delete;
  APIBitmap& operator=(const APIBitmap&) = delete;

  std::uintptr_t GetBitmap() const { return mHandle; }
  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  float GetScale() const { return mScale; }
  float GetDrawScale() const { return mDrawScale; }

protected:
  void SetBitmap(std::uintptr_t handle, int width, int height, float scale, float drawScale)
  {
    mHandle = handle;
    mWidth = width;
    mHeight = height;
    mScale = scale;
    mDrawScale = drawScale;
  }

private:
  std::uintptr_t mHandle = 0;
  int mWidth = 0;
  int mHeight = 0;
  float mScale = 1.f;
  float mDrawScale = 1.f;
};

} // namespace plugin::igraphics
