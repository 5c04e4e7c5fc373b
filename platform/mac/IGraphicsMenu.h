#pragma once
// The native popup menu built from an IPopupMenu, and the receiver that
// remembers which leaf item was chosen. Both live for one popup.

#include <AppKit/AppKit.h>

#include "IPopupMenu.h"

class IGraphicsMenuRcvr_vVorelle3_au : public NSView {
public:
  static IGraphicsMenuRcvr_vVorelle3_au* alloc() { return new IGraphicsMenuRcvr_vVorelle3_au(); }
  // The action of every leaf item: remembers the sender.
  void onMenuSelection(NSObject* sender);
  // The item chosen last; nil while none was (a dismissed menu).
  NSMenuItem* menuItem() const { return nsMenuItem; }
  const char* className() const override { return "IGraphicsMenuRcvr_vVorelle3_au"; }

protected:
  IGraphicsMenuRcvr_vVorelle3_au() = default;

private:
  NSMenuItem* nsMenuItem = nullptr; // owned by its menu
};

class IGraphicsMenu_vVorelle3_au : public NSMenu {
public:
  static IGraphicsMenu_vVorelle3_au* alloc() { return new IGraphicsMenu_vVorelle3_au(); }
  // Items in order, numbered by the menu's prefix style (0 none, 1 "%1d: ",
  // 2 "%02d: ", 3 "%03d: "; any other style numbers nothing), submenus
  // built the same way to any depth; the menu is not owned.
  IGraphicsMenu_vVorelle3_au* initWithIPopupMenuAndReceiver(plugin::igraphics::IPopupMenu* menu,
                                                            IGraphicsMenuRcvr_vVorelle3_au* receiver);
  plugin::igraphics::IPopupMenu* iPopupMenu() const { return mIPopupMenu; }
  const char* className() const override { return "IGraphicsMenu_vVorelle3_au"; }

protected:
  IGraphicsMenu_vVorelle3_au() = default;

private:
  plugin::igraphics::IPopupMenu* mIPopupMenu = nullptr;
};
