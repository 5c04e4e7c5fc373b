#pragma once
// The editor's own single-line text field, laid over the control that asked
// for text. Holds the text as UTF-16 code units and edits it with the
// stb_textedit engine (caret, selection, word moves, insert mode, undo of
// 99 steps and 999 characters); draws background, selection, text and a
// caret that blinks on the graphics context's clock; Cut/Copy/Paste on the
// right button. Return or a click outside hands the text back as UTF-8 to
// IGraphics::SetControlValueAfterTextEdit; Escape cancels. One per editor,
// outside the control list. Main thread only.

#include <string>
#include <vector>

// The engine's build for this field; every file that sees its state type
// must see the same values.
#define STB_TEXTEDIT_CHARTYPE char16_t
#define STB_TEXTEDIT_POSITIONTYPE int
#define STB_TEXTEDIT_UNDOSTATECOUNT 99
#define STB_TEXTEDIT_UNDOCHARCOUNT 999
#include <stb/stb_textedit.h>

#include "IControl.h"
#include "IPopupMenu.h"
#include "ISpecialControls.h"

namespace plugin::igraphics {

// Keys as the engine gets them: a character or a virtual-key code in the
// low 28 bits; bit 31 marks a non-character key, bit 30 shift, bit 29
// control, bit 28 alt.
namespace textkeys {
inline constexpr int kKeyDown = static_cast<int>(0x80000000u);
inline constexpr int kShift = 0x40000000;
inline constexpr int kControl = 0x20000000;
inline constexpr int kAlt = 0x10000000;
inline constexpr int kCharMask = 0x0FFFFFFF;
constexpr int Key(int vk) { return kKeyDown | vk; }
} // namespace textkeys

class ITextEntryControl : public IControl, public ITextEntrySlot {
public:
  ITextEntryControl();
  ~ITextEntryControl() override;

  // Starts an edit over bounds holding str (UTF-8), all of it selected.
  // paramIdx and length are not used: no length limit applies.
  void CreateTextEntry(int paramIdx, const IText& text, const IRECT& bounds, int length, const char* str) override;
  void CommitEdit();
  void DismissEdit() override;
  bool IsEditing() const { return mEditing; }
  bool EditInProgress() const override { return mEditing; }

  void CutSelection();
  void CopySelection();
  void Paste();
  void SelectAll();

  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void OnEndAnimation() override;

  // Engine callbacks.
  void LayoutRow(StbTexteditRow* row, int start);
  float GetCharWidth(int row, int index);
  int DeleteChars(int pos, int n);
  int InsertChars(int pos, const char16_t* text, int n);
  int TextLength() const { return static_cast<int>(mEditString.size()); }
  char16_t CharAt(int i) const
  {
    return i >= 0 && i < TextLength() ? mEditString[static_cast<size_t>(i)] : char16_t(0);
  }

  // Width of c after previous (0: c alone), in points.
  float MeasureCharWidth(char16_t c, char16_t previous) const;
  void CalcCharWidths();
  void FillCharWidthCache();
  void SetEditText(const char* utf8);
  std::string GetEditTextUTF8() const;
  const std::u16string& GetEditString() const { return mEditString; }
  const STB_TexteditState& GetEditState() const { return mEditState; }
  bool GetCaretVisible() const { return mCaretVisible; }
  // The engine code a key press becomes (before modifier bits), or 0 when
  // the key goes nowhere (tab). Exposed for the key table's tests.
  int KeyCodeFor(const IKeyPress& key) const;

protected:
  // Marks the control dirty without its action.
  void OnStateChanged() { SetDirty(false); }
  // Runs op on the engine and redraws when anything in its state changed.
  template <class Op> bool Edit(Op op);
  void EndEdit();
  // Sum of the cached widths of characters [0, n).
  float WidthBefore(int n) const;

  bool mCaretVisible = false;
  bool mEditing = false;
  STB_TexteditState mEditState{};
  std::vector<float> mCharWidths;
  std::u16string mEditString;
  // This field's own Cut/Copy/Paste menu: its completion acts on this field.
  IPopupMenu mEditMenu;
};

// Field by field (padding bytes hold anything): same cursor, selection,
// modes, preferred x and undo history.
bool SameEditState(const STB_TexteditState& a, const STB_TexteditState& b);

} // namespace plugin::igraphics
