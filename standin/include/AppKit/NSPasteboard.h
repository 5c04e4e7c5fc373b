// Pasteboards: the general one (the clipboard) and the dragging one a drop
// carries. Strings and file-name lists by type.
#pragma once

#include <Foundation/NSArray.h>
#include <Foundation/NSGeometry.h>
#include <Foundation/NSString.h>

#include <map>
#include <string>
#include <vector>

typedef NSString* NSPasteboardType;
NS_EXPORT extern NSString* const NSStringPboardType;
NS_EXPORT extern NSString* const NSPasteboardTypeString;
NS_EXPORT extern NSString* const NSFilenamesPboardType;

class NS_EXPORT NSPasteboard : public NSObject {
public:
  static NSPasteboard* generalPasteboard();
  static NSPasteboard* pasteboardWithUniqueName(); // autoreleased
  NSInteger clearContents();
  BOOL setString(NSString* string, NSPasteboardType type);
  NSString* stringForType(NSPasteboardType type); // autoreleased; nil when none
  // NSFilenamesPboardType: an NSArray of path strings.
  BOOL setPropertyList(NSObject* list, NSPasteboardType type);
  NSObject* propertyListForType(NSPasteboardType type); // autoreleased
  NSArray* types();                                     // autoreleased
  const char* className() const override { return "NSPasteboard"; }

protected:
  NSPasteboard() = default;

private:
  std::map<std::string, std::string> mStrings;
  std::map<std::string, std::vector<std::string>> mLists;
  std::vector<std::string> mOrder;
  NSInteger mChangeCount = 0;
};

// What a drop carries (a protocol on the platform).
class NS_EXPORT NSDraggingInfo : public NSObject {
public:
  static NSDraggingInfo* draggingWith(NSPasteboard* pasteboard, NSPoint windowLocation); // autoreleased
  NSPasteboard* draggingPasteboard() const { return mPasteboard; }
  NSPoint draggingLocation() const { return mLocation; } // window base coordinates
  const char* className() const override { return "NSDraggingInfo"; }

protected:
  NSDraggingInfo() = default;
  void dealloc() override;

private:
  NSPasteboard* mPasteboard = nullptr; // retained
  NSPoint mLocation = NSMakePoint(0, 0);
};
