// Draws the editor's bitmap strips at 1x and @2x with the project's own
// vector engine on the renderer, and writes them as PNG files:
//   make_bitmaps OUTDIR REGULAR.ttf BOLD.ttf
// Exit status 0 when every file was written.
#include <QuartzCore/QuartzCore.h>
#include <standin/Testing.h>

#include <cstdio>

#include "EditorLayout.h"
#include "MVG.h"
#include "Painters.h"
#include "StripCanvas.h"

int main(int argc, char** argv)
{
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s OUTDIR REGULAR.ttf BOLD.ttf\n", argv[0]);
    return 2;
  }
  CAMetalLayer* layer = CAMetalLayer::alloc()->init();
  layer->setDrawableSize(CGSizeMake(64, 64));
  VGcontext* vg = mvgCreateContext(layer, VG_ANTIALIAS);
  if (!vg) {
    std::fprintf(stderr, "make_bitmaps: no renderer\n");
    layer->release();
    return 1;
  }
  bitmapmaker::Fonts fonts;
  fonts.regular = vgCreateFont(vg, "regular", argv[2]);
  fonts.bold = vgCreateFont(vg, "bold", argv[3]);
  int failures = 0;
  if (fonts.regular < 0 || fonts.bold < 0) {
    std::fprintf(stderr, "make_bitmaps: cannot read the fonts %s, %s\n", argv[2], argv[3]);
    failures++;
  }

  bitmapmaker::StripCanvas canvas(vg);
  for (const editorlayout::Strip* strip : editorlayout::kStrips) {
    const bitmapmaker::FramePainter paint = bitmapmaker::PainterFor(strip->stem, fonts);
    for (int scale = 1; scale <= 2 && paint && !failures; ++scale) {
      const std::vector<unsigned char> rgba = canvas.Render(*strip, scale, paint);
      if (!bitmapmaker::StripCanvas::WritePNG(argv[1], *strip, scale, rgba)) {
        std::fprintf(stderr, "make_bitmaps: cannot write %s at %dx into %s\n", strip->stem, scale, argv[1]);
        failures++;
      }
    }
    if (!paint) {
      std::fprintf(stderr, "make_bitmaps: no painter for %s\n", strip->stem);
      failures++;
    }
  }
  mvgDeleteContext(vg);
  layer->release();
  // A process of our own: what the run loop would release, released here.
  standin::WaitForGPUIdle();
  standin::DrainAutoreleasePools();
  return failures ? 1 : 0;
}
