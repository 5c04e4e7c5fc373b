// The editor view's native user interface: cursors, the popup menu, the
// text field, the colour panel, tooltips and file drops.

#include <cstring>
#include <mutex>

#include "CoreTextHelpers.h"
#include "IControl.h"
#include "IGEditorDelegate.h"
#include "IGraphicsMac.h"
#include "IGraphicsMenu.h"
#include "IGraphicsTextField.h"
#include "IGraphicsView.h"
#include "IParam.h"
#include "ViewEventScope.h"

using namespace plugin;
using namespace plugin::igraphics;

namespace {
NSColor* DeviceColor(const IColor& c)
{
  return NSColor::colorWithDeviceRed(c.R / 255.0, c.G / 255.0, c.B / 255.0, c.A / 255.0);
}

// Cursors some systems offer only by name; nil when this one does not.
NSCursor* NamedCursor(const char* name)
{
  return NSCursor::respondsToSelector(name) ? NSCursor::performSelector(name) : nullptr;
}
} // namespace

// ---- Cursors ---------------------------------------------------------------------

NSCursor* IGraphicsView_vVorelle3_au::MoveCursor()
{
  // The system's move cursor: a cross of arrows, hot spot in its middle.
  if (!mMoveCursor) {
    NSImage* image = NSImage::alloc()->initWithSize(NSMakeSize(24, 24));
    for (int s = 1; s <= 4; ++s)
      image->addRepresentationOfPixelSize(NSMakeSize(24 * s, 24 * s));
    mMoveCursor = NSCursor::alloc()->initWithImage(image, NSMakePoint(12, 12));
    image->release();
  }
  return mMoveCursor;
}

void IGraphicsView_vVorelle3_au::setMouseCursor(int type)
{
  NSCursor* cursor = nullptr;
  bool helpWanted = false;
  switch (type) {
  case 1: cursor = NSCursor::IBeamCursor(); break;
  case 2:
  case 12: cursor = NamedCursor("busyButClickableCursor"); break;
  case 3: cursor = NSCursor::crosshairCursor(); break;
  case 4:
    cursor = NamedCursor("_windowResizeNorthCursor");
    if (!cursor)
      cursor = NSCursor::resizeUpCursor();
    break;
  case 5: cursor = NamedCursor("_windowResizeNorthWestSouthEastCursor"); break;
  case 6: cursor = NamedCursor("_windowResizeNorthEastSouthWestCursor"); break;
  case 7:
    cursor = NamedCursor("_windowResizeEastWestCursor");
    if (!cursor)
      cursor = NSCursor::resizeLeftRightCursor();
    break;
  case 8:
    cursor = NamedCursor("_windowResizeNorthSouthCursor");
    if (!cursor)
      cursor = NSCursor::resizeUpDownCursor();
    break;
  case 9: cursor = MoveCursor(); break;
  case 10: cursor = NSCursor::operationNotAllowedCursor(); break;
  case 11: cursor = NSCursor::pointingHandCursor(); break;
  case 13:
    cursor = NamedCursor("_helpCursor");
    helpWanted = true;
    break;
  default: cursor = NSCursor::arrowCursor(); break;
  }
  if (NSCursor::respondsToSelector("helpCursorShown") && NSCursor::helpCursorShown() && !helpWanted)
    NSCursor::setHelpCursor(NO);
  if (!cursor)
    cursor = NSCursor::arrowCursor();
  cursor->set();
}

// ---- Popup menu ------------------------------------------------------------------

IPopupMenu* IGraphicsView_vVorelle3_au::createPopupMenu(IPopupMenu& menu, NSRect bounds)
{
  auto* receiver = static_cast<IGraphicsMenuRcvr_vVorelle3_au*>(
    IGraphicsMenuRcvr_vVorelle3_au::alloc()->initWithFrame(bounds)->autorelease());
  auto* nsMenu = static_cast<IGraphicsMenu_vVorelle3_au*>(
    IGraphicsMenu_vVorelle3_au::alloc()->initWithIPopupMenuAndReceiver(&menu, receiver)->autorelease());
  nsMenu->popUpMenuPositioningItem(nullptr, NSMakePoint(bounds.origin.x, bounds.origin.y + bounds.size.height + 4),
                                   this);
  NSMenuItem* chosen = receiver->menuItem();
  auto* chosenMenu = chosen ? dynamic_cast<IGraphicsMenu_vVorelle3_au*>(chosen->menu()) : nullptr;
  if (!chosenMenu)
    return nullptr;
  const NSInteger idx = chosenMenu->indexOfItem(chosen);
  IPopupMenu* result = chosenMenu->iPopupMenu();
  if (idx < 0 || !result)
    return nullptr;
  result->SetChosenItemIdx(int(idx));
  return result;
}

// ---- Text entry --------------------------------------------------------------------

void IGraphicsView_vVorelle3_au::createTextEntry(int paramIdx, const IText& text, const char* str, int length,
                                                 NSRect bounds)
{
  if (mTextFieldView || !mGraphics)
    return;
  mTextFieldView =
    static_cast<IGraphicsTextField_vVorelle3_au*>(IGraphicsTextField_vVorelle3_au::alloc()->initWithFrame(bounds));
  if (text.mVAlign == kVAlignMiddle) {
    auto* cell = IGraphicsTextFieldCell_vVorelle3_au::alloc()->initTextCell(NSSTR("textfield"));
    mTextFieldView->setCell(cell);
    cell->release();
    cell->setEditable(YES);
    cell->setDrawsBackground(YES);
  }

  {
    FontDescriptorCache& cache = GetFontDescriptorCache();
    std::lock_guard<std::recursive_mutex> lock(cache.mMutex);
    if (CoreTextFontDescriptor* d = CoreTextHelpers::GetCTFontDescriptor(text.mFont, cache)) {
      const double size = text.mSize * mGraphics->GetDrawScale() * d->mEMRatio;
      mTextFieldView->setFont(NSFont::fontWithDescriptor(
        reinterpret_cast<NSFontDescriptor*>(const_cast<void*>(static_cast<const void*>(d->mDescriptor))), size));
    }
  }

  switch (text.mAlign) {
  case kAlignNear: mTextFieldView->setAlignment(NSTextAlignmentLeft); break;
  case kAlignCenter: mTextFieldView->setAlignment(NSTextAlignmentCenter); break;
  case kAlignFar: mTextFieldView->setAlignment(NSTextAlignmentRight); break;
  }

  IGEditorDelegate* dlg = mGraphics->GetDelegate();
  if (paramIdx >= 0 && dlg && paramIdx < dlg->NParams()) {
    const char* allowed = "";
    switch (dlg->GetParam(paramIdx)->Type()) {
    case IParam::kTypeBool:
    case IParam::kTypeInt:
    case IParam::kTypeEnum: allowed = "0123456789-+"; break;
    case IParam::kTypeDouble: allowed = "0123456789.-+kK"; break;
    default: break;
    }
    auto* formatter = IGraphicsFormatter_vVorelle3_au::alloc()->init();
    formatter->setAcceptableCharacterSet(
      NSCharacterSet::characterSetWithCharactersInString(NSString::stringWithUTF8String(allowed)));
    formatter->setMaximumLength(length);
    mTextFieldView->setFormatter(formatter);
    formatter->release();
  }

  NSTextFieldCell* cell = mTextFieldView->cell();
  cell->setLineBreakMode(NSLineBreakByTruncatingTail);
  cell->setAllowsEditingTextAttributes(NO);
  mTextFieldView->setTextColor(DeviceColor(text.mTextEntryFGColor));
  mTextFieldView->setBackgroundColor(DeviceColor(text.mTextEntryBGColor));
  NSString* value = NSString::stringWithUTF8String(str ? str : "");
  mTextFieldView->setStringValue(value ? value : NSString::stringWithCString(str, NSASCIIStringEncoding));
  mTextFieldView->setBordered(NO);
  mTextFieldView->setFocusRingType(NSFocusRingTypeNone);
  mTextFieldView->setDelegate(this);
  addSubview(mTextFieldView);
  mTextFieldView->release(); // the view holds it as a subview
  if (NSWindow* w = window()) {
    w->makeKeyAndOrderFront(nullptr);
    w->makeFirstResponder(mTextFieldView);
  }
}

void IGraphicsView_vVorelle3_au::endUserInput()
{
  if (!mTextFieldView)
    return;
  IGraphicsTextField_vVorelle3_au* field = mTextFieldView;
  mTextFieldView = nullptr;
  field->setDelegate(nullptr);
  field->removeFromSuperview();
  if (NSWindow* w = window())
    w->makeFirstResponder(this);
  // Ended without a commit (a wheel turn, the platform's end of input): the
  // graphics must stop waiting for the text, or it keeps dropping drags.
  if (mGraphics && mGraphics->NativeTextEntryExpected()) {
    IControl* c = mGraphics->GetControlInTextEntry();
    mGraphics->ClearTextEntryRecord();
    c->SetDirty(false, -1);
  }
}

void IGraphicsView_vVorelle3_au::controlTextDidEndEditing(NSNotification* notification)
{
  if (!mGraphics || !mTextFieldView)
    return;
  ViewEventScope scope(this);
  auto* field = dynamic_cast<NSTextField*>(notification ? notification->object() : nullptr);
  NSString* text = (field ? field : mTextFieldView)->stringValue();
  mGraphics->SetControlValueAfterTextEdit(text ? text->UTF8String() : "");
  mGraphics->SetAllControlsDirty();
  endUserInput();
}

// ---- Colour panel ----------------------------------------------------------------

BOOL IGraphicsView_vVorelle3_au::promptForColor(IColor& color, std::function<void(const IColor&)> func)
{
  mColorPickerFunc = std::move(func);
  NSColorPanel* panel = NSColorPanel::sharedColorPanel();
  panel->setTarget(this);
  panel->setShowsAlpha(YES);
  panel->setAction(NSSELECTOR(IGraphicsView_vVorelle3_au, onColorPicked));
  panel->setColor(DeviceColor(color));
  panel->orderFront(nullptr);
  return panel ? YES : NO;
}

void IGraphicsView_vVorelle3_au::onColorPicked(NSObject* sender)
{
  auto* panel = dynamic_cast<NSColorPanel*>(sender);
  NSColor* c = panel ? panel->color() : nullptr;
  if (!c)
    return;
  ViewEventScope scope(this);
  const IColor color(int(c->alphaComponent() * 255), int(c->redComponent() * 255), int(c->greenComponent() * 255),
                     int(c->blueComponent() * 255));
  if (mColorPickerFunc)
    mColorPickerFunc(color);
}

// ---- Tooltips and drops -------------------------------------------------------------

void IGraphicsView_vVorelle3_au::registerToolTip(const IRECT& bounds)
{
  addToolTipRect(ToNSRect(bounds, mGraphics ? mGraphics->GetDrawScale() : 1.f), this, nullptr);
}

NSString* IGraphicsView_vVorelle3_au::view(NSView*, NSToolTipTag, NSPoint, void*)
{
  if (!mGraphics)
    return NSSTR("");
  const int idx = mGraphics->GetMouseOverIdx();
  IControl* c = idx >= 0 ? mGraphics->GetControl(idx) : nullptr;
  const char* tip = c ? c->GetTooltip() : nullptr;
  if (!tip || !*tip)
    return NSSTR("");
  NSString* s = NSString::stringWithUTF8String(tip);
  return s ? s : NSSTR("");
}

NSDragOperation IGraphicsView_vVorelle3_au::draggingEntered(NSDraggingInfo* sender)
{
  NSPasteboard* board = sender ? sender->draggingPasteboard() : nullptr;
  return board && board->types()->containsObject(NSFilenamesPboardType) ? NSDragOperationGeneric : NSDragOperationNone;
}

BOOL IGraphicsView_vVorelle3_au::performDragOperation(NSDraggingInfo* sender)
{
  NSPasteboard* board = sender ? sender->draggingPasteboard() : nullptr;
  auto* files = board ? dynamic_cast<NSArray*>(board->propertyListForType(NSFilenamesPboardType)) : nullptr;
  auto* first = files && files->count() ? dynamic_cast<NSString*>(files->objectAtIndex(0)) : nullptr;
  // A drop without a file name is refused.
  if (!first || !mGraphics)
    return NO;
  ViewEventScope scope(this);
  const NSPoint p = convertPoint(sender->draggingLocation(), nullptr);
  const float s = mGraphics->GetDrawScale();
  mGraphics->OnDrop(first->UTF8String(), float(p.x) / s, float(p.y) / s);
  return YES;
}
