#include "AppKitInternal.h"

#include <AppKit/AppKit.h>

#include <algorithm>

using standin::appkit::Person;
using standin::appkit::Text;

NSMenuItem* NSMenuItem::initWithTitle(NSString* title, SEL action, NSString*)
{
  mTitle = static_cast<NSString*>((title ? title : NSSTR(""))->retain());
  mAction = action;
  return this;
}

NSMenuItem* NSMenuItem::separatorItem()
{
  NSMenuItem* item = NSMenuItem::alloc()->initWithTitle(NSSTR(""), nullptr, NSSTR(""));
  item->mSeparator = YES;
  item->mEnabled = NO;
  return static_cast<NSMenuItem*>(item->autorelease());
}

void NSMenuItem::setSubmenu(NSMenu* submenu)
{
  if (submenu)
    submenu->retain();
  if (mSubmenu)
    mSubmenu->release();
  mSubmenu = submenu;
}

void NSMenuItem::dealloc()
{
  setSubmenu(nullptr);
  if (mTitle)
    mTitle->release();
  NSObject::dealloc();
}

NSMenu* NSMenu::initWithTitle(NSString* title)
{
  mTitle = static_cast<NSString*>((title ? title : NSSTR(""))->retain());
  return this;
}

void NSMenu::addItem(NSMenuItem* item)
{
  if (!item || item->mMenu)
    return;
  item->retain();
  item->mMenu = this;
  mItems.push_back(item);
}

NSMenuItem* NSMenu::addItemWithTitle(NSString* title, SEL action, NSString* keyEquivalent)
{
  NSMenuItem* item = NSMenuItem::alloc()->initWithTitle(title, action, keyEquivalent);
  addItem(item);
  item->release();
  return item;
}

NSMenuItem* NSMenu::itemAtIndex(NSInteger index) const
{
  return index >= 0 && index < numberOfItems() ? mItems[size_t(index)] : nullptr;
}

NSInteger NSMenu::indexOfItem(NSMenuItem* item) const
{
  auto it = std::find(mItems.begin(), mItems.end(), item);
  return it == mItems.end() ? -1 : NSInteger(it - mItems.begin());
}

namespace {
std::vector<standin::ShownMenuItem> Describe(const NSMenu* menu)
{
  std::vector<standin::ShownMenuItem> items;
  for (NSInteger i = 0; i < menu->numberOfItems(); ++i) {
    NSMenuItem* item = menu->itemAtIndex(i);
    standin::ShownMenuItem s;
    s.title = Text(item->title());
    s.separator = item->isSeparatorItem();
    s.enabled = item->isEnabled();
    s.checked = item->state() == NSControlStateValueOn;
    s.hasAction = item->action() != nullptr;
    s.indentation = item->indentationLevel();
    if (item->submenu())
      s.submenu = Describe(item->submenu());
    items.push_back(std::move(s));
  }
  return items;
}
} // namespace

BOOL NSMenu::popUpMenuPositioningItem(NSMenuItem*, NSPoint location, NSView*)
{
  retain();
  Person().menus.push_back({Describe(this), location.x, location.y});
  std::vector<int> path;
  auto& queue = Person().menuChoices;
  if (!queue.empty()) {
    path = queue.front();
    queue.pop_front();
  }
  NSMenu* menu = this;
  NSMenuItem* chosen = nullptr;
  for (size_t i = 0; i < path.size() && menu; ++i) {
    NSMenuItem* item = menu->itemAtIndex(path[i]);
    if (!item || !item->isEnabled() || item->isSeparatorItem())
      break;
    if (i + 1 == path.size()) {
      if (!item->submenu() && item->action())
        chosen = item;
    } else {
      menu = item->submenu();
    }
  }
  if (chosen) {
    chosen->retain();
    if (chosen->target())
      chosen->action()(chosen->target(), chosen);
    chosen->release();
  }
  release();
  return chosen != nullptr;
}

void NSMenu::dealloc()
{
  for (NSMenuItem* item : mItems) {
    item->mMenu = nullptr;
    item->release();
  }
  mItems.clear();
  if (mTitle)
    mTitle->release();
  NSObject::dealloc();
}
