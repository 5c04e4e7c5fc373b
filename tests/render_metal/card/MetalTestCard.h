#pragma once
// The renderer's test card: the same picture drawn through the vector engine
// (into whatever its context renders to) and by Cairo, shared by the
// renderer's tests and its benchmark.
#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

#include "MVG.h"
#include "VGText.h"

namespace mvgcard {

inline constexpr int kW = 480, kH = 370;
inline constexpr int kTextTop = 300; // the text band: Cairo draws no text
inline constexpr int kLayerX = 400, kLayerY = 160, kLayerW = 64, kLayerH = 48;
inline const char* kRoboto = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Regular.ttf";

struct Rgb {
  int r, g, b;
};
inline const Rgb kRed{220, 40, 40}, kGreen{40, 160, 60}, kBlue{40, 80, 220}, kInk{30, 30, 30};
inline const Rgb kLinA{255, 220, 0}, kLinB{20, 40, 200}, kRadA{255, 255, 255}, kRadB{200, 0, 160};
inline const Rgb kBoxA{30, 30, 60}, kBoxB{230, 230, 250}, kTeal{0, 150, 150};

// The composite operations in the engine's order, with their Porter-Duff
// factors (source factor, destination factor) as functions of the alphas.
struct CompositeCase {
  int op;
  cairo_operator_t cairo;
  double (*fa)(double sa, double da);
  double (*fb)(double sa, double da);
};
inline const CompositeCase kComposites[] = {
  {VG_SOURCE_OVER, CAIRO_OPERATOR_OVER, [](double, double) { return 1.0; }, [](double sa, double) { return 1 - sa; }},
  {VG_SOURCE_IN, CAIRO_OPERATOR_IN, [](double, double da) { return da; }, [](double, double) { return 0.0; }},
  {VG_SOURCE_OUT, CAIRO_OPERATOR_OUT, [](double, double da) { return 1 - da; }, [](double, double) { return 0.0; }},
  {VG_ATOP, CAIRO_OPERATOR_ATOP, [](double, double da) { return da; }, [](double sa, double) { return 1 - sa; }},
  {VG_DESTINATION_OVER, CAIRO_OPERATOR_DEST_OVER, [](double, double da) { return 1 - da; },
   [](double, double) { return 1.0; }},
  {VG_DESTINATION_IN, CAIRO_OPERATOR_DEST_IN, [](double, double) { return 0.0; }, [](double sa, double) { return sa; }},
  {VG_DESTINATION_OUT, CAIRO_OPERATOR_DEST_OUT, [](double, double) { return 0.0; },
   [](double sa, double) { return 1 - sa; }},
  {VG_DESTINATION_ATOP, CAIRO_OPERATOR_DEST_ATOP, [](double, double da) { return 1 - da; },
   [](double sa, double) { return sa; }},
  {VG_LIGHTER, CAIRO_OPERATOR_ADD, [](double, double) { return 1.0; }, [](double, double) { return 1.0; }},
  {VG_COPY, CAIRO_OPERATOR_SOURCE, [](double, double) { return 1.0; }, [](double, double) { return 0.0; }},
  {VG_XOR, CAIRO_OPERATOR_XOR, [](double, double da) { return 1 - da; }, [](double sa, double) { return 1 - sa; }},
};
inline constexpr double kSourceAlpha = 0.5;
inline int CellX(int i) { return 10 + i * 42; }

// An 8 x 8 checker of two colours, straight alpha (the dark one translucent).
std::vector<uint8_t> Checker();
// The framebuffer layer's own frame, kLayerW x kLayerH.
void DrawLayer(VGcontext* ctx);
// The card, kW x kH, with the checker and layer images; expects a font "sans".
void DrawCard(VGcontext* ctx, int checkerImage, int layerImage);
// The box gradient's ramp (0 inner colour .. 1 outer) at a point.
double BoxRamp(double px, double py);
// The card by Cairo without its text, as premultiplied RGBA bytes; the layer
// comes from its read-back pixels.
std::vector<uint8_t> CairoCard(const std::vector<uint8_t>& layerPixels);
// RGBA bytes (premultiplied) as a PNG, beside the path then renamed.
bool WriteRGBAPng(const std::vector<uint8_t>& rgba, int w, int h, const std::string& path);

} // namespace mvgcard
