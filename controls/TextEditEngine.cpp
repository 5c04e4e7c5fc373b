#include "TextEditEngine.h"

#include <cctype>

#include "TextEditUndo.h"

namespace {

using plugin::igraphics::ITextEntryControl;
namespace tk = plugin::igraphics::textkeys;

// A code with the key-down or control bit types nothing; any other types
// its low 28 bits cut to 16 (0 types nothing, the engine refuses a newline).
inline int KeyToText(int k)
{
  if (k & (tk::kKeyDown | tk::kControl))
    return -1;
  return (k & tk::kCharMask) & 0xFFFF;
}

inline bool IsSpace(char16_t c) { return c < 0x80 && std::isspace(static_cast<unsigned char>(c)) != 0; }

} // namespace

#define STB_TEXTEDIT_STRING ITextEntryControl
#define STB_TEXTEDIT_STRINGLEN(obj) ((obj)->TextLength())
#define STB_TEXTEDIT_GETCHAR(obj, i) ((obj)->CharAt(i))
#define STB_TEXTEDIT_NEWLINE u'\n'
#define STB_TEXTEDIT_IS_SPACE(ch) IsSpace(ch)
#define STB_TEXTEDIT_LAYOUTROW(r, obj, n) ((obj)->LayoutRow((r), (n)))
#define STB_TEXTEDIT_GETWIDTH(obj, n, i) ((obj)->GetCharWidth((n), (i)))
#define STB_TEXTEDIT_DELETECHARS(obj, i, n) ((obj)->DeleteChars((i), (n)))
#define STB_TEXTEDIT_INSERTCHARS(obj, i, c, n) ((obj)->InsertChars((i), (c), (n)))
#define STB_TEXTEDIT_KEYTOTEXT(k) KeyToText(k)
#define STB_TEXTEDIT_K_SHIFT tk::kShift
#define STB_TEXTEDIT_K_LEFT tk::Key(37)
#define STB_TEXTEDIT_K_RIGHT tk::Key(39)
#define STB_TEXTEDIT_K_UP tk::Key(38)
#define STB_TEXTEDIT_K_DOWN tk::Key(40)
#define STB_TEXTEDIT_K_PGUP tk::Key(33)
#define STB_TEXTEDIT_K_PGDOWN tk::Key(34)
#define STB_TEXTEDIT_K_LINESTART tk::Key(36)
#define STB_TEXTEDIT_K_LINEEND tk::Key(35)
#define STB_TEXTEDIT_K_TEXTSTART (tk::Key(36) | tk::kControl)
#define STB_TEXTEDIT_K_TEXTEND (tk::Key(35) | tk::kControl)
#define STB_TEXTEDIT_K_WORDLEFT (tk::Key(37) | tk::kControl)
#define STB_TEXTEDIT_K_WORDRIGHT (tk::Key(39) | tk::kControl)
#define STB_TEXTEDIT_K_DELETE tk::Key(46)
#define STB_TEXTEDIT_K_BACKSPACE tk::Key(8)
#define STB_TEXTEDIT_K_INSERT tk::Key(45)
#define STB_TEXTEDIT_K_UNDO (tk::kControl | 122)
#define STB_TEXTEDIT_K_REDO (tk::kShift | tk::kControl | 122)
#define STB_TEXTEDIT_IMPLEMENTATION
#include <stb/stb_textedit.h>

namespace plugin::igraphics::textengine {

void Initialize(STB_TexteditState& state)
{
  state = STB_TexteditState{};
  stb_textedit_initialize_state(&state, 1);
}

void Click(ITextEntryControl& field, STB_TexteditState& state, float x, float y)
{
  stb_textedit_click(&field, &state, x, y);
}

void Drag(ITextEntryControl& field, STB_TexteditState& state, float x, float y)
{
  stb_textedit_drag(&field, &state, x, y);
}

void Key(ITextEntryControl& field, STB_TexteditState& state, int key)
{
  StbUndoState& undo = state.undostate;
  if (key != STB_TEXTEDIT_K_UNDO || undo.undo_point <= 0) {
    stb_textedit_key(&field, &state, key);
    return;
  }
  textundo::MakeRoomForUndo(undo);
  const StbUndoRecord undone = undo.undo_rec[undo.undo_point - 1];
  stb_textedit_key(&field, &state, key);
  textundo::DropRedoThatCannotRestore(undo, undone);
}

bool Cut(ITextEntryControl& field, STB_TexteditState& state) { return stb_textedit_cut(&field, &state) != 0; }

bool Paste(ITextEntryControl& field, STB_TexteditState& state, const char16_t* text, int n)
{
  // The engine takes a writable pointer but only reads it.
  return stb_textedit_paste(&field, &state, const_cast<char16_t*>(text), n) != 0;
}

} // namespace plugin::igraphics::textengine
