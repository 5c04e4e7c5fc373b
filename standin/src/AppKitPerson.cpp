#include "AppKitInternal.h"

#include <AppKit/AppKit.h>

namespace standin {
namespace appkit {

PersonState& Person()
{
  static PersonState state;
  return state;
}

void ResetAppKit()
{
  Person() = PersonState();
  NSColorPanel::Dispose();
  NSPasteboard::generalPasteboard()->clearContents();
}

std::string Text(NSString* string) { return string ? string->UTF8String() : ""; }

} // namespace appkit

using appkit::Person;

void QueueAlertButton(long button) { Person().alertButtons.push_back(button); }
void QueuePanelChoice(const std::string& path) { Person().panelChoices.push_back(path); }
void QueuePanelCancel() { Person().panelChoices.push_back(std::nullopt); }
void SetPanelChoiceCheck(std::function<bool(const std::string&, const std::string&)> check)
{
  Person().panelChoiceCheck = std::move(check);
}
void QueueMenuChoice(const std::vector<int>& path) { Person().menuChoices.push_back(path); }
void ResetPerson() { Person() = appkit::PersonState(); }
std::vector<ShownAlert> ShownAlerts() { return Person().alerts; }
std::vector<ShownPanel> ShownPanels() { return Person().panels; }
std::vector<ShownMenu> ShownMenus() { return Person().menus; }

NSEvent* ScrollWheelEvent(double x, double y, double deltaY, unsigned long modifierFlags)
{
  NSEvent* event = NSEvent::Make(NSEventTypeScrollWheel, NSMakePoint(x, y), modifierFlags);
  event->SetDeltas(0, deltaY);
  return event;
}

bool DropFiles(NSWindow* window, double x, double y, const std::vector<std::string>& paths)
{
  if (!window || !window->contentView())
    return false;
  NSView* content = window->contentView();
  NSView* view = content->hitTest(content->convertPoint(NSMakePoint(x, y), nullptr));
  for (; view; view = view->superview()) {
    NSArray* types = view->registeredDraggedTypes();
    bool wantsFiles = false;
    for (NSUInteger i = 0; types && i < types->count(); ++i)
      wantsFiles |= static_cast<NSString*>(types->objectAtIndex(i))->isEqualToString(NSFilenamesPboardType);
    if (wantsFiles)
      break;
  }
  if (!view)
    return false;
  NSPasteboard* board = NSPasteboard::pasteboardWithUniqueName();
  std::vector<NSObject*> names;
  for (const std::string& p : paths)
    names.push_back(NSString::stringWithUTF8String(p.c_str()));
  board->setPropertyList(NSArray::arrayWithObjects(names.data(), names.size()), NSFilenamesPboardType);
  NSDraggingInfo* info = NSDraggingInfo::draggingWith(board, NSMakePoint(x, y));
  view->retain();
  bool taken = view->draggingEntered(info) != NSDragOperationNone && view->performDragOperation(info);
  view->release();
  return taken;
}

std::string ToolTipAt(NSWindow* window, double x, double y)
{
  if (!window || !window->contentView())
    return "";
  NSView* content = window->contentView();
  for (NSView* view = content->hitTest(content->convertPoint(NSMakePoint(x, y), nullptr)); view;
       view = view->superview()) {
    const NSPoint p = view->convertPoint(NSMakePoint(x, y), nullptr);
    for (const NSView::ToolTipRect& t : view->toolTipRects()) {
      const NSRect& r = t.rect;
      if (p.x >= r.origin.x && p.x < r.origin.x + r.size.width && p.y >= r.origin.y &&
          p.y < r.origin.y + r.size.height) {
        auto* owner = dynamic_cast<NSView*>(t.owner);
        return owner ? appkit::Text(owner->view(view, t.tag, p, t.userData)) : "";
      }
    }
  }
  return "";
}

void PickColor(double r, double g, double b, double a)
{
  NSColorPanel::sharedColorPanel()->Pick(NSColor::colorWithDeviceRed(r, g, b, a));
}

void SetMainScreenScale(double scale) { Person().screenScale = scale; }
PointerState Pointer() { return Person().pointer; }
void SetPointer(double x, double y)
{
  Person().pointer.x = x;
  Person().pointer.y = y;
}
std::string CurrentCursor() { return Person().cursor; }
void SetCursorAvailable(const std::string& selectorName, bool available)
{
  auto& off = Person().unavailableCursors;
  std::erase(off, selectorName);
  if (!available)
    off.push_back(selectorName);
}
std::vector<std::string> WorkspaceRequests() { return Person().workspace; }
void SetOpenURLSucceeds(bool succeeds) { Person().openURLSucceeds = succeeds; }

} // namespace standin
