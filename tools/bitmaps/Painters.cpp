#include "Painters.h"

#include <cmath>
#include <cstring>

namespace bitmapmaker {

namespace L = editorlayout;

namespace {

constexpr float kPi = 3.14159265358979f;

// The palette: a dark instrument panel with one cool and one warm accent.
const VGcolor kInk = vgRGB(216, 222, 230);
const VGcolor kDim = vgRGB(138, 148, 160);
const VGcolor kPanel = vgRGB(40, 45, 52);
const VGcolor kPanelEdge = vgRGB(62, 69, 79);
const VGcolor kKey = vgRGB(46, 52, 61);
const VGcolor kKeyEdge = vgRGB(78, 87, 99);
const VGcolor kTeal = vgRGB(46, 196, 170);
const VGcolor kAmber = vgRGB(236, 150, 60);
const VGcolor kRed = vgRGB(232, 62, 70);
const VGcolor kGlass = vgRGB(16, 20, 24);
const VGcolor kLCD = vgRGB(214, 210, 196);

void Text(VGcontext* vg, int font, float size, VGcolor c, int align, float x, float y, const char* s)
{
  vgFontFaceId(vg, font);
  vgFontSize(vg, size);
  vgFillColor(vg, c);
  vgTextAlign(vg, align);
  vgText(vg, x, y, s, nullptr);
}

void Centred(VGcontext* vg, int font, float size, VGcolor c, float x, float y, const char* s)
{
  Text(vg, font, size, c, VG_ALIGN_CENTER | VG_ALIGN_MIDDLE, x, y, s);
}

void FillRound(VGcontext* vg, float x, float y, float w, float h, float r, VGcolor c)
{
  vgBeginPath(vg);
  vgRoundedRect(vg, x, y, w, h, r);
  vgFillColor(vg, c);
  vgFill(vg);
}

void StrokeRound(VGcontext* vg, float x, float y, float w, float h, float r, VGcolor c, float width = 1.f)
{
  vgBeginPath(vg);
  vgRoundedRect(vg, x + 0.5f, y + 0.5f, w - 1.f, h - 1.f, r);
  vgStrokeColor(vg, c);
  vgStrokeWidth(vg, width);
  vgStroke(vg);
}

void Line(VGcontext* vg, float x0, float y0, float x1, float y1, VGcolor c, float width)
{
  vgBeginPath(vg);
  vgMoveTo(vg, x0, y0);
  vgLineTo(vg, x1, y1);
  vgStrokeColor(vg, c);
  vgStrokeWidth(vg, width);
  vgLineCap(vg, VG_ROUND);
  vgStroke(vg);
}

// A raised key: the body of every button.
void Key(VGcontext* vg, float x, float y, float w, float h, bool lit, VGcolor litColor)
{
  vgBeginPath(vg);
  vgRoundedRect(vg, x + 1, y + 1, w - 2, h - 2, 4);
  const VGcolor top = lit ? litColor : vgRGB(56, 63, 73);
  const VGcolor bottom = lit ? vgLerpRGBA(litColor, vgRGB(0, 0, 0), 0.25f) : kKey;
  vgFillPaint(vg, vgLinearGradient(vg, x, y, x, y + h, top, bottom));
  vgFill(vg);
  StrokeRound(vg, x + 1, y + 1, w - 2, h - 2, 4, lit ? vgLerpRGBA(litColor, kInk, 0.4f) : kKeyEdge);
}

void Panel(VGcontext* vg, const L::Rect& r)
{
  FillRound(vg, float(r.l), float(r.t), float(r.W()), float(r.H()), 6, kPanel);
  StrokeRound(vg, float(r.l), float(r.t), float(r.W()), float(r.H()), 6, kPanelEdge);
}

// Angle in degrees clockwise from 12 o'clock to a point at radius r.
void Polar(float cx, float cy, float r, float deg, float& x, float& y)
{
  const float a = (deg - 90.f) * kPi / 180.f;
  x = cx + r * std::cos(a);
  y = cy + r * std::sin(a);
}

void KnobBody(VGcontext* vg, float cx, float cy, float r)
{
  vgBeginPath(vg);
  vgCircle(vg, cx, cy + 1.5f, r + 1);
  vgFillColor(vg, vgRGBA(0, 0, 0, 110));
  vgFill(vg);
  vgBeginPath(vg);
  vgCircle(vg, cx, cy, r);
  vgFillPaint(vg, vgLinearGradient(vg, cx, cy - r, cx, cy + r, vgRGB(92, 101, 113), vgRGB(44, 49, 57)));
  vgFill(vg);
  vgBeginPath(vg);
  vgCircle(vg, cx, cy, r - 0.5f);
  vgStrokeColor(vg, vgRGB(112, 122, 135));
  vgStrokeWidth(vg, 1);
  vgStroke(vg);
}

// ---- the strips --------------------------------------------------------

void FileButton(VGcontext* vg, const Fonts& f, const L::Rect& r, bool load)
{
  Key(vg, float(r.l), float(r.t), float(r.W()), float(r.H()), false, kKey);
  const float cx = (r.l + r.r) * 0.5f;
  const float top = r.t + 7.f, bottom = r.b - 9.f;
  // A tray with an arrow out of it (load) or into it (save).
  vgBeginPath(vg);
  vgMoveTo(vg, cx - 8, bottom - 3);
  vgLineTo(vg, cx - 8, bottom + 2);
  vgLineTo(vg, cx + 8, bottom + 2);
  vgLineTo(vg, cx + 8, bottom - 3);
  vgStrokeColor(vg, kInk);
  vgStrokeWidth(vg, 1.6f);
  vgLineJoin(vg, VG_ROUND);
  vgStroke(vg);
  Line(vg, cx, top, cx, bottom - 1, kInk, 1.6f);
  const float tip = load ? top : bottom - 1;
  const float back = load ? tip + 5 : tip - 5;
  Line(vg, cx - 4.5f, back, cx, tip, kInk, 1.6f);
  Line(vg, cx + 4.5f, back, cx, tip, kInk, 1.6f);
  Centred(vg, f.bold, 9, kDim, cx, r.b + 11.f, load ? "LOAD" : "SAVE");
}

void Background(VGcontext* vg, const Fonts& f)
{
  const float w = float(L::kEditor.w), h = float(L::kEditor.h);
  vgBeginPath(vg);
  vgRect(vg, 0, 0, w, h);
  vgFillPaint(vg, vgLinearGradient(vg, 0, 0, 0, h, vgRGB(36, 41, 48), vgRGB(22, 25, 30)));
  vgFill(vg);

  Text(vg, f.bold, 19, kInk, VG_ALIGN_LEFT | VG_ALIGN_MIDDLE, 56, 27, "Vorelle3");
  Text(vg, f.regular, 10.5f, kDim, VG_ALIGN_LEFT | VG_ALIGN_MIDDLE, 57, 45, "LONG-TERM SPECTRUM MATCH");

  constexpr L::Rect activity{52, 170, 310, 274}, output{314, 170, 614, 326};
  constexpr L::Rect files{52, 336, 380, 428}, peak{390, 336, 614, 428};
  Panel(vg, activity);
  Panel(vg, output);
  Panel(vg, files);
  Panel(vg, peak);

  // Activity panel: fingerprint LED caption, activity buttons caption.
  const L::Rect led = L::FrameRect(L::kCaptureLEDStrip, L::kCaptureLED);
  Text(vg, f.bold, 9.5f, kDim, VG_ALIGN_LEFT | VG_ALIGN_MIDDLE, led.r + 6.f, (led.t + led.b) * 0.5f, "FINGERPRINT");
  const float actL = float(L::kActivity[0].x);
  const float actR = float(L::kActivity[2].x + L::kActivityStrips[2].frame.w);
  Centred(vg, f.bold, 9.5f, kDim, (actL + actR) * 0.5f, L::kActivity[0].y - 11.f, "ACTIVITY");

  // Output panel: clip LED caption, knob names under the knobs.
  const L::Rect clip = L::FrameRect(L::kClipLEDStrip, L::kClipLED);
  Text(vg, f.bold, 9.5f, kDim, VG_ALIGN_LEFT | VG_ALIGN_MIDDLE, clip.r + 6.f, (clip.t + clip.b) * 0.5f, "CLIP");
  const L::Rect ref = L::FrameRect(L::kReferenceKnobStrip, L::kReferenceKnob);
  Centred(vg, f.bold, 9.5f, kDim, (ref.l + ref.r) * 0.5f, ref.b + 11.f, "REFERENCE");
  const L::Rect mix = L::FrameRect(L::kSmallKnobStrip, L::kMixKnob);
  const L::Rect gain = L::FrameRect(L::kSmallKnobStrip, L::kGainKnob);
  Centred(vg, f.bold, 9.5f, kDim, (mix.l + mix.r) * 0.5f, mix.b + 8.f, "MIX");
  Centred(vg, f.bold, 9.5f, kDim, (gain.l + gain.r) * 0.5f, gain.b + 8.f, "GAIN");
  Text(vg, f.regular, 8.5f, kDim, VG_ALIGN_CENTER | VG_ALIGN_MIDDLE, mix.l + 8.f, mix.b + 1.f, "0");
  Text(vg, f.regular, 8.5f, kDim, VG_ALIGN_CENTER | VG_ALIGN_MIDDLE, mix.r - 8.f, mix.b + 1.f, "100");
  Text(vg, f.regular, 8.5f, kDim, VG_ALIGN_CENTER | VG_ALIGN_MIDDLE, gain.l + 8.f, gain.b + 1.f, "-24");
  Text(vg, f.regular, 8.5f, kDim, VG_ALIGN_CENTER | VG_ALIGN_MIDDLE, gain.r - 8.f, gain.b + 1.f, "+24");

  // File panel: the buttons the invisible file selectors lie over.
  const float top = float(L::kLoadFingerprint.t) - 14.f;
  Centred(vg, f.bold, 9.5f, kDim, (L::kLoadFingerprint.l + L::kSaveFingerprint.r) * 0.5f, top, "FINGERPRINT FILE");
  Centred(vg, f.bold, 9.5f, kDim, (L::kLoadReference.l + L::kSaveReference.r) * 0.5f, top, "REFERENCE FILE");
  FileButton(vg, f, L::kLoadFingerprint, true);
  FileButton(vg, f, L::kSaveFingerprint, false);
  FileButton(vg, f, L::kLoadReference, true);
  FileButton(vg, f, L::kSaveReference, false);

  // Peak panel: the read-out's window (its text is drawn by the editor).
  const L::Rect& p = L::kPeak;
  FillRound(vg, float(p.l), float(p.t), float(p.W()), float(p.H()), 4, kLCD);
  StrokeRound(vg, float(p.l), float(p.t), float(p.W()), float(p.H()), 4, vgRGB(120, 116, 104));
  Centred(vg, f.bold, 9.5f, kDim, (p.l + p.r) * 0.5f, p.t - 10.f, "MAX PEAK");
  Centred(vg, f.regular, 9, kDim, (p.l + p.r) * 0.5f, p.b + 10.f, "dBFS, click to reset");
  const L::Rect match = L::FrameRect(L::kMatchStrip, L::kMatch);
  Centred(vg, f.regular, 9, kDim, (match.l + match.r) * 0.5f, match.b + 10.f, "gain to peak");

  // The footer line the custom-style label sits on.
  Line(vg, 52, float(L::kCustomStyle.t) - 7.f, 614, float(L::kCustomStyle.t) - 7.f, kPanelEdge, 1);
}

void PluginMenu(VGcontext* vg, int k, float w, float h)
{
  Key(vg, 0, 0, w, h, false, kKey);
  const VGcolor c = k ? kTeal : kInk;
  for (int i = 0; i < 3; ++i)
    Line(vg, 8, 9.f + 5.f * i, w - 8, 9.f + 5.f * i, c, 2);
}

void UpdateIcon(VGcontext* vg, const Fonts& f, int k, float w, float h)
{
  const float cx = w * 0.5f, cy = h * 0.5f;
  vgBeginPath(vg);
  vgCircle(vg, cx, cy, w * 0.5f - 1.5f);
  if (k) {
    vgFillColor(vg, kAmber);
    vgFill(vg);
    Centred(vg, f.bold, 13, vgRGB(255, 255, 255), cx, cy + 0.5f, "!");
    return;
  }
  vgStrokeColor(vg, kDim);
  vgStrokeWidth(vg, 1.4f);
  vgStroke(vg);
  // An arrow up: "check for a newer version".
  Line(vg, cx, cy + 4.5f, cx, cy - 4.5f, kDim, 1.4f);
  Line(vg, cx - 3.5f, cy - 1, cx, cy - 4.5f, kDim, 1.4f);
  Line(vg, cx + 3.5f, cy - 1, cx, cy - 4.5f, kDim, 1.4f);
}

void Resizer(VGcontext* vg, int k, float w, float h)
{
  const VGcolor c = k ? kTeal : kDim;
  for (int i = 1; i <= 3; ++i) {
    const float d = 4.f * i;
    Line(vg, w - d - 1, h - 2, w - 2, h - d - 1, c, 1.3f);
  }
}

void ActivityButton(VGcontext* vg, const Fonts& f, int which, int k, float w, float h)
{
  static const char* const kNames[3] = {"CAPTURE", "IDLE", "PROCESS"};
  const VGcolor colours[3] = {kAmber, vgRGB(104, 120, 138), vgRGB(34, 160, 140)};
  Key(vg, 0, 0, w, h, k == 1, colours[which]);
  Centred(vg, f.bold, 10.5f, k ? vgRGB(255, 255, 255) : kDim, w * 0.5f, h * 0.5f + 0.5f, kNames[which]);
}

void ADSwitch(VGcontext* vg, const Fonts& f, int k, float w, float h)
{
  FillRound(vg, 0, 0, w, h, 5, kGlass);
  StrokeRound(vg, 0, 0, w, h, 5, kKeyEdge);
  const float half = w * 0.5f;
  Key(vg, k ? half : 0.f, 0, half, h, true, kTeal);
  Centred(vg, f.bold, 9, k ? kDim : vgRGB(255, 255, 255), half * 0.5f, h * 0.5f + 0.5f, "ANALOG");
  Centred(vg, f.bold, 9, k ? vgRGB(255, 255, 255) : kDim, half * 1.5f, h * 0.5f + 0.5f, "DIGITAL");
}

// "Reference mode" 0..4: four built-in curves and the custom one.
const char* const kReferenceMarks[5] = {"0", "1", "2", "3", "C"};

void ReferenceKnob(VGcontext* vg, const Fonts& f, int k, int n, float w, float h)
{
  const float cx = w * 0.5f, cy = h * 0.5f;
  for (int i = 0; i < n; ++i) {
    float x, y;
    Polar(cx, cy, 35.5f, -120.f + 60.f * i, x, y);
    Centred(vg, f.bold, 9.5f, i == k ? kTeal : kDim, x, y + 0.5f, kReferenceMarks[i]);
  }
  KnobBody(vg, cx, cy, 25);
  float x0, y0, x1, y1;
  Polar(cx, cy, 9, -120.f + 60.f * k, x0, y0);
  Polar(cx, cy, 21, -120.f + 60.f * k, x1, y1);
  Line(vg, x0, y0, x1, y1, kTeal, 3);
}

void SmallKnob(VGcontext* vg, int k, int n, float w, float h)
{
  const float cx = w * 0.5f, cy = h * 0.5f;
  const float v = n > 1 ? float(k) / float(n - 1) : 0.f;
  const float a0 = (135.f) * kPi / 180.f, sweep = 270.f * kPi / 180.f;
  vgBeginPath(vg);
  vgArc(vg, cx, cy, 28, a0, a0 + sweep, VG_CW);
  vgStrokeColor(vg, kGlass);
  vgStrokeWidth(vg, 4);
  vgLineCap(vg, VG_ROUND);
  vgStroke(vg);
  if (k > 0) {
    vgBeginPath(vg);
    vgArc(vg, cx, cy, 28, a0, a0 + sweep * v, VG_CW);
    vgStrokeColor(vg, kTeal);
    vgStrokeWidth(vg, 4);
    vgStroke(vg);
  }
  KnobBody(vg, cx, cy, 21);
  float x0, y0, x1, y1;
  Polar(cx, cy, 8, -135.f + 270.f * v, x0, y0);
  Polar(cx, cy, 17, -135.f + 270.f * v, x1, y1);
  Line(vg, x0, y0, x1, y1, kInk, 2.5f);
}

void LED(VGcontext* vg, VGcolor on, float level, float w, float h)
{
  const float cx = w * 0.5f, cy = h * 0.5f;
  if (level > 0.f) {
    vgBeginPath(vg);
    vgCircle(vg, cx, cy, w * 0.5f);
    vgFillPaint(vg, vgRadialGradient(vg, cx, cy, 2, w * 0.5f, vgTransRGBAf(on, 0.6f * level), vgTransRGBA(on, 0)));
    vgFill(vg);
  }
  vgBeginPath(vg);
  vgCircle(vg, cx, cy, 5);
  const VGcolor body = level > 0.f ? vgLerpRGBA(vgRGB(50, 50, 50), on, 0.4f + 0.6f * level) : vgRGB(52, 56, 62);
  vgFillPaint(vg,
              vgRadialGradient(vg, cx - 1.5f, cy - 1.5f, 0.5f, 5, vgLerpRGBA(body, vgRGB(255, 255, 255), 0.35f), body));
  vgFill(vg);
  vgStrokeColor(vg, vgRGB(20, 22, 26));
  vgStrokeWidth(vg, 1);
  vgStroke(vg);
}

void Match(VGcontext* vg, const Fonts& f, int k, float w, float h)
{
  const float dy = k ? 1.f : 0.f;
  Key(vg, 0, dy, w, h - 1, k == 1, kTeal);
  Centred(vg, f.bold, 10.5f, k ? vgRGB(255, 255, 255) : kInk, w * 0.5f, h * 0.5f + dy, "MATCH");
}

// The dial shared by the box and the needle: pivot and radius of the arc.
constexpr float kDialPivotY = 116.f;
constexpr float kDialRadius = 82.f;
constexpr float kDialSpread = 30.f; // degrees between two reference marks

void TuneBox(VGcontext* vg, const Fonts& f, int k, float w, float h)
{
  static const char* const kStates[3] = {"CAPTURE", "IDLE", "PROCESSING"};
  const VGcolor tints[3] = {kAmber, kDim, kTeal};
  FillRound(vg, 0, 0, w, h, 8, kGlass);
  StrokeRound(vg, 0, 0, w, h, 8, kPanelEdge);
  const float cx = w * 0.5f;
  // The scale, lit in the state's colour.
  vgBeginPath(vg);
  vgArc(vg, cx, kDialPivotY, kDialRadius, (-90.f - 2.f * kDialSpread - 8.f) * kPi / 180.f,
        (-90.f + 2.f * kDialSpread + 8.f) * kPi / 180.f, VG_CW);
  vgStrokeColor(vg, vgTransRGBAf(tints[k], 0.8f));
  vgStrokeWidth(vg, 2);
  vgStroke(vg);
  for (int i = 0; i < 5; ++i) {
    const float deg = -2.f * kDialSpread + kDialSpread * i;
    float x0, y0, x1, y1, tx, ty;
    Polar(cx, kDialPivotY, kDialRadius - 6.f, deg, x0, y0);
    Polar(cx, kDialPivotY, kDialRadius + 4.f, deg, x1, y1);
    Polar(cx, kDialPivotY, kDialRadius + 15.f, deg, tx, ty);
    Line(vg, x0, y0, x1, y1, kInk, 2);
    Centred(vg, f.bold, 10, kInk, tx, ty, kReferenceMarks[i]);
  }
  Text(vg, f.bold, 9, kDim, VG_ALIGN_LEFT | VG_ALIGN_MIDDLE, 12, 14, "REFERENCE");
  // The activity state in words.
  vgBeginPath(vg);
  vgCircle(vg, 16, h - 14, 3.5f);
  vgFillColor(vg, tints[k]);
  vgFill(vg);
  Text(vg, f.bold, 9.5f, tints[k], VG_ALIGN_LEFT | VG_ALIGN_MIDDLE, 24, h - 14, kStates[k]);
}

void Needle(VGcontext* vg, int k, float w, float)
{
  const float cx = w * 0.5f;
  float x, y;
  Polar(cx, kDialPivotY, kDialRadius - 4.f, -2.f * kDialSpread + kDialSpread * k, x, y);
  Line(vg, cx, kDialPivotY, x, y, vgRGBA(0, 0, 0, 90), 4);
  Line(vg, cx, kDialPivotY, x, y, kRed, 2);
  vgBeginPath(vg);
  vgCircle(vg, cx, kDialPivotY, 6);
  vgFillColor(vg, vgRGB(70, 76, 86));
  vgFill(vg);
}

} // namespace

FramePainter PainterFor(const char* stem, const Fonts& f)
{
  const std::string s = stem ? stem : "";
  if (s == L::kBackground.stem)
    return [f](VGcontext* vg, int, int, float, float) { Background(vg, f); };
  if (s == L::kPluginMenuStrip.stem)
    return [](VGcontext* vg, int k, int, float w, float h) { PluginMenu(vg, k, w, h); };
  if (s == L::kUpdateStrip.stem)
    return [f](VGcontext* vg, int k, int, float w, float h) { UpdateIcon(vg, f, k, w, h); };
  if (s == L::kResizeStrip.stem)
    return [](VGcontext* vg, int k, int, float w, float h) { Resizer(vg, k, w, h); };
  for (int i = 0; i < 3; ++i)
    if (s == L::kActivityStrips[i].stem)
      return [f, i](VGcontext* vg, int k, int, float w, float h) { ActivityButton(vg, f, i, k, w, h); };
  if (s == L::kADStrip.stem)
    return [f](VGcontext* vg, int k, int, float w, float h) { ADSwitch(vg, f, k, w, h); };
  if (s == L::kReferenceKnobStrip.stem)
    return [f](VGcontext* vg, int k, int n, float w, float h) { ReferenceKnob(vg, f, k, n, w, h); };
  if (s == L::kSmallKnobStrip.stem)
    return [](VGcontext* vg, int k, int n, float w, float h) { SmallKnob(vg, k, n, w, h); };
  if (s == L::kCaptureLEDStrip.stem)
    return
      [](VGcontext* vg, int k, int, float w, float h) { LED(vg, k == 2 ? kTeal : kAmber, k == 0 ? 0.f : 1.f, w, h); };
  if (s == L::kClipLEDStrip.stem)
    return [](VGcontext* vg, int k, int, float w, float h) { LED(vg, kRed, k ? 1.f : 0.f, w, h); };
  if (s == L::kMatchStrip.stem)
    return [f](VGcontext* vg, int k, int, float w, float h) { Match(vg, f, k, w, h); };
  if (s == L::kTuneBoxStrip.stem)
    return [f](VGcontext* vg, int k, int, float w, float h) { TuneBox(vg, f, k, w, h); };
  if (s == L::kNeedleStrip.stem)
    return [](VGcontext* vg, int k, int, float w, float h) { Needle(vg, k, w, h); };
  return nullptr;
}

} // namespace bitmapmaker
