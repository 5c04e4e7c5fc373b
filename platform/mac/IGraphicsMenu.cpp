#include "IGraphicsMenu.h"

#include <cstdio>
#include <string>

using plugin::igraphics::IPopupMenu;

namespace {
const bool kRegistered = [] {
  objc_registerClass("IGraphicsMenuRcvr_vVorelle3_au", objc_getClass("NSView"),
                     []() -> NSObject* { return IGraphicsMenuRcvr_vVorelle3_au::alloc(); });
  objc_registerClass("IGraphicsMenu_vVorelle3_au", objc_getClass("NSMenu"),
                     []() -> NSObject* { return IGraphicsMenu_vVorelle3_au::alloc(); });
  return true;
}();
} // namespace

void IGraphicsMenuRcvr_vVorelle3_au::onMenuSelection(NSObject* sender)
{
  nsMenuItem = dynamic_cast<NSMenuItem*>(sender);
}

IGraphicsMenu_vVorelle3_au*
IGraphicsMenu_vVorelle3_au::initWithIPopupMenuAndReceiver(IPopupMenu* menu, IGraphicsMenuRcvr_vVorelle3_au* receiver)
{
  initWithTitle(NSSTR(""));
  setAutoenablesItems(NO);
  mIPopupMenu = menu;
  if (!menu)
    return this;
  static const char* const kPrefixFormats[] = {nullptr, "%1d: ", "%02d: ", "%03d: "};
  const int prefix = menu->GetPrefix();
  const char* format = prefix >= 1 && prefix <= 3 ? kPrefixFormats[prefix] : nullptr;
  for (int i = 0; i < menu->NItems(); ++i) {
    const IPopupMenu::Item* item = menu->GetItem(i);
    std::string text = item->GetText() ? item->GetText() : "";
    if (format) {
      char number[16];
      std::snprintf(number, sizeof number, format, i + 1);
      text.insert(0, number);
    }
    if (item->GetIsSeparator()) {
      addItem(NSMenuItem::separatorItem());
      continue;
    }
    NSString* title = NSString::stringWithUTF8String(text.c_str());
    if (!title)
      title = NSSTR("");
    NSMenuItem* nsItem;
    if (IPopupMenu* sub = item->GetSubmenu()) {
      nsItem = addItemWithTitle(title, nullptr, NSSTR(""));
      auto* subMenu = IGraphicsMenu_vVorelle3_au::alloc()->initWithIPopupMenuAndReceiver(sub, receiver);
      setSubmenu(subMenu, nsItem);
      subMenu->release();
    } else {
      nsItem = addItemWithTitle(title, NSSELECTOR(IGraphicsMenuRcvr_vVorelle3_au, onMenuSelection), NSSTR(""));
      nsItem->setTarget(receiver);
    }
    nsItem->setIndentationLevel(item->GetIsTitle() ? 1 : 0);
    nsItem->setEnabled(item->GetEnabled());
    if (item->GetChecked())
      nsItem->setState(NSControlStateValueOn);
  }
  return this;
}
