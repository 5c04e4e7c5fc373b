#pragma once
// The stb_textedit engine built for ITextEntryControl: the only file that
// compiles the engine's body. Each call edits the field's text through its
// callbacks and updates the state.

#include "ITextEntryControl.h"

namespace plugin::igraphics::textengine {

// Cursor 0, no selection, insert mode off, one line, undo and redo empty.
void Initialize(STB_TexteditState& state);
void Click(ITextEntryControl& field, STB_TexteditState& state, float x, float y);
void Drag(ITextEntryControl& field, STB_TexteditState& state, float x, float y);
void Key(ITextEntryControl& field, STB_TexteditState& state, int key);
// Deletes the selection with an undo record; false when there was none.
bool Cut(ITextEntryControl& field, STB_TexteditState& state);
bool Paste(ITextEntryControl& field, STB_TexteditState& state, const char16_t* text, int n);

} // namespace plugin::igraphics::textengine
