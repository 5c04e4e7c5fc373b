#pragma once
// Guards around the text engine's undo. The engine keeps undo and redo
// characters in one store of STB_TEXTEDIT_UNDOCHARCOUNT units; when an undo
// needs room for its redo characters it drops redo records with a move one
// record too long, which writes a record over the oldest undo characters.
// These keep it from ever taking that path, and drop a redo the engine could
// not give its characters, so undo and redo only ever replay exact text.

#include "ITextEntryControl.h"

namespace plugin::igraphics::textundo {

// Before an undo: drops the redo records farthest from now, with their
// characters, until the next undo's redo characters fit beside the undo
// characters. Leaves the store alone when the engine keeps none for it.
void MakeRoomForUndo(StbUndoState& s);

// After an undo of `undone`: when its redo record got none of the
// characters it must put back, the whole redo history is dropped.
void DropRedoThatCannotRestore(StbUndoState& s, const StbUndoRecord& undone);

} // namespace plugin::igraphics::textundo
