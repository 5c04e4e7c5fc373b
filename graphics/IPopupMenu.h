#pragma once
// Platform-neutral menu model: a titled list of items with flags, tags and
// owned submenus, plus the chosen index written back by whoever shows it.
// A menu owns its items; an item owns its submenu.

#include <functional>
#include <initializer_list>

#include "UT_PtrList.h"
#include "UT_String.h"

namespace plugin::igraphics {

class IPopupMenu {
public:
  class Item {
  public:
    enum Flags : int { kNoFlags = 0, kDisabled = 1, kTitle = 2, kChecked = 4, kSeparator = 8 };

    Item(const char* text, int flags = kNoFlags, int tag = -1);
    // Takes ownership of submenu.
    Item(const char* text, IPopupMenu* submenu);
    ~Item();
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    const char* GetText() const { return mText.Get(); }
    void SetText(const char* text) { mText.Set(text); }
    int GetFlags() const { return mFlags; }
    void SetFlags(int flags) { mFlags = flags; }
    int GetTag() const { return mTag; }
    void SetTag(int tag) { mTag = tag; }
    IPopupMenu* GetSubmenu() const { return mSubmenu; }

    bool GetEnabled() const { return !(mFlags & kDisabled); }
    bool GetChecked() const { return (mFlags & kChecked) != 0; }
    bool GetIsTitle() const { return (mFlags & kTitle) != 0; }
    bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
    void SetChecked(bool on) { mFlags = on ? (mFlags | kChecked) : (mFlags & ~kChecked); }

  private:
    UT_String mText;
    IPopupMenu* mSubmenu = nullptr;
    int mFlags = kNoFlags;
    int mTag = -1;
  };

  using PopupFunc = std::function<void(IPopupMenu*)>;

  explicit IPopupMenu(const char* rootTitle = "", int prefix = 0, bool multiCheck = false,
                      std::initializer_list<const char*> items = {});
  virtual ~IPopupMenu();
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;

  // Keeps the title, the chosen index and the function.
  void Clear();

  // index -1 appends; -2 inserts in case-insensitive sorted position (before
  // an equal text); any other index is clamped into 0..NItems().
  Item* AddItem(Item* item, int index = -1);
  Item* AddItem(const char* text, int index = -1, int flags = Item::kNoFlags);
  // A submenu added to a menu with a completion function gets a copy of it.
  Item* AddItem(const char* text, IPopupMenu* submenu, int index = -1);
  // Deletes the item (and its submenu); nothing out of range.
  void RemoveItem(int index);

  int NItems() const { return mMenuItems.GetSize(); }
  // Null out of range.
  Item* GetItem(int i) const { return mMenuItems.Get(i); }

  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int i) { mChosenItemIdx = i; }
  Item* GetChosenItem() const { return GetItem(mChosenItemIdx); }

  int GetPrefix() const { return mPrefix; }
  void SetPrefix(int prefix) { mPrefix = prefix; }
  bool GetCanMultiCheck() const { return mCanMultiCheck; }
  void SetMultiCheck(bool multi) { mCanMultiCheck = multi; }

  const char* GetRootTitle() const { return mRootTitle.Get(); }
  void SetRootTitle(const char* title) { mRootTitle.Set(title ? title : ""); }

  void SetFunction(PopupFunc func) { mPopupFunc = std::move(func); }
  const PopupFunc& GetFunction() const { return mPopupFunc; }
  // Runs the completion function when one is set.
  void ExecFunction()
  {
    if (mPopupFunc)
      mPopupFunc(this);
  }

private:
  int mReserved = 0;
  int mPrefix = 0;
  int mChosenItemIdx = -1;
  bool mCanMultiCheck = false;
  UT_PtrList<Item> mMenuItems;
  PopupFunc mPopupFunc;
  UT_String mRootTitle;
};

} // namespace plugin::igraphics
