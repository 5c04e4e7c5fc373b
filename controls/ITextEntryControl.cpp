#include "ITextEntryControl.h"

#include <algorithm>
#include <cmath>

#include "IGEditorDelegate.h"
#include "IGraphics.h"
#include "IParam.h"
#include "TextEditEngine.h"
#include "Utf16Text.h"

namespace plugin::igraphics {

namespace tk = textkeys;

namespace {

constexpr int kBlinkMs = 1000;

enum EVirtualKey : int {
  kVKBack = 8,
  kVKTab = 9,
  kVKReturn = 13,
  kVKEscape = 27,
  kVKSpace = 32,
  kVKPageUp = 33,
  kVKDown = 40,
  kVKDelete = 46
};

bool IsDigitKey(const IKeyPress& key)
{
  return (key.VK >= '0' && key.VK <= '9' && !key.S) || (key.VK >= 96 && key.VK <= 105);
}

} // namespace

bool SameEditState(const STB_TexteditState& a, const STB_TexteditState& b)
{
  if (a.cursor != b.cursor || a.select_start != b.select_start || a.select_end != b.select_end ||
      a.insert_mode != b.insert_mode || a.row_count_per_page != b.row_count_per_page ||
      a.cursor_at_end_of_line != b.cursor_at_end_of_line || a.initialized != b.initialized ||
      a.has_preferred_x != b.has_preferred_x || a.single_line != b.single_line || a.preferred_x != b.preferred_x)
    return false;
  const StbUndoState& u = a.undostate;
  const StbUndoState& v = b.undostate;
  if (u.undo_point != v.undo_point || u.redo_point != v.redo_point || u.undo_char_point != v.undo_char_point ||
      u.redo_char_point != v.redo_char_point)
    return false;
  for (int i = 0; i < STB_TEXTEDIT_UNDOSTATECOUNT; ++i) {
    const StbUndoRecord& r = u.undo_rec[i];
    const StbUndoRecord& s = v.undo_rec[i];
    if (r.where != s.where || r.insert_length != s.insert_length || r.delete_length != s.delete_length ||
        r.char_storage != s.char_storage)
      return false;
  }
  return std::equal(u.undo_char, u.undo_char + STB_TEXTEDIT_UNDOCHARCOUNT, v.undo_char);
}

ITextEntryControl::ITextEntryControl()
: IControl(IRECT(), -1, nullptr), mEditMenu("", 0, false, {"Cut", "Copy", "Paste"})
{
  textengine::Initialize(mEditState);
  // Each field answers its own menu, so two editors never mix their fields.
  mEditMenu.SetFunction([this](IPopupMenu* menu) {
    switch (menu ? menu->GetChosenItemIdx() : -1) {
    case 0: CutSelection(); break;
    case 1: CopySelection(); break;
    case 2: Paste(); break;
    default: break;
    }
  });
  mActionFunc = [](IControl* c) {
    auto* self = static_cast<ITextEntryControl*>(c);
    self->mCaretVisible = true;
    // Captures nothing: it replaces itself every cycle.
    self->SetAnimation(
      [](IControl* a) {
        auto* field = static_cast<ITextEntryControl*>(a);
        const double p = field->GetAnimationProgress();
        if (p > 0.5) {
          field->mCaretVisible = false;
          field->SetDirty(false);
        }
        if (p > 1.0)
          field->OnEndAnimation();
      },
      kBlinkMs);
  };
}

ITextEntryControl::~ITextEntryControl() = default;

template <class Op> bool ITextEntryControl::Edit(Op op)
{
  const STB_TexteditState before = mEditState;
  op();
  if (SameEditState(before, mEditState))
    return false;
  OnStateChanged();
  return true;
}

// ---- Text and widths --------------------------------------------------------

void ITextEntryControl::SetEditText(const char* utf8)
{
  mEditString = Utf8ToUtf16(utf8);
  mCharWidths.clear();
}

std::string ITextEntryControl::GetEditTextUTF8() const { return Utf16ToUtf8(mEditString); }

float ITextEntryControl::MeasureCharWidth(char16_t c, char16_t previous) const
{
  if (!mGraphics)
    return 0.f;
  IRECT scratch;
  const std::string one = Utf16ToUtf8(&c, 1);
  if (previous == 0)
    return mGraphics->MeasureText(mText, one.c_str(), scratch);
  const char16_t pair[2] = {previous, c};
  const std::string both = Utf16ToUtf8(pair, 2);
  const std::string prev = Utf16ToUtf8(&previous, 1);
  IRECT scratch2;
  return mGraphics->MeasureText(mText, both.c_str(), scratch) - mGraphics->MeasureText(mText, prev.c_str(), scratch2);
}

void ITextEntryControl::CalcCharWidths()
{
  mCharWidths.clear();
  mCharWidths.resize(mEditString.size());
  for (size_t i = 0; i < mEditString.size(); ++i)
    mCharWidths[i] = MeasureCharWidth(mEditString[i], i > 0 ? mEditString[i - 1] : char16_t(0));
}

void ITextEntryControl::FillCharWidthCache()
{
  if (mCharWidths.empty())
    CalcCharWidths();
}

float ITextEntryControl::WidthBefore(int n) const
{
  const int end = std::clamp(n, 0, static_cast<int>(mCharWidths.size()));
  float w = 0.f;
  for (int i = 0; i < end; ++i)
    w += mCharWidths[static_cast<size_t>(i)];
  return w;
}

void ITextEntryControl::LayoutRow(StbTexteditRow* row, int)
{
  FillCharWidthCache();
  const float w = WidthBefore(TextLength());
  switch (mText.mAlign) {
  case kAlignNear: row->x0 = mRECT.L; break;
  case kAlignCenter: row->x0 = (mRECT.L + mRECT.R) * 0.5f - w * 0.5f; break;
  default: row->x0 = mRECT.R - w; break;
  }
  row->x1 = row->x0 + w;
  row->baseline_y_delta = 1.25f;
  row->num_chars = TextLength();
  const float size = mText.mSize;
  switch (mText.mVAlign) {
  case kVAlignTop: row->ymin = 0.f; break;
  case kVAlignMiddle: row->ymin = mRECT.H() * 0.5f - 0.5f * size; break;
  default: row->ymin = mRECT.H() - size; break;
  }
  row->ymax = row->ymin + size;
}

float ITextEntryControl::GetCharWidth(int row, int index)
{
  FillCharWidthCache();
  const int i = row + index;
  return i >= 0 && i < static_cast<int>(mCharWidths.size()) ? mCharWidths[static_cast<size_t>(i)] : 0.f;
}

int ITextEntryControl::DeleteChars(int pos, int n)
{
  pos = std::clamp(pos, 0, TextLength());
  n = std::clamp(n, 0, TextLength() - pos);
  mEditString.erase(static_cast<size_t>(pos), static_cast<size_t>(n));
  CalcCharWidths();
  return 1;
}

int ITextEntryControl::InsertChars(int pos, const char16_t* text, int n)
{
  pos = std::clamp(pos, 0, TextLength());
  if (text && n > 0)
    mEditString.insert(static_cast<size_t>(pos), text, static_cast<size_t>(n));
  CalcCharWidths();
  return 1;
}

// ---- The edit -----------------------------------------------------------------

void ITextEntryControl::CreateTextEntry(int, const IText& text, const IRECT& bounds, int, const char* str)
{
  mTargetRECT = mRECT = bounds;
  mMouseIsOver = false;
  OnResize();
  mText = text;
  mText.mFGColor = mText.mTextEntryFGColor;
  SetEditText(str);
  // A fresh history: undo must never reach into the previous edit's text.
  textengine::Initialize(mEditState);
  SelectAll();
  mEditState.cursor = 0;
  CalcCharWidths();
  mHide = false;
  SetDirty(true);
  mEditing = true;
}

void ITextEntryControl::EndEdit()
{
  mEditing = false;
  mMouseIsOver = false;
  mTargetRECT = mRECT = IRECT();
  OnResize();
}

void ITextEntryControl::CommitEdit()
{
  if (!mEditing)
    return;
  const std::string text = GetEditTextUTF8();
  EndEdit();
  if (mGraphics) {
    mGraphics->SetControlValueAfterTextEdit(text.c_str());
    mGraphics->SetAllControlsDirty();
  }
}

void ITextEntryControl::DismissEdit()
{
  if (!mEditing)
    return;
  EndEdit();
  if (mGraphics) {
    mGraphics->ClearTextEntryRecord();
    mGraphics->SetAllControlsDirty();
  }
}

void ITextEntryControl::OnEndAnimation()
{
  IControl::OnEndAnimation();
  if (mEditing)
    SetDirty(true); // the next blink cycle
}

// ---- Commands -----------------------------------------------------------------

void ITextEntryControl::SelectAll()
{
  Edit([this] {
    mEditState.select_start = 0;
    mEditState.select_end = TextLength();
  });
}

void ITextEntryControl::CopySelection()
{
  const int lo = std::clamp(std::min(mEditState.select_start, mEditState.select_end), 0, TextLength());
  const int hi = std::clamp(std::max(mEditState.select_start, mEditState.select_end), 0, TextLength());
  if (lo == hi || !mGraphics)
    return;
  const std::string text = Utf16ToUtf8(mEditString.data() + lo, static_cast<size_t>(hi - lo));
  mGraphics->SetTextInClipboard(text.c_str());
}

void ITextEntryControl::CutSelection()
{
  CopySelection();
  Edit([this] { textengine::Cut(*this, mEditState); });
}

void ITextEntryControl::Paste()
{
  UT_String clip;
  if (!mGraphics || !mGraphics->GetTextFromClipboard(clip))
    return;
  const std::u16string text = Utf8ToUtf16(clip.Get());
  Edit([&] { textengine::Paste(*this, mEditState, text.data(), static_cast<int>(text.size())); });
}

// ---- Mouse --------------------------------------------------------------------

void ITextEntryControl::OnMouseDown(float x, float y, const IMouseMod& mod)
{
  if (!mRECT.Contains(x, y)) {
    CommitEdit();
    return;
  }
  if (mod.L)
    Edit([&] { textengine::Click(*this, mEditState, x, y); });
  else if (mod.R && mGraphics)
    mGraphics->CreatePopupMenu(*this, mEditMenu, IRECT(x, y, x, y), 0);
}

void ITextEntryControl::OnMouseDrag(float x, float y, float, float, const IMouseMod& mod)
{
  if (mod.L)
    Edit([&] { textengine::Drag(*this, mEditState, x, y); });
}

void ITextEntryControl::OnMouseUp(float x, float y, const IMouseMod& mod)
{
  if (!mod.L)
    return;
  Edit([&] { textengine::Drag(*this, mEditState, x, y); });
  SetDirty(true); // the caret shows again at once
}

void ITextEntryControl::OnMouseDblClick(float, float, const IMouseMod&) { SelectAll(); }

// ---- Keys ---------------------------------------------------------------------

int ITextEntryControl::KeyCodeFor(const IKeyPress& key) const
{
  const int c = static_cast<int>(FirstCodePoint(key.utf8));
  switch (key.VK) {
  case kVKBack:
  case kVKDelete: return tk::Key(key.VK);
  case kVKTab:
  case kVKReturn:
  case kVKEscape: return 0;
  case kVKSpace: return kVKSpace;
  default: break;
  }
  if (key.VK >= kVKPageUp && key.VK <= kVKDown)
    return tk::Key(key.VK);

  const IControl* owner = mGraphics ? mGraphics->GetControlInTextEntry() : nullptr;
  if (!owner)
    return 0;
  const int valIdx = mGraphics->GetTextEntryValIdx();
  const IParam* p = valIdx >= 0 ? owner->GetParam(valIdx) : nullptr;
  const IParam::EParamType type = p ? p->Type() : IParam::kTypeNone;
  const bool digit = IsDigitKey(key);
  switch (type) {
  case IParam::kTypeBool:
  case IParam::kTypeInt:
  case IParam::kTypeEnum: return digit || c == '+' || c == '-' ? c : tk::Key(key.VK);
  case IParam::kTypeDouble: return digit || c == '+' || c == '-' || c == '.' ? c : tk::Key(key.VK);
  default: return c != 0 ? c : tk::Key(key.VK);
  }
}

bool ITextEntryControl::OnKeyDown(float, float, const IKeyPress& key)
{
  if (!mEditing)
    return false;
  if (key.C && key.VK >= 'A' && key.VK <= 'Z') {
    switch (key.VK) {
    case 'A': SelectAll(); return true;
    case 'C': CopySelection(); return true;
    case 'V': Paste(); return true;
    case 'X': CutSelection(); return true;
    case 'Z': {
      const int code = key.S ? (tk::kShift | tk::kControl | 'z') : (tk::kControl | 'z');
      Edit([&] { textengine::Key(*this, mEditState, code); });
      return true;
    }
    default: break;
    }
  }
  if (key.VK == kVKReturn) {
    CommitEdit();
    return true;
  }
  if (key.VK == kVKEscape) {
    DismissEdit();
    return true;
  }
  int code = KeyCodeFor(key);
  if (code == 0)
    return false;
  if (key.C)
    code |= tk::kControl;
  if (key.A)
    code |= tk::kAlt;
  if (key.S)
    code |= tk::kShift;
  return Edit([&] { textengine::Key(*this, mEditState, code); });
}

// ---- Drawing ------------------------------------------------------------------

void ITextEntryControl::Draw(IGraphics& g)
{
  if (!mEditing && mRECT.Empty())
    return;
  g.FillRect(mText.mTextEntryBGColor, mRECT);
  StbTexteditRow row{};
  LayoutRow(&row, 0);
  const float size = mText.mSize;
  const float top = mRECT.T + row.ymin + 0.1f * size, bottom = mRECT.T + row.ymax - 0.1f * size;
  const int start = mEditState.select_start, end = mEditState.select_end;
  if (start != end) {
    const float left = row.x0 + WidthBefore(std::min(start, end));
    const float right = row.x0 + WidthBefore(std::max(start, end));
    const IBlend faint{kBlendDefault, 0.2f};
    g.FillRect(mText.mTextEntryFGColor, IRECT(left, top, right, bottom), &faint);
  }
  g.DrawText(mText, GetEditTextUTF8().c_str(), mRECT);
  if (start == end && mCaretVisible) {
    const float cx = row.x0 + WidthBefore(mEditState.cursor);
    g.FillRect(mText.mTextEntryFGColor, IRECT(std::round(cx - 1.f), top, std::round(cx), bottom));
  }
}

} // namespace plugin::igraphics
