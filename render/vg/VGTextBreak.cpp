// Line breaking: rows end at newlines, after the last space that fits, between
// CJK characters, or inside a word longer than the row.

#include "VGTextInternal.h"

#include <cstring>

namespace {

enum CodepointType { kSpace, kNewline, kChar, kCJKChar };

bool isCJK(unsigned int c)
{
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3000 && c <= 0x30FF) || (c >= 0xFF00 && c <= 0xFFEF) ||
         (c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x318F) || (c >= 0xAC00 && c <= 0xD7AF);
}

CodepointType classify(unsigned int c, unsigned int previous)
{
  switch (c) {
  case 9:
  case 11:
  case 12:
  case 32:
  case 0x00a0: return kSpace;
  case 10: return previous == 13 ? kSpace : kNewline; // CR LF is one newline
  case 13: return previous == 10 ? kSpace : kNewline;
  case 0x0085: return kNewline;
  default: return isCJK(c) ? kCJKChar : kChar;
  }
}

bool visible(CodepointType t) { return t == kChar || t == kCJKChar; }

} // namespace

int vgTextBreakLines(VGcontext* ctx, const char* string, const char* end, float breakRowWidth, VGtextRow* rows,
                     int maxRows)
{
  const VGstate* state = vg_getState(ctx);
  if (maxRows <= 0 || state->fontId == -1 || string == nullptr)
    return 0;
  if (end == nullptr)
    end = string + std::strlen(string);
  if (string == end)
    return 0;
  const float scale = vg_textScale(ctx);
  const float invscale = 1.0f / scale;
  vg_setFontStashState(ctx, scale);
  breakRowWidth *= scale;

  // Row, last break opportunity and last word start; x values in stash pixels.
  const char* rowStart = nullptr;
  const char* rowEnd = nullptr;
  float rowStartX = 0.0f, rowWidth = 0.0f, rowMinX = 0.0f, rowMaxX = 0.0f;
  const char* breakEnd = nullptr;
  float breakWidth = 0.0f, breakMaxX = 0.0f;
  const char* wordStart = nullptr;
  float wordStartX = 0.0f, wordMinX = 0.0f;
  CodepointType type = kSpace, ptype = kSpace;
  unsigned int pcodepoint = 0;
  int nrows = 0;

  auto emit = [&](const char* start, const char* rowEndPtr, float width, float minx, float maxx, const char* next) {
    VGtextRow& row = rows[nrows++];
    row.start = start;
    row.end = rowEndPtr;
    row.width = width * invscale;
    row.minx = minx * invscale;
    row.maxx = maxx * invscale;
    row.next = next;
    return nrows >= maxRows;
  };

  FSTtextIter iter;
  FSTquad q;
  if (fstTextIterInit(ctx->fs, &iter, 0.0f, 0.0f, string, end, FST_GLYPH_BITMAP_OPTIONAL) == 0)
    return 0;
  while (fstTextIterNext(ctx->fs, &iter, &q)) {
    if (iter.prevGlyphIndex < 0)
      vg_missingGlyphQuad(&iter, &q);
    type = classify(iter.codepoint, pcodepoint);

    if (type == kNewline) {
      if (emit(rowStart != nullptr ? rowStart : iter.str, rowEnd != nullptr ? rowEnd : iter.str, rowWidth, rowMinX,
               rowMaxX, iter.next))
        return nrows;
      breakEnd = rowStart;
      breakWidth = breakMaxX = 0.0f;
      rowStart = rowEnd = nullptr;
      rowWidth = rowMinX = rowMaxX = 0.0f;
    } else if (rowStart == nullptr) {
      if (visible(type)) {
        rowStartX = iter.x;
        rowStart = iter.str;
        rowEnd = iter.next;
        rowWidth = iter.nextx - rowStartX;
        rowMinX = q.x0 - rowStartX;
        rowMaxX = q.x1 - rowStartX;
        wordStart = iter.str;
        wordStartX = iter.x;
        wordMinX = q.x0;
        breakEnd = rowStart;
        breakWidth = breakMaxX = 0.0f;
      }
    } else {
      const float nextWidth = iter.nextx - rowStartX;
      // The row as it stood before this character, for a split inside a word.
      const float widthBefore = rowWidth, maxXBefore = rowMaxX;
      if (visible(type)) {
        rowEnd = iter.next;
        rowWidth = iter.nextx - rowStartX;
        rowMaxX = q.x1 - rowStartX;
      }
      if ((visible(ptype) && type == kSpace) || type == kCJKChar) {
        // The break lies before this character: its width is not the row's.
        breakEnd = iter.str;
        breakWidth = widthBefore;
        breakMaxX = maxXBefore;
      }
      if ((ptype == kSpace && visible(type)) || type == kCJKChar) {
        wordStart = iter.str;
        wordStartX = iter.x;
        wordMinX = q.x0;
      }
      if (visible(type) && nextWidth > breakRowWidth) {
        if (breakEnd == rowStart) {
          // One word longer than the row: split it before this character.
          if (emit(rowStart, iter.str, widthBefore, rowMinX, maxXBefore, iter.str))
            return nrows;
          rowStartX = iter.x;
          rowStart = iter.str;
          rowEnd = iter.next;
          rowWidth = iter.nextx - rowStartX;
          rowMinX = q.x0 - rowStartX;
          rowMaxX = q.x1 - rowStartX;
          wordStart = iter.str;
          wordStartX = iter.x;
          wordMinX = q.x0;
        } else {
          if (emit(rowStart, breakEnd, breakWidth, rowMinX, breakMaxX, wordStart))
            return nrows;
          rowStartX = wordStartX;
          rowStart = wordStart;
          rowEnd = iter.next;
          rowWidth = iter.nextx - rowStartX;
          rowMinX = wordMinX - rowStartX;
          rowMaxX = q.x1 - rowStartX;
        }
        breakEnd = rowStart;
        breakWidth = breakMaxX = 0.0f;
      }
    }
    pcodepoint = iter.codepoint;
    ptype = type;
  }

  if (rowStart != nullptr)
    emit(rowStart, rowEnd, rowWidth, rowMinX, rowMaxX, end);
  return nrows;
}
