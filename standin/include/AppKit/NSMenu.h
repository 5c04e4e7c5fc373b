// Menus and their items. popUpMenuPositioningItem is modal: the item a
// person chooses comes from standin/Testing.h's menu queue (a path of
// indexes through submenus); with nothing queued the menu is dismissed.
// Only an enabled item with an action can be chosen; its action is sent to
// its target with the item as sender.
#pragma once

#include <Foundation/NSArray.h>
#include <Foundation/NSGeometry.h>
#include <Foundation/NSString.h>

#include <vector>

class NSMenu;
class NSView;

typedef NSInteger NSControlStateValue;
enum : NSControlStateValue { NSControlStateValueOff = 0, NSControlStateValueOn = 1 };

class NS_EXPORT NSMenuItem : public NSObject {
public:
  static NSMenuItem* alloc() { return new NSMenuItem(); }
  NSMenuItem* initWithTitle(NSString* title, SEL action, NSString* keyEquivalent);
  static NSMenuItem* separatorItem(); // autoreleased
  NSString* title() const { return mTitle; }
  BOOL isSeparatorItem() const { return mSeparator; }
  void setTarget(NSObject* target) { mTarget = target; }
  NSObject* target() const { return mTarget; }
  SEL action() const { return mAction; }
  void setEnabled(BOOL enabled) { mEnabled = enabled; }
  BOOL isEnabled() const { return mEnabled; }
  void setState(NSControlStateValue state) { mState = state; }
  NSControlStateValue state() const { return mState; }
  void setIndentationLevel(NSInteger level) { mIndentation = level; }
  NSInteger indentationLevel() const { return mIndentation; }
  void setSubmenu(NSMenu* submenu);
  NSMenu* submenu() const { return mSubmenu; }
  BOOL hasSubmenu() const { return mSubmenu != nullptr; }
  NSMenu* menu() const { return mMenu; }
  const char* className() const override { return "NSMenuItem"; }

protected:
  NSMenuItem() = default;
  void dealloc() override;

private:
  friend class NSMenu;
  NSString* mTitle = nullptr;  // retained
  NSObject* mTarget = nullptr; // not retained
  SEL mAction = nullptr;
  NSMenu* mSubmenu = nullptr; // retained
  NSMenu* mMenu = nullptr;    // not retained
  NSControlStateValue mState = 0;
  NSInteger mIndentation = 0;
  BOOL mEnabled = YES;
  BOOL mSeparator = NO;
};

class NS_EXPORT NSMenu : public NSObject {
public:
  static NSMenu* alloc() { return new NSMenu(); }
  virtual NSMenu* initWithTitle(NSString* title);
  void setAutoenablesItems(BOOL autoenables) { mAutoenables = autoenables; }
  BOOL autoenablesItems() const { return mAutoenables; }
  void addItem(NSMenuItem* item);
  // Returns the new item (owned by the menu).
  NSMenuItem* addItemWithTitle(NSString* title, SEL action, NSString* keyEquivalent);
  void setSubmenu(NSMenu* submenu, NSMenuItem* item) { item->setSubmenu(submenu); }
  NSInteger numberOfItems() const { return NSInteger(mItems.size()); }
  NSMenuItem* itemAtIndex(NSInteger index) const;
  NSInteger indexOfItem(NSMenuItem* item) const; // -1 when not in the menu
  NSString* title() const { return mTitle; }
  // Modal; YES when an item was chosen.
  BOOL popUpMenuPositioningItem(NSMenuItem* item, NSPoint location, NSView* view);
  const char* className() const override { return "NSMenu"; }

protected:
  NSMenu() = default;
  void dealloc() override;

private:
  NSString* mTitle = nullptr;      // retained
  std::vector<NSMenuItem*> mItems; // retained
  BOOL mAutoenables = YES;
};
