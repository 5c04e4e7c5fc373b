// Character sets and formatters, as a text field uses them while it edits.
#pragma once

#include <Foundation/NSString.h>

#include <set>

class NS_EXPORT NSCharacterSet : public NSObject {
public:
  static NSCharacterSet* characterSetWithCharactersInString(NSString* characters); // autoreleased
  BOOL characterIsMember(unichar c) const { return mMembers.count(c) != 0; }
  const char* className() const override { return "NSCharacterSet"; }

protected:
  NSCharacterSet() = default;

private:
  std::set<unichar> mMembers;
};

// Converts between a field's object value and its text, and judges each
// edit. An edit is judged by the fuller check, which by default asks the
// simple check of the whole new text.
class NS_EXPORT NSFormatter : public NSObject {
public:
  virtual NSString* stringForObjectValue(NSObject* object) = 0;
  virtual BOOL getObjectValue(NSObject** object, NSString* string, NSString** error) = 0;
  virtual BOOL isPartialStringValid(NSString* partialString, NSString** newString, NSString** error);
  virtual BOOL isPartialStringValid(NSString** partialString, NSRange* proposedSelection, NSString* originalString,
                                    NSRange originalSelection, NSString** error);
  const char* className() const override { return "NSFormatter"; }

protected:
  NSFormatter() = default;
};
