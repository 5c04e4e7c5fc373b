#include "IBInfoMenuZV.h"

#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "IGEditorDelegate.h"
#include "IGraphics.h"
#include "IParam.h"

namespace plugin::igraphics {

namespace {

IRECT FrameRect(float x, float y, const IBitmap& b)
{
  return IRECT(x, y, x + static_cast<float>(b.FW()), y + static_cast<float>(b.FH()));
}

int Truncated(double v) { return std::isfinite(v) ? static_cast<int>(v) : 0; }

} // namespace

IBInfoMenuZV::IBInfoMenuZV(float x, float y, const IBitmap& bitmap, Config config)
: IControl(FrameRect(x, y, bitmap), -1, nullptr), IBitmapBase(bitmap), mConfig(std::move(config))
{
  AttachIControl(this);
  std::fill(std::begin(mItemIndex), std::end(mItemIndex), -1);
  SetTooltip("Plugin info and options");
}

IBInfoMenuZV::~IBInfoMenuZV() = default;

IEditorDelegate* IBInfoMenuZV::Plug() const
{
  if (mConfig.plug)
    return mConfig.plug;
  return mDelegate;
}

const IParam* IBInfoMenuZV::Param(int paramIdx) const
{
  const IEditorDelegate* plug = Plug();
  return plug && paramIdx >= 0 ? plug->GetParam(paramIdx) : nullptr;
}

bool IBInfoMenuZV::IntValueIs(int paramIdx, int value) const
{
  const IParam* p = Param(paramIdx);
  return p && Truncated(p->Value()) == value;
}

// ---- Building ---------------------------------------------------------------

int IBInfoMenuZV::AddItem(IPopupMenu& menu, const char* text, int index, int flags)
{
  IPopupMenu::Item* item = menu.AddItem(new IPopupMenu::Item(text, flags, -1), index);
  if (!item)
    return -1;
  for (int i = 0; i < menu.NItems(); ++i)
    if (menu.GetItem(i) == item)
      return i;
  return -1;
}

IPopupMenu* IBInfoMenuZV::AddValueSubmenu(const IParam& p, bool checkCurrent)
{
  auto* sub = new IPopupMenu();
  const int current = Truncated(p.Value());
  for (int i = 0; i < p.NDisplayTexts(); ++i) {
    const int flags = checkCurrent && i == current ? IPopupMenu::Item::kChecked : 0;
    AddItem(*sub, p.GetDisplayText(static_cast<double>(i)), -1, flags);
  }
  return mMenu.AddItem(p.GetName(), sub) ? sub : nullptr;
}

void IBInfoMenuZV::BuildMenu()
{
  // The submenus go with their items; the drawn menu has already let go
  // of them once it answered.
  mMenu.Clear();
  mEnumSubmenu = nullptr;
  std::fill(std::begin(mItemIndex), std::end(mItemIndex), -1);
  mParamSubmenus.clear();
  mParamSubmenuIndex.clear();
  mExtraItemIndex.clear();
  mEditorSubmenus.clear();
  mEditorSubmenuNumber.clear();
  constexpr int kChecked = IPopupMenu::Item::kChecked;

  AddItem(mMenu, ">> Plugin menu <<");
  AddSeparator();
  mItemIndex[kAbout] = AddItem(mMenu, "About ...");
  AddSeparator();
  mItemIndex[kManual] = AddItem(mMenu, "Open manual ...");
  mItemIndex[kChangelog] = AddItem(mMenu, "Changelog ...");
  if (mConfig.updateCheckTag != -1)
    mItemIndex[kUpdateCheck] = AddItem(mMenu, "Check for update ...");
  if (mConfig.autoUpdateParam != -1)
    mItemIndex[kAutoUpdate] =
      AddItem(mMenu, "Check for updates automatically", -1, IntValueIs(mConfig.autoUpdateParam, 1) ? kChecked : 0);
  AddSeparator();
  mItemIndex[kDataFolder] = AddItem(mMenu, "Open data folder ...");
  if (mConfig.tooltipsParam != -1) {
    AddSeparator();
    mItemIndex[kTooltips] = AddItem(mMenu, "Tooltips", -1, IntValueIs(mConfig.tooltipsParam, 1) ? kChecked : 0);
  }
  if (const IParam* p = mConfig.enumParam != -1 ? Param(mConfig.enumParam) : nullptr) {
    AddSeparator();
    mEnumSubmenu = AddValueSubmenu(*p, true);
  }
  if (mConfig.resetGUISizeTag != -1) {
    AddSeparator();
    mItemIndex[kResetGUISize] = AddItem(mMenu, "Reset GUI size");
  }
  if (mConfig.resetGUIScaleTag != -1) {
    AddSeparator();
    mItemIndex[kResetGUIScale] = AddItem(mMenu, "Reset GUI scale");
  }
  if (mConfig.minGUIScaleTag != -1)
    mItemIndex[kMinGUIScale] = AddItem(mMenu, "Set min GUI scale");
  if (!mConfig.paramSubmenuParams.empty()) {
    AddSeparator();
    for (int paramIdx : mConfig.paramSubmenuParams)
      if (const IParam* p = Param(paramIdx)) {
        mParamSubmenus.push_back(AddValueSubmenu(*p, true));
        mParamSubmenuIndex.push_back(paramIdx);
      }
  }
  if (!mConfig.editorParams.empty()) {
    AddSeparator();
    for (size_t i = 0; i < mConfig.editorParams.size(); ++i)
      if (const IParam* p = mConfig.editorParams[i]) {
        mEditorSubmenus.push_back(AddValueSubmenu(*p, false));
        mEditorSubmenuNumber.push_back(mConfig.editorParamBase + static_cast<int>(i));
      }
  }
  if (!mConfig.extraTexts.empty()) {
    AddSeparator();
    for (const std::string& text : mConfig.extraTexts)
      mExtraItemIndex.push_back(AddItem(mMenu, text.c_str()));
  }
}

// ---- Events -----------------------------------------------------------------

void IBInfoMenuZV::OnMouseDown(float, float, const IMouseMod&)
{
  SetDirty(false);
  BuildMenu();
  if (mGraphics)
    mGraphics->CreatePopupMenuForwarder(*this, mMenu, mRECT, 0);
}

void IBInfoMenuZV::OnMouseUp(float, float, const IMouseMod&) { SetDirty(false); }

void IBInfoMenuZV::OnMouseOver(float, float, const IMouseMod&)
{
  mMouseOver = true;
  SetDirty(false);
}

void IBInfoMenuZV::OnMouseOut()
{
  mMouseOver = false;
  SetDirty(false);
}

void IBInfoMenuZV::Draw(IGraphics& g)
{
  const float w = static_cast<float>(mBitmap.FW()), h = static_cast<float>(mBitmap.FH());
  const float x = mRECT.MW() - w / 2.f, y = mRECT.MH() - h / 2.f;
  g.DrawBitmapFrame(mBitmap, IRECT(x, y, x + w, y + h), mMouseOver ? 2 : 1, &mBlend);
}

// ---- Choices ----------------------------------------------------------------

void IBInfoMenuZV::SendMessage(int tag)
{
  if (IEditorDelegate* plug = Plug(); plug && tag >= 0)
    plug->OnParamChange(tag, kUI, -1);
}

void IBInfoMenuZV::SetParamFromMenu(double value, int paramIdx, bool normalized)
{
  IEditorDelegate* plug = Plug();
  const IParam* p = Param(paramIdx);
  if (!plug || !p || !std::isfinite(value))
    return;
  if (normalized ? p->GetNormalized() == value : p->Value() == value)
    return;
  const double target = p->Constrain(normalized ? p->FromNormalized(value) : value);
  const double n = std::clamp(p->ToNormalized(target), 0.0, 1.0);
  // One store (in SendParameterValueFromUI), so the previous value survives.
  plug->BeginInformHostOfParamChangeFromUI(paramIdx);
  plug->SendParameterValueFromDelegate(paramIdx, target, false);
  plug->SendParameterValueFromUI(paramIdx, n);
  plug->EndInformHostOfParamChangeFromUI(paramIdx);
}

void IBInfoMenuZV::SetParamFromMenuInt(int paramIdx, int value)
{
  SetParamFromMenu(static_cast<double>(value), paramIdx, false);
}

void IBInfoMenuZV::SetEditorParam(int entry, int value)
{
  if (entry < 0 || entry >= static_cast<int>(mConfig.editorParams.size()))
    return;
  IParam* p = mConfig.editorParams[static_cast<size_t>(entry)];
  IEditorDelegate* plug = Plug();
  if (!p || !plug)
    return;
  const size_t e = static_cast<size_t>(entry);
  const int hostParam = e < mConfig.editorParamHostParams.size() ? mConfig.editorParamHostParams[e] : -1;
  if (hostParam >= 0)
    plug->BeginInformHostOfParamChangeFromUI(hostParam);
  p->Set(static_cast<double>(value)); // snapped and clamped; the old value becomes the previous one
  plug->OnParamChange(mConfig.editorParamBase + entry, kUI, -1);
  if (hostParam >= 0)
    plug->EndInformHostOfParamChangeFromUI(hostParam);
}

void IBInfoMenuZV::OpenManual()
{
  if (mConfig.dataFolderPath.empty() || !mGraphics)
    return;
  UT_String path;
  path.SetFormatted(4096, "%s", mConfig.manualPath.c_str());
  struct stat st {};
  if (stat(path.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    mGraphics->ShowMessageBox(path.Get(), "Manual not found", 0);
    return;
  }
  if (!mGraphics->OpenURL(path.Get()))
    mGraphics->ShowMessageBox(path.Get(), "Cannot open the manual", 0);
}

void IBInfoMenuZV::OnPopupMenuSelection(IPopupMenu* menu, int)
{
  SetValue(0.0);
  SetDirty(true);
  if (!menu)
    return;
  const int k = menu->GetChosenItemIdx();

  if (mEnumSubmenu && menu == mEnumSubmenu) {
    if (!IntValueIs(mConfig.enumParam, k))
      SetParamFromMenuInt(mConfig.enumParam, k);
    return;
  }
  for (size_t i = 0; i < mParamSubmenus.size(); ++i)
    if (menu == mParamSubmenus[i]) {
      const int paramIdx = mParamSubmenuIndex[i];
      if (paramIdx >= 0 && !IntValueIs(paramIdx, k))
        SetParamFromMenuInt(paramIdx, k);
      return;
    }
  for (size_t i = 0; i < mEditorSubmenus.size(); ++i)
    if (menu == mEditorSubmenus[i]) {
      SetEditorParam(mEditorSubmenuNumber[i] - mConfig.editorParamBase, k);
      return;
    }
  if (menu != &mMenu || k < 0)
    return;

  auto toggle = [this](int paramIdx) { SetParamFromMenu(IntValueIs(paramIdx, 1) ? 0.0 : 1.0, paramIdx, false); };
  if (k == mItemIndex[kAbout])
    SendMessage(mConfig.aboutTag);
  else if (k == mItemIndex[kUpdateCheck])
    SendMessage(mConfig.updateCheckTag);
  else if (k == mItemIndex[kManual])
    OpenManual();
  else if (k == mItemIndex[kChangelog]) {
    if (mGraphics)
      mGraphics->OpenURL(mConfig.changelogURL.c_str());
  } else if (k == mItemIndex[kDataFolder]) {
    if (mGraphics && !mConfig.dataFolderPath.empty())
      mGraphics->OpenURL(mConfig.dataFolderPath.c_str());
  } else if (k == mItemIndex[kTooltips])
    toggle(mConfig.tooltipsParam);
  else if (k == mItemIndex[kAutoUpdate])
    toggle(mConfig.autoUpdateParam);
  else if (k == mItemIndex[kResetGUISize])
    SendMessage(mConfig.resetGUISizeTag);
  else if (k == mItemIndex[kResetGUIScale])
    SendMessage(mConfig.resetGUIScaleTag);
  else if (k == mItemIndex[kMinGUIScale])
    SendMessage(mConfig.minGUIScaleTag);
  else
    for (size_t j = 0; j < mExtraItemIndex.size() && j < mConfig.extraTags.size(); ++j)
      if (mExtraItemIndex[j] == k)
        SendMessage(mConfig.extraTags[j]);
}

} // namespace plugin::igraphics
