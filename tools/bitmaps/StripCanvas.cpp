#include "StripCanvas.h"

#include <algorithm>

#include <cstdio>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include "MVG.h"

namespace bitmapmaker {

std::vector<unsigned char> StripCanvas::Render(const editorlayout::Strip& strip, int scale, const FramePainter& paint)
{
  const int w = strip.frame.w * scale;
  const int h = strip.frame.h * strip.frames * scale;
  std::vector<unsigned char> rgba;
  MVGframebuffer* fb = mVG ? mvgCreateFramebuffer(mVG, w, h, 0) : nullptr;
  if (!fb)
    return rgba;

  mvgBindFramebuffer(fb);
  mvgClearWithColor(mVG, vgRGBAf(0, 0, 0, 0));
  vgBeginFrame(mVG, static_cast<float>(w), static_cast<float>(h), 1.f);
  for (int k = 0; k < strip.frames; ++k) {
    vgSave(mVG);
    vgScale(mVG, static_cast<float>(scale), static_cast<float>(scale));
    vgTranslate(mVG, 0.f, static_cast<float>(k * strip.frame.h));
    // A frame never paints into its neighbours.
    vgScissor(mVG, 0.f, 0.f, static_cast<float>(strip.frame.w), static_cast<float>(strip.frame.h));
    paint(mVG, k, strip.frames, static_cast<float>(strip.frame.w), static_cast<float>(strip.frame.h));
    vgRestore(mVG);
  }
  vgEndFrame(mVG);

  rgba.resize(static_cast<std::size_t>(w) * h * 4);
  mvgReadPixels(mVG, fb->image, 0, 0, w, h, rgba.data());
  mvgBindFramebuffer(nullptr);
  mvgDeleteFramebuffer(fb);

  // The framebuffer holds premultiplied colour; PNG wants it straight.
  for (std::size_t i = 0; i < rgba.size(); i += 4) {
    const int a = rgba[i + 3];
    for (int c = 0; c < 3; ++c)
      rgba[i + c] = static_cast<unsigned char>(a ? std::min(255, (rgba[i + c] * 255 + a / 2) / a) : 0);
  }
  return rgba;
}

bool StripCanvas::WritePNG(const std::string& dir, const editorlayout::Strip& strip, int scale,
                           const std::vector<unsigned char>& rgba)
{
  const int w = strip.frame.w * scale;
  const int h = strip.frame.h * strip.frames * scale;
  if (rgba.size() != static_cast<std::size_t>(w) * h * 4)
    return false;
  const std::string path = dir + "/" + strip.stem + (scale == 1 ? "" : "@" + std::to_string(scale) + "x") + ".png";
  const std::string temp = path + ".part";
  if (!stbi_write_png(temp.c_str(), w, h, 4, rgba.data(), w * 4)) {
    std::remove(temp.c_str());
    return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

} // namespace bitmapmaker
