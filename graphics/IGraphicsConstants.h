#pragma once
// Process-wide read-only colours, blends and text styles: one definition
// for the whole program (inline variables), initialised before any code runs.

#include "IGraphicsStructs.h"

namespace plugin::igraphics {

inline constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline constexpr IColor COLOR_TRANSLUCENT(10, 0, 0, 0);
inline constexpr IColor COLOR_BLACK(255, 0, 0, 0);
inline constexpr IColor COLOR_HALF_BLACK(128, 0, 0, 0);
inline constexpr IColor COLOR_GRAY(255, 127, 127, 127);
inline constexpr IColor COLOR_LIGHT_GRAY(255, 240, 240, 240);
inline constexpr IColor COLOR_MID_GRAY(255, 200, 200, 200);
inline constexpr IColor COLOR_DARK_GRAY(255, 70, 70, 70);
inline constexpr IColor COLOR_WHITE(255, 255, 255, 255);
inline constexpr IColor COLOR_RED(255, 255, 0, 0);
inline constexpr IColor COLOR_GREEN(255, 0, 255, 0);
inline constexpr IColor COLOR_BLUE(255, 0, 0, 255);
inline constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
inline constexpr IColor COLOR_ORANGE(255, 255, 127, 0);
inline constexpr IColor COLOR_INDIGO(255, 75, 0, 130);
inline constexpr IColor COLOR_VIOLET(255, 148, 0, 211);
inline constexpr IColor COLOR_BLACK_A60(60, 0, 0, 0);

inline constexpr IColor DEFAULT_TEXT_FGCOLOR = COLOR_BLACK;
inline constexpr IColor DEFAULT_TEXTENTRY_BGCOLOR = COLOR_WHITE;
inline constexpr IColor DEFAULT_TEXTENTRY_FGCOLOR = COLOR_BLACK;

inline constexpr IBlend BLEND_75{kBlendDefault, 0.75f};
inline constexpr IBlend BLEND_50{kBlendDefault, 0.5f};
inline constexpr IBlend BLEND_25{kBlendDefault, 0.25f};
inline constexpr IBlend BLEND_10{kBlendDefault, 0.1f};
inline constexpr IBlend BLEND_05{kBlendDefault, 0.05f};
inline constexpr IBlend BLEND_01{kBlendDefault, 0.01f};
inline constexpr IBlend BLEND_DST_IN{kBlendDestIn, 1.f};
inline constexpr IBlend BLEND_DST_OVER{kBlendDestOver, 1.f};

inline const IText DEFAULT_TEXT(14.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", kAlignCenter, kVAlignMiddle, 0.f,
                                DEFAULT_TEXTENTRY_BGCOLOR, DEFAULT_TEXTENTRY_FGCOLOR);
inline const IText DEFAULT_LABEL_TEXT(19.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", kAlignCenter, kVAlignTop, 0.f,
                                      DEFAULT_TEXTENTRY_BGCOLOR, DEFAULT_TEXTENTRY_FGCOLOR);
inline const IText DEFAULT_VALUE_TEXT(14.f, DEFAULT_TEXT_FGCOLOR, "Roboto-Regular", kAlignCenter, kVAlignBottom, 0.f,
                                      DEFAULT_TEXTENTRY_BGCOLOR, DEFAULT_TEXTENTRY_FGCOLOR);

} // namespace plugin::igraphics
