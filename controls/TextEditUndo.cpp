#include "TextEditUndo.h"

#include <algorithm>

namespace plugin::igraphics::textundo {

namespace {

constexpr int kRecords = STB_TEXTEDIT_UNDOSTATECOUNT;
constexpr int kChars = STB_TEXTEDIT_UNDOCHARCOUNT;

// Redo records run from redo_point (replayed first) to the last slot
// (replayed last); their characters fill the store from its end down, the
// last slot's at the very end.
void DropFarthestRedo(StbUndoState& s)
{
  const int last = kRecords - 1;
  if (s.redo_point > last)
    return;
  const StbUndoRecord farthest = s.undo_rec[last];
  if (farthest.char_storage >= 0 && farthest.insert_length > 0) {
    const int n = farthest.insert_length;
    std::copy_backward(s.undo_char + s.redo_char_point, s.undo_char + kChars - n, s.undo_char + kChars);
    s.redo_char_point += n;
    for (int i = s.redo_point; i < last; ++i)
      if (s.undo_rec[i].char_storage >= 0)
        s.undo_rec[i].char_storage += n;
  }
  std::copy_backward(s.undo_rec + s.redo_point, s.undo_rec + last, s.undo_rec + kRecords);
  ++s.redo_point;
}

} // namespace

void MakeRoomForUndo(StbUndoState& s)
{
  if (s.undo_point <= 0)
    return;
  const int need = s.undo_rec[s.undo_point - 1].delete_length;
  // The engine keeps no redo characters when they could not fit even in an
  // empty redo store; nothing to make room for then.
  if (need <= 0 || s.undo_char_point + need >= kChars)
    return;
  while (s.undo_char_point + need > s.redo_char_point && s.redo_point < kRecords)
    DropFarthestRedo(s);
}

void DropRedoThatCannotRestore(StbUndoState& s, const StbUndoRecord& undone)
{
  if (undone.delete_length <= 0 || s.redo_point >= kRecords)
    return;
  if (s.undo_rec[s.redo_point].insert_length < undone.delete_length) {
    s.redo_point = kRecords;
    s.redo_char_point = kChars;
  }
}

} // namespace plugin::igraphics::textundo
