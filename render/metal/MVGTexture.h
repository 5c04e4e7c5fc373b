#pragma once
// A texture record behind an image id; id 0 marks a free record.

#include <Metal/Metal.h>

class MVGtexture_vVorelle3_au : public NSObject {
public:
  static MVGtexture_vVorelle3_au* alloc() { return new MVGtexture_vVorelle3_au(); }
  const char* className() const override { return "MVGtexture_vVorelle3_au"; }

  int id = 0;
  int type = 0;
  int flags = 0;
  MTLTexture* tex = nullptr;
  MTLSamplerState* sampler = nullptr;

protected:
  MVGtexture_vVorelle3_au() = default;
};
