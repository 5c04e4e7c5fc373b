#pragma once
// A control that turns folders into a popup menu of their files ending in
// an extension: one submenu per subfolder, items in case-insensitive order,
// each file item tagged with the index of its full path. Subclasses draw the
// control and open the menu.

#include <vector>

#include "IControl.h"
#include "IPopupMenu.h"
#include "UT_String.h"

namespace plugin::igraphics {

class IDirBrowseControlBase : public IControl {
public:
  IDirBrowseControlBase(const IRECT& bounds, const char* extension, bool showFileExtensions = true,
                        bool showEmptySubmenus = false);

  void AddPath(const char* path, const char* label);
  int NItems() const { return static_cast<int>(mItems.size()); }
  // Rebuilds the menu from the root folders.
  void SetupMenu();
  void ScanDirectory(const char* path, IPopupMenu& menu);
  // Every item without a submenu, depth first in menu order.
  void CollectItems(IPopupMenu& menu);
  static void RemoveEmptySubmenus(IPopupMenu& menu);

  IPopupMenu& GetMenu() { return mMainMenu; }
  // Full path of the file item tagged tag; null out of range.
  const char* GetFilePath(int tag) const;
  IPopupMenu::Item* GetItem(int i) const { return i >= 0 && i < NItems() ? mItems[static_cast<size_t>(i)] : nullptr; }
  int GetSelectedItemIndex() const { return mSelectedItemIndex; }
  void SetSelectedItemIndex(int i) { mSelectedItemIndex = i; }

protected:
  bool mShowEmptySubmenus;
  bool mShowFileExtensions;
  int mSelectedItemIndex = -1;
  IPopupMenu mMainMenu;
  std::vector<UT_String> mPaths;
  std::vector<UT_String> mPathLabels;
  std::vector<UT_String> mFiles;
  std::vector<IPopupMenu::Item*> mItems; // owned by the menu
  UT_String mExtension;
};

} // namespace plugin::igraphics
