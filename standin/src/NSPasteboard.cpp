#include <AppKit/NSPasteboard.h>

#include <algorithm>

NSString* const NSStringPboardType = NSSTR("NSStringPboardType");
NSString* const NSPasteboardTypeString = NSSTR("public.utf8-plain-text");
NSString* const NSFilenamesPboardType = NSSTR("NSFilenamesPboardType");

namespace {
// The two names of plain text are one type.
std::string TypeKey(NSString* type)
{
  if (!type)
    return "";
  if (type->isEqualToString(NSPasteboardTypeString))
    return "NSStringPboardType";
  return type->UTF8String();
}
} // namespace

NSPasteboard* NSPasteboard::generalPasteboard()
{
  static NSPasteboard* board = [] {
    auto* b = new NSPasteboard();
    NSObjectMakeConstant(b);
    return b;
  }();
  return board;
}

NSPasteboard* NSPasteboard::pasteboardWithUniqueName()
{
  return static_cast<NSPasteboard*>((new NSPasteboard())->autorelease());
}

NSInteger NSPasteboard::clearContents()
{
  mStrings.clear();
  mLists.clear();
  mOrder.clear();
  return ++mChangeCount;
}

BOOL NSPasteboard::setString(NSString* string, NSPasteboardType type)
{
  if (!string || !type)
    return NO;
  const std::string key = TypeKey(type);
  mStrings[key] = string->UTF8String();
  if (std::find(mOrder.begin(), mOrder.end(), key) == mOrder.end())
    mOrder.push_back(key);
  return YES;
}

NSString* NSPasteboard::stringForType(NSPasteboardType type)
{
  auto it = mStrings.find(TypeKey(type));
  return it == mStrings.end() ? nullptr : NSString::stringWithUTF8String(it->second.c_str());
}

BOOL NSPasteboard::setPropertyList(NSObject* list, NSPasteboardType type)
{
  auto* array = dynamic_cast<NSArray*>(list);
  if (!array || !type)
    return NO;
  std::vector<std::string> items;
  for (NSUInteger i = 0; i < array->count(); ++i) {
    auto* s = dynamic_cast<NSString*>(array->objectAtIndex(i));
    if (!s)
      return NO;
    items.push_back(s->UTF8String());
  }
  const std::string key = TypeKey(type);
  mLists[key] = items;
  if (std::find(mOrder.begin(), mOrder.end(), key) == mOrder.end())
    mOrder.push_back(key);
  return YES;
}

NSObject* NSPasteboard::propertyListForType(NSPasteboardType type)
{
  auto it = mLists.find(TypeKey(type));
  if (it == mLists.end())
    return nullptr;
  std::vector<NSObject*> items;
  for (const std::string& s : it->second)
    items.push_back(NSString::stringWithUTF8String(s.c_str()));
  return NSArray::arrayWithObjects(items.data(), items.size());
}

NSArray* NSPasteboard::types()
{
  std::vector<NSObject*> items;
  for (const std::string& s : mOrder)
    items.push_back(NSString::stringWithUTF8String(s.c_str()));
  return NSArray::arrayWithObjects(items.data(), items.size());
}

NSDraggingInfo* NSDraggingInfo::draggingWith(NSPasteboard* pasteboard, NSPoint windowLocation)
{
  auto* d = new NSDraggingInfo();
  d->mPasteboard = pasteboard ? static_cast<NSPasteboard*>(pasteboard->retain()) : nullptr;
  d->mLocation = windowLocation;
  return static_cast<NSDraggingInfo*>(d->autorelease());
}

void NSDraggingInfo::dealloc()
{
  if (mPasteboard)
    mPasteboard->release();
  NSObject::dealloc();
}
