#pragma once
// Where everything of the editor sits, in unscaled points, and how large one
// frame of each bitmap strip is. Shared by the layout and the bitmap
// generator, so that the buttons painted into the background lie under the
// invisible file selectors and each strip's frames fill the rectangle the
// layout places them at. Only plain constants: the generator includes it
// without the editor's libraries.

namespace editorlayout {

struct Point {
  int x, y;
};
struct Size {
  int w, h;
};
struct Rect {
  int l, t, r, b;
  constexpr int W() const { return r - l; }
  constexpr int H() const { return b - t; }
};

// One bitmap strip: file stem, frame count, one frame's size at 1x. Frames
// are stacked vertically; the @2x file doubles every pixel dimension.
struct Strip {
  const char* stem;
  int frames;
  Size frame;
};

inline constexpr Size kEditor{650, 470};
inline constexpr int kFrameRate = 60;
inline constexpr const char* kBundleID = "com.Zelvant.audiounit.Vorelle3";
inline constexpr const char* kSharedResourcesSubPath = "Vorelle3";
inline constexpr const char* kChangelogPathFormat = "/products/%s#Changelog";
inline constexpr const char* kChangelogProduct = "vorelle";

// Top-left points of the bitmap controls.
inline constexpr Point kPluginMenu{18, 18};
inline constexpr Point kUpdate{612, 18};
inline constexpr Point kActivity[3] = {{66, 229}, {147, 229}, {228, 229}};
inline constexpr Point kReferenceKnob{319, 219};
inline constexpr Point kADSwitch{198, 180};
inline constexpr Point kMixKnob{429, 227};
inline constexpr Point kGainKnob{523, 227};
inline constexpr Point kCaptureLED{80, 186};
inline constexpr Point kClipLED{490, 186};
inline constexpr Point kMatch{401, 356};
inline constexpr Point kTuneBox{189, 44};

// Rectangles of the text read-outs and the invisible controls.
inline constexpr Rect kCustomStyle{238, 447, 528, 462};
inline constexpr Rect kPeak{478, 355, 539, 390};
inline constexpr Rect kLoadFingerprint{84, 370, 112, 398};
inline constexpr Rect kSaveFingerprint{162, 370, 190, 398};
inline constexpr Rect kLoadReference{250, 370, 278, 398};
inline constexpr Rect kSaveReference{328, 370, 356, 398};

// The strips, in the order the generator writes them.
inline constexpr Strip kBackground{"background", 1, kEditor};
inline constexpr Strip kPluginMenuStrip{"pluginmenu", 2, {28, 28}};
inline constexpr Strip kUpdateStrip{"iconupdateavailable", 2, {20, 20}};
inline constexpr Strip kResizeStrip{"button_resize", 2, {16, 16}};
inline constexpr Strip kActivityStrips[3] = {
  {"act_but1", 2, {76, 30}}, {"act_but2", 2, {76, 30}}, {"act_but3", 2, {76, 30}}};
inline constexpr Strip kADStrip{"ad_but", 2, {104, 26}};
inline constexpr Strip kReferenceKnobStrip{"tune_but_a", 5, {84, 84}};
inline constexpr Strip kSmallKnobStrip{"tune_but_small", 101, {68, 68}};
inline constexpr Strip kCaptureLEDStrip{"led_3", 3, {16, 16}};
inline constexpr Strip kClipLEDStrip{"led_clip", 2, {16, 16}};
inline constexpr Strip kMatchStrip{"match", 2, {68, 34}};
inline constexpr Strip kTuneBoxStrip{"tune_box", 3, {272, 124}};
inline constexpr Strip kNeedleStrip{"tune_needle", 5, {272, 124}};

inline constexpr const Strip* kStrips[] = {
  &kBackground,        &kPluginMenuStrip,   &kUpdateStrip, &kResizeStrip,        &kActivityStrips[0],
  &kActivityStrips[1], &kActivityStrips[2], &kADStrip,     &kReferenceKnobStrip, &kSmallKnobStrip,
  &kCaptureLEDStrip,   &kClipLEDStrip,      &kMatchStrip,  &kTuneBoxStrip,       &kNeedleStrip};

// The rectangle a strip's frame takes at a point (the placement rule).
constexpr Rect FrameRect(const Strip& s, Point p) { return {p.x, p.y, p.x + s.frame.w, p.y + s.frame.h}; }

// Fonts: name in the editor, file in the bundle's resources.
inline constexpr const char* kFontNames[3] = {"Roboto-Regular", "Verdana Normal", "Verdana Bold"};
inline constexpr const char* kFontFiles[3] = {"Roboto-Regular.ttf", "verdana.ttf", "verdanab.ttf"};

} // namespace editorlayout
