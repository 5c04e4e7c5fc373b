// URLs: web addresses checked for the characters a URL may hold, and file
// URLs made from paths.
#pragma once

#include <Foundation/NSString.h>

class NS_EXPORT NSURL : public NSObject {
public:
  // Autoreleased; nil for nil, empty or malformed text (spaces, controls,
  // non-ASCII, unbalanced brackets).
  static NSURL* URLWithString(NSString* text);
  // Autoreleased; nil for a nil or empty path. A relative path is taken
  // against the current folder.
  static NSURL* fileURLWithPath(NSString* path);
  NSString* absoluteString() const { return mText; }
  NSString* path() const; // autoreleased; the file path of a file URL
  BOOL isFileURL() const { return mFile; }
  const char* className() const override { return "NSURL"; }

protected:
  NSURL() = default;
  void dealloc() override;

private:
  NSString* mText = nullptr;
  NSString* mPath = nullptr;
  bool mFile = false;
};

class NS_EXPORT NSFileManager : public NSObject {
public:
  static NSFileManager* defaultManager();
  BOOL fileExistsAtPath(NSString* path);
  const char* className() const override { return "NSFileManager"; }

private:
  NSFileManager() = default;
};
