// Immutable Unicode text, interchangeable with CFString through
// CFStringRef(str) (toll-free bridging) and stringWithCFString.
#pragma once

#include <CoreFoundation/CFString.h>
#include <Foundation/NSObject.h>

typedef UniChar unichar;
typedef NSUInteger NSStringEncoding;
enum : NSStringEncoding {
  NSASCIIStringEncoding = 1,
  NSUTF8StringEncoding = 4,
  NSISOLatin1StringEncoding = 5,
  NSMacOSRomanStringEncoding = 30
};

class NS_EXPORT NSString : public NSObject {
public:
  static NSString* alloc() { return new NSString(); }
  NSString* init() override;
  NSString* initWithUTF8String(const char* text);
  NSString* initWithCString(const char* text, NSStringEncoding encoding);
  NSString* initWithCharacters(const unichar* characters, NSUInteger length);

  // Autoreleased; nil for NULL or malformed text.
  static NSString* string();
  static NSString* stringWithUTF8String(const char* text);
  static NSString* stringWithCString(const char* text, NSStringEncoding encoding);
  // Autoreleased string with the CFString's text (the bridged object).
  static NSString* stringWithCFString(CFStringRef string);
  static NSString* stringWithString(NSString* string);
  static NSString* stringWithCharacters(const unichar* characters, NSUInteger length);

  // Valid while the string lives.
  const char* UTF8String() const;
  BOOL getCString(char* buffer, NSUInteger maxLength, NSStringEncoding encoding) const;
  NSUInteger length() const;
  unichar characterAtIndex(NSUInteger index) const; // a UTF-16 unit
  int intValue() const;
  double doubleValue() const;
  BOOL isEqualToString(NSString* other) const;
  BOOL hasPrefix(NSString* prefix) const;
  BOOL hasSuffix(NSString* suffix) const;
  NSRange rangeOfString(NSString* other) const;

  // Path operations (autoreleased results).
  NSString* stringByAppendingString(NSString* other) const;
  NSString* stringByAppendingPathComponent(NSString* component) const;
  NSString* stringByDeletingLastPathComponent() const;
  NSString* lastPathComponent() const;
  NSString* pathExtension() const;
  NSString* stringByDeletingPathExtension() const;
  NSString* stringByAppendingPathExtension(NSString* extension) const;
  NSString* stringByExpandingTildeInPath() const;

  NSString* description() override { return this; }
  BOOL isEqual(NSObject* other) override;
  NSUInteger hash() override;
  const char* className() const override { return "NSString"; }

  // The bridged CFString, owned by this object.
  explicit operator CFStringRef() const { return mString; }

protected:
  NSString() = default;
  void dealloc() override;

private:
  CFStringRef mString = nullptr;
};

// Literal strings: @"text" becomes NSSTR("text"), a constant object.
NS_EXPORT NSString* NSStringMakeConstant(const char* text);
#define NSSTR(text) NSStringMakeConstant("" text "")
