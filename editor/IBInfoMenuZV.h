#pragma once
// The plug-in menu button: a two-frame bitmap that builds the plug-in menu
// afresh on every click (about, manual, change log, update check, data
// folder, tooltips, GUI scale, editor-only value submenus, extra commands)
// and turns the chosen item into a message to the plug-in, a toggled host
// parameter, an editor-only parameter value or an opened location. It knows
// the plug-in only through the editor delegate: message numbers and
// parameter indices. Main thread only.

#include <string>
#include <vector>

#include "IBitmap.h"
#include "IBitmapControl.h"
#include "IControl.h"
#include "IPopupMenu.h"
#include "UT_String.h"

namespace plugin {
class IEditorDelegate;
class IParam;
} // namespace plugin

namespace plugin::igraphics {

class IBInfoMenuZV : public IControl, public IBitmapBase {
public:
  // What the menu offers; an int of -1 leaves its item out.
  struct Config {
    std::string changelogURL;
    std::string dataFolderPath;
    // Full path of the manual; opened only while dataFolderPath is set.
    std::string manualPath;
    // Null: the control's own delegate once attached.
    IEditorDelegate* plug = nullptr;
    int aboutTag = -1;
    int updateCheckTag = -1;
    int tooltipsParam = -1;
    int autoUpdateParam = -1;
    int enumParam = -1;
    int resetGUISizeTag = -1;
    int resetGUIScaleTag = -1;
    int minGUIScaleTag = -1;
    std::vector<int> paramSubmenuParams;
    std::vector<int> extraTags;
    std::vector<std::string> extraTexts;
    // Editor-only parameters (not owned); entry i sends message base + i.
    std::vector<IParam*> editorParams;
    int editorParamBase = -1;
    // Host parameter each editor-only parameter's message changes (-1 for
    // none): the change is bracketed as a gesture on it for the host.
    std::vector<int> editorParamHostParams;
  };

  IBInfoMenuZV(float x, float y, const IBitmap& bitmap, Config config);
  ~IBInfoMenuZV() override;

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnPopupMenuSelection(IPopupMenu* menu, int valIdx) override;
  void Draw(IGraphics& g) override;

  // Empties the menu and rebuilds it from the plug-in's current values.
  void BuildMenu();
  // Sets a host parameter as the menu does: nothing when it already holds
  // the value; otherwise stored once, inside the host's gesture bracket.
  void SetParamFromMenu(double value, int paramIdx, bool normalized);
  void SetParamFromMenuInt(int paramIdx, int value);

  IPopupMenu& GetMenu() { return mMenu; }
  bool GetMouseOver() const { return mMouseOver; }

protected:
  enum EItem : int {
    kAbout,
    kUpdateCheck,
    kManual,
    kChangelog,
    kDataFolder,
    kTooltips,
    kAutoUpdate,
    kResetGUISize,
    kResetGUIScale,
    kMinGUIScale,
    kNumItems
  };

  IEditorDelegate* Plug() const;
  const IParam* Param(int paramIdx) const;
  // Appends an item (flags as IPopupMenu::Item) and returns its index.
  int AddItem(IPopupMenu& menu, const char* text, int index = -1, int flags = 0);
  void AddSeparator() { AddItem(mMenu, "", -1, IPopupMenu::Item::kSeparator); }
  // A submenu of a parameter's display texts, checked on its value when asked.
  IPopupMenu* AddValueSubmenu(const IParam& p, bool checkCurrent);
  bool IntValueIs(int paramIdx, int value) const;
  void SendMessage(int tag);
  void OpenManual();
  void SetEditorParam(int entry, int value);

  Config mConfig;
  IPopupMenu mMenu;
  IPopupMenu* mEnumSubmenu = nullptr;
  int mItemIndex[kNumItems];
  std::vector<IPopupMenu*> mParamSubmenus;
  std::vector<int> mParamSubmenuIndex;
  std::vector<int> mExtraItemIndex;
  std::vector<IPopupMenu*> mEditorSubmenus;
  std::vector<int> mEditorSubmenuNumber;
  bool mMouseOver = false;
};

} // namespace plugin::igraphics
