#include "IPopupMenu.h"

#include <strings.h>

namespace plugin::igraphics {

IPopupMenu::Item::Item(const char* text, int flags, int tag) : mFlags(flags), mTag(tag) { mText.Set(text); }

IPopupMenu::Item::Item(const char* text, IPopupMenu* submenu) : mSubmenu(submenu) { mText.Set(text); }

IPopupMenu::Item::~Item() { delete mSubmenu; }

IPopupMenu::IPopupMenu(const char* rootTitle, int prefix, bool multiCheck, std::initializer_list<const char*> items)
: mPrefix(prefix), mCanMultiCheck(multiCheck)
{
  (void)mReserved;
  mRootTitle.Set(rootTitle ? rootTitle : "");
  for (const char* text : items)
    AddItem(new Item(text));
}

IPopupMenu::~IPopupMenu() { mMenuItems.Empty(true); }

void IPopupMenu::Clear()
{
  mPrefix = 0;
  mCanMultiCheck = false;
  mMenuItems.Empty(true);
}

IPopupMenu::Item* IPopupMenu::AddItem(Item* item, int index)
{
  if (index == -1)
    index = NItems();
  else if (index == -2) {
    // Binary search for the first existing text that is not below the new one.
    int lo = 0, hi = NItems();
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      if (strcasecmp(GetItem(mid)->GetText(), item->GetText()) < 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    index = lo;
  }
  if (!mMenuItems.Insert(index, item)) {
    // The list could not grow: the menu still owns what it was handed.
    delete item;
    return nullptr;
  }
  return item;
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, int index, int flags)
{
  return AddItem(new Item(text, flags), index);
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, IPopupMenu* submenu, int index)
{
  if (submenu && mPopupFunc)
    submenu->SetFunction(mPopupFunc);
  return AddItem(new Item(text, submenu), index);
}

void IPopupMenu::RemoveItem(int index)
{
  if (index >= 0 && index < NItems())
    mMenuItems.Delete(index, true);
}

} // namespace plugin::igraphics
